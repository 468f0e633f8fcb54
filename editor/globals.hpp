// Shared records and globals of the editor: the text store, the core files and the state that the
// edit loop hands from one module to the next. Module-private state lives in its module.
#pragma once

#include <array>
#include <csignal>
#include <cstddef>
#include <cstring>
#include <string_view>

// ---------------------------------------------------------------------------------------------
// Fixed sizes of the design
// ---------------------------------------------------------------------------------------------
inline constexpr long kTextSize = 4'000'000;      // bytes in the arena
inline constexpr long kHiAddr = 3'999'000;        // compaction threshold
inline constexpr int kCoreFiles = 20;             // core files 0 to 19
inline constexpr int kNameLen = 48;               // file names and string parameters
inline constexpr unsigned char kFreeByte = 0xFF;  // a byte no line owns
inline constexpr int kEndOfFile = 4;              // peepc past the last line
inline constexpr int kEndOfLine = 10;             // peepc past a line's end

// A fixed-capacity, always terminated character string. Writes that do not fit are refused
// (assign) or cut (assign_cut); nothing is ever written past the end.
template <std::size_t N>
class FixStr {
  public:
    static constexpr std::size_t capacity = N;

    FixStr() { buf_[0] = '\0'; }
    explicit FixStr(std::string_view s) { assign_cut(s); }

    // Refuses (returns false, leaves the string as it was) when s is longer than N.
    bool assign(std::string_view s) {
        if (s.size() > N) return false;
        set(s);
        return true;
    }
    // Keeps the first N characters of s.
    void assign_cut(std::string_view s) { set(s.substr(0, std::min(s.size(), N))); }
    // Appends what fits; returns false when something had to be cut.
    bool append(std::string_view s) {
        std::size_t room = N - len_;
        std::size_t n = std::min(room, s.size());
        if (n > 0) std::memcpy(buf_.data() + len_, s.data(), n);
        len_ += n;
        buf_[len_] = '\0';
        return n == s.size();
    }
    bool push_back(char c) { return append(std::string_view(&c, 1)); }
    void clear() { set({}); }

    const char* c_str() const { return buf_.data(); }
    std::string_view view() const { return {buf_.data(), len_}; }
    std::size_t size() const { return len_; }
    bool empty() const { return len_ == 0; }
    char operator[](std::size_t i) const { return i < len_ ? buf_[i] : '\0'; }
    bool operator==(std::string_view s) const { return view() == s; }

  private:
    void set(std::string_view s) {
        if (!s.empty()) std::memcpy(buf_.data(), s.data(), s.size());
        len_ = s.size();
        buf_[len_] = '\0';
    }
    std::array<char, N + 1> buf_{};
    std::size_t len_ = 0;
};

using Name = FixStr<kNameLen>;

// ---------------------------------------------------------------------------------------------
// Line and core-file records
// ---------------------------------------------------------------------------------------------
enum Object : int {
    kObjDead = -1,
    kObjText = 0,
    kObjRecord = 1,
    kObjPicture = 2,
    kObjMath = 3,
    kObjNone = 4,
    kObjNew = 5,
};

struct LINE {
    LINE* up = nullptr;
    LINE* down = nullptr;
    LINE* nextphys = nullptr;
    int object = kObjNew;
    int length = 0;
    long index = 0;
    long linekey = 0;
};

struct COREFILE {
    LINE* header = nullptr;
    LINE* lnptr = nullptr;
    int curcol = 1;
    int curline = 1;
    int lncount = 0;
    long charcount = 0;
    int viewtype = 0;
    int curflag = 1;
    Name filname;
    char edited = 0;
    LINE* starA = nullptr;
    LINE* starB = nullptr;
    char nextstar = 'A';
    int starcount = 0;
    int cstarA = 0;
    int cstarB = 0;
    char cnextstar = 'A';
    int cstarcount = 0;
    LINE* disln = nullptr;
    unsigned char encoding = 0;  // Charset of the file it came from (encoding.hpp)
    char partial = 0;            // 1 when it holds only part of the file it was fetched from
};

// ---------------------------------------------------------------------------------------------
// The text store
// ---------------------------------------------------------------------------------------------
extern std::array<unsigned char, kTextSize> textbase;
extern long avail;
extern long hiaddr;
extern LINE* reserve;
extern int full;
extern LINE firstphys;
extern LINE* lastphys;
extern std::array<COREFILE, kCoreFiles> core;
extern int corenum;

// The scanning cursor.
extern LINE* lp;
extern int cp;
extern int dist;

// Ring of the last characters removed by cremove.
inline constexpr int kDelBufSize = 80;
extern std::array<char, kDelBufSize> delbuf;
extern int delptr;

inline COREFILE& cur() {
    return core[corenum];
}

// ---------------------------------------------------------------------------------------------
// Edit-loop state shared between modules
// ---------------------------------------------------------------------------------------------
extern int type;       // operation code of the last key
extern char holdch;    // character of the last key
extern int mode;       // 0 command line, 1 typing over, 2 inserting
extern int overflg;    // set by GOODBYE to end the edit loop
extern int repflag;    // non-zero: repeat limits are not enforced
extern int redisplay;  // redraw request for the next display call
extern int del;        // answer of the last confirmation: 1 Return, 2 rubout
extern int transb;     // upper-case lock
// Raised by the interrupt key, the one key that acts while oru is busy. A long operation clears it
// when it starts and stops early, saying so, when it finds it set.
extern volatile std::sig_atomic_t abortreq;

// Permission masks of the operation table.
extern const std::array<int, 6> viewmask;
extern const std::array<int, 8> editmask;
extern int cureditmask;
extern int curviewmask;
extern int curopmask;

// Margins, shared by typing, reformat and the ruler.
extern int lmargin;
extern int rmargin;

// File name the file commands and their checks work on.
extern Name curfile;

// Brings the shared edit-loop state to its start-up values.
void reset_globals();
