#include "centre.hpp"

#include <algorithm>
#include <cstring>
#include <string>

#include "build.hpp"
#include "globals.hpp"
#include "linutils.hpp"
#include "scrout.hpp"
#include "termutils.hpp"

int lrcswitch = 1;

namespace {

enum Kind : int { kLeft = 0, kCentre = 1, kRight = 2, kChar = 3 };

int leftnb = 0;
int rightnb = 0;

// Rounds towards minus infinity, as the centre's shift must for odd negative sums.
long long floordiv2(long long v) {
    return v >= 0 ? v / 2 : -((-v + 1) / 2);
}

long long shift_for(int kind) {
    switch (kind) {
        case kLeft:
            return static_cast<long long>(lmargin) - leftnb;
        case kCentre:
            return floordiv2(static_cast<long long>(lmargin) + rmargin - leftnb - rightnb);
        case kRight:
            return static_cast<long long>(rmargin) - rightnb;
        default:
            for (int col = leftnb; col <= rightnb; ++col) {
                if (curbyte(col) == static_cast<unsigned char>(holdch))
                    return static_cast<long long>(rmargin) - col;
            }
            return 0;
    }
}

// Moves the text right by p columns, leaving blanks behind it.
bool move_right(long long p) {
    if (!storeroom(p)) {
        diserr("Inadequate space for this operation");
        return false;
    }
    if (!cadd_text(std::string(static_cast<std::size_t>(p), ' '))) return false;
    unsigned char* base = textbase.data() + cur().lnptr->index;
    const auto n = static_cast<std::size_t>(rightnb - leftnb + 1);
    std::memmove(base + leftnb - 1 + p, base + leftnb - 1, n);
    std::fill_n(base + leftnb - 1, p, ' ');
    return true;
}

// Moves the text left by -p columns over the blanks before it; the line shrinks.
void move_left(long long p) {
    COREFILE& cf = cur();
    LINE* l = cf.lnptr;
    unsigned char* base = textbase.data() + l->index;
    const auto n = static_cast<std::size_t>(rightnb - leftnb + 1);
    const int by = static_cast<int>(-p);
    std::memmove(base + leftnb - 1 - by, base + leftnb - 1, n);
    std::fill_n(base + l->length - by, by, kFreeByte);
    l->length -= by;
    cf.charcount -= by;
}

void centre(int kind) {
    lrcswitch = kind;
    detrline();
    leftnb = findnb();
    if (leftnb == 0) return;
    rightnb = cur().lnptr->length;
    // The text never moves left of column 1.
    const long long p = std::max(shift_for(kind), 1LL - leftnb);
    if (p == 0) return;
    if (p > 0) {
        if (!move_right(p)) return;
    } else {
        move_left(p);
    }
    redisplay = 5;
}

}  // namespace

void reset_centre() {
    lrcswitch = 1;
}

void flushleft() {
    centre(kLeft);
}
void flushright() {
    centre(kRight);
}
void fcenter() {
    centre(kCentre);
}
void falign() {
    glett();
    centre(kChar);
}
