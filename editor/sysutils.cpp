#include "sysutils.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display.hpp"
#include "dxio.hpp"
#include "encoding.hpp"
#include "file.hpp"
#include "getparam.hpp"
#include "globals.hpp"
#include "scrout.hpp"
#include "sys_linux.hpp"
#include "syshandler.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

namespace {

// Everything here may run inside a signal handler (a crash): no allocation, no stdio, only
// fixed buffers and system calls.
constexpr std::size_t kPathMax = 4096;
using Path = std::array<char, kPathMax>;

// The bytes of a core file go out through one fixed buffer.
std::array<char, 1 << 16> savebuf;
std::size_t saved = 0;

// The directory each core file's name was given in, when that was before a CDIRECTORY: a
// relative name is beside its file only there. `seen` is the name it was recorded for.
struct NameBase {
    std::string dir;
    Name seen;
};
std::array<NameBase, kCoreFiles> bases;

// Where the copies went, for the report after the terminal is restored.
struct CopyNote {
    int core = 0;
    Path where{};
};
std::array<CopyNote, kCoreFiles> notes;
int notecount = 0;

// Places tried after the file's own directory, captured at start (reading the environment is no
// business of a signal handler).
Path home_dir{};
Path temp_dir{};

bool drain(int fd) {
    std::size_t done = 0;
    while (done < saved) {
        ssize_t n = write(fd, savebuf.data() + done, saved - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    saved = 0;
    return true;
}

bool put(int fd, char ch) {
    if (saved == savebuf.size() && !drain(fd)) return false;
    savebuf[saved++] = ch;
    return true;
}

bool put(int fd, const char* s) {
    for (; *s != '\0'; ++s) {
        if (!put(fd, *s)) return false;
    }
    return true;
}

// A store character in the copy's character set.
bool put_text(int fd, unsigned char b, bool utf8) {
    if (!utf8 || b < 0x80) return put(fd, static_cast<char>(b));
    return put(fd, static_cast<char>(0xC0 | (b >> 6))) &&
           put(fd, static_cast<char>(0x80 | (b & 0x3F)));
}

// Appends text to a terminated path; false when it does not fit.
bool append(Path& p, const char* text) {
    std::size_t at = std::strlen(p.data());
    for (; *text != '\0'; ++text) {
        if (at + 1 >= p.size()) return false;
        p[at++] = *text;
    }
    p[at] = '\0';
    return true;
}

// The system's form of core file n's name (without a directory when `bare`).
bool system_name(int n, Path& out, bool bare) {
    std::string_view name = core[n].filname.view();
    if (bare) {
        const auto slash = name.rfind('/');
        if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    }
    return sysname_into(name, out.data(), out.size());
}

// The copy's name in place `where` (0 beside the file, 1 the home directory, 2 the temporary
// directory), before the ".save" suffix.
bool copy_stem(int n, int where, Path& stem) {
    stem[0] = '\0';
    const COREFILE& cf = core[n];
    Path name{};
    if (cf.filname.empty()) {
        char base[32];
        std::snprintf(base, sizeof base, "oru-core-%d", n);
        if (!append(name, base)) return false;
    } else if (!system_name(n, name, where != 0)) {
        return false;
    }
    if (where == 0) {
        const NameBase& b = bases[static_cast<std::size_t>(n)];
        const bool relative = name[0] != '/';
        if (relative && !b.dir.empty() && b.seen == cf.filname.view()) {
            if (!append(stem, b.dir.c_str()) || !append(stem, "/")) return false;
        }
    } else {
        const Path& dir = where == 1 ? home_dir : temp_dir;
        if (dir[0] == '\0') return false;
        if (!append(stem, dir.data()) || !append(stem, "/")) return false;
    }
    return append(stem, name.data());
}

// Opens a new file for the copy of core file n: "<name>.save", and when that exists already
// "<name>.save.1" to ".save.9"; beside the file, else in the home directory, else in the
// temporary directory. Never replaces a file.
int open_copy(int n, Path& path) {
    for (int where = 0; where < 3; ++where) {
        Path stem{};
        if (!copy_stem(n, where, stem)) continue;
        for (int attempt = 0; attempt < 10; ++attempt) {
            path = stem;
            if (!append(path, ".save")) break;
            if (attempt > 0) {
                const char suffix[3] = {'.', static_cast<char>('0' + attempt), 0};
                if (!append(path, suffix)) break;
            }
            const int fd =
                open(path.data(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
            if (fd >= 0) return fd;
            if (errno != EEXIST) break;  // this place will not take it: try the next
        }
    }
    return -1;
}

// Writes core file n as SAVE would: line markers, trailing blanks dropped, the line ends and the
// character set of the core file.
bool save_core(int n, Path& path) {
    const int fd = open_copy(n, path);
    if (fd < 0) return false;
    saved = 0;
    bool ok = true;
    const COREFILE& cf = core[n];
    const Charset cs = effective_charset(static_cast<Charset>(cf.encoding));
    const bool utf8 = cs != kCsLatin1;
    if (cs == kCsUtf8Bom) ok = put(fd, "\xEF\xBB\xBF");
    for (const LINE* l = cf.header->down; ok && l != cf.header; l = l->down) {
        if (l->object == kObjDead) continue;
        ok = put(fd, l->object == kObjPicture ? "\\l" : line_marker(l->object));
        const bool bytes = l->object != kObjNew && l->object != kObjPicture;
        long len = bytes ? l->length : 0;
        if (l->index < 0 || l->index + len > kTextSize) len = 0;
        while (len > 0 && textbase[l->index + len - 1] == ' ')
            --len;
        for (long i = 0; ok && i < len; ++i)
            ok = put_text(fd, textbase[l->index + i], utf8);
        if (ok && lfonly == 0) ok = put(fd, '\r');
        ok = ok && put(fd, '\n');
    }
    ok = ok && drain(fd);
    ok = close(fd) == 0 && ok;
    if (!ok) unlink(path.data());
    return ok;
}

void copy_env(const char* var, const char* fallback, Path& out) {
    const char* v = std::getenv(var);
    if (v == nullptr || v[0] != '/') v = fallback;
    out[0] = '\0';
    if (v != nullptr && !append(out, v)) out[0] = '\0';
}

}  // namespace

void prepare_emergency() {
    locale_utf8();  // settled now: a signal handler must not be the first to ask
    copy_env("HOME", nullptr, home_dir);
    copy_env("TMPDIR", "/tmp", temp_dir);
    for (auto& b : bases)
        b = NameBase{};
    notecount = 0;
}

int emergency_save_all() {
    static volatile sig_atomic_t busy = 0;
    if (busy) return 0;  // a fault while saving: do not start again
    busy = 1;
    int copies = 0;
    for (int n = 0; n < kCoreFiles; ++n) {
        if (core[n].edited == 0 || core[n].header == nullptr) continue;
        Path path{};
        if (!save_core(n, path)) continue;
        ++copies;
        if (notecount < kCoreFiles) {
            notes[static_cast<std::size_t>(notecount)].core = n;
            notes[static_cast<std::size_t>(notecount)].where = path;
            ++notecount;
        }
    }
    busy = 0;
    return copies;
}

void report_emergency_copies() {
    for (int i = 0; i < notecount; ++i) {
        char line[kPathMax + 64];
        const int len = std::snprintf(line, sizeof line, "oru: core file %d saved in %s\r\n",
                                      notes[static_cast<std::size_t>(i)].core,
                                      notes[static_cast<std::size_t>(i)].where.data());
        if (len <= 0) continue;
        ssize_t ignored = write(2, line, std::min(static_cast<std::size_t>(len), sizeof line - 1));
        (void)ignored;
    }
    notecount = 0;
}

std::string_view emergency_copy_path(int i) {
    if (i < 0 || i >= notecount) return {};
    return notes[static_cast<std::size_t>(i)].where.data();
}

// ---------------------------------------------------------------------------------------------
// Shell escapes, directories and the input switch
// ---------------------------------------------------------------------------------------------

namespace {

// Runs "/bin/sh" with the flag and the command and waits for it. While it runs the shell owns
// the terminal, so the interrupt and quit keys are for it, not for the editor.
bool run_shell(const char* flag, const char* command) {
    struct sigaction ignore {};
    struct sigaction oldint {};
    struct sigaction oldquit {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGINT, &ignore, &oldint);
    sigaction(SIGQUIT, &ignore, &oldquit);
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        signal(SIGINT, SIG_DFL);
        signal(SIGQUIT, SIG_DFL);
        signal(SIGPIPE, SIG_DFL);
        if (command != nullptr) {
            execl("/bin/sh", "sh", flag, command, static_cast<char*>(nullptr));
        } else {
            execl("/bin/sh", "sh", flag, static_cast<char*>(nullptr));
        }
        const char msg[] = "System error: execl failed\r\n";
        ssize_t ignored = write(1, msg, sizeof msg - 1);
        (void)ignored;
        _exit(1);
    }
    bool ok = pid > 0;
    if (pid < 0) {
        std::printf("System error: vfork failed.\r\n");
    } else {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    sigaction(SIGINT, &oldint, nullptr);
    sigaction(SIGQUIT, &oldquit, nullptr);
    return ok;
}

// Waits on the plain terminal for Return or rubout. The editor's screen is not up, so this reads
// bytes itself rather than keys, which would bring the screen back first.
void wait_return() {
    for (;;) {
        const int code = intran[orugetc() & 0xFF];
        if (code == 1 || code == 5) return;
    }
}

// Runs a shell command with the terminal given back to the user meanwhile.
void shell_escape(const char* command) {
    reseterm();
    scrclear();
    std::printf("%s\r\n", command);
    const bool interactive = command[0] == '\0' && progstate == 0;
    const bool ok = run_shell(interactive ? "-i" : "-c", interactive ? nullptr : command);
    initerm();
    if (progstate == 0) {
        std::printf("\r\n\nType [return] to continue\r");
        std::fflush(stdout);
        // A resize meanwhile is handled once the screen is back: redrawing now would cover the
        // shell's output that the user is reading.
        sigset_t winch;
        sigset_t old;
        sigemptyset(&winch);
        sigaddset(&winch, SIGWINCH);
        sigprocmask(SIG_BLOCK, &winch, &old);
        wait_return();
        sigprocmask(SIG_SETMASK, &old, nullptr);
    }
    std::fflush(stdout);
    physterm();
    if (!ok) del = 2;
    retake_screen(false);
}

}  // namespace

void calsys() {
    // The command's names go to the system in the locale's character set.
    shell_escape(sysname(sysstring.view()).c_str());
}

void directory() {
    const char* listing;
    switch (param[1]) {
        case 0:
        case 'B' - 'A' + 1:
            listing = "ls";
            break;
        case 'F' - 'A' + 1:
            listing = "ls -l";
            break;
        case 'T' - 'A' + 1:
            listing = "ls ..";
            break;
        default:
            diserr("Invalid Argument");
            del = 2;
            pushfn("DI");
            return;
    }
    shell_escape(listing);
}

void changedir() {
    if (sysstring.empty()) {
        std::array<char, kPathMax> where{};
        std::string shown;
        if (getcwd(where.data(), where.size()) == nullptr) {
            shown = "?";
        } else if (!from_system(where.data(), shown)) {
            shown = where.data();  // no Latin-1 form: shown as its bytes
        }
        diserr(shown);
        return;
    }
    // Names given so far are relative to the directory being left: remember it, so that an
    // emergency copy still lands beside its file.
    std::array<char, kPathMax> here{};
    const bool known = getcwd(here.data(), here.size()) != nullptr;
    if (chdir(sysname(sysstring.view()).c_str()) != 0) {
        diserr("Directory not found (or no permission)");
        del = 2;
        return;
    }
    for (int n = 0; n < kCoreFiles && known; ++n) {
        NameBase& b = bases[static_cast<std::size_t>(n)];
        const Name& name = core[n].filname;
        if (name.empty() || name.view()[0] == '/' || b.seen == name.view()) continue;
        b.dir = here.data();
        b.seen = name;
    }
}

void swinput() {
    switch (param[1]) {
        case 0:
            if (progstate == 1) {
                voluntary = 1;
                suspendprog();
            }
            read_keyboard();
            pltransmit("$mU###");
            break;
        case 1:
            resumeprog();
            break;
        case 2:
            killprog();
            pltransmit("$mU###");
            break;
        default:
            break;
    }
}
