#include "reformat.hpp"

#include <algorithm>
#include <array>
#include <vector>

#include "commands.hpp"
#include "corutils.hpp"
#include "globals.hpp"
#include "linutils.hpp"
#include "scrout.hpp"
#include "stars.hpp"

namespace {

constexpr int kHoldingFile = 0;       // receives the replaced paragraphs
constexpr int kEndOfText = 256;       // the paragraph's end while reading: no byte has this value
constexpr int kMaxHyphWord = 200;     // longer words are never hyphenated
constexpr int kShortWord = 5;         // words this short are never broken
constexpr long kMaxP = 0x40000000;    // last position of the rotating bit
constexpr long kSpread = 0x5CA93659;  // positions of the rotating bit that give a gap a blank
constexpr int kBitPositions = 31;     // the rotating bit runs through 1 ... kMaxP
constexpr int kRedrawFromCursor = 6;

// English prefixes and suffixes, longest first: the first that matches is the one used.
constexpr std::array<std::string_view, 102> prefixtab = {
    "COUNTER", "ELECTRO", "PSEUDO", "EXTRA", "HECTO", "HYDRO", "HYPER", "INTER", "INTRO", "MICRO",
    "MILLI",   "MULTI",   "ORTHO",  "PHONO", "PHOTO", "PROTO", "RADIO", "SUPER", "TRANS", "ULTRA",
    "UNDER",   "ANTE",    "ANTI",   "ARCH",  "AUTO",  "DEMI",  "ENDO",  "EQUI",  "FORE",  "HOMO",
    "HYPO",    "HYPH",    "KILO",   "META",  "MONO",  "MULT",  "OCTA",  "OCTO",  "OMNI",  "OVER",
    "PARA",    "PERI",    "PHIL",   "POLY",  "POST",  "PROT",  "SEMI",  "TELE",  "VICE",  "EVEN",
    "BIO",     "COM",     "CON",    "DIA",   "DIS",   "EPH",   "EPI",   "FOR",   "HYP",   "MAL",
    "MIS",     "NEO",     "NON",    "OCT",   "OUT",   "PAN",   "PAR",   "PEL",   "PER",   "PIL",
    "PRE",     "PRO",     "REN",    "RED",   "SUB",   "SYM",   "SYN",   "TRI",   "UNI",   "PSY",
    "AB",      "AD",      "BE",     "BY",    "DE",    "DY",    "EM",    "EN",    "EP",    "EU",
    "EV",      "EX",      "EF",     "IL",    "IM",    "IN",    "IR",    "NE",    "PA",    "RE",
    "UN",      "UP",
};
constexpr std::array<std::string_view, 156> suffixtab = {
    "TIVELY", "ENTIAL", "ANCIES", "ANCING", "ENCIES", "ENCING", "ENTING", "ENTIST", "EOUSLY",
    "ICALLY", "IOUSLY", "LESSLY", "SCIOUS", "TIONAL", "TIONLY", "ATELY",  "ENTLY",  "IALLY",
    "ICANT",  "ITELY",  "IVELY",  "METER",  "TRACT",  "ARIAL",  "ENTAL",  "GEOUS",  "CIOUS",
    "CEOUS",  "TIOUS",  "TUOUS",  "ULOUS",  "UROUS",  "PRISE",  "CIAL",   "ICAL",   "SIAL",
    "TIAL",   "ANCY",   "ISED",   "IZED",   "TIES",   "EALY",   "CION",   "SION",   "TION",
    "EOUS",   "IOUS",   "TOUS",   "INCE",   "TIVE",   "TIAN",   "TEEN",   "ENCE",   "CIES",
    "MENT",   "MINE",   "LARY",   "RATE",   "ABLE",   "ABLY",   "ALLY",   "ANCE",   "ARIC",
    "ATIC",   "ATOR",   "ELLY",   "ENCE",   "ENLY",   "FULL",   "GION",   "HOOD",   "IATE",
    "IBLE",   "IBLY",   "IENT",   "ISER",   "ITHM",   "ITIC",   "IZER",   "LESS",   "LENT",
    "NESS",   "ORIC",   "SENT",   "SIVE",   "TENT",   "TIVE",   "TURE",   "WARD",   "WISE",
    "NENT",   "STER",   "EAL",    "IAL",    "UAL",    "IAN",    "EAR",    "IED",    "IER",
    "IES",    "ALY",    "ELY",    "ILY",    "ION",    "ARY",    "ERY",    "OUS",    "ICE",
    "TRY",    "TOR",    "MAN",    "IVE",    "ACY",    "AGE",    "ANT",    "ARD",    "ATE",
    "ENT",    "FUL",    "IDE",    "IFY",    "ILT",    "INE",    "ING",    "ISE",    "ISH",
    "ISM",    "IST",    "ITE",    "ITY",    "IVE",    "IZE",    "OGY",    "OID",    "ONE",
    "ORY",    "URE",    "USE",    "UTE",    "FLE",    "AN",     "AR",     "AS",     "CY",
    "ED",     "EN",     "ER",     "IA",     "IC",     "IS",     "LY",     "ON",     "OR",
    "RY",     "UM",     "US",
};

// The rotating bit that decides which gaps of a justified line get the odd blanks. It keeps its
// place from line to line and from one reformat to the next, so the wider gaps wander.
long bit_p = 1;

// ---------------------------------------------------------------------------------------------
// Reading the old paragraph
// ---------------------------------------------------------------------------------------------

LINE* first = nullptr;  // first and last line of the old paragraph, and the line after it
LINE* last = nullptr;
LINE* below = nullptr;

// A reading position in the old paragraph, with the character read before it. Runs of blanks
// and line ends read as one blank, and a word broken over two lines by a hyphen reads as one.
struct Reader {
    LINE* lp;
    int cp;
    int lastc;
};

// Continuation lines begin at the left margin, so they are read from there.
int readcol() {
    return std::max(lmargin, 1);
}

int rawchar(const Reader& r) {
    if (r.lp == below) return kEndOfText;
    if (r.cp > r.lp->length) return ' ';
    return textbase[r.lp->index + r.cp - 1];
}

void rawnext(Reader& r) {
    if (r.lp == below) return;
    if (r.cp > r.lp->length) {
        r.lp = r.lp->down;
        r.cp = readcol();
    } else {
        r.cp += 1;
    }
}

bool last_of_line(const Reader& r) {
    return r.lp != below && r.cp == r.lp->length;
}

int rpeep(Reader& r) {
    for (;;) {
        const int c = rawchar(r);
        if (c == ' ' && r.lastc == ' ') {
            rawnext(r);
        } else if (c == kSoftHyphen && r.lastc != ' ' && last_of_line(r)) {
            rawnext(r);  // the soft hyphen
            rawnext(r);  // and the line end: the halves join without it
        } else {
            return c;
        }
    }
}

// Steps past `c`, the character rpeep has just returned.
void step(Reader& r, int c) {
    if (c == kEndOfText) return;
    // A hyphen that ends its line joins the halves of a word and stays in it.
    const bool joins = c == '-' && r.lastc != ' ' && last_of_line(r);
    r.lastc = c;
    rawnext(r);
    if (joins) rawnext(r);
}

void rnext(Reader& r) {
    step(r, rpeep(r));
}

int countword(Reader r) {
    int n = 0;
    for (int c = rpeep(r); c != ' ' && c != kEndOfText; c = rpeep(r)) {
        ++n;
        step(r, c);
    }
    return n;
}

// ---------------------------------------------------------------------------------------------
// Building the new lines above avail
// ---------------------------------------------------------------------------------------------

// The new lines hang under a head of their own and their records on a physical chain of their
// own until the whole paragraph is built, so a failure leaves the store as it was.
LINE dummyheader;
LINE* fphys = nullptr;
LINE* lphys = nullptr;
long ravail = 0;
LINE* newln = nullptr;
LINE* above = nullptr;
LINE* rfirst = nullptr;
LINE* rlast = nullptr;
int rline = 0;
long rcount = 0;
int numinline = 0;
bool failed = false;
std::vector<int> space_array;  // extra blanks of each gap of the line being justified

void rput(int ch) {
    if (ravail >= hiaddr) {
        failed = true;
        return;
    }
    textbase[ravail++] = static_cast<unsigned char>(ch);
    newln->length += 1;
    rcount += 1;
}

bool newhdr() {
    LINE* rec = allochdr();
    // The spare record must stay: a build that takes it stops like one that finds none.
    if (rec == nullptr || reserve == nullptr) {
        if (rec != nullptr) reserve = rec;
        return false;
    }
    rec->object = kObjText;
    rec->length = 0;
    rec->index = ravail;
    rec->up = above;
    rec->down = &dummyheader;
    above->down = rec;
    dummyheader.up = rec;
    rec->nextphys = nullptr;
    if (lphys == nullptr) {
        fphys = rec;
    } else {
        lphys->nextphys = rec;
    }
    lphys = rec;
    above = newln = rec;
    rline += 1;
    return true;
}

void startbuild() {
    dummyheader = LINE{};
    dummyheader.up = dummyheader.down = &dummyheader;
    above = &dummyheader;
    fphys = lphys = newln = nullptr;
    rfirst = rlast = nullptr;
    ravail = avail;
    rline = 0;
    rcount = 0;
    numinline = 0;
    failed = false;
}

void freebuild() {
    free_built_chain(dummyheader, ravail);
    startbuild();
}

void copyword(Reader& r, int n) {
    for (int i = 0; i < n && !failed; ++i) {
        const int c = rpeep(r);
        rput(c);
        step(r, c);
    }
}

HyphenBreak hyphenate_at(const Reader& r, int hlen, int hmax) {
    if (hlen > kMaxHyphWord) return {0, false};
    std::array<char, kMaxHyphWord> word{};
    Reader look = r;
    for (int i = 0; i < hlen; ++i) {
        const int c = rpeep(look);
        word[static_cast<std::size_t>(i)] = static_cast<char>(c);
        step(look, c);
    }
    return hyphenate({word.data(), static_cast<std::size_t>(hlen)}, hmax);
}

void nextbit() {
    bit_p = bit_p == kMaxP ? 1 : bit_p << 1;
}

// Shares out the extra blanks among the gaps: each gets `ratio`, and the rotating bit picks the
// gaps that get one more.
void spread(int numtoput) {
    const int ratio = numtoput / numinline;
    int extras = numtoput - numinline * ratio;
    const int maxnum = ratio + 1;
    space_array.assign(static_cast<std::size_t>(numinline), ratio);
    int idle = 0;
    while (extras > 0) {
        int placed = 0;
        for (int i = 0; i < numinline && extras > 0; ++i) {
            int& gap = space_array[static_cast<std::size_t>(i)];
            if ((bit_p & kSpread) != 0 && gap < maxnum) {
                ++gap;
                --extras;
                ++placed;
            }
            nextbit();
        }
        idle = placed == 0 ? idle + 1 : 0;
        // When the gap count is a multiple of the bit's period, every pass shows each gap the
        // same bit, and gaps that never see a set one would be waited for for ever: after a full
        // period without progress the rest go to the first gaps with room.
        if (idle >= kBitPositions) {
            for (int& gap : space_array) {
                if (extras == 0) break;
                if (gap < maxnum) {
                    ++gap;
                    --extras;
                }
            }
        }
    }
}

// Widens the gaps of the line just built so that it ends exactly at the right margin. False when
// the arena has no room for the wider line.
bool justify() {
    const long long want = static_cast<long long>(rmargin) - newln->length;
    if (jmode == 0 || want < 1 || numinline < 1) return true;
    const long end = newln->index + newln->length;
    if (end + want > kTextSize) return false;
    const int numtoput = static_cast<int>(want);
    spread(numtoput);
    // From the end towards the start: the line's last numinline blanks are its gaps, and the
    // indentation and first word before them stay where they are.
    unsigned char* base = textbase.data() + newln->index;
    int src = newln->length - 1;
    int dst = src + numtoput;
    for (int gap = numinline - 1; gap >= 0 && src >= 0; --src) {
        const unsigned char ch = base[src];
        base[dst--] = ch;
        if (ch != ' ') continue;
        for (int k = 0; k < space_array[static_cast<std::size_t>(gap)]; ++k)
            base[dst--] = ' ';
        --gap;
    }
    newln->length += numtoput;
    ravail += numtoput;
    rcount += numtoput;
    return true;
}

// Copies the first line's text before the cursor into a line of its own.
void keep_before_cursor(int curcol) {
    int keep = std::min(curcol - 1, first->length);
    while (keep > 0 && textbase[first->index + keep - 1] == ' ')
        --keep;
    for (int i = 0; i < keep; ++i)
        rput(textbase[first->index + i]);
}

// Builds the new lines of the paragraph first..last above avail; false when the arena or the
// record pool ran out, with everything built so far let go.
bool refblock() {
    const COREFILE& cf = cur();
    startbuild();
    const int curcol = cf.curcol;
    const int fnb = findnb();
    const int margin_indent = std::max(lmargin - 1, 0);
    int indent = std::max(fnb - 1, 0);
    if (fnb < curcol) {
        if (!newhdr()) return false;
        keep_before_cursor(curcol);
        indent = margin_indent;
    }
    Reader r{first, curcol, ' '};
    bool fresh = true;   // no line started for the next word yet
    bool holds = false;  // the line being built holds a word
    for (int c = rpeep(r); c != kEndOfText && !failed; c = rpeep(r)) {
        if (c == ' ') {
            rnext(r);
            continue;
        }
        if (ravail >= hiaddr || reserve == nullptr) {
            failed = true;
            break;
        }
        if (fresh) {
            if (!newhdr()) {
                failed = true;
                break;
            }
            for (int i = 0; i < indent; ++i)
                rput(' ');
            indent = margin_indent;
            numinline = 0;
            fresh = holds = false;
        }
        const int sz = countword(r);
        const long long remspace =
            static_cast<long long>(rmargin) - newln->length - (holds ? 1 : 0);
        if (sz <= remspace) {
            if (holds) {
                rput(' ');
                ++numinline;
            }
            copyword(r, sz);
            holds = true;
            continue;
        }
        const auto hmax = static_cast<int>(std::clamp<long long>(remspace - 1, -1, sz));
        const HyphenBreak cut = hyphenate_at(r, sz, hmax);
        if (cut.point >= 1) {
            if (holds) {
                rput(' ');
                ++numinline;
            }
            copyword(r, cut.point);
            if (!cut.at_hyphen) rput(kSoftHyphen);
        } else if (!holds) {
            copyword(r, sz);  // longer than the line: it overflows the margin on its own
        }
        if (!failed && !justify()) failed = true;
        fresh = true;
    }
    if (failed) {
        freebuild();
        return false;
    }
    rfirst = dummyheader.down;
    rlast = dummyheader.up;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Replacing the old paragraph
// ---------------------------------------------------------------------------------------------

// Links the new lines between `before` and `after` of the current core file.
void splice_new(LINE* before, LINE* after) {
    rfirst->up = before;
    rlast->down = after;
    before->down = rfirst;
    after->up = rlast;
}

void commit() {
    COREFILE& cf = cur();
    if (fphys != nullptr) {
        lastphys->nextphys = fphys;
        lastphys = lphys;
    }
    avail = ravail;
    int count = 0;
    long chars = 0;
    bool starred = false;
    bool window = false;
    for (LINE* l = first;; l = l->down) {
        ++count;
        chars += l->length;
        starred = starred || l == cf.starA || l == cf.starB;
        window = window || l == cf.disln;
        if (l == last) break;
    }
    if (window) cf.disln = rfirst;
    if (starred) clrstars();
    LINE* before = first->up;
    if (corenum == kHoldingFile) {
        // The old lines stay where they were; the new ones come just before them.
        splice_new(before, first);
    } else {
        before->down = below;
        below->up = before;
        cf.lncount -= count;
        cf.charcount -= chars;
        COREFILE& hold = core[kHoldingFile];
        LINE* after = hold.lnptr;
        first->up = after;
        last->down = after->down;
        after->down->up = last;
        after->down = first;
        hold.lncount += count;
        hold.charcount += chars;
        splice_new(before, below);
    }
    cf.lncount += rline;
    cf.charcount += rcount;
    cf.lnptr = rfirst;
    dummyheader = LINE{};
    fphys = lphys = nullptr;
    redisplay = kRedrawFromCursor;
}

// ---------------------------------------------------------------------------------------------
// Hyphenation rules
// ---------------------------------------------------------------------------------------------

bool vowel(int c) {
    return c == 'A' || c == 'E' || c == 'I' || c == 'O' || c == 'U' || c == 'Y';
}

// The word being hyphenated, in capitals, with the best break point found so far.
struct Hyph {
    std::array<unsigned char, kMaxHyphWord> h{};
    int len = 0;
    int max = 0;
    int best = -1;
    bool at_hyphen = false;

    bool starts_with(std::string_view s) const {
        return static_cast<int>(s.size()) <= len &&
               std::equal(s.begin(), s.end(), h.begin(), [](char a, unsigned char b) {
                   return static_cast<unsigned char>(a) == b;
               });
    }
    bool ends_with(std::string_view s) const {
        const int n = static_cast<int>(s.size());
        return n <= len &&
               std::equal(s.begin(), s.end(), h.begin() + (len - n), [](char a, unsigned char b) {
                   return static_cast<unsigned char>(a) == b;
               });
    }
    // A break keeps at least one character on the line and sends at least one to the next.
    bool propose(int p) {
        if (p < 1 || p >= len || p <= best || p > max) return false;
        best = p;
        return true;
    }
};

// After a hyphen of the word. A hyphen that starts the word is no break point: alone at a line's
// end it would follow a blank, and no later reformat would join the word again.
void rule1(Hyph& w) {
    for (int i = 1; i < w.len && i < w.max; ++i) {
        if (w.h[static_cast<std::size_t>(i)] == '-' && w.propose(i + 1)) w.at_hyphen = true;
    }
}

void prefix_rule(Hyph& w) {
    const auto it = std::find_if(prefixtab.begin(), prefixtab.end(),
                                 [&w](std::string_view p) { return w.starts_with(p); });
    if (it != prefixtab.end()) w.propose(static_cast<int>(it->size()));
}

void suffix_rule(Hyph& w) {
    const auto it = std::find_if(suffixtab.begin(), suffixtab.end(),
                                 [&w](std::string_view s) { return w.ends_with(s); });
    if (it != suffixtab.end()) w.propose(w.len - static_cast<int>(it->size()));
}

// An S followed by a consonant: the break goes before it after a consonant, after an SS pair.
void rule6(Hyph& w) {
    const auto& h = w.h;
    for (int i = 2; i <= w.len - 2; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (h[at] != 'S' || vowel(h[at + 1])) continue;
        if (!vowel(h[at - 1])) w.propose(h[at - 1] == 'S' ? i + 1 : i);
        return;
    }
}

// After the last X.
void rule8(Hyph& w) {
    int x = -1;
    for (int i = 0; i <= w.len - 3; ++i) {
        if (w.h[static_cast<std::size_t>(i)] == 'X' && i <= w.max) x = i;
    }
    if (x >= 0) w.propose(x + 1);
}

// Between a doubled consonant, or after a doubled L or S.
void rule7(Hyph& w) {
    const auto& h = w.h;
    for (int a = 1, b = 2; b < w.len - 1; ++a, ++b) {
        if (h[static_cast<std::size_t>(a)] != h[static_cast<std::size_t>(b)] ||
            vowel(h[static_cast<std::size_t>(b)]))
            continue;
        if (h[static_cast<std::size_t>(b)] == 'L' || h[static_cast<std::size_t>(b)] == 'S') ++b;
        if (vowel(h[static_cast<std::size_t>(b)])) --b;
        w.propose(b);
    }
}

// Before the last vowel that stands between two consonants.
void rule5(Hyph& w) {
    const auto& h = w.h;
    int v = -1;
    for (int i = 2; i <= w.len - 3; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (vowel(h[at]) && !vowel(h[at - 1]) && !vowel(h[at + 1]) && i <= w.max) v = i;
    }
    if (v >= 0) w.propose(v);
}

}  // namespace

HyphenBreak hyphenate(std::string_view word, int hmax) {
    const int hlen = static_cast<int>(word.size());
    if (hlen > kMaxHyphWord) return {0, false};
    if (hlen <= kShortWord) return {-1, false};
    Hyph w;
    w.max = hmax;
    for (int i = 0; i < hlen; ++i) {
        const auto c = static_cast<unsigned char>(word[static_cast<std::size_t>(i)]);
        w.h[static_cast<std::size_t>(i)] = c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
    }
    // Trailing punctuation, digits and accented letters are no part of the word to break, nor is
    // a closing 'S.
    w.len = hlen;
    while (w.len >= 3 && static_cast<signed char>(w.h[static_cast<std::size_t>(w.len - 1)]) <= 64)
        --w.len;
    if (w.len >= 2 && w.h[static_cast<std::size_t>(w.len - 2)] == '\'') w.len -= 2;
    if (w.len <= 0) return {-1, false};
    rule1(w);
    if (w.best < 1 && hyphlevel >= 1) {
        prefix_rule(w);
        rule6(w);
        rule8(w);
        suffix_rule(w);
    }
    if (w.best < 1 && hyphlevel >= 2) rule7(w);
    if (w.best < 1 && hyphlevel >= 3) rule5(w);
    return {w.best, w.at_hyphen};
}

void reset_reformat() {
    bit_p = 1;
}

void reformat() {
    COREFILE& cf = cur();
    LINE* start = cf.lnptr;
    if (start == cf.header || start->object != kObjText) return;
    // The paragraph runs on while lines are text that starts at the left margin.
    LINE* l = start;
    for (;;) {
        cf.lnptr = l;
        detrline();
        l = l->down;
        if (l == cf.header || l->object != kObjText) break;
        cf.lnptr = l;
        const int nb = findnb();
        if (nb == 0 || nb != lmargin) break;
    }
    cf.lnptr = start;
    first = start;
    below = l;
    last = l->up;
    if (!refblock()) {
        garbage();
        if (full != 0 || !refblock()) {
            diserr("inadequate free space for reformat");
            return;
        }
    }
    commit();
}
