#include "ecap.hpp"

#include <algorithm>
#include <string>

#include "build.hpp"
#include "corutils.hpp"
#include "cursors.hpp"
#include "display.hpp"
#include "globals.hpp"
#include "linutils.hpp"
#include "terminal.hpp"
#include "termutils.hpp"
#include "utilptr.hpp"

int lddel = 0;

void reset_ecap() {
    lddel = 0;
}

namespace {

constexpr std::array<unsigned char, 256> make_flip() {
    std::array<unsigned char, 256> t{};
    for (int b = 0; b < 256; ++b)
        t[b] = static_cast<unsigned char>(b);
    for (int b = 'A'; b <= 'Z'; ++b) {
        t[b] = static_cast<unsigned char>(b + 32);
        t[b + 32] = static_cast<unsigned char>(b);
    }
    // Each accented vowel steps to its next variant, capitals first, and the last comes back round.
    auto cycle = [&t](std::initializer_list<int> ring) {
        const int* first = ring.begin();
        for (const int* b = ring.begin(); b != ring.end(); ++b) {
            const int next = (b + 1 == ring.end()) ? *first : *(b + 1);
            t[*b] = static_cast<unsigned char>(next);
        }
    };
    cycle({0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5});  // A
    cycle({0xC8, 0xC9, 0xCA, 0xCB, 0xE8, 0xE9, 0xEA, 0xEB});                          // E
    cycle({0xCC, 0xCD, 0xCE, 0xCF, 0xEC, 0xED, 0xEE, 0xEF});                          // I
    cycle({0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6});              // O
    cycle({0xD9, 0xDA, 0xDB, 0xDC, 0xF9, 0xFA, 0xFB, 0xFC});                          // U
    cycle({0xC7, 0xE7});                                                              // C
    return t;
}

int kind(int c) {
    return charkind[static_cast<unsigned char>(c)];
}
bool is_word(int c) {
    return (kind(c) & 1) != 0;
}
bool is_delim(int c) {
    return (kind(c) & 2) != 0;
}
bool is_number(int c) {
    return (kind(c) & 64) != 0;
}
bool at_end() {
    return peepc() == kEndOfFile;
}

std::string bytes_of(const LINE* l, int from) {
    if (!owns_bytes(l) || from >= l->length) return {};
    return {reinterpret_cast<const char*>(textbase.data() + l->index + from),
            static_cast<std::size_t>(l->length - from)};
}

// Ends the current line after `len` bytes; the bytes cut off are freed.
void cutline(int len) {
    COREFILE& cf = cur();
    LINE* l = cf.lnptr;
    if (!owns_bytes(l) || len >= l->length) return;
    std::fill_n(textbase.begin() + l->index + len, l->length - len, kFreeByte);
    cf.charcount -= l->length - len;
    l->length = len;
}

// Types `s` at the cursor as typing does, one character at a time, moving right after each.
void typeall(const std::string& s) {
    for (char c : s) {
        if (!puttxt(c)) return;
        curright();
    }
}

// The window follows a cursor line that an operation left outside it.
void follow() {
    COREFILE& cf = cur();
    const int row = cursor_row();
    if (row < 0 || row >= depth) cf.disln = cf.lnptr;
}

// Marks the cell under the cursor with an arm, or takes the arm away in erase mode.
void ldmod(unsigned char arm) {
    COREFILE& cf = cur();
    extline();
    const LINE* l = cf.lnptr;
    if (l->length < cf.curcol || !owns_bytes(l)) return;
    const unsigned char b = textbase[l->index + cf.curcol - 1];
    unsigned char arms = (b >= kFirstDrawing && b <= kLastDrawing) ? stubs[b - kFirstDrawing] : 0;
    arms = lddel == 0 ? (arms | arm) : (arms & ~arm & 0x0F);
    textbase[l->index + cf.curcol - 1] = arms == 0 ? ' ' : asc[arms];
}

constexpr unsigned char kLeft = 1;
constexpr unsigned char kDown = 2;
constexpr unsigned char kRight = 4;
constexpr unsigned char kUp = 8;

void setview(int view) {
    cur().viewtype = view;
    cureditmask = editmask[static_cast<std::size_t>(view)];
}

}  // namespace

const std::array<unsigned char, 256> flip = make_flip();

// stubs[byte - 15]: the arms of drawing bytes 15 to 30 (byte 19 has none).
const std::array<unsigned char, 16> stubs = {8, 4, 2, 1, 0, 5, 10, 15, 9, 12, 3, 6, 13, 7, 11, 14};
// asc[arms]: the drawing byte of each set of arms.
const std::array<unsigned char, 16> asc = {0,  18, 17, 25, 16, 20, 26, 28,
                                           15, 23, 21, 29, 24, 27, 30, 22};

// ---------------------------------------------------------------------------------------------
// Line ends, margins, line cutting and joining
// ---------------------------------------------------------------------------------------------

void begline() {
    cur().curcol = 1;
}

void endline() {
    detrline();
    const LINE* l = cur().lnptr;
    cur().curcol = (owns_bytes(l) ? l->length : 0) + 1;
}

void deline() {
    COREFILE& cf = cur();
    const LINE* l = cf.lnptr;
    if (!owns_bytes(l) || cf.curcol > l->length) return;
    cremove(l->length - cf.curcol + 1);
    redisplay = 6;
}

void marleft() {
    const int col = cur().curcol;
    if (col <= rmargin && col != lmargin) {
        lmargin = col;
        prtabs();
    }
}

void maright() {
    const int col = cur().curcol;
    if (col >= lmargin && col != rmargin) {
        rmargin = col;
        prtabs();
    }
}

void splitline() {
    COREFILE& cf = cur();
    LINE* l = cf.lnptr;
    const std::string tail = cf.curcol >= 1 ? bytes_of(l, cf.curcol - 1) : std::string();
    if (!storeroom(static_cast<long>(tail.size()) + 1)) return;
    if (allocln(kObjNew, 0) == nullptr) return;
    LINE* fresh = cf.lnptr;
    cf.lnptr = l;
    cutline(cf.curcol - 1);
    cf.lnptr = fresh;
    cf.curcol = 1;
    typeall(tail);
    cf.curcol = 1;
    redisplay = 1;
    mwd();
}

void joinline() {
    COREFILE& cf = cur();
    LINE* here = cf.lnptr;
    LINE* next = here->down;
    if (here == cf.header || next == cf.header) return;
    const std::string bytes = bytes_of(next, 0);
    if (!storeroom(static_cast<long>(bytes.size()))) return;
    const bool empty_new = next->object == kObjNew;
    // removeline also takes a star off the line.
    cf.lnptr = next;
    removeline();
    cf.lnptr = here;
    if (!empty_new) {
        detrline();
        cf.curcol = (owns_bytes(cf.lnptr) ? cf.lnptr->length : 0) + 1;
        typeall(bytes);
    }
    cf.edited = 1;
    redisplay = 1;
    follow();
}

void repchar() {
    COREFILE& cf = cur();
    const LINE* above = cf.lnptr->up;
    if (cf.lnptr == cf.header || above == cf.header) return;
    const int b = byte_at(above, cf.curcol);
    if (puttxt(b < 0 ? ' ' : static_cast<char>(b))) curright();
    redisplay = 4;
}

void repline() {
    COREFILE& cf = cur();
    const LINE* above = cf.lnptr->up;
    if (cf.lnptr == cf.header || above == cf.header) return;
    const int last = owns_bytes(above) ? above->length : 0;
    while (cf.curcol <= last) {
        const int before = cf.curcol;
        repchar();
        if (cf.curcol == before) break;  // the store ran out
    }
    redisplay = 5;
}

// ---------------------------------------------------------------------------------------------
// Words and numbers
// ---------------------------------------------------------------------------------------------

// Each run is removed in one go: byte by byte would move the rest of a long line once per byte.
void delwordend() {
    COREFILE& cf = cur();
    detrline();
    if (!owns_bytes(cf.lnptr)) return;
    auto run = [&cf](bool word) {
        int n = 0;
        while (cf.curcol + n <= cf.lnptr->length &&
               is_word(byte_at(cf.lnptr, cf.curcol + n)) == word)
            ++n;
        cremove(n);
    };
    run(true);
    run(false);
    redisplay = 5;
}

void delword() {
    COREFILE& cf = cur();
    const LINE* l = cf.lnptr;
    if (l == cf.header || !owns_bytes(l) || cf.curcol > l->length) return;
    if (!is_word(byte_at(l, cf.curcol))) return;
    while (cf.curcol > 1 && is_word(byte_at(l, cf.curcol - 1)))
        cf.curcol -= 1;
    savechar('\\');
    delwordend();
}

void xnextword() {
    setptr();
    while (!at_end() && !is_delim(peepc()))
        nextc();
    while (!at_end() && !is_word(peepc()))
        nextc();
    setcur();
}

void xprevword() {
    setptr();
    while (!at_end() && !is_delim(peepc()))
        prevc();
    while (!at_end() && !is_word(peepc()))
        prevc();
    while (!at_end() && !is_delim(peepc()))
        prevc();
    if (at_end()) {
        // The top of the file: the first word of the first line.
        lp = cur().header->down;
        cp = 1;
        if (!is_word(peepc())) {
            while (!at_end() && !is_delim(peepc()))
                nextc();
            while (!at_end() && !is_word(peepc()))
                nextc();
        }
    } else {
        nextc();
    }
    setcur();
}

void xnextnumx() {
    setptr();
    while (!at_end() && peepc() == ' ')
        nextc();
    while (!at_end() && is_number(peepc()))
        nextc();
    nextc();
    setcur();
}

void flipchar() {
    COREFILE& cf = cur();
    const LINE* l = cf.lnptr;
    const int b = byte_at(l, cf.curcol);
    if (b < 0) return;
    textbase[l->index + cf.curcol - 1] = flip[static_cast<std::size_t>(b)];
    if (flip[static_cast<std::size_t>(b)] != b) cf.edited = 1;
    if (b < 128) curright();
    redisplay = 5;
}

void manynulines() {
    COREFILE& cf = cur();
    int n = gnum();
    if (n <= 0) n = 1;
    n = std::min(n, kMaxNewLines);
    LINE* start = cf.lnptr;
    for (int i = 0; i < n && full == 0; ++i) {
        if (allocln(kObjNew, 0) == nullptr) {
            garbage();
            if (allocln(kObjNew, 0) == nullptr) break;
        }
        makeobject();
        cf.lnptr = start;
        if (avail > hiaddr || reserve == nullptr) garbage();
    }
    cf.lnptr = start;
    redisplay = 6;
}

// ---------------------------------------------------------------------------------------------
// Line drawing
// ---------------------------------------------------------------------------------------------

void ldenter() {
    setview(3);
    lddel = 0;
}

void ldexit() {
    setview(0);
}
void lddelin() {
    lddel = 1;
}
void lddelout() {
    lddel = 0;
}

void ldright() {
    if (full != 0) return;
    ldmod(kRight);
    curright();
    ldmod(kLeft);
    cur().edited = 1;
    redisplay = 5;
}

void ldleft() {
    if (full != 0 || cur().curcol <= 1) return;
    ldmod(kLeft);
    curleft();
    ldmod(kRight);
    cur().edited = 1;
    redisplay = 5;
}

void ldup() {
    if (full != 0) return;
    ldmod(kUp);
    redisplay = 0;
    upline();
    ldmod(kDown);
    cur().edited = 1;
    redisplay = redisplay != 0 ? 1 : 21;
}

void lddown() {
    if (full != 0) return;
    ldmod(kDown);
    redisplay = 0;
    downline();
    ldmod(kUp);
    cur().edited = 1;
    redisplay = redisplay == 2 || redisplay == 1 ? 1 : 20;
}
