#include "scrin.hpp"

#include <algorithm>
#include <cstring>

#include "build.hpp"
#include "file.hpp"
#include "globals.hpp"
#include "scrout.hpp"
#include "termutils.hpp"

std::array<int, kLoopDepths> vl_result{};
int loopdepth = 0;
std::array<std::array<char, kPattLen>, kWildSlots> unified{};

namespace {

// Positions just after each open loop start, from loopstack[1].
std::array<const char*, kLoopDepths> loopstack{};
int loopptr = 0;
// The comparison text of a wildcard test.
std::array<char, kPattLen> patt{};
int pattlen = 0;

// Arena offset where each pattern position was last tried; -1 where it was not.
std::array<long, kPattLen> matcharray{};
// Lengths of the captures, which may hold zero bytes.
std::array<int, kWildSlots> unifiedlen{};

// The bytes of the procedure control keys, as stored in key strings.
constexpr unsigned char kIfWild = 217;
constexpr unsigned char kIfEqual = 211;
constexpr unsigned char kIfPositive = 241;
constexpr unsigned char kElse = 245;
constexpr unsigned char kEndIf = 246;
constexpr unsigned char kNest = 214;
constexpr unsigned char kLoopStart = 251;
constexpr unsigned char kLoopEnd = 252;
constexpr unsigned char kCountDown = 253;
constexpr unsigned char kPushDepth = 254;
constexpr unsigned char kPopDepth = 247;

struct Brace {
    char written;
    unsigned char byte;
};
// Characters inside braces that stand for something other than a control character.
constexpr std::array<Brace, 16> kBraces = {{
    {'-', kIfWild},
    {'=', kIfEqual},
    {'?', kIfPositive},
    {':', kElse},
    {'.', kEndIf},
    {'&', kNest},
    {'<', kLoopStart},
    {'>', kLoopEnd},
    {'^', kCountDown},
    {'$', kPushDepth},
    {'%', kPopDepth},
    {'!', '|'},
    {'(', '{'},
    {')', '}'},
    {'`', '~'},
    {'/', 127},
}};

}  // namespace

// ---------------------------------------------------------------------------------------------
// The brace notation
// ---------------------------------------------------------------------------------------------

int transchar(char c, bool& inside) {
    if (!inside) {
        if (c == '{') {
            inside = true;
            return -1;
        }
        return static_cast<unsigned char>(c);
    }
    if (c == '}') {
        inside = false;
        return -1;
    }
    for (const Brace& b : kBraces) {
        if (b.written == c) return b.byte;
    }
    return static_cast<unsigned char>(c) & 0x1f;
}

std::string transtring(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool inside = false;
    for (char c : text) {
        const int b = transchar(c, inside);
        if (b >= 0) out.push_back(static_cast<char>(b));
    }
    return out;
}

std::string untranschar(std::string_view bytes) {
    std::string out;
    bool inside = false;
    auto braced = [&](char c) {
        if (!inside) out.push_back('{');
        inside = true;
        out.push_back(c);
    };
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        const auto entry = std::find_if(kBraces.begin(), kBraces.end(),
                                        [b](const Brace& e) { return e.byte == b; });
        if (entry != kBraces.end()) {
            braced(entry->written);
        } else if (b == 30) {
            braced('~');  // the caret already stands for the count-down byte
        } else if (b < 32) {
            braced(static_cast<char>(b + 64));
        } else {
            if (inside) out.push_back('}');
            inside = false;
            out.push_back(ch);
        }
    }
    if (inside) out.push_back('}');
    return out;
}

// ---------------------------------------------------------------------------------------------
// Wildcard matching
// ---------------------------------------------------------------------------------------------

int unify(std::string_view pattern, long sindex, char term, long slen) {
    matcharray.fill(-1);
    if (pattern.size() >= static_cast<std::size_t>(kPattLen)) return 0;
    sindex = std::clamp(sindex, 0L, kTextSize);
    const long end = std::clamp(sindex + std::max(slen, 0L), sindex, kTextSize);
    // Past its last character the pattern reads as its terminator.
    auto pat = [&](std::size_t p) { return p < pattern.size() ? pattern[p] : term; };

    std::size_t p = 0;
    long s = sindex;
    bool exhausted = s >= end;
    bool finished = false;
    bool star = false;
    bool resumable = false;
    std::size_t resume = 0;
    long backtrack = s;
    while ((!finished && !exhausted) || (!finished && pat(p) == '*')) {
        matcharray[p] = s;
        if (pat(p) == '*') {
            ++p;
            star = true;
            resumable = true;
            resume = p;
            continue;
        }
        const char pc = pat(p);
        if ((pc == term && exhausted) || (!exhausted && pc == static_cast<char>(textbase[s]))) {
            if (pc == term) {
                finished = true;
            } else {
                ++p;
            }
            if (star) {
                star = false;
                backtrack = s;
            }
        } else if (!star) {
            if (!resumable) return 0;
            p = resume;
            s = backtrack;
            star = true;
        }
        if (s < end) ++s;
        exhausted = s >= end;
    }
    const bool ok = pat(p) == term && (exhausted || star);
    // Where the text ended for the last pattern position, so a final star captures up to it.
    if (ok && p < matcharray.size()) matcharray[p] = s;
    return ok ? 1 : 0;
}

void copywild(std::string_view pattern) {
    int k = 0;
    for (std::size_t p = 0; p < pattern.size() && p + 1 < matcharray.size(); ++p) {
        if (pattern[p] != '*') continue;
        if (++k >= kWildSlots) break;
        const long from = matcharray[p];
        const long to = matcharray[p + 1];
        long n = (from < 0 || to < from) ? 0 : to - from;
        n = std::min<long>(n, kPattLen - 1);
        auto& slot = unified[static_cast<std::size_t>(k)];
        std::memcpy(slot.data(), textbase.data() + std::max(from, 0L), static_cast<std::size_t>(n));
        slot[static_cast<std::size_t>(n)] = '\0';
        unifiedlen[static_cast<std::size_t>(k)] = static_cast<int>(n);
    }
}

std::string_view wildtext(int n) {
    if (n < 1 || n >= kWildSlots) return {};
    const auto k = static_cast<std::size_t>(n);
    return {unified[k].data(), static_cast<std::size_t>(unifiedlen[k])};
}

namespace {

// Types the characters of a capture as if they were keyed.
void typewild(void (*build)()) {
    const std::string_view text = wildtext(gnum());
    for (char c : text) {
        holdch = c;
        type = 2;
        build();
    }
    // An echo shows one character: several typed at once need their line drawn.
    if (text.size() > 1 && redisplay == 4) redisplay = 5;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Procedure control
// ---------------------------------------------------------------------------------------------

namespace {

// The string the control code came from; procctl is only called while one is being read.
const char*& top() {
    return fnstack[static_cast<std::size_t>(fnptr)];
}
bool reading() {
    return fnptr > 0 && fnptr <= kFnStack && top() != nullptr;
}

// Gives up the rest of the top string, as reaching its end would.
void popstring() {
    if (fnptr > 0) --fnptr;
}

int fetchint() {
    if (!reading()) return 0;
    const char*& s = top();
    long n = 0;
    while (*s >= '0' && *s <= '9') {
        n = std::min(n * 10 + (*s - '0'), 999'999'999L);
        ++s;
    }
    return static_cast<int>(n);
}

void skipblank() {
    if (reading() && *top() == ' ') ++top();
}

void fetchpatt() {
    pattlen = 0;
    if (!reading()) return;
    const char*& s = top();
    while (*s != '\0' && *s != '\r') {
        if (pattlen < kPattLen - 1) patt[static_cast<std::size_t>(pattlen++)] = *s;
        ++s;
    }
    if (*s == '\r') ++s;
    patt[static_cast<std::size_t>(pattlen)] = '\0';
}

// Reads the top string up to and including a stop byte met outside any nested level. Returns
// false when the string ended first.
bool skip(unsigned char stop1, unsigned char stop2, bool (*opens)(unsigned char),
          unsigned char closes) {
    if (!reading()) return false;
    const char*& s = top();
    int level = 0;
    while (*s != '\0') {
        const auto b = static_cast<unsigned char>(*s++);
        if (level == 0 && (b == stop1 || b == stop2)) return true;
        if (opens(b)) {
            ++level;
        } else if (b == closes && level > 0) {
            --level;
        }
    }
    return false;
}

bool opens_if(unsigned char b) {
    return b == kIfPositive || b == kNest;
}
bool opens_loop(unsigned char b) {
    return b == kLoopStart;
}

void skiptoelse() {
    if (!skip(kElse, kEndIf, opens_if, kEndIf)) popstring();
}
void skipendif() {
    if (!skip(kEndIf, kEndIf, opens_if, kEndIf)) popstring();
}
void skiptoend() {
    skip(kLoopEnd, kLoopEnd, opens_loop, kLoopEnd);
}

int& result() {
    return vl_result[static_cast<std::size_t>(std::clamp(loopdepth, 0, kLoopDepths - 1))];
}

void loopstart() {
    if (loopptr >= kLoopDepths - 1) {
        diserr("Procedure loops nested too deeply");
        popstring();
        return;
    }
    loopstack[static_cast<std::size_t>(++loopptr)] = top();
}

void countdown() {
    if (result() < 1) {
        skiptoend();
        if (loopptr >= 1) --loopptr;
    } else {
        --result();
    }
}

void pushdepth() {
    const int n = fetchint();
    if (loopdepth >= kLoopDepths - 1) {
        diserr("Procedure counters nested too deeply");
        popstring();
        return;
    }
    ++loopdepth;
    result() = n;
}

}  // namespace

void procctl(int code) {
    if (!reading()) return;
    switch (code) {
        case 107: {
            const int n = fetchint();
            skipblank();
            fetchpatt();
            if (std::string_view(patt.data(), static_cast<std::size_t>(pattlen)) != wildtext(n)) {
                skiptoelse();
            }
            break;
        }
        case 108: {
            const int n = fetchint();
            skipblank();
            if (n != result()) skiptoelse();
            break;
        }
        case 115:
            if (result() <= 0) skiptoelse();
            break;
        case 116:
            skipendif();
            break;
        case 110:
            loopstart();
            break;
        case 111:
            if (loopptr >= 1) top() = loopstack[static_cast<std::size_t>(loopptr)];
            break;
        case 112:
            countdown();
            break;
        case 113:
            pushdepth();
            break;
        case 114:
            if (loopdepth >= 1) --loopdepth;
            break;
        default:  // 109 and 117 do nothing
            break;
    }
}

bool keystring_held(const char* begin, const char* end) {
    auto inside = [&](const char* p) { return p != nullptr && p >= begin && p < end; };
    for (int i = 1; i <= fnptr && i <= kFnStack; ++i) {
        if (inside(fnstack[static_cast<std::size_t>(i)])) return true;
    }
    for (int i = 1; i <= loopptr; ++i) {
        if (inside(loopstack[static_cast<std::size_t>(i)])) return true;
    }
    return false;
}

void loadfile() {
    const char* keys = readfile(curfile.c_str(), KeyKind::Procedure);
    if (keys != nullptr) pushfn(keys);
}

void wildtxt() {
    typewild(bldtxt);
}
void wildrec() {
    typewild(bldrec);
}

void reset_scrin() {
    vl_result.fill(0);
    loopdepth = 0;
    loopstack.fill(nullptr);
    loopptr = 0;
    patt.fill('\0');
    pattlen = 0;
    for (auto& u : unified)
        u.fill('\0');
    unifiedlen.fill(0);
    matcharray.fill(-1);
}
