#include "utilptr.hpp"

#include <algorithm>

#include "terminal.hpp"

void setptr() {
    lp = cur().lnptr;
    cp = std::min(cur().curcol, lp->length + 1);
    dist = 0;
}

void nextc() {
    if (lp == cur().header) return;
    if (cp > lp->length) {
        lp = lp->down;
        cp = 1;
        dist += 1;
    } else {
        cp += 1;
    }
}

void prevc() {
    if (lp == cur().header) return;
    if (cp <= 1) {
        lp = lp->up;
        cp = lp->length + 1;
        dist -= 1;
    } else {
        cp -= 1;
    }
}

int peepc() {
    if (lp == cur().header) return kEndOfFile;
    if (cp > lp->length || lp->object == kObjNew || lp->object == kObjPicture) return kEndOfLine;
    return textbase[lp->index + cp - 1];
}

namespace {
// True when `line` is shown in the window that starts at `top`.
bool in_window(const LINE* top, const LINE* line, const LINE* header) {
    const LINE* l = top;
    for (int row = 0; row < depth && l != header; ++row, l = l->down) {
        if (l == line) return true;
    }
    return false;
}
}  // namespace

void setcur() {
    COREFILE& cf = cur();
    if (lp == cf.header) return;
    const bool changed_line = lp != cf.lnptr;
    cf.lnptr = lp;
    cf.curcol = cp;
    if (!in_window(cf.disln, lp, cf.header) || (cf.viewtype == 2 && changed_line)) {
        cf.disln = lp;
        redisplay = 1;
    }
}
