#include "file.hpp"

#include "encoding.hpp"

#include <fcntl.h>
#include <limits.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if ORU_SHUFFLE
#include <immintrin.h>
#endif

#include <algorithm>
#include <array>
#include <bit>
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
#include "encoding.hpp"
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
constexpr int kDefaultLast = 200000;  // the command table's default last line
constexpr std::size_t kKeyFileLimit = 4 * kKeyBufSize;

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

// The refusal of a UTF-8 file with a character that the store's Latin-1 has not.
std::string beyond_message(const Sniff& s) {
    char msg[96];
    std::snprintf(msg, sizeof msg, "Line %ld holds %s, which Latin-1 has not: file not read",
                  s.line, codepoint_text(s.point).c_str());
    return msg;
}

// UPDATE moves the file aside and queues a SAVE: the new file takes the old one's owner and
// permissions.
struct PendingUpdate {
    bool active = false;
    std::string name;
    struct stat st {};
};
PendingUpdate pending_update;

// ---------------------------------------------------------------------------------------------
// Descriptors
// ---------------------------------------------------------------------------------------------

class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    Fd& operator=(Fd&& o) noexcept {
        if (this != &o) {
            if (fd_ >= 0) ::close(fd_);
            fd_ = o.fd_;
            o.fd_ = -1;
        }
        return *this;
    }
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

// Opens without blocking (a pipe with nobody at the other end must not hang the editor). The
// descriptor stays non-blocking, so that a device or pipe that does not answer cannot hold a
// transfer for ever either (see write_all).
int open_retry(const char* name, int flags, mode_t perm = 0) {
    int fd;
    do {
        fd = ::open(name, flags | O_CLOEXEC | O_NONBLOCK, perm);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool regular(int fd, struct stat* st = nullptr) {
    struct stat own;
    struct stat& s = st != nullptr ? *st : own;
    return ::fstat(fd, &s) == 0 && S_ISREG(s.st_mode);
}

// A text file to read: a regular file only. A pipe or a device could feed the editor without end
// or keep it waiting for ever.
Fd open_text(const char* name) {
    Fd fd(open_retry(sysname(name).c_str(), O_RDONLY));
    if (fd.ok() && !regular(fd.get())) return Fd();
    return fd;
}

ssize_t read_retry(int fd, void* buf, std::size_t n) {
    ssize_t r;
    do {
        r = ::read(fd, buf, n);
    } while (r < 0 && errno == EINTR);
    return r;
}

#if ORU_SHUFFLE
// For each set of bytes to drop among eight (a bit a byte): the places of the bytes kept, in
// order, then 0x80, which a shuffle turns into a zero byte.
constexpr std::array<std::uint64_t, 256> kKeep = [] {
    std::array<std::uint64_t, 256> table{};
    for (unsigned drop = 0; drop < 256; ++drop) {
        std::uint64_t places = 0;
        unsigned k = 0;
        for (unsigned i = 0; i < 8; ++i) {
            if ((drop >> i & 1) == 0) places |= std::uint64_t{i} << (8 * k++);
        }
        for (; k < 8; ++k)
            places |= std::uint64_t{0x80} << (8 * k);
        table[drop] = places;
    }
    return table;
}();

// Decodes UTF-8 sixteen bytes at a time, each block without a branch on its characters: a
// continuation after C3 gains 0x40, and the lead bytes are shuffled out. A lead that ends a block
// is taken with it and its continuation with the next, so each block starts where the last one
// ended and no load waits on the bytes decoded. Returns true when it stopped before a byte the
// line reader decides on (a line end, carriage return or tab); false when input or room ran
// short, or at a block holding anything but plain bytes and whole characters of Latin-1's upper
// half (a file changed since it was sniffed), which the byte-wise steps then take. Up to 16
// bytes past what counts may be written.
ORU_SHUFFLE_TARGET bool decode_blocks(const unsigned char*& from, const unsigned char* const end,
                                      unsigned char*& to, const unsigned char* const stop) {
    // Kept apart from the caller's pointers, which the stores could otherwise be changing.
    const unsigned char* p = from;
    unsigned char* o = to;
    // A byte below 16 is found by its own value at its place; any other byte finds 0x80 (or,
    // above 127, zero), which it is not.
    const __m128i control = _mm_setr_epi8(-128, -128, -128, -128, -128, -128, -128, -128, -128, 9,
                                          10, 11, -128, 13, -128, -128);
    const __m128i fe = _mm_set1_epi8(static_cast<char>(0xFE));
    const __m128i c2 = _mm_set1_epi8(static_cast<char>(0xC2));
    const __m128i c3 = _mm_set1_epi8(static_cast<char>(0xC3));
    const __m128i c0 = _mm_set1_epi8(static_cast<char>(0xC0));
    const __m128i x40 = _mm_set1_epi8(0x40);
    __m128i c3_before = _mm_setzero_si128();  // the last block's C3 bytes
    unsigned held = 0;                        // 1 when the last block ended in a lead
    while (end - p >= 16 && stop - o >= 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const auto ctl = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_shuffle_epi8(control, v), v)));
        const auto high = static_cast<unsigned>(_mm_movemask_epi8(v));
        const auto lead =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(v, fe), c2)));
        // As signed bytes, 80 to BF are exactly those below C0.
        const auto cont = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(v, c0)));
        // Each lead followed by a continuation, each continuation after a lead: in a file read
        // as UTF-8 each block starts with a character.
        if (((high & ~(lead | cont)) | ((cont ^ ((lead << 1) | held)) & 0xFFFF)) != 0) break;
        const __m128i is_c3 = _mm_cmpeq_epi8(v, c3);
        const __m128i after_c3 = _mm_alignr_epi8(is_c3, c3_before, 15);
        const __m128i text = _mm_add_epi8(v, _mm_and_si128(after_c3, x40));
        const __m128i packed = _mm_shuffle_epi8(
            text, _mm_set_epi64x(static_cast<long long>(kKeep[lead >> 8] + 0x0808080808080808ull),
                                 static_cast<long long>(kKeep[lead & 0xFF])));
        const int first_half = 8 - std::popcount(lead & 0xFF);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o), packed);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o + first_half),
                         _mm_unpackhi_epi64(packed, packed));
        if (ctl != 0) {
            // The bytes up to the control byte count; no lead is held before it, as it would
            // have had no continuation.
            const int take = std::countr_zero(ctl);
            from = p + take;
            to = o + take - std::popcount(lead & ((1u << take) - 1));
            return true;
        }
        o += first_half + 8 - std::popcount(lead >> 8);
        p += 16;
        held = lead >> 15;
        c3_before = is_c3;
    }
    from = p - held;  // a lead held for a block not taken goes back to the byte-wise steps
    to = o;
    return false;
}
#endif

// Reads a file in large blocks; get() gives the next byte or -1 at the end (or on an error).
// UTF-8 is decoded on the way, where plain bytes are copied into the line (take_plain); a
// character cut between two blocks, or a byte that starts none, comes through get() and the
// line reader completes it.
class Reader {
  public:
    Reader(int fd, bool utf8, bool bom)
        : fd_(fd),
          utf8_(utf8),
          skip_(bom ? 3 : 0),
          buf_(std::make_unique_for_overwrite<unsigned char[]>(kIoBuf)) {}
    bool utf8() const { return utf8_; }
    int get() {
        if (pos_ == len_ && !fill()) return -1;
        return buf_[pos_++];
    }
    // The next byte without taking it, or -1.
    int peek() {
        if (pos_ == len_ && !fill()) return -1;
        return buf_[pos_];
    }
    bool more() { return pos_ < len_ || fill(); }
    // The bytes of the block not yet taken, and taking them up to `to`.
    const unsigned char* unread() const { return buf_.get() + pos_; }
    const unsigned char* unread_end() const { return buf_.get() + len_; }
    void take_to(const unsigned char* to) { pos_ = static_cast<std::size_t>(to - buf_.get()); }

    // Copies plain bytes into dst up to the first line end, carriage return or tab (and, for
    // UTF-8, up to a byte above 127 that does not start a whole character in this block), at
    // most `room` of them; returns how many were written. Sixteen bytes are stored at a time,
    // so up to 16 bytes after the last one counted, still within `room`, may have been written
    // too: the caller marks them free again.
    std::size_t take_plain(unsigned char* const dst, const std::size_t room) {
        const unsigned char* p = buf_.get() + pos_;
        const unsigned char* const end = buf_.get() + len_;
        unsigned char* o = dst;
        unsigned char* const stop = dst + room;
        for (;;) {
#if ORU_SHUFFLE
            if (utf8_ && shuffle_paths() && decode_blocks(p, end, o, stop)) break;
#endif
#if defined(__SSE2__)
            // Room for the block and for the rest of it stored once more after each character.
            const bool blocks = end - p >= 48 && stop - o >= 48;
            if (blocks) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(o), v);
                // Tab, line feed and vertical tab are 9 to 11: below 3 once 9 is taken off.
                const __m128i low = _mm_sub_epi8(v, _mm_set1_epi8(9));
                const __m128i ctl =
                    _mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(low, _mm_set1_epi8(2)), low),
                                 _mm_cmpeq_epi8(v, _mm_set1_epi8('\r')));
                auto mask = static_cast<unsigned>(_mm_movemask_epi8(ctl));
                if (utf8_) mask |= static_cast<unsigned>(_mm_movemask_epi8(v));
                if (mask == 0) {
                    p += 16;
                    o += 16;
                    continue;
                }
                // The whole characters of Latin-1's upper half in the block go in as their one
                // byte, each moving the rest of the block one byte down, up to the first byte
                // that needs another decision.
                int at = std::countr_zero(mask);
                int shift = 0;  // characters decoded in this block
                while (utf8_ && at < 15 && pair_lead(p[at]) && continuation(p[at + 1])) {
                    o[at - shift] = pair_value(p[at], p[at + 1]);
                    const __m128i rest =
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at + 2));
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(o + at - shift + 1), rest);
                    ++shift;
                    mask &= ~(3u << at);
                    if (mask == 0) break;
                    at = std::countr_zero(mask);
                }
                if (mask == 0) {
                    p += 16;
                    o += 16 - shift;
                    continue;
                }
                p += at;
                o += at - shift;
            }
#else
            const bool blocks = false;
#endif
            if (!blocks) {
                while (p < end && o < stop && !special(*p))
                    *o++ = *p++;
            }
            // A whole character of Latin-1's upper half goes in as its one byte.
            if (utf8_ && end - p >= 2 && o < stop && pair_lead(*p) && continuation(p[1])) {
                *o++ = pair_value(p[0], p[1]);
                p += 2;
                continue;
            }
            break;
        }
        pos_ = static_cast<std::size_t>(p - buf_.get());
        return static_cast<std::size_t>(o - dst);
    }

  private:
    // The bytes the line reader decides on: line ends, carriage returns and tabs; for UTF-8
    // also every byte above 127.
    bool special(unsigned char c) const {
        return c == '\n' || c == '\v' || c == '\r' || c == '\t' || (utf8_ && c >= 0x80);
    }
    bool fill() {
        while (!done_) {
            const ssize_t n = read_retry(fd_, buf_.get(), kIoBuf);
            if (n <= 0) {
                done_ = true;
                return false;
            }
            const auto got = static_cast<std::size_t>(n);
            const std::size_t from = std::min(skip_, got);
            skip_ -= from;
            pos_ = from;
            len_ = got;
            if (len_ > pos_) return true;
        }
        return false;
    }

    int fd_;
    bool utf8_;
    std::size_t skip_;  // bytes of a byte-order mark still to drop
    // Not cleared: every byte is written before it is read, and a start-up pays for each page
    // cleared.
    std::unique_ptr<unsigned char[]> buf_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    bool done_ = false;
};

// How long a write may wait for a pipe or device that takes nothing.
constexpr int kDeviceWaitMs = 5000;

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
        if (w < 0 && errno == EAGAIN) {
            pollfd pf{fd, POLLOUT, 0};
            int r;
            do {
                r = ::poll(&pf, 1, kDeviceWaitMs);
            } while (r < 0 && errno == EINTR);
            if (r <= 0) return false;
            continue;
        }
        if (w <= 0) return false;
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

// Buffers output, encoding it as UTF-8 when asked, and remembers the first failure; nothing is
// written after it.
class Writer {
  public:
    Writer(int fd, bool utf8, WriteFn out)
        : fd_(fd),
          utf8_(utf8),
          out_(out != nullptr ? out : write_all),
          buf_(std::make_unique_for_overwrite<char[]>(kIoBuf + kUtf8Slack)) {}
    void put(const char* p, std::size_t n) {
        if (!ok_) return;
        if (n > kIoBuf - used_) {
            flush();
            if (n > kIoBuf) {
                ok_ = ok_ && out_(fd_, p, n);
                return;
            }
        }
        std::memcpy(buf_.get() + used_, p, n);
        used_ += n;
    }
    void put(char c) {
        if (used_ == kIoBuf) flush();
        if (ok_) buf_[used_++] = c;
    }
    // Text from the store: Latin-1, written in the file's character set.
    void text(const char* p, std::size_t n) {
        if (!utf8_) return put(p, n);
        const char* const end = p + n;
        while (p < end && ok_) {
            if (kIoBuf - used_ < 2) flush();
            // As much as the buffer takes, each character one or two bytes (the encoder's slack
            // lies beyond the buffer's end).
            const std::size_t take =
                std::min((kIoBuf - used_) / 2, static_cast<std::size_t>(end - p));
            char* const to = latin1_to_utf8(p, take, buf_.get() + used_);
            used_ = static_cast<std::size_t>(to - buf_.get());
            p += take;
        }
    }
    bool flush() {
        if (ok_ && used_ > 0) ok_ = out_(fd_, buf_.get(), used_);
        used_ = 0;
        return ok_;
    }

  private:
    int fd_;
    bool utf8_;
    WriteFn out_;
    std::unique_ptr<char[]> buf_;
    std::size_t used_ = 0;
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
    // Bytes from `avail` up to `stale` hold text no line owns any more, not yet marked free.
    LineReader(int fd, bool utf8, bool bom, long stale) : in_(fd, utf8, bom), written_(stale) {}
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    // Bytes that take_plain wrote past the lines kept, and stale bytes, lie above `avail`: free
    // again.
    ~LineReader() {
        if (written_ > avail)
            std::fill(textbase.begin() + avail, textbase.begin() + written_, kFreeByte);
    }

    // Whether anything is left to read after the last line.
    bool more() { return !at_end_ && in_.more(); }

    // Makes records of up to `most` of the lines that follow, as long as the wide path can read
    // them (see wide_lines); false when a record could not be had.
    bool bulk(long most, long& made);

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
        bool picture = false;
        if (fetchstyle == 1 && c == '\\') {
            int d = in_.get();
            while (d == '\r')
                d = in_.get();
            const int kind = marker_object(d);
            if (kind == kObjPicture) {
                // Only a line holding the marker alone is a picture line: a line such as
                // \label{x} is text and keeps every character.
                picture = true;
                if (!put('\\') || !put('l')) return full();
                c = in_.get();
            } else if (kind >= 0) {
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
            // A UTF-8 character that take_plain left: one cut between two blocks.
            if (c >= 0x80 && in_.utf8() && pair_lead(static_cast<unsigned>(c))) {
                const int d = in_.peek();
                if (d >= 0 && continuation(static_cast<unsigned>(d))) {
                    in_.get();
                    c = pair_value(static_cast<unsigned>(c), static_cast<unsigned>(d));
                }
            }
            if (!put(static_cast<unsigned char>(c))) return full();
        }
        long keep = len_;
        while (keep > 0 && base_[keep - 1] == ' ')
            --keep;
        // A picture's own lines would follow its marker; pictures have no store here, so the
        // marker line carries nothing.
        if (picture && keep == 2) {
            object = kObjPicture;
            keep = 0;
        }
        if (keep < len_) std::fill(base_ + keep, base_ + len_, kFreeByte);
        length = static_cast<int>(keep);
        return Got::Line;
    }

  private:
    // The next byte that needs a decision; the plain bytes before it go straight into the line.
    int next() {
        len_ +=
            static_cast<long>(in_.take_plain(base_ + len_, static_cast<std::size_t>(room_ - len_)));
        written_ = std::max(written_, std::min(base_ + len_ + 16 - textbase.data(), avail + room_));
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
    long written_ = 0;  // the arena offset up to which bytes may have been written
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

#if ORU_SHUFFLE
// How many lines the wide path reads before their records are made.
constexpr int kWideBatch = 256;

// The bits up to and with the highest set in `bits`; none when it has none.
ORU_WIDE_TARGET inline std::uint64_t through(std::uint64_t bits) {
    return bits == 0 ? 0 : ~std::uint64_t{0} >> std::countl_zero(bits);
}

// Reads the lines from `from` on into the arena at `avail`, 64 bytes at a time, up to a line the
// byte-wise reader must take: one holding a vertical tab, one that starts with a backslash (a
// marker) or a carriage return, one whose trailing blanks run back into an earlier block, one not
// whole before `end` or before the room in the arena runs out, or (for UTF-8) one in a block
// holding anything but plain bytes and whole characters of Latin-1's upper half. Line feeds,
// carriage returns and lead bytes are compressed out of each block as it is stored, so each
// line's text follows the last one's; a tab becomes blanks, and after a tab or a line that lost
// trailing blanks the next block starts where the text goes on. Gives the lengths of at most
// `most` lines read, leaves `from` at the start of the next and `written` at least at the end of
// the bytes stored; the caller makes the records.
ORU_WIDE_TARGET int wide_lines(const unsigned char*& from, const unsigned char* const end,
                               const bool utf8, const int most, int* const lengths, long& written) {
    const __m512i lf = _mm512_set1_epi8('\n');
    const __m512i tab = _mm512_set1_epi8('\t');
    const __m512i vt = _mm512_set1_epi8('\v');
    const __m512i cr = _mm512_set1_epi8('\r');
    const __m512i blank = _mm512_set1_epi8(' ');
    const __m512i backslash = _mm512_set1_epi8('\\');
    const __m512i fe = _mm512_set1_epi8(static_cast<char>(0xFE));
    const __m512i c2 = _mm512_set1_epi8(static_cast<char>(0xC2));
    const __m512i c3 = _mm512_set1_epi8(static_cast<char>(0xC3));
    const __m512i c0 = _mm512_set1_epi8(static_cast<char>(0xC0));
    const __m512i x40 = _mm512_set1_epi8(0x40);
    const bool markers = fetchstyle == 1;
    const bool expand = octflag == 0;
    unsigned char* const arena = textbase.data();
    const unsigned char* const stop = arena + hiaddr;
    const unsigned char* p = from;
    unsigned char* o = arena + avail;
    unsigned char* line = o;  // where the next line's text starts
    int made = 0;
    // Kept here until the end: each store into the arena could otherwise be changing them.
    const unsigned char* next = from;
    long top = written;
    const auto done = [&] {
        from = next;
        written = top;
        return made;
    };
    // What came before the block: whether a line starts with it, whether the last byte kept
    // was a blank, whether it ended in a lead and whether that lead was C3.
    std::uint64_t starts = 1;
    std::uint64_t blank_before = 0;
    std::uint64_t held = 0;
    std::uint64_t c3_before = 0;
    while (end - p >= 64 && stop - o >= 64) {
        const __m512i v = _mm512_loadu_si512(p);
        const std::uint64_t lf_at = _mm512_cmpeq_epi8_mask(v, lf);
        const std::uint64_t cr_at = _mm512_cmpeq_epi8_mask(v, cr);
        const std::uint64_t blank_at = _mm512_cmpeq_epi8_mask(v, blank);
        const std::uint64_t line_starts = lf_at << 1 | starts;
        std::uint64_t halt = _mm512_cmpeq_epi8_mask(v, vt) | (cr_at & line_starts);
        if (markers) halt |= _mm512_cmpeq_epi8_mask(v, backslash) & line_starts;
        const std::uint64_t tabs = expand ? _mm512_cmpeq_epi8_mask(v, tab) : 0;
        std::uint64_t drop = lf_at | cr_at;
        __m512i text = v;
        std::uint64_t lead = 0;
        std::uint64_t c3_at = 0;
        if (utf8) {
            const std::uint64_t high = _mm512_movepi8_mask(v);
            lead = _mm512_cmpeq_epi8_mask(_mm512_and_si512(v, fe), c2);
            // As signed bytes, 80 to BF are exactly those below C0.
            const std::uint64_t cont = _mm512_cmplt_epi8_mask(v, c0);
            // A block that is not whole characters of Latin-1 (a file changed since it was
            // sniffed) stops the line it is in.
            if (((high & ~(lead | cont)) | (cont ^ (lead << 1 | held))) != 0) halt |= 1;
            c3_at = _mm512_cmpeq_epi8_mask(v, c3);
            text = _mm512_mask_add_epi8(v, c3_at << 1 | c3_before, v, x40);
            drop |= lead;
        }
        _mm512_storeu_si512(o, _mm512_maskz_compress_epi8(~drop, text));
        top = std::max(top, o + 64 - arena);
        const std::uint64_t kept = ~drop;
        // The lines that end before the first byte that needs a decision.
        const std::uint64_t decide = halt | tabs;
        const int first = decide == 0 ? 64 : std::countr_zero(decide);
        std::uint64_t ends = first == 64 ? lf_at : lf_at & ((std::uint64_t{1} << first) - 1);
        bool moved = false;  // a line lost trailing blanks: the next starts where they were
        while (ends != 0) {
            const int at = std::countr_zero(ends);
            ends &= ends - 1;
            const std::uint64_t below = (std::uint64_t{1} << at) - 1;
            unsigned char* const line_end = o + at - std::popcount(drop & below);
            // The line's bytes kept in this block, and its last one that is not a blank.
            const std::uint64_t earlier = lf_at & below;
            const std::uint64_t own = kept & below & ~through(earlier);
            const std::uint64_t word = own & ~blank_at;
            int strip = 0;
            if (word != 0) {
                strip = std::popcount(own & ~through(word));
            } else if (earlier != 0 || starts != 0 || blank_before == 0) {
                strip = std::popcount(own);  // all blanks, or its last word ends before the block
            } else {
                return done();  // blanks run back past the block: the byte-wise reader strips them
            }
            lengths[made] = static_cast<int>(line_end - line) - strip;
            next = p + at + 1;
            if (++made == most) return done();
            line = line_end - strip;
            if (strip != 0) {
                moved = true;
                break;
            }
        }
        if (moved) {
            o = line;
            p = next;
            starts = 1;
            blank_before = 0;
            held = 0;
            c3_before = 0;
            continue;
        }
        if (first == 64) {
            if (kept != 0) blank_before = blank_at >> (63 - std::countl_zero(kept)) & 1;
            o += std::popcount(kept);
            p += 64;
            starts = lf_at >> 63;
            held = lead >> 63;
            c3_before = c3_at >> 63;
            continue;
        }
        if ((halt >> first & 1) != 0) return done();
        // A tab: blanks up to the next tab stop, then on from the byte after it.
        unsigned char* to = o + first - std::popcount(drop & ((std::uint64_t{1} << first) - 1));
        long length = to - line;
        do {
            if (stop - to <= 64) return done();
            *to++ = ' ';
            ++length;
        } while (tabcol(static_cast<int>(length) + 1) == 0);
        top = std::max(top, to - arena);
        o = to;
        p += first + 1;
        starts = 0;
        blank_before = 1;
        held = 0;
        c3_before = 0;
    }
    return done();
}
#endif

bool LineReader::bulk(long most, long& made) {
    made = 0;
#if ORU_SHUFFLE
    if (!wide_paths() || !more()) return true;
    std::array<int, kWideBatch> lengths;
    for (;;) {
        const unsigned char* from = in_.unread();
        const int want = static_cast<int>(std::min<long>(kWideBatch, most - made));
        const int got =
            wide_lines(from, in_.unread_end(), in_.utf8(), want, lengths.data(), written_);
        in_.take_to(from);
        for (int i = 0; i < got; ++i) {
            if (!keepline(kObjText, lengths[static_cast<std::size_t>(i)])) return false;
            ++made;
        }
        if (got < want || made == most) return true;
    }
#else
    (void)most;
    return true;
#endif
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

void putline(Writer& w, const LINE* l) {
    if (l->object == kObjPicture) {
        w.put("\\l", 2);
    } else {
        const char* m = line_marker(l->object);
        if (*m != '\0') w.put(m, std::strlen(m));
        if (l->object != kObjNew && l->length > 0) {
            w.text(reinterpret_cast<const char*>(textbase.data() + l->index),
                   static_cast<std::size_t>(l->length));
        }
    }
    if (lfonly == 0) w.put('\r');
    w.put('\n');
}

// Where a replacement of `name` has to happen: the file itself, or for a symbolic link the file it
// points to, so the link survives.
std::string resolved(const std::string& name) {
    struct stat ls;
    if (::lstat(name.c_str(), &ls) == 0 && S_ISLNK(ls.st_mode)) {
        std::unique_ptr<char, decltype(&std::free)> real(::realpath(name.c_str(), nullptr),
                                                         &std::free);
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

// The character set the current core file is written in.
Charset write_charset() {
    return effective_charset(static_cast<Charset>(cur().encoding));
}

// Writes lines of the current core file; `start` is true when they go at the start of the file,
// where a byte-order mark the file came with is written back.
bool write_into(int fd, long first, long last, bool start) {
    // A file-size limit must show as a failed write, not end the editor.
    ::signal(SIGXFSZ, SIG_IGN);
    const Charset cs = write_charset();
    if (start && cs == kCsUtf8Bom && !write_all(fd, "\xEF\xBB\xBF", 3)) return false;
    return pfile(fd, first, last, cs);
}

// Writes into the file itself. Appending (JOIN) that fails cuts the file back to its old length,
// so no partial lines are left at its end.
bool write_in_place(const std::string& name, int flags, long first, long last) {
    Fd fd(open_retry(name.c_str(), O_WRONLY | flags));
    if (!fd.ok()) return false;
    struct stat st;
    const bool reg = regular(fd.get(), &st);
    const bool append = (flags & O_APPEND) != 0;
    bool written = write_into(fd.get(), first, last, !append || (reg && st.st_size == 0));
    if (!written && append && reg) {
        const int err = errno;
        int r;
        do {
            r = ::ftruncate(fd.get(), st.st_size);
        } while (r != 0 && errno == EINTR);
        errno = err;
    }
    return fd.close() && written;
}

// Gives a new file the owner, group and permissions of the one it replaces. False when the owner
// or group cannot be kept (the file would change hands): the caller then writes in place.
bool keep_owner_and_mode(int fd, const struct stat& st) {
    struct stat now;
    if (::fstat(fd, &now) != 0) return false;
    if ((now.st_uid != st.st_uid || now.st_gid != st.st_gid) &&
        ::fchown(fd, st.st_uid, st.st_gid) != 0) {
        return false;
    }
    // After the owner: changing it clears the set-id bits.
    return ::fchmod(fd, st.st_mode & 07777) == 0;
}

// Writes to a new file beside the old one and renames it over, so a failure leaves the old
// contents as they were. Where that cannot be done (a directory we may not write in, a file we
// could not give back to its owner) the file is written in place.
bool replace_file(const std::string& name, long first, long last) {
    const std::string target = resolved(name);
    struct stat st;
    if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink > 1) {
        return write_in_place(target, O_TRUNC, first, last);
    }
    std::string tmp = directory_of(target) + "/.oru-save-XXXXXX";
    std::vector<char> path(tmp.begin(), tmp.end());
    path.push_back('\0');
    Fd fd(::mkostemp(path.data(), O_CLOEXEC));
    if (!fd.ok()) return write_in_place(target, O_TRUNC, first, last);
    if (!keep_owner_and_mode(fd.get(), st)) {
        fd.close();
        ::unlink(path.data());
        return write_in_place(target, O_TRUNC, first, last);
    }
    bool ok = write_into(fd.get(), first, last, true);
    // The new contents must be on disk before the name moves to them, or a crash could leave
    // an empty file where the old one was.
    ok = ok && ::fsync(fd.get()) == 0;
    ok = fd.close() && ok;
    ok = ok && ::rename(path.data(), target.c_str()) == 0;
    if (!ok) ::unlink(path.data());
    return ok;
}

// After a write of lines first to last to `name`: a failure is said and leaves the core file
// edited; a whole core file written to its own file leaves it unchanged and whole again.
bool finish_write(bool ok, long first, long last) {
    if (!ok) {
        show(kWriteFailed);
        return false;
    }
    COREFILE& cf = cur();
    cf.edited = 0;
    if (first <= 1 && last >= cf.lncount && cf.filname == curfile.view()) cf.partial = 0;
    return true;
}

// The line, from 1, of the byte at `offset` in a file: counted only for a file refused.
long line_at(int fd, long offset, unsigned char* buf) {
    long line = 1;
    for (long at = 0; at < offset;) {
        const auto want = static_cast<std::size_t>(std::min<long>(kIoBuf, offset - at));
        const ssize_t n = ::pread(fd, buf, want, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        line += std::count(buf, buf + n, static_cast<unsigned char>('\n'));
        at += n;
    }
    return line;
}

// A file opened for reading and sniffed for its character set.
struct Source {
    Fd fd;
    Sniff sniff;
};

// Opens `name` for reading and finds its character set. Says why and returns false when it
// cannot be read, or holds characters that the store cannot (nothing has been changed then).
bool open_source(const char* name, Source& src) {
    src.fd = open_text(name);
    if (!src.fd.ok()) {
        show(kNotFound);
        return false;
    }
    Sniffer sn;
    const auto chunk = std::make_unique_for_overwrite<unsigned char[]>(kIoBuf);
    for (;;) {
        const ssize_t n = read_retry(src.fd.get(), chunk.get(), kIoBuf);
        if (n < 0) {
            show(kNotFound);
            return false;
        }
        if (n == 0) break;
        sn.feed(chunk.get(), static_cast<std::size_t>(n));
    }
    src.sniff = sn.finish();
    if (::lseek(src.fd.get(), 0, SEEK_SET) != 0) {
        show(kNotFound);
        return false;
    }
    if (src.sniff.kind == Sniff::Beyond) {
        src.sniff.line = line_at(src.fd.get(), src.sniff.offset, chunk.get());
        show(beyond_message(src.sniff));
        return false;
    }
    return true;
}

// The character set a core file takes from a file it read: an ASCII file decides nothing.
Charset charset_of(const Sniff& s) {
    switch (s.kind) {
        case Sniff::Latin1:
            return kCsLatin1;
        case Sniff::Utf8:
            return s.bom ? kCsUtf8Bom : kCsUtf8;
        default:
            return kCsNone;
    }
}

int read_lines(Source& src, long first, long last, std::string_view check, bool& whole,
               long stale = 0);

// Reads lines after `after` from an opened source; the cursor goes back to `keep`. INSERT and
// APPEND mark the core file edited even when the file gave no line.
bool read_after(Source& src, LINE* after, LINE* keep, long first, long last,
                std::string_view check) {
    COREFILE& cf = cur();
    cf.lnptr = after;
    bool whole = false;
    read_lines(src, first, last, check, whole);
    cf.lnptr = keep;
    cf.edited = 1;
    if (cf.encoding == kCsNone) cf.encoding = charset_of(src.sniff);
    redisplay = 1;
    return ioerr == 0;
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
    Fd fd = open_text(name);
    if (!fd.ok()) return false;
    std::array<char, 4096> chunk;
    for (;;) {
        const ssize_t n = read_retry(fd.get(), chunk.data(), chunk.size());
        if (n < 0) return false;
        if (n == 0) return true;
        raw.append(chunk.data(), static_cast<std::size_t>(n));
        // Far past what any key string may hold: stop reading; readfile refuses it.
        if (raw.size() > kKeyFileLimit) return true;
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

void charset_option(int option) {
    COREFILE& cf = cur();
    if (option == 14) cf.encoding = kCsLatin1;
    if (option == 15) cf.encoding = kCsUtf8;
    const auto cs = static_cast<Charset>(cf.encoding);
    char msg[80];
    std::snprintf(msg, sizeof msg, "Core file %d is written in %s%s", corenum,
                  charset_name(effective_charset(cs)),
                  cs == kCsNone ? " (the locale's; it came from no file)" : "");
    show(msg);
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
    pending_update.active = false;
    rcheck = kFileChecks;
    for (auto& b : keybufs.current)
        release(std::move(b));
}

// ---------------------------------------------------------------------------------------------
// gfile and pfile
// ---------------------------------------------------------------------------------------------

namespace {

int read_lines(Source& src, long first, long last, std::string_view check, bool& whole,
               long stale) {
    ioerr = 0;
    whole = false;
    if (first == 0 && last == 0) {
        first = 1;
        last = kAllLines;
    }
    const bool checking = !check.empty();
    // A malformed check lets no record pass, which the test itself reports.
    if (checking) rcheck.compile(check);
    const bool utf8 = src.sniff.kind == Sniff::Utf8;
    LineReader in(src.fd.get(), utf8, utf8 && src.sniff.bom, stale);
    long remaining = last;
    long number = 0;
    bool ended = false;
    while (remaining > 0 && ioerr == 0) {
        if (!checking && number >= first - 1) {
            long made = 0;
            const bool ok = in.bulk(remaining, made);
            number += made;
            remaining -= made;
            if (!ok) {
                ioerr = 1;
                break;
            }
            if (remaining == 0) break;
        }
        int object = 0;
        int length = 0;
        const Got got = in.gline(object, length);
        if (got == Got::End) {
            ended = true;
            break;
        }
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
    whole = ioerr == 0 && first <= 1 && !checking && (ended || !in.more());
    if (ioerr == 1) show("File Truncated");
    if (ioerr == 3) show("Bad Picture Encountered");
    return ioerr;
}

}  // namespace

int gfile(const char* name, long first, long last, std::string_view check) {
    Source src;
    if (!open_source(name, src)) return ioerr = 1;
    bool whole = false;
    return read_lines(src, first, last, check, whole);
}

bool pfile(int fd, long first, long last, Charset cs, WriteFn out) {
    Writer w(fd, effective_charset(cs) != kCsLatin1, out);
    const COREFILE& cf = cur();
    long number = 0;
    // Every line of the core file loses its trailing blanks, in the same pass that writes those
    // in the range: a large file's records are gone through once.
    for (LINE* l = cf.header->down; l != cf.header; l = l->down) {
        detrline(l);
        ++number;
        if (number >= first && number <= last) putline(w, l);
    }
    return w.flush();
}

const char* line_marker(int object) {
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

// ---------------------------------------------------------------------------------------------
// The file commands
// ---------------------------------------------------------------------------------------------

bool fetch_range(long first, long last, std::string_view check) {
    // The core file is only emptied once the file is known to be readable.
    Source src;
    if (!open_source(curfile.c_str(), src)) return false;
    const long stale = emptyfile();
    COREFILE& cf = cur();
    bool whole = false;
    read_lines(src, first, last, check, whole, stale);
    if (cf.header->down == cf.header && allocln(kObjNew, 0) != nullptr) makeobject();
    cf.filname.assign_cut(curfile.view());
    cf.encoding = charset_of(src.sniff);
    cf.partial = whole ? 0 : 1;
    wrwholescreen();
    // A file the store could not take whole stays marked changed: saving it over its own file
    // would lose the rest.
    cf.edited = ioerr == 1 ? 1 : 0;
    return ioerr == 0;
}

bool insert_range(long first, long last, std::string_view check) {
    Source src;
    if (!open_source(curfile.c_str(), src)) return false;
    COREFILE& cf = cur();
    LINE* keep = cf.lnptr;
    return read_after(src, keep, keep, first, last, check);
}

bool append_range(long first, long last, std::string_view check) {
    Source src;
    if (!open_source(curfile.c_str(), src)) return false;
    COREFILE& cf = cur();
    return read_after(src, cf.header->up, cf.lnptr, first, last, check);
}

bool save_range(long first, long last) {
    const std::string name = sysname(curfile.view());
    Fd fd(open_retry(name.c_str(), O_WRONLY | O_TRUNC));
    struct stat st;
    const bool reg = fd.ok() && regular(fd.get(), &st);
    // UPDATE moved the old file aside: the new one takes its owner and permissions.
    if (reg && pending_update.active && pending_update.name == name) {
        keep_owner_and_mode(fd.get(), pending_update.st);
    }
    pending_update.active = false;
    bool ok = fd.ok() && write_into(fd.get(), first, last, true);
    ok = fd.close() && ok;
    // The check created this file for the save: a failed save leaves nothing half written.
    if (!ok && reg) ::unlink(name.c_str());
    return finish_write(ok, first, last);
}

bool overwrite_range(long first, long last) {
    COREFILE& cf = cur();
    if (!(cf.filname == curfile.view())) {
        if (show("Check name, not file fetched") == 2) return false;
    } else if (cf.partial != 0 && show("Only part of the file is here: overwrite it all?") == 2) {
        return false;
    }
    return finish_write(replace_file(sysname(curfile.view()), first, last), first, last);
}

bool join_range(long first, long last) {
    return finish_write(write_in_place(sysname(curfile.view()), O_APPEND, first, last), 1, 0);
}

bool delete_file() {
    if (::unlink(sysname(curfile.view()).c_str()) != 0) {
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
    const std::string from = sysname(curfile.view());
    std::string to = sysname(target);
    struct stat st;
    // Into a directory, as a move does: the file keeps its name there.
    if (::stat(to.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        const auto slash = from.rfind('/');
        to += "/" + (slash == std::string::npos ? from : from.substr(slash + 1));
    }
    if (::lstat(to.c_str(), &st) == 0) {
        char msg[80];
        std::snprintf(msg, sizeof msg, " Overwrite file:%.*s?", static_cast<int>(target.size()),
                      target.data());
        if (show(msg) == 2) return false;
    }
    // The system renames: no shell or other program reads the names, so blanks, quotes and a
    // leading '-' are only characters of a name.
    if (::rename(from.c_str(), to.c_str()) != 0) {
        char msg[120];
        std::snprintf(msg, sizeof msg, "Unable to rename file: %s", std::strerror(errno));
        show(msg);
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
    const std::string name = sysname(cf.filname.view());
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
    pending_update.active = true;
    pending_update.name = name;
    pending_update.st = st;
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
    if (!run_program({"list", sysname(name), std::to_string(first), std::to_string(last),
                      std::to_string(copies), sysname(initfile)},
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
    const bool cut = raw.size() > kKeyFileLimit;
    const Sniff s = cut ? Sniff{} : decode_file_text(raw);
    if (s.kind == Sniff::Beyond) {
        show(beyond_message(s));
        return nullptr;
    }
    auto keys = std::make_unique<std::string>(translate_keys(raw));
    // The buffer holds the keys and the terminating byte.
    if (cut || keys->size() + 1 > kKeyBufSize) {
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

// The last line of a range: the default (also what `*` gives with no starred line) means the
// end of the file, however many lines it has.
long range_last(int n) {
    return param[n] == kDefaultLast ? kAllLines : param[n];
}

// The starting-point string UPDATE queues lives as long as the key-string stack may read it.
constexpr const char* kSaveAgain = "SA *\r";

}  // namespace

void fetchfile() {
    outcome(fetch_range(param[2], range_last(3), recboolcheck.view()));
}
void insrtfile() {
    outcome(insert_range(param[2], range_last(3), recboolcheck.view()));
}
void appendfile() {
    outcome(append_range(param[2], range_last(3), recboolcheck.view()));
}
void savefile() {
    outcome(save_range(param[2], range_last(3)));
}
void ovrwritefile() {
    outcome(overwrite_range(param[2], range_last(3)));
}
void join() {
    outcome(join_range(param[2], range_last(3)));
}
void deletefile() {
    outcome(delete_file());
}
void newname() {
    outcome(rename_file(targetstring.view()));
}
void list() {
    outcome(list_file(listfile.view(), param[2], range_last(3), param[4], listinitfile.view()));
}

void update() {
    if (!update_file()) {
        del = 2;
        return;
    }
    pushfn(kSaveAgain);
}

void emit() {
    // Only a running driver reads: one that is stopped would find the block out of step.
    if (param[4] != 1 || progstate != 1) return;
    const int fd = driver_fd();
    if (fd < 0) return;
    const int keep = corenum;
    if (param[1] >= 1 && param[1] <= 18) corenum = param[1];
    // The driver's pipe carries the store's bytes as they are.
    bool ok = pfile(fd, param[2], range_last(3), kCsLatin1, write_driver);
    corenum = keep;
    ok = ok && write_driver(fd, "$$$\r\n", 5);
    if (!ok) killprog();
    outcome(ok);
}
