#include "rubout.hpp"

#include <string>

#include "build.hpp"
#include "corutils.hpp"
#include "cursors.hpp"
#include "globals.hpp"
#include "linutils.hpp"

namespace {

inline constexpr unsigned char kItemSep = 0xF3;
inline constexpr unsigned char kNodeEnd = 0xF6;

// Removes bytes at the cursor that are moved elsewhere rather than deleted: the delete ring keeps
// what it held.
void takeout(int n) {
    const auto ring = delbuf;
    const int ptr = delptr;
    cremove(n);
    delbuf = ring;
    delptr = ptr;
}

}  // namespace

void rubtxt() {
    COREFILE& cf = cur();
    if (cf.lnptr == cf.header) return;
    detrline();
    LINE* l = cf.lnptr;
    const int len = owns_bytes(l) ? l->length : 0;
    if (len == 0 && cf.curcol == 1) {
        if (l->down == cf.header) return;
        LINE* next = l->down;
        const bool top = cf.disln == l;
        removeline();
        cf.lnptr = next;
        if (top) cf.disln = next;
        redisplay = 6;
        return;
    }
    const int end = len + 1;
    if (cf.curcol < end) {
        cremove(1);
        redisplay = 5;
    } else if (cf.curcol == end) {
        cf.curcol -= 1;
        cremove(1);
        redisplay = 5;
    } else {
        cf.curcol -= 1;
    }
}

void rubrec() {
    COREFILE& cf = cur();
    if (cf.lnptr->object == kObjNew || cf.lnptr == cf.header) return;
    const int b = curbyte(cf.curcol);
    if (b >= 0 && b != '|' && fieldtype(fieldat().num) != 'g') {
        cremove(1);
        redisplay = 7;
    } else {
        curleft();
    }
}

void rubfield() {
    COREFILE& cf = cur();
    if (cf.lnptr->object == kObjNew || cf.lnptr == cf.header || !owns_bytes(cf.lnptr)) return;
    const FieldPos f = fieldat();
    if (fieldtype(f.num) == 'g') return;
    cf.curcol = f.start;
    savechar('\\');
    erasefield();
    redisplay = 7;
}

void copyfield() {
    COREFILE& cf = cur();
    if (cf.lnptr->object == kObjNew || cf.lnptr == cf.header || !owns_bytes(cf.lnptr)) return;
    const FieldPos f = fieldat();
    savechar('\\');
    for (int col = f.start; col < f.start + f.size; ++col)
        savechar(static_cast<char>(curbyte(col)));
}

void rubmath() {
    COREFILE& cf = cur();
    redisplay = 1;
    if (cf.lnptr == cf.header) return;
    const int len = owns_bytes(cf.lnptr) ? cf.lnptr->length : 0;
    if (cf.curflag == 1) {
        if (curbyte(cf.curcol) == kNodeEnd || cf.curcol > len) {
            leftm();
            redisplay = 1;
        } else {
            cremove(1);
        }
        return;
    }
    if (cf.curflag != 2 || cf.curcol == 1 || len == 0 || cf.curcol > len ||
        curbyte(cf.curcol) == kNodeEnd)
        return;
    // The item under the cursor goes to a formula line of its own after this one.
    int n = 0;
    while (cf.curcol + n <= len && curbyte(cf.curcol + n) != kItemSep &&
           curbyte(cf.curcol + n) != kNodeEnd)
        ++n;
    const std::string item(
        reinterpret_cast<const char*>(textbase.data() + cf.lnptr->index + cf.curcol - 1),
        static_cast<std::size_t>(n));
    if (n == 0 || avail + n + 1 >= kTextSize) return;
    LINE* here = cf.lnptr;
    const int col = cf.curcol;
    if (allocln(kObjNew, 0) == nullptr) return;
    for (char c : item)
        cadd(c);
    cf.lnptr->object = kObjMath;
    cf.lnptr = here;
    cf.curcol = col;
    takeout(n);
}

// Pictures have no store in this system, so there is nothing to rub out.
void rubgraph() {}
