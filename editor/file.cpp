#include "file.hpp"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "build.hpp"
#include "corutils.hpp"
#include "dxio.hpp"
#include "getparam.hpp"
#include "globals.hpp"
#include "linutils.hpp"
#include "scan.hpp"
#include "scrin.hpp"
#include "scrout.hpp"
#include "tabs.hpp"
#include "termutils.hpp"

int fetchstyle = 1;
int octflag = 0;
int lfonly = 1;
int ioerr = 0;

namespace {

constexpr std::size_t kIoBuf = 1 << 16;
constexpr const char* kWriteFailed = " Write Failed ";
constexpr const char* kNotFound = "File not found (or no read permission)";

std::string lastmsg;
long fail_after = -1;

// The checks of core file 18 against the compiled pattern.
bool compile_checks(std::string_view pattern) {
    makecheck(pattern);
    return true;
}
bool line_passes() {
    return reccheck(cur().lnptr);
}
constexpr RecordCheck kFileChecks{compile_checks, line_passes};
RecordCheck rcheck = kFileChecks;

int show(std::string_view msg) {
    lastmsg.assign(msg);
    return diserr(msg);
}

// ---------------------------------------------------------------------------------------------
// Descriptors
// ---------------------------------------------------------------------------------------------

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    Fd& operator=(Fd&&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    bool ok() const { return fd_ >= 0; }
    // Closes now and says whether the close succeeded: a delayed write error shows up here.
    bool close() {
        if (fd_ < 0) return false;
        const int r = ::close(fd_);
        fd_ = -1;
        return r == 0;
    }

  private:
    int fd_;
};

// Opens without blocking (a pipe with nobody at the other end must not hang the editor), then
// makes the descriptor blocking for the transfer itself.
int open_retry(const char* name, int flags, mode_t perm = 0) {
    int fd;
    do {
        fd = ::open(name, flags | O_CLOEXEC | O_NONBLOCK, perm);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
        const int fl = ::fcntl(fd, F_GETFL);
        if (fl >= 0) ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
    }
    return fd;
}

// A text file to read: anything that opens for reading except a directory.
Fd open_text(const char* name) {
    Fd fd(open_retry(name, O_RDONLY));
    struct stat st;
    if (fd.ok() && (::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode))) return Fd();
    return fd;
}

constexpr std::array<bool, 256> kSpecial = [] {
    std::array<bool, 256> t{};
    t['\n'] = t['\v'] = t['\r'] = t['\t'] = true;
    return t;
}();

// Reads a file in large blocks; get() gives the next byte or -1 at the end (or on an error).
class Reader {
  public:
    explicit Reader(int fd) : fd_(fd), buf_(kIoBuf) {}
    int get() {
        if (pos_ == len_ && !fill()) return -1;
        return buf_[pos_++];
    }
    // Copies bytes from the buffer up to the first line end, carriage return or tab, at most
    // `room` of them; returns how many.
    std::size_t take_plain(unsigned char* dst, std::size_t room) {
        const unsigned char* p = buf_.data() + pos_;
        const std::size_t n = std::min(len_ - pos_, room);
        std::size_t i = 0;
        while (i < n && !kSpecial[p[i]])
            ++i;
        std::memcpy(dst, p, i);
        pos_ += i;
        return i;
    }

  private:
    bool fill() {
        if (done_) return false;
        ssize_t n;
        do {
            n = ::read(fd_, buf_.data(), buf_.size());
        } while (n < 0 && errno == EINTR);
        if (n <= 0) {
            done_ = true;
            return false;
        }
        pos_ = 0;
        len_ = static_cast<std::size_t>(n);
        return true;
    }
    int fd_;
    std::vector<unsigned char> buf_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    bool done_ = false;
};

bool write_all(int fd, const char* p, std::size_t n) {
    if (fail_after >= 0) {
        if (static_cast<long>(n) > fail_after) {
            fail_after = 0;
            errno = ENOSPC;
            return false;
        }
        fail_after -= static_cast<long>(n);
    }
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

// Buffers output and remembers the first failure; nothing is written after it.
class Writer {
  public:
    explicit Writer(int fd) : fd_(fd) { buf_.reserve(kIoBuf); }
    void put(const char* p, std::size_t n) {
        if (!ok_) return;
        if (buf_.size() + n > kIoBuf) flush();
        if (n > kIoBuf) {
            ok_ = ok_ && write_all(fd_, p, n);
            return;
        }
        buf_.insert(buf_.end(), p, p + n);
    }
    void put(char c) { put(&c, 1); }
    bool flush() {
        if (ok_ && !buf_.empty()) ok_ = write_all(fd_, buf_.data(), buf_.size());
        buf_.clear();
        return ok_;
    }

  private:
    int fd_;
    std::vector<char> buf_;
    bool ok_ = true;
};

// ---------------------------------------------------------------------------------------------
// Reading the text file format
// ---------------------------------------------------------------------------------------------

int marker_object(int c) {
    switch (c) {
        case 'r':
            return kObjRecord;
        case 'm':
            return kObjMath;
        case 'h':
            return kObjNone;
        case 'a':
            return 6;
        case 'l':
            return kObjPicture;
        default:
            return -1;
    }
}

enum class Got { Line, End, Full };

// Reads one line into the arena from `avail` on, without claiming the bytes yet. The caller
// makes a line record of `object` and `length` over them or lets them go.
class LineReader {
  public:
    explicit LineReader(int fd) : in_(fd) {}

    Got gline(int& object, int& length) {
        object = kObjText;
        len_ = 0;
        base_ = textbase.data() + avail;
        room_ = std::max(0L, hiaddr - avail);
        if (at_end_) return Got::End;
        int c = in_.get();
        if (c < 0) {
            at_end_ = true;
            return Got::End;
        }
        while (c == '\r')
            c = in_.get();
        if (fetchstyle == 1 && c == '\\') {
            int d = in_.get();
            while (d == '\r')
                d = in_.get();
            const int kind = marker_object(d);
            if (kind >= 0) {
                object = kind;
                c = in_.get();
            } else {
                if (!put('\\')) return full();
                c = d;
            }
        }
        for (;; c = next()) {
            if (c < 0) {
                at_end_ = true;
                break;
            }
            if (c == '\n' || c == '\v') break;
            if (c == '\r') continue;
            if (c == '\t' && octflag == 0) {
                do {
                    if (!put(' ')) return full();
                } while (tabcol(static_cast<int>(len_) + 1) == 0);
                continue;
            }
            if (!put(static_cast<unsigned char>(c))) return full();
        }
        long keep = len_;
        while (keep > 0 && base_[keep - 1] == ' ')
            --keep;
        // A picture's own lines would follow its marker; pictures have no store here, so the
        // marker line carries nothing.
        if (object == kObjPicture) keep = 0;
        std::fill(base_ + keep, base_ + len_, kFreeByte);
        length = static_cast<int>(keep);
        return Got::Line;
    }

  private:
    // The next byte that needs a decision; the plain bytes before it go straight into the line.
    int next() {
        len_ +=
            static_cast<long>(in_.take_plain(base_ + len_, static_cast<std::size_t>(room_ - len_)));
        return in_.get();
    }
    bool put(unsigned char c) {
        if (len_ >= room_) return false;
        base_[len_++] = c;
        return true;
    }
    Got full() {
        std::fill(base_, base_ + len_, kFreeByte);
        len_ = 0;
        return Got::Full;
    }
    Reader in_;
    unsigned char* base_ = nullptr;
    long len_ = 0;
    long room_ = 0;
    bool at_end_ = false;
};

// Makes a line record over the `length` bytes just read at `avail`; false when no record could be
// had (the bytes are then given back).
bool keepline(int object, int length) {
    if (length == 0 && object == kObjText) object = kObjNew;
    if (object == kObjPicture) {
        LINE* l = allocln(kObjPicture, 0);
        if (l == nullptr) return false;
        l->index = 0;  // the picture reference: pictures have no store of their own here
        return true;
    }
    LINE* l = allocln(object, length);
    if (l == nullptr) {
        std::fill_n(textbase.begin() + avail, length, kFreeByte);
        return false;
    }
    if (object != kObjNew) linkphys();
    return true;
}

// Takes back the line just read (the cursor line): its record leaves the physical chain, whose
// end was `chain_end` before, and its bytes, the last in the arena, are free again at once.
void dropline(LINE* chain_end) {
    COREFILE& cf = cur();
    LINE* l = cf.lnptr;
    LINE* before = l->up;
    const bool linked = lastphys == l;
    const long index = l->index;
    removeline();
    cf.lnptr = before;
    if (!linked) return;  // an empty line owns nothing and removeline has freed it
    chain_end->nextphys = nullptr;
    lastphys = chain_end;
    freehdr(l);
    avail = index;
}

// ---------------------------------------------------------------------------------------------
// Writing the text file format
// ---------------------------------------------------------------------------------------------

const char* marker_of(int object) {
    switch (object) {
        case kObjRecord:
            return "\\r";
        case kObjMath:
            return "\\m";
        case kObjNone:
            return "\\h";
        case 6:
            return "\\a";
        default:
            return "";
    }
}

void putline(Writer& w, const LINE* l) {
    if (l->object == kObjPicture) {
        w.put("\\l", 2);
    } else {
        const char* m = marker_of(l->object);
        w.put(m, std::strlen(m));
        if (l->object != kObjNew && l->length > 0) {
            w.put(reinterpret_cast<const char*>(textbase.data() + l->index),
                  static_cast<std::size_t>(l->length));
        }
    }
    if (lfonly == 0) w.put('\r');
    w.put('\n');
}

// Where a replacement of `name` has to happen: the file itself, or for a symbolic link the file it
// points to, so the link survives.
std::string resolved(const char* name) {
    struct stat ls;
    if (::lstat(name, &ls) == 0 && S_ISLNK(ls.st_mode)) {
        std::unique_ptr<char, decltype(&std::free)> real(::realpath(name, nullptr), &std::free);
        if (real) return real.get();
    }
    return name;
}

std::string directory_of(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool write_into(int fd, long first, long last) {
    // A file-size limit must show as a failed write, not end the editor.
    ::signal(SIGXFSZ, SIG_IGN);
    return pfile(fd, first, last);
}

bool write_in_place(const char* name, int flags, long first, long last) {
    Fd fd(open_retry(name, O_WRONLY | flags));
    if (!fd.ok()) return false;
    const bool written = write_into(fd.get(), first, last);
    return fd.close() && written;
}

// Writes to a new file beside the old one and renames it over, so a failure leaves the old
// contents as they were.
bool replace_file(const char* name, long first, long last) {
    const std::string target = resolved(name);
    struct stat st;
    if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink > 1) {
        return write_in_place(target.c_str(), O_TRUNC, first, last);
    }
    std::string tmp = directory_of(target) + "/.oru-save-XXXXXX";
    std::vector<char> path(tmp.begin(), tmp.end());
    path.push_back('\0');
    Fd fd(::mkostemp(path.data(), O_CLOEXEC));
    if (!fd.ok()) return false;
    bool ok = ::fchmod(fd.get(), st.st_mode & 07777) == 0;
    ok = ok && write_into(fd.get(), first, last);
    // The new contents must be on disk before the name moves to them, or a crash could leave
    // an empty file where the old one was.
    ok = ok && ::fsync(fd.get()) == 0;
    ok = fd.close() && ok;
    ok = ok && ::rename(path.data(), target.c_str()) == 0;
    if (!ok) ::unlink(path.data());
    return ok;
}

bool finish_write(bool ok) {
    if (!ok) {
        show(kWriteFailed);
        return false;
    }
    cur().edited = 0;
    return true;
}

bool read_into_file(long first, long last, std::string_view check) {
    return gfile(curfile.c_str(), first, last, check) == 0;
}

// Reads lines after `after`; the cursor goes back to `keep`.
bool read_after(LINE* after, LINE* keep, long first, long last, std::string_view check) {
    COREFILE& cf = cur();
    const int before = cf.lncount;
    cf.lnptr = after;
    const bool ok = read_into_file(first, last, check);
    cf.lnptr = keep;
    if (cf.lncount != before) {
        cf.edited = 1;
        redisplay = 1;
    }
    return ok;
}

// ---------------------------------------------------------------------------------------------
// Key-string files
// ---------------------------------------------------------------------------------------------

struct KeyBuffers {
    std::array<std::unique_ptr<std::string>, 3> current;
    std::vector<std::unique_ptr<std::string>> retired;  // released but still being read
};
KeyBuffers keybufs;

bool never_in_use(const char*, const char*) {
    return false;
}
bool (*keystring_in_use)(const char*, const char*) = never_in_use;

bool buffer_in_use(const std::string& s) {
    return keystring_in_use(s.data(), s.data() + s.size() + 1);
}

void release(std::unique_ptr<std::string> old) {
    std::erase_if(keybufs.retired, [](const auto& b) { return !buffer_in_use(*b); });
    if (old && buffer_in_use(*old)) keybufs.retired.push_back(std::move(old));
}

// Translates the bytes of a key-string file: carriage returns go, line feeds become Return, and
// a tilde switches the brace notation on and off.
std::string translate_keys(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    bool xlate = false;
    bool inside = false;
    for (char ch : raw) {
        if (ch == '\r') continue;
        if (ch == '\n') {
            out.push_back('\r');
            continue;
        }
        if (ch == '~') {
            xlate = !xlate;
            inside = false;
            continue;
        }
        if (!xlate) {
            out.push_back(ch);
            continue;
        }
        const int b = transchar(ch, inside);
        if (b >= 0) out.push_back(static_cast<char>(b));
    }
    return out;
}

bool slurp(const char* name, std::string& raw) {
    Fd fd(open_retry(name, O_RDONLY));
    if (!fd.ok()) return false;
    struct stat st;
    if (::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    std::array<char, 4096> chunk;
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk.data(), chunk.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        raw.append(chunk.data(), static_cast<std::size_t>(n));
        // Far past what any key string may hold: stop reading, the length check refuses it.
        if (raw.size() > 4 * kKeyBufSize) return true;
    }
}

}  // namespace

void set_record_check(RecordCheck check) {
    rcheck.compile = check.compile != nullptr ? check.compile : compile_checks;
    rcheck.passes = check.passes != nullptr ? check.passes : line_passes;
}

void set_keystring_in_use(bool (*in_use)(const char*, const char*)) {
    keystring_in_use = in_use != nullptr ? in_use : keystring_held;
}

const std::string& file_message() {
    return lastmsg;
}
void file_fail_writes_after(long n) {
    fail_after = n;
}

void reset_file() {
    fetchstyle = 1;
    octflag = 0;
    lfonly = 1;
    ioerr = 0;
    lastmsg.clear();
    fail_after = -1;
    rcheck = kFileChecks;
    for (auto& b : keybufs.current)
        release(std::move(b));
}

// ---------------------------------------------------------------------------------------------
// gfile and pfile
// ---------------------------------------------------------------------------------------------

int gfile(const char* name, long first, long last, std::string_view check) {
    ioerr = 0;
    if (first == 0 && last == 0) {
        first = 1;
        last = kAllLines;
    }
    const bool checking = !check.empty();
    // A malformed check lets no record pass, which the test itself reports.
    if (checking) rcheck.compile(check);
    Fd fd = open_text(name);
    if (!fd.ok()) {
        show(kNotFound);
        return ioerr = 1;
    }
    LineReader in(fd.get());
    long remaining = last;
    long number = 0;
    while (remaining > 0 && ioerr == 0) {
        int object = 0;
        int length = 0;
        const Got got = in.gline(object, length);
        if (got == Got::End) break;
        if (got == Got::Full) {
            ioerr = 1;
            break;
        }
        ++number;
        --remaining;
        if (number < first) {
            std::fill_n(textbase.begin() + avail, length, kFreeByte);
            continue;
        }
        LINE* const chain_end = lastphys;
        if (!keepline(object, length)) {
            ioerr = 1;
            break;
        }
        if (checking && !(object == kObjRecord && rcheck.passes())) dropline(chain_end);
    }
    if (ioerr == 1) show("File Truncated");
    if (ioerr == 3) show("Bad Picture Encountered");
    return ioerr;
}

bool pfile(int fd, long first, long last) {
    detrfile();
    Writer w(fd);
    const COREFILE& cf = cur();
    long number = 0;
    for (const LINE* l = cf.header->down; l != cf.header && number < last; l = l->down) {
        ++number;
        if (number >= first) putline(w, l);
    }
    return w.flush();
}

// ---------------------------------------------------------------------------------------------
// The file commands
// ---------------------------------------------------------------------------------------------

bool fetch_range(long first, long last, std::string_view check) {
    // The core file is only emptied once the file is known to be readable.
    if (!open_text(curfile.c_str()).ok()) {
        show(kNotFound);
        return false;
    }
    removefile();
    initfile();
    garbage();
    COREFILE& cf = cur();
    read_into_file(first, last, check);
    if (cf.header->down == cf.header && allocln(kObjNew, 0) != nullptr) makeobject();
    cf.filname.assign_cut(curfile.view());
    wrwholescreen();
    cf.edited = 0;
    return ioerr == 0;
}

bool insert_range(long first, long last, std::string_view check) {
    COREFILE& cf = cur();
    LINE* keep = cf.lnptr;
    return read_after(keep, keep, first, last, check);
}

bool append_range(long first, long last, std::string_view check) {
    COREFILE& cf = cur();
    return read_after(cf.header->up, cf.lnptr, first, last, check);
}

bool save_range(long first, long last) {
    const char* name = curfile.c_str();
    Fd fd(open_retry(name, O_WRONLY | O_TRUNC));
    bool ok = fd.ok() && write_into(fd.get(), first, last);
    struct stat st;
    const bool regular = fd.ok() && ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode);
    ok = fd.close() && ok;
    // The check created this file for the save: a failed save leaves nothing half written.
    if (!ok && regular) ::unlink(name);
    return finish_write(ok);
}

bool overwrite_range(long first, long last) {
    COREFILE& cf = cur();
    if (!(cf.filname == curfile.view()) && show("Check name, not file fetched") == 2) return false;
    return finish_write(replace_file(curfile.c_str(), first, last));
}

bool join_range(long first, long last) {
    return finish_write(write_in_place(curfile.c_str(), O_APPEND, first, last));
}

bool delete_file() {
    if (::unlink(curfile.c_str()) != 0) {
        show("Unable to delete file");
        return false;
    }
    return true;
}

namespace {

// Runs a program found on the search path with its arguments, no shell in between. With `wait`
// the exit status counts; otherwise the child is left to run. Returns false when it could not be
// started (or, waiting, when it failed).
bool run_program(const std::vector<std::string>& args, bool wait) {
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int ready[2];
    if (::pipe2(ready, O_CLOEXEC) != 0) return false;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(ready[0]);
        ::close(ready[1]);
        return false;
    }
    if (pid == 0) {
        if (!wait) {
            // A listing runs on its own: it gets none of the editor's descriptors, and the
            // editor does not wait for it, so a second child does the work and is reaped by
            // the system.
            const pid_t worker = ::fork();
            if (worker > 0) ::_exit(0);
            if (worker < 0) {
                const int err = errno;
                ssize_t ignored = ::write(ready[1], &err, sizeof err);
                (void)ignored;
                ::_exit(127);
            }
            for (int fd = 0; fd < 10; ++fd) {
                if (fd != ready[1]) ::close(fd);
            }
        }
        ::execvp(argv[0], argv.data());
        const int err = errno;
        ssize_t ignored = ::write(ready[1], &err, sizeof err);
        (void)ignored;
        ::_exit(127);
    }
    ::close(ready[1]);
    int err = 0;
    ssize_t n;
    do {
        n = ::read(ready[0], &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    ::close(ready[0]);
    int status = 0;
    pid_t r;
    do {
        r = ::waitpid(pid, &status, 0);
    } while (r < 0 && errno == EINTR);
    if (n > 0) return false;
    if (!wait) return true;
    return r == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool rename_file(std::string_view target) {
    if (curfile.empty()) {
        show("Empty current file name");
        return false;
    }
    if (target.empty()) {
        show("Empty destination file name");
        return false;
    }
    const std::string to(target);
    struct stat st;
    if (::stat(to.c_str(), &st) == 0) {
        char msg[80];
        std::snprintf(msg, sizeof msg, " Overwrite file:%s?", to.c_str());
        if (show(msg) == 2) return false;
    }
    if (!run_program({"mv", std::string(curfile.view()), to}, true)) {
        show("Couldn't exec command to rename file");
        return false;
    }
    return true;
}

bool update_file() {
    COREFILE& cf = cur();
    if (cf.filname.empty()) {
        show("Empty filename");
        return false;
    }
    const std::string name(cf.filname.view());
    struct stat st;
    if (::stat(name.c_str(), &st) != 0) {
        show("File not saved, do the SAve command first");
        return false;
    }
    const std::string bak = name + ".bak";
    if (::rename(name.c_str(), bak.c_str()) != 0) {
        char msg[80];
        std::snprintf(msg, sizeof msg, "Unable to create .bak file:errno=%d. Update cancelled.",
                      errno);
        show(msg);
        return false;
    }
    return true;
}

bool list_file(std::string_view file, long first, long last, long copies, std::string_view init) {
    std::string name(file);
    if (name.empty()) name.assign(cur().filname.view());
    if (name.empty()) {
        show("Input file name not specified and No Work file name");
        return false;
    }
    const std::string initfile = init.empty() ? std::string("list.init") : std::string(init);
    if (!run_program({"list", name, std::to_string(first), std::to_string(last),
                      std::to_string(copies), initfile},
                     false)) {
        show("Error in executing LIST: command not found?");
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Key-string files
// ---------------------------------------------------------------------------------------------

const char* readfile(const char* name, KeyKind kind) {
    const auto k = static_cast<std::size_t>(kind);
    if (k >= keybufs.current.size()) return nullptr;
    std::string raw;
    if (!slurp(name, raw)) {
        show("File not found (or no read permission)");
        return nullptr;
    }
    auto keys = std::make_unique<std::string>(translate_keys(raw));
    // The buffer holds the keys and the terminating byte.
    if (keys->size() + 1 > kKeyBufSize) {
        char msg[120];
        std::snprintf(msg, sizeof msg, "File %.48s too long: over %zu bytes", name, kKeyBufSize);
        show(msg);
        return nullptr;
    }
    // A template ends with the end-of-text byte; the string's own zero follows it.
    if (kind == KeyKind::Template) keys->push_back(static_cast<char>(kEndOfFile));
    release(std::move(keybufs.current[k]));
    keybufs.current[k] = std::move(keys);
    return keybufs.current[k]->c_str();
}

// ---------------------------------------------------------------------------------------------
// The rows of the command table. A failed operation refuses like a check does, so the result
// register tells a procedure that the command did not work.
// ---------------------------------------------------------------------------------------------

namespace {

void outcome(bool ok) {
    if (!ok) del = 2;
}

// The starting-point string UPDATE queues lives as long as the key-string stack may read it.
constexpr const char* kSaveAgain = "SA *\r";

}  // namespace

void fetchfile() {
    outcome(fetch_range(param[2], param[3], recboolcheck.view()));
}
void insrtfile() {
    outcome(insert_range(param[2], param[3], recboolcheck.view()));
}
void appendfile() {
    outcome(append_range(param[2], param[3], recboolcheck.view()));
}
void savefile() {
    outcome(save_range(param[2], param[3]));
}
void ovrwritefile() {
    outcome(overwrite_range(param[2], param[3]));
}
void join() {
    outcome(join_range(param[2], param[3]));
}
void deletefile() {
    outcome(delete_file());
}
void newname() {
    outcome(rename_file(targetstring.view()));
}
void list() {
    outcome(list_file(listfile.view(), param[2], param[3], param[4], listinitfile.view()));
}

void update() {
    if (!update_file()) {
        del = 2;
        return;
    }
    pushfn(kSaveAgain);
}

void emit() {
    std::FILE* out = driver_output();
    if (param[4] != 1 || progstate == 0 || out == nullptr) return;
    const int keep = corenum;
    if (param[1] >= 1 && param[1] <= 18) corenum = param[1];
    std::fflush(out);
    bool ok = pfile(::fileno(out), param[2], param[3]);
    corenum = keep;
    ok = ok && write_all(::fileno(out), "$$$\r\n", 5);
    outcome(ok);
}
