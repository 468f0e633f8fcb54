#include "globals.hpp"

std::array<unsigned char, kTextSize> textbase;
long avail = 0;
long hiaddr = kHiAddr;
LINE* reserve = nullptr;
int full = 0;
LINE firstphys;
LINE* lastphys = &firstphys;
std::array<COREFILE, kCoreFiles> core;
int corenum = 1;

LINE* lp = nullptr;
int cp = 1;
int dist = 0;

// The ring starts as blanks, so typing it back before anything was deleted gives blanks.
std::array<char, kDelBufSize> delbuf = [] {
    std::array<char, kDelBufSize> ring{};
    ring.fill(' ');
    return ring;
}();
int delptr = 0;

int type = 0;
char holdch = 0;
int mode = 1;
int overflg = 0;
int repflag = 1;
int redisplay = 0;
int del = 0;
int transb = 0;
volatile std::sig_atomic_t abortreq = 0;

// viewmask[object]: the views (one bit each) in which a line of that object is edited.
const std::array<int, 6> viewmask = {0x69, 0x86, 0x10, 0x60, 0x00, 0x69};
const std::array<int, 8> editmask = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
int cureditmask = 1;
int curviewmask = 0;
int curopmask = 0;

int lmargin = 1;
int rmargin = 72;

Name curfile;

void reset_globals() {
    type = 0;
    holdch = 0;
    mode = 1;
    overflg = 0;
    repflag = 1;
    redisplay = 0;
    del = 0;
    transb = 0;
    abortreq = 0;
    cureditmask = 1;
    curviewmask = 0;
    curopmask = 0;
    lmargin = 1;
    rmargin = 72;
    curfile.clear();
    delbuf.fill(' ');
    delptr = 0;
}
