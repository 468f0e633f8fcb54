#include "sort.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "build.hpp"
#include "corutils.hpp"
#include "getparam.hpp"
#include "linutils.hpp"
#include "stars.hpp"
#include "syn_cf.hpp"

int sorttable = 0;

namespace {

using Weights = std::array<unsigned char, 256>;

constexpr Weights raw_weights() {
    Weights w{};
    for (int c = 0; c < 256; ++c)
        w[c] = static_cast<unsigned char>(c);
    return w;
}

// French text compared without accents or case: letters fold to their unaccented lower-case form,
// control characters and the signs of the upper half weigh alike.
constexpr Weights unaccented_weights() {
    Weights w = raw_weights();
    constexpr unsigned char kOther = 127;
    for (int c = 0; c < 32; ++c)
        w[c] = kOther;
    for (int c = 'A'; c <= 'Z'; ++c)
        w[c] = static_cast<unsigned char>(c - 'A' + 'a');
    w['_'] = ' ';
    for (int c = 128; c < 256; ++c)
        w[c] = kOther;
    struct Fold {
        int from, to;
        char base;
    };
    constexpr Fold folds[] = {
        {192, 197, 'a'}, {224, 229, 'a'}, {199, 199, 'c'}, {231, 231, 'c'},
        {200, 203, 'e'}, {232, 235, 'e'}, {204, 207, 'i'}, {236, 239, 'i'},
        {210, 214, 'o'}, {242, 246, 'o'}, {217, 220, 'u'}, {249, 252, 'u'},
    };
    for (const Fold& f : folds) {
        for (int c = f.from; c <= f.to; ++c)
            w[c] = static_cast<unsigned char>(f.base);
    }
    return w;
}

// Accent classes: capitals odd, small letters even, every character without an accent alike.
constexpr Weights accent_weights() {
    Weights w{};
    for (int c = 0; c < 256; ++c)
        w[c] = 2;
    for (int c = 'A'; c <= 'Z'; ++c)
        w[c] = 1;
    struct Accent {
        unsigned char weight;
        std::array<int, 5> chars;
    };
    constexpr Accent accents[] = {
        {3, {193, 201, 205, 211, 218}},  {4, {225, 233, 237, 243, 250}},   // acute
        {5, {192, 200, 204, 210, 217}},  {6, {224, 232, 236, 242, 249}},   // grave
        {7, {194, 202, 206, 212, 219}},  {8, {226, 234, 238, 244, 251}},   // circumflex
        {11, {196, 203, 207, 214, 220}}, {12, {228, 235, 239, 246, 252}},  // diaeresis
    };
    for (const Accent& a : accents) {
        for (int c : a.chars)
            w[c] = a.weight;
    }
    w[199] = 9;  // cedilla
    w[231] = 10;
    return w;
}

constexpr std::array<Weights, 3> kTables = {raw_weights(), unaccented_weights(), accent_weights()};

constexpr int kRun = 16;  // segments shorter than this are left to the insertion pass

// State of the sort in progress, set afresh by each SORT.
int sortdir = 0;  // 1 ascending, 2 descending, anything else never swaps
int keylength = 15;
int sortln1 = 1;
int sortln2 = 200000;
int sortpos = 1;
int viewtype = 0;  // of the core file being sorted
const Weights* weights = &kTables[0];
int after = 0;  // the partition scan has passed its pivot
int swap = 0;   // the last comparison wants its first line behind its second
long abort_countdown = -1;

// The request to stop comes from a signal handler, so it is read afresh every time.
bool aborted() {
    return static_cast<const volatile int&>(abortreq) != 0;
}

int bytes(const LINE* l) {
    return l->object == kObjNew || l->object == kObjPicture ? 0 : l->length;
}

// Eight bytes in the order they compare: the first byte the most significant.
std::uint64_t word(const unsigned char* s) {
    std::uint64_t w;
    std::memcpy(&w, s, sizeof w);
    return __builtin_bswap64(w);
}

// Compares n raw bytes: -1, 0 or 1. Keys are short, so they are taken eight bytes at a time.
[[gnu::always_inline]] inline int spancmp(const unsigned char* a, const unsigned char* b, long n) {
    if (n >= 8) {
        for (long i = 0;; i += 8) {
            if (i + 8 > n) i = n - 8;  // the last word overlaps the one before
            const std::uint64_t wa = word(a + i);
            const std::uint64_t wb = word(b + i);
            if (wa != wb) return wa < wb ? -1 : 1;
            if (i + 8 >= n) return 0;
        }
    }
    for (long i = 0; i < n; ++i) {
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    }
    return 0;
}

// Text view: the key runs from the key column to column `keylength` (or backwards from it for a
// negative key length) and never past the shorter line. The key column is the same in every
// line, so both lines are read at one position.
[[gnu::always_inline]] inline int textcmp(const LINE* l1, const LINE* l2) {
    const long k = l1->linekey;
    const int n1 = bytes(l1);
    const int n2 = bytes(l2);
    if (k >= n1) return k >= n2 ? 0 : -1;
    if (k >= n2) return 1;
    const unsigned char* s1 = textbase.data() + l1->index;
    const unsigned char* s2 = textbase.data() + l2->index;
    const Weights& w = *weights;
    long p = k;
    if (keylength >= 1) {
        const int shortest = std::min({n1, n2, keylength});
        // With the key column at or past the key length only the character there is compared.
        const long stop = shortest - 1;
        if (weights == &kTables[0]) {
            // Raw bytes weigh their own value: the whole span is compared at once, after the
            // first byte, which decides most comparisons.
            if (s1[p] != s2[p]) return s1[p] < s2[p] ? -1 : 1;
            const int c = spancmp(s1 + p, s2 + p, std::max(stop - p + 1, 1L));
            if (c != 0) return c;
            if (shortest == keylength || n1 == n2) return 0;
            return n1 < n2 ? -1 : 1;
        }
        for (;;) {
            const int w1 = w[s1[p]];
            const int w2 = w[s2[p]];
            if (w1 != w2) return w1 < w2 ? -1 : 1;
            if (p >= stop) {
                if (shortest == keylength || n1 == n2) return 0;
                return n1 < n2 ? -1 : 1;
            }
            ++p;
        }
    }
    for (int back = -keylength;; --back) {
        const int w1 = w[s1[p]];
        const int w2 = w[s2[p]];
        if (w1 != w2) return w1 < w2 ? -1 : 1;
        if (p == 0 || back <= 0) return 0;
        --p;
    }
}

// Record views: the key is the whole field from its start to its `|`. The end of a field sorts
// before any character, so an empty field comes first and a field before its own extensions.
int reccmp(const LINE* l1, const LINE* l2) {
    const int n1 = bytes(l1);
    const int n2 = bytes(l2);
    const Weights& w = *weights;
    for (long p1 = l1->linekey, p2 = l2->linekey;; ++p1, ++p2) {
        const int c1 = p1 < n1 ? textbase[l1->index + p1] : '|';
        const int c2 = p2 < n2 ? textbase[l2->index + p2] : '|';
        if (c1 == '|') return c2 == '|' ? 0 : -1;
        if (c2 == '|') return 1;
        if (w[c1] != w[c2]) return w[c1] < w[c2] ? -1 : 1;
    }
}

[[gnu::always_inline]] inline int keycmp(const LINE* l1, const LINE* l2) {
    if (viewtype == 0) return textcmp(l1, l2);
    if (viewtype == 1 || viewtype == 2) return reccmp(l1, l2);
    return 0;
}

[[gnu::always_inline]] inline int compare(const LINE* a, const LINE* b) {
    swap = 0;
    if (abort_countdown >= 0 && abort_countdown-- == 0) abortreq = 1;
    const int r = keycmp(a, b);
    if (sortdir == 1) {
        swap = r > 0 || (r == 0 && after != 0);
    } else if (sortdir == 2) {
        swap = r < 0 || (r == 0 && after != 0);
    }
    return r;
}

// Lines are read this many places ahead of the scan: once a large file has been reordered its
// line records and texts lie all over memory, and each would otherwise be waited for in turn.
constexpr int kAhead = 6;

// A pointer that runs ahead of a scan through the list, asking for the records and keys it passes
// to be brought into the cache. It only reads.
struct Lookahead {
    const LINE* at;
    explicit Lookahead(const LINE* from) : at(from) {
        for (int i = 0; i < kAhead; ++i)
            step();
    }
    void step() {
        at = at->down;
        __builtin_prefetch(at->down);
        if (at->index >= 0 && at->index + at->linekey < kTextSize)
            __builtin_prefetch(textbase.data() + at->index + at->linekey);
    }
};

void unlink(LINE* l) {
    l->up->down = l->down;
    l->down->up = l->up;
}

void linkafter(LINE* l, LINE* where) {
    l->up = where;
    l->down = where->down;
    where->down->up = l;
    where->down = l;
}

// The line halfway into a part as it grows at its end: after n lines it is the (n/2)-th, counting
// from 0, so the parts' pivots are known when the partition ends and need no walk to find.
struct Middle {
    LINE* line = nullptr;
    void grew(LINE* added, int n) {
        if (n == 1) {
            line = added;
        } else if (n % 2 == 0) {
            line = line->down;
        }
    }
};

// A segment is the `count` lines between `before` and `behind`, which lie outside it and never
// move while it is sorted; its pivot is the line count/2 places after its first. Partitions the
// segment around the pivot: lines that must go behind it are moved, in the order met, behind the
// segment's last line; the others keep their places, so each part stays one run of lines while
// it grows. Returns the pivot, relinked between the two parts, with the middles of the parts.
LINE* iqsort(LINE* before, LINE* behind, LINE* pivot, int& lower, int& upper, LINE*& lowmid,
             LINE*& upmid) {
    LINE* const stop = behind->up;
    LINE* end = stop;
    LINE* lastlow = before;
    Middle low;
    Middle up;
    Lookahead ahead(before);
    after = 0;
    lower = upper = 0;
    for (LINE* p = before->down;;) {
        LINE* const next = p->down;
        ahead.step();
        const bool last = p == stop;
        if (p == pivot) {
            // Equal lines met from here on go behind the pivot, those before it stay in front.
            unlink(p);
            after = 1;
        } else {
            compare(p, pivot);
            if (swap != 0) {
                if (p != end) {
                    unlink(p);
                    linkafter(p, end);
                    end = p;
                }
                up.grew(p, ++upper);
            } else {
                lastlow = p;
                low.grew(p, ++lower);
            }
        }
        if (last) break;
        p = next;
    }
    linkafter(pivot, lastlow);
    lowmid = low.line;
    upmid = up.line;
    return pivot;
}

// The smaller part is sorted first, then the larger: the larger is taken by the loop, so the
// recursion never goes deeper than the logarithm of the count. `pivot` is the segment's middle.
void orusort(LINE* before, LINE* behind, int count, LINE* pivot) {
    while (count >= kRun && !aborted()) {
        int lower = 0;
        int upper = 0;
        LINE* lowmid = nullptr;
        LINE* upmid = nullptr;
        LINE* const middle = iqsort(before, behind, pivot, lower, upper, lowmid, upmid);
        if (lower <= upper) {
            orusort(before, middle, lower, lowmid);
            before = middle;
            count = upper;
            pivot = upmid;
        } else {
            orusort(middle, behind, upper, upmid);
            behind = middle;
            count = lower;
            pivot = lowmid;
        }
    }
}

// One insertion pass over the whole range; a line moves back only past lines that must follow it,
// so equal lines never pass each other.
void isort(LINE* before, LINE* behind) {
    LINE* p = before->down;
    if (p == behind) return;
    p = p->down;
    Lookahead ahead(p);
    while (p != behind && !aborted()) {
        LINE* const next = p->down;
        ahead.step();
        LINE* q = p->up;
        while (q != before) {
            const int r = compare(q, p);
            if (swap == 0 || r == 0) break;
            q = q->up;
        }
        if (q != p->up) {
            unlink(p);
            linkafter(p, q);
        }
        p = next;
    }
}

bool appropriate(const LINE* l) {
    if (l->object == kObjNew) return true;
    if (l->object == kObjText) return viewtype == 0;
    if (l->object == kObjRecord) return viewtype == 1 || viewtype == 2;
    return false;
}

// Gives the lines of the range their key positions; returns the range's first line and the
// number of lines in it (0 when nothing is to be sorted).
LINE* getnumptr(long& taken) {
    COREFILE& cf = cur();
    taken = 0;
    const long count = static_cast<long>(sortln2) - sortln1 + 1;
    sortdir = sortdir != 0 ? 2 : 1;
    LINE* l = cf.header->down;
    for (long i = 1; i < sortln1 && l != cf.header; ++i)
        l = l->down;
    if (l == cf.header || !appropriate(l)) return nullptr;
    LINE* const head = l;
    const int field = fieldat().num;
    for (; taken < count && l != cf.header && appropriate(l); l = l->down, ++taken)
        l->linekey = viewtype != 0 ? locatefield(l, field) : sortpos - 1;
    return head;
}

int sortrange() {
    COREFILE& cf = cur();
    viewtype = cf.viewtype;
    weights = &kTables[static_cast<std::size_t>(std::clamp(sorttable, 0, 2))];
    abortreq = 0;
    long count = 0;
    LINE* head = getnumptr(count);
    if (head == nullptr || count <= 0 || keylength == 0) return 0;
    LINE* const before = head->up;
    LINE* tail = head;
    for (long i = 1; i < count; ++i)
        tail = tail->down;
    LINE* const oldtailsucc = tail->down;
    LINE* middle = head;
    for (long i = 0; i < count / 2; ++i)
        middle = middle->down;
    orusort(before, oldtailsucc, static_cast<int>(count), middle);
    isort(before, oldtailsucc);
    cf.lnptr = before->down;
    cf.disln = cf.lnptr;
    cf.curcol = 1;
    cf.curline = distance(cf.header, cf.lnptr);
    clrstars();
    redisplay = 1;
    cf.edited = 1;
    return static_cast<int>(count);
}

}  // namespace

int linecmp(const LINE* l1, const LINE* l2) {
    return keycmp(l1, l2);
}

int sortweight(int table, unsigned char c) {
    return kTables[static_cast<std::size_t>(std::clamp(table, 0, 2))][c];
}

int sortlines(int dir, int keylen, int first, int last, int keycol) {
    sortdir = dir;
    keylength = keylen;
    sortln1 = first;
    sortln2 = last;
    sortpos = keycol;
    return sortrange();
}

void sortchk() {
    sortdir = param[1];
    keylength = param[2];
    sortln1 = param[3];
    sortln2 = param[4];
    sortpos = cur().curcol;
}

void sort() {
    sortrange();
}

void skey() {
    sorttable = std::clamp(param[1], 0, 2);
}

void sort_abort_after(long n) {
    abort_countdown = n;
}

void reset_sort() {
    abort_countdown = -1;
    sorttable = 0;
    sortdir = 0;
    keylength = 15;
    sortln1 = 1;
    sortln2 = 200000;
    sortpos = 1;
    viewtype = 0;
    weights = &kTables[0];
    after = 0;
    swap = 0;
}
