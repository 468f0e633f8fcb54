#include "scan.hpp"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "corutils.hpp"
#include "float.hpp"
#include "linutils.hpp"
#include "merger.hpp"
#include "scrin.hpp"
#include "scrout.hpp"
#include "termutils.hpp"
#include "utilptr.hpp"

int scanunit = kUnitChar;
Name scanpattern;
Name targetstring;
Name recboolcheck;
int numchecks = 0;
long boolcheck = 0;
long boolerror = 0;
FixStr<kMaxChecks> boolstring;
int cmperr = 0;
std::array<int, 21> wordlen{};
std::array<int, 101> sentlen{};

namespace {

// Control codes of a pattern (written in braces).
constexpr char kAny = 1;      // {A}: up to 19 other characters, then the next pattern character
constexpr char kOne = 3;      // {C}: any one character
constexpr char kDelims = 5;   // {E}: one or more delimiters
constexpr char kNegate = 14;  // {N}: the whole match is negated
constexpr char kInWord = 23;  // {W}: characters within a word, then the next pattern character

constexpr int kAnySpan = 20;  // {A} tries the next character at offsets 0 to 19
// A match attempt first runs as plain backtracking with this many steps, which settles nearly
// every pattern at once. Patterns of several skipping codes can need exponentially many tries;
// past the budget the attempt runs again remembering the places from which the rest of the
// pattern is known to fail, which bounds it by the pattern's length times the places it reaches.
constexpr int kMatchBudget = 1 << 14;

constexpr int kChecksFile = 18;
constexpr int kStatsFile = 7;
constexpr int kCheckLen = 48;  // characters of a check line that count
constexpr int kRing = 50;
constexpr int kRingUse = 49;
constexpr int kShowChecks = 19;  // redraw code: the display step shows the checks
constexpr int kRedrawAll = 1;

int kind(int c) {
    return charkind[static_cast<unsigned char>(c)];
}
bool is_word(int c) {
    return c != kEndOfFile && (kind(c) & 1) != 0;
}
bool is_delim(int c) {
    return c == kEndOfFile || (kind(c) & 2) != 0;
}
bool is_sentend(int c) {
    return c == kEndOfFile || (kind(c) & 4) != 0;
}

// ---------------------------------------------------------------------------------------------
// Positions read as the scanning cursor reads them (line ends as 10, the end of file as 4)
// ---------------------------------------------------------------------------------------------
struct Pos {
    LINE* l;
    int c;
};

int peek(const Pos& p) {
    if (p.l == cur().header) return kEndOfFile;
    if (p.c > p.l->length || p.l->object == kObjNew || p.l->object == kObjPicture) {
        return kEndOfLine;
    }
    return textbase[p.l->index + p.c - 1];
}

void step(Pos& p) {
    if (p.l == cur().header) return;
    if (p.c > p.l->length) {
        p.l = p.l->down;
        p.c = 1;
    } else {
        p.c += 1;
    }
}

Pos here() {
    return {lp, cp};
}
void go(const Pos& p) {
    lp = p.l;
    cp = p.c;
}

// ---------------------------------------------------------------------------------------------
// The matcher
// ---------------------------------------------------------------------------------------------

// Places from which part of a pattern is known not to match. The rest of a pattern from a place
// fails or not whatever the attempt's start, so one record serves every start of a scan over an
// unchanged text. A bit per place and pattern position, kept per line.
class Memo {
  public:
    enum Kind { kRest = 0, kSkip = 1 };
    // `positions`: the pattern's length and one, for its end.
    explicit Memo(std::size_t positions) : positions_(positions) {}
    bool failed(Kind k, std::size_t pi, const Pos& p) {
        const std::vector<bool>* b = bits(p.l, false);
        const std::size_t i = index(k, pi, p);
        return b != nullptr && i < b->size() && (*b)[i];
    }
    void fail(Kind k, std::size_t pi, const Pos& p) {
        std::vector<bool>* b = bits(p.l, true);
        const std::size_t i = index(k, pi, p);
        if (i >= b->size()) b->resize(i + 1);
        (*b)[i] = true;
    }
    // A scan that has moved past a line never comes back to it.
    void drop(const LINE* l) {
        if (l == cached_line_) cached_line_ = nullptr;
        lines_.erase(l);
    }
    // Set once a pattern of the scan has needed remembering: its later attempts start so.
    bool needed = false;

  private:
    std::size_t index(Kind k, std::size_t pi, const Pos& p) const {
        return (static_cast<std::size_t>(std::max(p.c, 0)) * positions_ + pi) * 2 + k;
    }
    std::size_t positions_;
    std::vector<bool>* bits(const LINE* l, bool make) {
        if (l == cached_line_) return cached_;
        auto it = lines_.find(l);
        if (it == lines_.end()) {
            if (!make) return nullptr;
            it = lines_.emplace(l, std::vector<bool>()).first;
        }
        cached_line_ = l;
        cached_ = &it->second;
        return cached_;
    }
    std::unordered_map<const LINE*, std::vector<bool>> lines_;
    const LINE* cached_line_ = nullptr;
    std::vector<bool>* cached_ = nullptr;
};

class Matcher {
  public:
    // `memo` records failures for later attempts over the same text; one of its own is used
    // when there is none.
    explicit Matcher(std::string_view pattern, Memo* memo = nullptr)
        : pat_(pattern), shared_(memo) {}

    // True when the pattern, negation aside, matches from p; end is where the match ended.
    bool run(Pos p, Pos& end) {
        if (shared_ == nullptr || !shared_->needed) {
            budget_ = kMatchBudget;
            exhausted_ = false;
            memo_ = nullptr;
            const bool r = walk(0, p, end);
            if (!exhausted_) return r;
        }
        return remembering(p, end);
    }

  private:
    // The attempt again with the memo, without a budget. Kept out of the common path.
    [[gnu::noinline]] bool remembering(Pos p, Pos& end) {
        Memo own(pat_.size() + 1);
        memo_ = shared_ != nullptr ? shared_ : &own;
        memo_->needed = true;
        budget_ = LONG_MAX;  // far beyond what a pattern of 48 codes can take over the store
        return rest(0, p, end);
    }

    // Plain backtracking spends its budget.
    bool spend() {
        if (--budget_ >= 0) return true;
        exhausted_ = true;
        return false;
    }

    // Tries the rest of the pattern from `next` at each place reached by skipping, nearest first.
    // `skippable` says whether the character at a place may be passed over.
    template <typename Skippable>
    bool skip_then(std::size_t next, Pos p, Pos& end, int limit, Skippable skippable) {
        // A run within a word ends where the word does, so from any place of it the skip tries a
        // tail of what it tries from an earlier place: a failure marks every place it passed.
        const bool marks = memo_ != nullptr && limit == INT_MAX;
        std::vector<Pos> passed;
        bool found = false;
        for (int k = 0; k < limit && spend(); ++k) {
            if (next >= pat_.size()) {
                end = p;
                return true;
            }
            if (marks) {
                if (memo_->failed(Memo::kSkip, next, p)) break;
                passed.push_back(p);
            }
            const int t = peek(p);
            const unsigned char nc = static_cast<unsigned char>(pat_[next]);
            if ((nc < ' ' || t == nc) && rest(next, p, end)) {
                found = true;
                break;
            }
            if (p.l == cur().header || !skippable(t)) break;
            step(p);
        }
        if (marks && !found) {
            for (const Pos& q : passed)
                memo_->fail(Memo::kSkip, next, q);
        }
        return found;
    }

    bool rest(std::size_t pi, Pos p, Pos& end) {
        if (memo_ == nullptr) return walk(pi, p, end);
        if (memo_->failed(Memo::kRest, pi, p)) return false;
        if (walk(pi, p, end)) return true;
        memo_->fail(Memo::kRest, pi, p);
        return false;
    }

    bool walk(std::size_t pi, Pos p, Pos& end) {
        while (pi < pat_.size()) {
            if (!spend()) return false;
            const unsigned char c = static_cast<unsigned char>(pat_[pi]);
            if (c >= ' ') {
                if (peek(p) != c) return false;
                step(p);
                ++pi;
                continue;
            }
            switch (c) {
                case kAny:
                    return skip_then(pi + 1, p, end, kAnySpan, [](int) { return true; });
                case kInWord:
                    return skip_then(pi + 1, p, end, INT_MAX, [](int t) { return !is_delim(t); });
                case kOne:
                    if (p.l == cur().header) return false;
                    step(p);
                    break;
                case kDelims:
                    if (!is_delim(peek(p))) return false;
                    while (p.l != cur().header && is_delim(peek(p))) {
                        if (!spend()) return false;
                        step(p);
                    }
                    break;
                default:  // {N} is applied by the caller; other control codes are ignored
                    break;
            }
            ++pi;
        }
        end = p;
        return true;
    }

    std::string_view pat_;
    Memo* shared_;
    Memo* memo_ = nullptr;
    long budget_ = 0;
    bool exhausted_ = false;
};

bool negated(std::string_view pattern) {
    return std::count(pattern.begin(), pattern.end(), kNegate) % 2 == 1;
}

// The first pattern character, when every match must begin with it.
int literal_start(std::string_view pattern) {
    if (pattern.empty() || negated(pattern)) return -1;
    const unsigned char c = static_cast<unsigned char>(pattern[0]);
    return c >= ' ' ? c : -1;
}

// `end`, when given, receives where a match that is not negated ended.
bool match_at(std::string_view pattern, const Pos& p, Memo* memo = nullptr, Pos* end = nullptr) {
    Pos stop{};
    const bool found = Matcher(pattern, memo).run(p, stop) != negated(pattern);
    if (end != nullptr) *end = stop;
    return found;
}

// The fast loop: from the scanning cursor, the first place where the pattern matches. Leaves the
// scanning cursor there, or at the end of the file.
bool fastloop(std::string_view pattern, Pos* end = nullptr) {
    // Shared by the attempts of this scan: the text does not change meanwhile.
    Memo memo(pattern.size() + 1);
    Pos p = here();
    const int first = literal_start(pattern);
    while (p.l != cur().header) {
        if (first >= 0) {
            // Only places holding the first character can match: look for them a line at a time.
            const LINE* l = p.l;
            const bool bytes = l->object != kObjNew && l->object != kObjPicture;
            if (!bytes || p.c > l->length) {
                memo.drop(p.l);
                p = {p.l->down, 1};
                continue;
            }
            const unsigned char* base = textbase.data() + l->index;
            const void* hit = std::memchr(base + p.c - 1, first, l->length - (p.c - 1));
            if (hit == nullptr) {
                memo.drop(p.l);
                p = {p.l->down, 1};
                continue;
            }
            p.c = static_cast<int>(static_cast<const unsigned char*>(hit) - base) + 1;
        }
        if (match_at(pattern, p, &memo, end)) {
            go(p);
            return true;
        }
        if (p.c > p.l->length) memo.drop(p.l);
        step(p);
    }
    go(p);
    return false;
}

// ---------------------------------------------------------------------------------------------
// The position ring
// ---------------------------------------------------------------------------------------------
std::array<LINE*, kRing> findlptr{};
std::array<int, kRing> findcptr{};
int findbufptr = 0;  // first entry
int findbotptr = 0;  // last entry
int ringcount = 0;

void ring_push(const Pos& p) {
    const int at = ringcount == 0 ? findbufptr : (findbotptr + 1) % kRing;
    findlptr[at] = p.l;
    findcptr[at] = p.c;
    findbotptr = at;
    ringcount += 1;
}

bool textline(const LINE* l) {
    return l->object == kObjText || l->object == kObjNew;
}

// ---------------------------------------------------------------------------------------------
// The checks
// ---------------------------------------------------------------------------------------------
std::uint32_t checkwant = 0xFFFFFFFFu;
std::uint32_t checkmask = 0xFFFFFFFFu;

// Evaluates a merged arithmetic condition: 1 true, 0 false, -1 when it could not be evaluated.
int condition(std::string_view text, const LINE* line, int col) {
    int result = -1;
    if (merge(text, line, col)) {
        const std::string_view expr = merged();
        dijkstra(expr.data(), static_cast<int>(expr.size()));
        if (fperror == kFpFine) result = numstack[ni] != 0.0 ? 1 : 0;
    }
    fperror = kFpFine;
    fpreset();
    return result;
}

std::string_view line_text(const LINE* l, int most) {
    if (l->object == kObjNew || l->object == kObjPicture) return {};
    return {reinterpret_cast<const char*>(textbase.data() + l->index),
            static_cast<std::size_t>(std::min(l->length, most))};
}

// ---------------------------------------------------------------------------------------------
// Units
// ---------------------------------------------------------------------------------------------
int unit() {
    return std::clamp(scanunit, 0, 7);
}
bool recordview() {
    return cur().viewtype == 1 || cur().viewtype == 2;
}

void nextline() {
    if (lp == cur().header) return;
    lp = lp->down;
    cp = 1;
    dist += 1;
}

bool wholeline(const LINE* l) {
    const std::string_view text = line_text(l, l->length);
    return unify(scanpattern.view(), l->index, '\0', static_cast<long>(text.size())) == 1;
}

bool rectest() {
    if (lp->object != kObjRecord) return false;
    const std::string_view pat = scanpattern.view();
    if (!pat.empty() && pat[0] == '$') {
        const int keep = cp;
        cp = 1;
        checksetup();
        const int r = recstrmatch(pat);
        cp = keep;
        return r == 1;
    }
    return condition(pat, lp, 1) == 1;
}

bool checktest(bool fresh) {
    if (recordview()) cp = 1;
    if (fresh || recordview()) checksetup();
    multicheck();
    return checkpasses();
}

// Tests the unit at the scanning cursor. `fresh` says the position ring must be built anew.
bool unittest(int u, bool fresh) {
    if (lp == cur().header) return false;
    switch (u) {
        case kUnitRec:
            return rectest();
        case kUnitCheck:
            return checktest(fresh);
        case kUnitPattern:
            return wholeline(lp);
        default:
            return match(scanpattern.view()) == 1;
    }
}

void unitnext(int u) {
    switch (u) {
        case kUnitChar:
            nextc();
            break;
        case kUnitWord:
            nextword();
            break;
        case kUnitSent:
            nextsent();
            break;
        case kUnitUp:
            prevc();
            break;
        case kUnitCheck:
            if (cur().viewtype == 0) {
                nextword();
                checkupdate();
            } else {
                nextline();
            }
            break;
        default:
            nextline();
            break;
    }
}

// Searches from the scanning cursor; on success it stands at the find.
bool search(int u) {
    if (u == kUnitChar) return fastloop(scanpattern.view());
    bool fresh = true;
    while (lp != cur().header) {
        if (unittest(u, fresh)) return true;
        unitnext(u);
        fresh = false;
    }
    return false;
}

void setresult(int v) {
    if (loopdepth >= 0 && loopdepth < kLoopDepths) vl_result[loopdepth] = v;
}

// FIND and resfind: searches, moves the cursor to the find and sets the result.
void findfrom(bool moveon) {
    const int u = unit();
    if (u == kUnitCheck) makecheck(scanpattern.view());
    setptr();
    if (moveon) {
        unitnext(u);
        if (u == kUnitCheck && cur().viewtype == 0) checksetup();
    }
    const bool found = search(u);
    if (found) {
        setcur();
        if (u == kUnitPattern) copywild(scanpattern.view());
    }
    setresult(found ? 1 : 0);
}

// Adds a line at the end of core file n.
void appendline(int n, std::string_view text) {
    const int keep = corenum;
    corenum = n;
    COREFILE& cf = cur();
    LINE* cursor = cf.lnptr;
    const LINE* only = cf.header->down;
    const bool empty = cf.lncount == 1 && only->object == kObjNew;
    cf.lnptr = cf.header->up;
    if (empty || allocln(kObjNew, 0) != nullptr) {
        for (const char c : text) {
            if (!cadd(c)) break;
        }
    }
    if (!empty) cf.lnptr = cursor;
    cf.edited = 1;
    corenum = keep;
}

void table(std::string_view title, const int* counts, int n) {
    appendline(kStatsFile, title);
    for (int len = 1; len < n; ++len) {
        if (counts[len] == 0) continue;
        char buf[32];
        std::snprintf(buf, sizeof buf, "%3i %5i", len, counts[len]);
        appendline(kStatsFile, buf);
    }
    appendline(kStatsFile, "***");
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Public operations
// ---------------------------------------------------------------------------------------------

int match(std::string_view pattern) {
    return match_at(pattern, here()) ? 1 : 0;
}

namespace {

bool at_end() {
    return lp == cur().header;
}

// Moves to the next word character after a character that `past` accepts. A byte 4 or 10 inside
// a line reads like the end of the file or of the line, so the move is made to go at least one
// character: a scan that stood still would never end.
void nextunit(bool (*past)(int)) {
    const LINE* l = lp;
    const int c = cp;
    while (!at_end() && !past(peepc()))
        nextc();
    while (!at_end() && !is_word(peepc()))
        nextc();
    if (lp == l && cp == c && !at_end()) {
        nextc();
        while (!at_end() && !is_word(peepc()))
            nextc();
    }
}

}  // namespace

void nextword() {
    nextunit(is_delim);
}

void nextsent() {
    nextunit(is_sentend);
}

void checksetup() {
    findbufptr = 0;
    findbotptr = 0;
    ringcount = 0;
    if (lp == cur().header) return;
    const Pos keep = here();
    const int keepdist = dist;
    if (textline(lp)) {
        while (ringcount < kRingUse && lp != cur().header) {
            ring_push(here());
            nextword();
        }
    } else {
        LINE* l = lp;
        int col = 1;
        while (ringcount < kRingUse && col <= l->length) {
            ring_push({l, col});
            while (col <= l->length && textbase[l->index + col - 1] != '|')
                ++col;
            ++col;
        }
    }
    go(keep);
    dist = keepdist;
}

void checkupdate() {
    if (ringcount == 0) return;
    const Pos keep = here();
    const int keepdist = dist;
    go({findlptr[findbotptr], findcptr[findbotptr]});
    nextword();
    if (lp != cur().header) ring_push(here());
    findbufptr = (findbufptr + 1) % kRing;
    ringcount -= 1;
    go(keep);
    dist = keepdist;
}

int recstrmatch(std::string_view pattern) {
    cmperr = 1;  // until the pattern has been read through
    std::size_t i = 1;
    if (i >= pattern.size() || pattern[i] != '#') return 0;
    ++i;
    int n = 0;
    const std::size_t digits = i;
    while (i < pattern.size() && pattern[i] >= '0' && pattern[i] <= '9') {
        n = std::min(n * 10 + (pattern[i++] - '0'), kRing);
    }
    if (i == digits || n < 1 || n > ringcount) return 0;
    const int at = (findbufptr + n - 1) % kRing;
    const Pos word{findlptr[at], findcptr[at]};
    for (;;) {
        if (i >= pattern.size() || pattern[i] < '<' || pattern[i] > '>') return 0;
        const char op = pattern[i++];
        const std::size_t start = i;
        while (i < pattern.size() && pattern[i] != '\\')
            ++i;
        const std::string_view text =
            pattern.substr(start, std::min<std::size_t>(i - start, kNameLen));
        if (op != '<' && match_at(text, word)) {
            cmperr = 0;
            return 1;
        }
        if (i >= pattern.size()) break;
        ++i;  // the backslash: another clause for the same word
    }
    cmperr = 0;
    return 0;
}

void multicheck() {
    numchecks = 0;
    boolcheck = 0;
    boolerror = 0;
    const COREFILE& checks = core[kChecksFile];
    for (const LINE* l = checks.header->down; l != checks.header && numchecks < kMaxChecks;
         l = l->down) {
        if (l->object != kObjText) continue;
        const std::string_view text = line_text(l, kCheckLen);
        int value = 0;
        if (!text.empty() && text[0] == '$') {
            value = recstrmatch(text);
        } else {
            value = condition(text, lp, cp);
        }
        numchecks += 1;
        boolcheck = (boolcheck << 1) | (value == 1 ? 1 : 0);
        boolerror = (boolerror << 1) | (value < 0 ? 1 : 0);
    }
    getboolstring(boolcheck, numchecks);
}

void makecheck(std::string_view pattern) {
    checkwant = 0;
    checkmask = 0;
    for (int i = 0; i < kMaxChecks; ++i) {
        const std::uint32_t bit = 1u << (kMaxChecks - 1 - i);
        const char c = i < static_cast<int>(pattern.size()) ? pattern[i] : 'x';
        if (c != '0') checkwant |= bit;
        if (c != '0' && c != '1') checkmask |= bit;
    }
}

bool checkpasses() {
    // Checks line up with the pattern from the first; a pattern position with no check reads 0.
    const std::uint64_t bits = static_cast<std::uint64_t>(boolcheck) &
                               ((std::uint64_t{1} << std::clamp(numchecks, 0, kMaxChecks)) - 1);
    const auto aligned =
        static_cast<std::uint32_t>(bits << (kMaxChecks - std::clamp(numchecks, 0, kMaxChecks)));
    return (aligned | checkmask) == checkwant;
}

bool reccheck(LINE* line) {
    if (line == nullptr || line->object != kObjRecord) return false;
    LINE* const keepl = lp;
    const int keepc = cp;
    const int keepd = dist;
    lp = line;
    cp = 1;
    checksetup();
    multicheck();
    const bool pass = checkpasses();
    lp = keepl;
    cp = keepc;
    dist = keepd;
    return pass;
}

void getboolstring(long num, int len) {
    boolstring.clear();
    len = std::clamp(len, 0, kMaxChecks);
    for (int i = len - 1; i >= 0; --i)
        boolstring.push_back(((num >> i) & 1) != 0 ? '1' : '0');
}

void showchecks() {
    // Checks are named by letters in their order in core file 18: A to Z, then a to f.
    std::string failed;
    std::string holding;
    for (int i = 0; i < std::clamp(numchecks, 0, kMaxChecks); ++i) {
        const char letter = static_cast<char>(i < 26 ? 'A' + i : 'a' + i - 26);
        const long bit = 1L << (numchecks - 1 - i);
        if ((boolerror & bit) != 0) failed += letter;
        if ((boolcheck & bit) != 0) holding += letter;
    }
    putbool(failed, holding);
}

void extchk() {
    setptr();
    if (recordview()) cp = 1;
    checksetup();
    multicheck();
    redisplay = kShowChecks;
}

void find() {
    findfrom(false);
    // The find key runs this outside the command line, whose line-number update it then lacks.
    cur().curline = distance(cur().header, cur().lnptr);
    mode = 1;
    putresult();
}

void resfind() {
    findfrom(true);
}

void resnumber() {
    const int u = unit();
    if (u == kUnitCheck) makecheck(scanpattern.view());
    setptr();
    int count = 0;
    if (u == kUnitChar) {
        while (fastloop(scanpattern.view())) {
            ++count;
            nextc();
        }
    } else {
        bool fresh = true;
        while (lp != cur().header) {
            if (unittest(u, fresh)) ++count;
            unitnext(u);
            fresh = false;
        }
    }
    setresult(count);
}

void rescheck() {
    const int u = unit();
    if (u == kUnitCheck) makecheck(scanpattern.view());
    setptr();
    const bool ok = unittest(u, true);
    if (ok && u == kUnitPattern) copywild(scanpattern.view());
    setresult(ok ? 1 : 0);
}

void change() {
    const std::string_view pat = scanpattern.view();
    const std::string_view repl = targetstring.view();
    if (pat.empty()) return;
    if (negated(pat)) {
        diserr("A negated pattern cannot be changed");
        del = 2;
        return;
    }
    COREFILE& cf = cur();
    const int grow = static_cast<int>(repl.size());
    int crossed = 0;  // matches that run into the next line: passed over, and counted
    setptr();
    Pos end{};  // where the occurrence found ends
    bool found = fastloop(pat, &end);
    while (found && full == 0) {
        // Each occurrence is replaced as far as it matched; a match that runs into the next line
        // or matches nothing is passed over.
        if (end.l != lp || end.c <= cp) {
            if (end.l != lp) ++crossed;
            nextc();
            found = fastloop(pat, &end);
            continue;
        }
        const int span = end.c - cp;
        const int d = grow - span;
        cf.lnptr = lp;
        cf.curcol = cp;
        if (d < 0) cremove(-d);
        int added = 0;
        while (added < d && cadd(' '))
            ++added;
        if (added < d) {
            // The store is full: take back the blanks, leaving the line as it was. They were
            // never the user's: the delete ring keeps what the user deleted.
            const auto ring = delbuf;
            const int ringptr = delptr;
            cf.curcol = cf.lnptr->length - added + 1;
            cremove(added);
            delbuf = ring;
            delptr = ringptr;
            cf.curcol = cp;
            break;
        }
        if (d > 0) cinsert(d);
        std::memcpy(textbase.data() + curptr(), repl.data(), repl.size());
        cf.edited = 1;  // so that GOODBYE asks before the change is lost
        cf.curcol += grow;
        if (avail > hiaddr) garbage();
        setptr();
        found = fastloop(pat, &end);
    }
    if (full != 0) diserr("Warning: operation may not have been completed");
    if (crossed > 0) {
        diserr(std::to_string(crossed) + (crossed == 1 ? " match runs" : " matches run") +
               " over a line end: not changed");
    }
    lp = cf.lnptr;
    cp = cf.curcol;
    setcur();
    redisplay = kRedrawAll;
}

void scantext() {
    wordlen.fill(0);
    sentlen.fill(0);
    setptr();
    int wl = 0;
    int words = 0;
    for (bool more = true; more;) {
        const int c = peepc();
        more = lp != cur().header;
        // The end of the file ends the last word and sentence; it is no word character itself.
        const int k = more ? kind(c) : 6;
        if ((k & 1) != 0) ++wl;
        if ((k & 2) != 0 && wl > 0) {
            wordlen[std::min(wl, 20)] += 1;
            wl = 0;
            ++words;
        }
        if ((k & 4) != 0 && words > 0) {
            sentlen[std::min(words, 100)] += 1;
            words = 0;
        }
        nextc();
    }
    table("Word length table", wordlen.data(), static_cast<int>(wordlen.size()));
    table("Sentence length table", sentlen.data(), static_cast<int>(sentlen.size()));
    progress("Data written to corefile 7");
}

void reset_scan() {
    scanunit = kUnitChar;
    scanpattern.clear();
    targetstring.clear();
    recboolcheck.clear();
    numchecks = 0;
    boolcheck = 0;
    boolerror = 0;
    boolstring.clear();
    cmperr = 0;
    wordlen.fill(0);
    sentlen.fill(0);
    findlptr.fill(nullptr);
    findcptr.fill(0);
    findbufptr = findbotptr = ringcount = 0;
    checkwant = checkmask = 0xFFFFFFFFu;
}
