#include "cursors.hpp"

#include <algorithm>

#include "build.hpp"
#include "commands.hpp"
#include "corutils.hpp"
#include "editor.hpp"
#include "globals.hpp"
#include "linutils.hpp"
#include "terminal.hpp"

int greenx = 0;
int greeny = 0;

void reset_cursors() {
    greenx = 0;
    greeny = 0;
}

namespace {

inline constexpr unsigned char kNodeEnd = 0xF6;
inline constexpr unsigned char kTableStart = 0xF5;

bool is_text(const LINE* l) {
    return l->object == kObjText || l->object == kObjNew;
}

// After a downward move the cursor line must stay in the window: one line beyond its end scrolls
// by a line, anything further re-anchors the window on the cursor.
void follow_down() {
    COREFILE& cf = cur();
    const int row = cursor_row();
    if (row < 0 || row > depth) {
        cf.disln = cf.lnptr;
        redisplay = 1;
    } else if (windowtop + row > windowend) {
        cf.disln = cf.disln->down;
        redisplay = 2;
    }
}

}  // namespace

// Formula layout is not part of this system, so a table has no rows or columns to walk.
int tablecols() {
    return 0;
}
int tablerows() {
    return 0;
}

int cursor_row() {
    const COREFILE& cf = cur();
    if (cf.disln == nullptr) return -1;
    int row = 0;
    for (const LINE* l = cf.disln; l != cf.header; l = l->down, ++row) {
        if (l == cf.lnptr) return row;
    }
    return -1;
}

void mwd() {
    follow_down();
}

void curright() {
    COREFILE& cf = cur();
    if (cf.curcol < kMaxCol) cf.curcol += 1;
}

void curleft() {
    COREFILE& cf = cur();
    if (cf.curcol > 1) cf.curcol -= 1;
}

void downline() {
    COREFILE& cf = cur();
    if (cf.lnptr->down == cf.header || cf.lnptr == cf.header) {
        if (cf.lnptr == cf.header) cf.lnptr = cf.header->up;
        if (allocln(kObjNew, 0) == nullptr) return;
        makeobject();
        redisplay = 5;
        cf.edited = 1;
    } else {
        cf.lnptr = cf.lnptr->down;
    }
    if (!is_text(cf.lnptr)) cf.curcol = 1;
    cf.curflag = 1;
    mwd();
}

void upline() {
    COREFILE& cf = cur();
    if (cf.lnptr->up == cf.header || cf.lnptr == cf.header) {
        LINE* keep = cf.lnptr;
        cf.lnptr = cf.header;
        if (allocln(kObjNew, 0) == nullptr) {
            cf.lnptr = keep;
            return;
        }
        makeobject();
        cf.edited = 1;
        cf.disln = cf.lnptr;
        redisplay = 3;
    } else {
        if (cf.lnptr == cf.disln) {
            cf.disln = cf.disln->up;
            redisplay = 3;
        }
        cf.lnptr = cf.lnptr->up;
        // The window follows a cursor that has left it upwards.
        if (cursor_row() < 0) {
            cf.disln = cf.lnptr;
            redisplay = 3;
        }
    }
    if (!is_text(cf.lnptr)) cf.curcol = 1;
    cf.curflag = 1;
}

void downrec() {
    downline();
    const int view = cur().viewtype;
    if (view == 2 || view == 6) redisplay = 1;
}

void uprec() {
    upline();
    const int view = cur().viewtype;
    if (view == 2 || view == 6) redisplay = 1;
}

void downfield() {
    COREFILE& cf = cur();
    const LINE* l = cf.lnptr;
    if (l->object != kObjRecord && l->object != kObjText) return;
    for (int i = cf.curcol - 1; i < l->length - 1; ++i) {
        if (textbase[l->index + i] == '|') {
            cf.curcol = i + 2;
            return;
        }
    }
}

void upfield() {
    COREFILE& cf = cur();
    const LINE* l = cf.lnptr;
    if (l->object != kObjRecord && l->object != kObjText) return;
    if (cf.curcol <= 1) return;
    auto back_to_bar = [l](int from) {
        int i = from;
        while (i >= 0 && textbase[l->index + i] != '|')
            --i;
        return i;  // -1: the line's start was reached
    };
    const int start = std::min(cf.curcol - 1, l->length) - 1;
    const int bar = back_to_bar(start);
    if (bar > 0) {
        cf.curcol = back_to_bar(bar - 1) + 2;
    } else {
        cf.curcol = 1;
    }
}

void retrn() {
    COREFILE& cf = cur();
    if (crinsert == 0 && mode == 2) {
        insline();
    } else if (crinsert == 2 && windowtop + cursor_row() == windowend) {
        downpage();
    } else {
        downline();
    }
    cf.curcol = is_text(cf.lnptr) ? lmargin : 1;
}

void up_page() {
    COREFILE& cf = cur();
    if (cf.disln == nullptr || cf.disln == cf.header) cf.disln = cf.lnptr;
    for (int i = 0; i < depth && cf.disln->up != cf.header; ++i)
        cf.disln = cf.disln->up;
    cf.lnptr = cf.disln;
    redisplay = 1;
}

void downpage() {
    COREFILE& cf = cur();
    if (cf.disln == nullptr || cf.disln == cf.header) cf.disln = cf.lnptr;
    for (int i = 0; i < depth && cf.disln->down != cf.header; ++i)
        cf.disln = cf.disln->down;
    cf.lnptr = cf.disln;
    redisplay = 1;
}

void fixcursor() {
    COREFILE& cf = cur();
    const LINE* l = cf.lnptr;
    const int view = cf.viewtype;
    if (l->object == kObjRecord && (view == 1 || view == 2 || view == 7) && cf.curcol > l->length)
        cf.curcol = l->length;
    if (cf.curcol < 1) cf.curcol = 1;
    if (cf.curcol > kMaxCol) cf.curcol = kMaxCol;
    if (l->object == kObjMath && cf.curcol == 1 && cf.curflag == 2) cf.curflag = 1;
}

// ---------------------------------------------------------------------------------------------
// Formula lines: with no formula layout the item scans run to the line's start, so the moves come
// down to plain column steps and the cursor-kind changes below.
// ---------------------------------------------------------------------------------------------

void leftm() {
    COREFILE& cf = cur();
    switch (cf.curflag) {
        case 2:
            cf.curcol = 1;
            break;
        case 3:
            if (greenx > 0) greenx -= 1;
            break;
        default:
            if (cf.curcol > 1) {
                cf.curcol -= 1;
                if (curbyte(cf.curcol) == kNodeEnd) cf.curcol = 1;
            }
            break;
    }
    redisplay = 12;
}

void rightm() {
    COREFILE& cf = cur();
    const LINE* l = cf.lnptr;
    switch (cf.curflag) {
        case 2: {
            if (cf.curcol == 1) break;
            bool node_end_follows = false;
            for (int col = cf.curcol; col <= l->length; ++col) {
                if (curbyte(col) == kNodeEnd) node_end_follows = true;
            }
            if (!node_end_follows) cf.curcol = l->length + 3;
            break;
        }
        case 3:
            if (greenx + 1 < tablecols()) greenx += 1;
            break;
        default:
            if (cf.curcol < l->length + 1) cf.curcol += 1;
            break;
    }
    redisplay = 12;
}

void downm() {
    COREFILE& cf = cur();
    if (cf.curflag == 2) {
        cf.curflag = 1;
    } else if (cf.curflag == 3 && greeny + 1 < tablerows()) {
        greeny += 1;
    }
    redisplay = 12;
}

void upm() {
    COREFILE& cf = cur();
    if (cf.curflag == 3) {
        if (greeny > 0) greeny -= 1;
    } else if (cf.curcol != 1) {
        cf.curflag = cf.curflag == 2 ? 1 : 2;
        cf.curcol = 1;
    }
    redisplay = 12;
}

void greencur() {
    COREFILE& cf = cur();
    if (cf.curflag == 3) {
        cf.curflag = 1;
    } else if (cf.curflag == 1 && curbyte(cf.curcol) == kTableStart) {
        greenx = 0;
        greeny = 0;
        cf.curflag = 3;
    }
    redisplay = 12;
}

// Stepping to another table row needs the formula structure, which this system does not lay out.
void downrow() {
    redisplay = 12;
}
void uprow() {
    redisplay = 12;
}
