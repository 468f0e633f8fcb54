#include "editor.hpp"

#include <cstdio>

#include "build.hpp"
#include "centre.hpp"
#include "commands.hpp"
#include "compute.hpp"
#include "corutils.hpp"
#include "cstars.hpp"
#include "cursors.hpp"
#include "display.hpp"
#include "ecap.hpp"
#include "gento.hpp"
#include "globals.hpp"
#include "merger.hpp"
#include "oruutils.hpp"
#include "prcmnd.hpp"
#include "reformat.hpp"
#include "rubout.hpp"
#include "scan.hpp"
#include "scrin.hpp"
#include "scrout.hpp"
#include "stars.hpp"
#include "syshandler.hpp"
#include "tabs.hpp"
#include "terminal.hpp"
#include "termutils.hpp"
#include "tests.hpp"
#include "view.hpp"

namespace {
constexpr int L = kSideLine;
constexpr int E = kSideEdit;
constexpr int F = kSideFill;
}  // namespace

// One row per operation code: side effects, repeat limit, views allowed whatever the line's
// object, and the handler of each view 0 to 7.
// clang-format off
const std::array<edtable, kEditOps> edittable = {{
    /*   0 */ {0, 200, 0, {noop, noop, noop, noop, noop, noop, noop, noop}},
    /*   1 */ {L | F, 20, 0x7b, {retrn, retrn, downfield, ldexit, noop, retrn, retrn, viewterm}},
    /*   2 */ {E | F, 200, 0, {bldtxt, bldrec, bldrec, noop, noop, bldmath, bldmath, bldrec}},
    /*   3 */ {E | F, 200, 0, {bldtxt, bldrec, bldrec, noop, noop, bldmath, bldmath, bldrec}},
    /*   4 */ {E | F, 200, 0, {bldtxt, bldrec, bldrec, noop, grops, bldmath, bldmath, bldrec}},
    /*   5 */ {E, 20, 0, {rubtxt, rubrec, rubrec, lddelin, rubgraph, rubmath, rubmath, rubrec}},
    /*   6 */ {0, 200, 0, {noop, noop, noop, noop, noop, noop, noop, noop}},
    /*   7 */ {0, 200, 0, {noop, noop, noop, noop, noop, noop, noop, noop}},
    /*   8 */ {0, 200, 0, {noop, noop, noop, noop, noop, noop, noop, noop}},
    /*   9 */ {0, 200, 0, {noop, noop, noop, noop, noop, noop, noop, noop}},
    /*  10 */ {L | F, 20, 0xff, {nuline, nuline, nuline, noop, nuline, nuline, nuline, noop}},
    /*  11 */ {F, 80, 0, {copytxt, copytxt, copytxt, noop, pickpoint, copytxt, copytxt, copytxt}},
    /*  12 */ {L, 200, 0xff, {noop, noop, noop, noop, noop, noop, noop, noop}},
    /*  13 */ {0, 200, 0xff, {noop, noop, noop, noop, noop, noop, noop, noop}},
    /*  14 */ {0, 200, 0, {noop, noop, noop, noop, noop, noop, noop, noop}},
    /*  15 */ {0, 200, 0, {noop, noop, noop, noop, noop, noop, noop, noop}},
    /*  16 */ {0, 200, 0, {noop, noop, noop, noop, noop, noop, noop, noop}},
    /*  17 */ {0, 80, 0, {curleft, curleft, curleft, ldleft, picleft, leftm, leftm, curleft}},
    /*  18 */ {L, 20, 0x7b, {downline, downrec, downfield, lddown, picdown, downrec, downm, downfield}},
    /*  19 */ {0, 80, 0, {curright, curright, curright, ldright, picright, rightm, rightm, curright}},
    /*  20 */ {L, 20, 0x7b, {upline, uprec, upfield, ldup, picup, uprec, upm, upfield}},
    /*  21 */ {L, 200, 0xff, {prcmnd, prcmnd, prcmnd, noop, prcmnd, prcmnd, prcmnd, noop}},
    /*  22 */ {0, 200, 0, {inmode, inmode, inmode, noop, noop, inmode, inmode, inmode}},
    /*  23 */ {E | F, 200, 0, {reformat, upfield, upfield, noop, remember, upm, upm, upfield}},
    /*  24 */ {0, 200, 0, {extchk, extchk, extchk, noop, noop, extchk, extchk, noop}},
    /*  25 */ {0, 200, 0xff, {makestars, makestars, makestars, noop, noop, makestars, makestars, noop}},
    /*  26 */ {L | E, 200, 0xff, {recover, recover, recover, noop, noop, recover, recover, noop}},
    /*  27 */ {L | E, 200, 0xff, {delete_, delete_, delete_, noop, droppoint, delete_, delete_, noop}},
    /*  28 */ {L, 3, 0xff, {up_page, up_page, uprec, noop, upline, up_page, uprec, noop}},
    /*  29 */ {0, 200, 0, {uclcsw, uclcsw, uclcsw, noop, noop, uclcsw, uclcsw, uclcsw}},
    /*  30 */ {L, 3, 0xff, {downpage, downpage, downrec, noop, downline, downpage, downrec, noop}},
    /*  31 */ {0, 200, 0xff, {find, find, find, noop, noop, noop, noop, noop}},
    /*  32 */ {L, 200, 0xff, {resfind, resfind, resfind, noop, nextitem, resfind, resfind, noop}},
    /*  33 */ {0, 200, 0, {tabset, noop, noop, noop, addpic, noop, noop, noop}},
    /*  34 */ {0, 200, 0xff, {tabcur, downfield, noop, ldexit, noop, downm, downm, noop}},
    /*  35 */ {L | E | F, 200, 0xff, {copyop, copyop, copyop, noop, copyop, copyop, copyop, noop}},
    /*  36 */ {E, 20, 0, {noop, noop, noop, noop, noop, noop, noop, noop}},
    /*  37 */ {E | F, 200, 0, {qcompsingle, noop, noop, noop, noop, noop, noop, noop}},
    /*  38 */ {0, 200, 0, {show, show, show, show, show, show, show, noop}},
    /*  39 */ {0, 200, 0, {qglobpre, noop, noop, noop, noop, noop, noop, noop}},
    /*  40 */ {L | E | F, 200, 0, {recword, recfield, recfield, noop, noop, noop, noop, recfield}},
    /*  41 */ {0, 200, 0, {wildtxt, wildrec, wildrec, noop, noop, noop, noop, noop}},
    /*  42 */ {0, 200, 0, {compute0, compute0, compute0, noop, noop, noop, noop, noop}},
    /*  43 */ {0, 200, 0, {compute0, compute0, compute0, noop, noop, noop, noop, noop}},
    /*  44 */ {0, 200, 0, {compute0, compute0, compute0, noop, noop, noop, noop, noop}},
    /*  45 */ {0, 200, 0, {compute0, compute0, compute0, noop, noop, noop, noop, noop}},
    /*  46 */ {0, 200, 0, {compute0, compute0, compute0, noop, noop, noop, noop, noop}},
    /*  47 */ {F, 200, 0, {mrgexp, mrgexp, mrgexp, noop, noop, noop, noop, noop}},
    /*  48 */ {F, 200, 0, {mrgtext, mrgtext, mrgtext, noop, noop, noop, noop, noop}},
    /*  49 */ {0, 200, 0, {reginc, reginc, reginc, noop, noop, noop, noop, noop}},
    /*  50 */ {0, 200, 0, {regclear, regclear, regclear, noop, noop, noop, noop, noop}},
    /*  51 */ {F, 200, 0, {noop, mrgassign, mrgassign, noop, noop, noop, noop, noop}},
    /*  52 */ {F, 200, 0, {regdis, regdis, regdis, noop, noop, noop, noop, noop}},
    /*  53 */ {E | F, 200, 0, {noop, noop, noop, noop, noop, bldmath, bldmath, noop}},
    /*  54 */ {E | F, 200, 0, {noop, noop, noop, noop, noop, recmath, recmath, noop}},
    /*  55 */ {0, 200, 0, {noop, noop, noop, noop, noop, preview, preview, noop}},
    /*  56 */ {0, 200, 0, {silent, silent, silent, noop, silent, silent, silent, noop}},
    /*  57 */ {0, 200, 0, {noop, noop, noop, noop, noop, greencur, greencur, noop}},
    /*  58 */ {E, 200, 0, {noop, noop, noop, noop, noop, instabrow, instabrow, noop}},
    /*  59 */ {E, 200, 0, {noop, noop, noop, noop, noop, instabcol, instabcol, noop}},
    /*  60 */ {0, 200, 0, {noop, noop, noop, noop, noop, downrow, downrow, noop}},
    /*  61 */ {0, 200, 0, {noop, noop, noop, noop, noop, uprow, uprow, noop}},
    /*  62 */ {0, 200, 0, {regshow, regshow, regshow, noop, noop, noop, noop, noop}},
    /*  63 */ {0, 200, 0xff, {resnumber, resnumber, resnumber, noop, noop, resnumber, resnumber, noop}},
    /*  64 */ {0, 200, 0xff, {rescheck, rescheck, rescheck, noop, noop, rescheck, rescheck, noop}},
    /*  65 */ {E | F, 80, 0, {rectxt, recrec, recrec, noop, previtem, noop, noop, recrec}},
    /*  66 */ {0, 200, 0, {begline, begline, noop, noop, noop, noop, noop, noop}},
    /*  67 */ {E | F, 200, 0, {noop, mrgrec, mrgrec, noop, noop, noop, noop, noop}},
    /*  68 */ {0, 200, 0, {endline, endline, noop, noop, noop, noop, noop, noop}},
    /*  69 */ {E, 3, 0, {deline, noop, noop, noop, noop, noop, noop, noop}},
    /*  70 */ {0, 3, 0, {marleft, noop, noop, noop, noop, noop, noop, noop}},
    /*  71 */ {0, 3, 0, {maright, noop, noop, noop, noop, noop, noop, noop}},
    /*  72 */ {E | F, 200, 0, {flushleft, noop, noop, noop, noop, noop, noop, noop}},
    /*  73 */ {E | F, 200, 0, {flushright, noop, noop, noop, noop, noop, noop, noop}},
    /*  74 */ {E | F, 200, 0, {fcenter, noop, noop, noop, noop, noop, noop, noop}},
    /*  75 */ {L | E | F, 200, 0, {splitline, noop, noop, noop, noop, noop, noop, noop}},
    /*  76 */ {E | F, 200, 0, {joinline, noop, noop, noop, noop, noop, noop, noop}},
    /*  77 */ {E | F, 80, 0, {repchar, noop, noop, noop, noop, noop, noop, noop}},
    /*  78 */ {E | F, 200, 0, {repline, copyfield, copyfield, noop, noop, noop, noop, copyfield}},
    /*  79 */ {E, 200, 0, {delword, rubfield, rubfield, noop, noop, noop, noop, rubfield}},
    /*  80 */ {E, 200, 0, {delwordend, noop, noop, noop, noop, noop, noop, noop}},
    /*  81 */ {L, 200, 0, {xnextword, noop, noop, noop, noop, noop, noop, noop}},
    /*  82 */ {L, 200, 0, {xprevword, noop, noop, noop, noop, noop, noop, noop}},
    /*  83 */ {0, 200, 0, {makecstars, noop, noop, noop, noop, noop, noop, noop}},
    /*  84 */ {E, 200, 0, {deleterect, noop, noop, noop, noop, noop, noop, noop}},
    /*  85 */ {E | F, 200, 0, {insertrect, noop, noop, noop, noop, noop, noop, noop}},
    /*  86 */ {E | F, 200, 0, {copyrect, noop, noop, noop, noop, noop, noop, noop}},
    /*  87 */ {E | F, 200, 0, {insertcols, noop, noop, noop, noop, noop, noop, noop}},
    /*  88 */ {E | F, 200, 0, {overwrect, noop, noop, noop, noop, noop, noop, noop}},
    /*  89 */ {E, 200, 0, {cpclrrect, noop, noop, noop, noop, noop, noop, noop}},
    /*  90 */ {E | F, 200, 0, {cpclrovrect, noop, noop, noop, noop, noop, noop, noop}},
    /*  91 */ {0, 200, 0, {clearallstars, clearallstars, clearallstars, noop, noop, noop, noop, noop}},
    /*  92 */ {0, 200, 0, {flipchar, flipchar, flipchar, noop, noop, noop, noop, flipchar}},
    /*  93 */ {E | F, 200, 0, {manynulines, noop, noop, noop, noop, noop, noop, noop}},
    /*  94 */ {0, 200, 0, {ldenter, noop, noop, lddelout, noop, noop, noop, noop}},
    /*  95 */ {L, 200, 0, {xnextnumx, noop, noop, noop, noop, noop, noop, noop}},
    /*  96 */ {E | F, 200, 0, {falign, noop, noop, noop, noop, noop, noop, noop}},
    /*  97 */ {0, 200, 0, {generate, noop, noop, noop, noop, noop, noop, noop}},
    /*  98 */ {0, 200, 0xff, {resumelx, resumelx, resumelx, noop, noop, noop, noop, noop}},
    /*  99 */ {0, 200, 0, {qcompare, noop, noop, noop, noop, noop, noop, noop}},
    /* 100 */ {0, 200, 0, {gento_moveblock, noop, noop, noop, noop, noop, noop, noop}},
    /* 101 */ {0, 200, 0, {gento_sleep, noop, noop, noop, noop, noop, noop, noop}},
    /* 102 */ {0, 200, 0, {disp_sent, noop, noop, noop, noop, noop, noop, noop}},
    /* 103 */ {0, 200, 0, {qnewcompare, noop, noop, noop, noop, noop, noop, noop}},
    /* 104 */ {0, 200, 0, {qenummorph, noop, noop, noop, noop, noop, noop, noop}},
    /* 105 */ {0, 200, 0, {scantext, noop, noop, noop, noop, noop, noop, noop}},
    /* 106 */ {0, 200, 0, {qmakepre, noop, noop, noop, noop, noop, noop, noop}},
}};
// clang-format on

namespace {
int lasttype = -1;
int repcount = 0;
}  // namespace

void reset_editor() {
    lasttype = -1;
    repcount = 0;
}

bool dispatch(int code) {
    if (code < 0 || code >= kEditOps) return false;
    repcount = code == lasttype ? repcount + 1 : 0;
    lasttype = code;

    const edtable& row = edittable[code];
    COREFILE& cf = cur();
    const int object = cf.lnptr->object;
    curviewmask =
        (object >= 0 && object < static_cast<int>(viewmask.size())) ? viewmask[object] : 0;
    curopmask = row.cmpmask;
    const bool allowed = (cureditmask & (curviewmask | curopmask)) != 0;
    const bool under_limit = repcount < row.replimit || repflag != 0;
    const bool room = full == 0 || (row.sideffects & kSideFill) == 0;
    if (!(allowed && under_limit && room)) return false;

    row.operatn[cf.viewtype & 7]();
    fixcursor();
    display();
    // The handler may have changed the current core file.
    COREFILE& now = cur();
    if (row.sideffects & kSideEdit) now.edited = 1;
    if (row.sideffects & kSideLine) now.curline = distance(now.header, now.lnptr);
    if ((avail > hiaddr || reserve == nullptr) && full == 0) garbage();
    putstats();
    discur();
    return true;
}

void editor() {
    while (overflg == 0) {
        sigwork();
        txtcur();
        fetchchar();
        rmtxtcur();
        dispatch(type);
    }
}

// ---------------------------------------------------------------------------------------------
// Operations of the loop
// ---------------------------------------------------------------------------------------------

void insline() {
    COREFILE& cf = cur();
    if (allocln(kObjNew, 0) == nullptr) return;
    makeobject();
    cf.edited = 1;
    redisplay = 6;
    if (distance(cf.disln, cf.lnptr) >= depth) {
        cf.disln = cf.disln->down;
        redisplay = 1;
    }
}

void nuline() {
    COREFILE& cf = cur();
    LINE* before = cf.lnptr;
    insline();
    if (cf.lnptr == before) return;
    const int object = cf.lnptr->object;
    cf.curcol = (object == kObjText || object == kObjNew) ? lmargin : 1;
    cf.curflag = 1;
}

void inmode() {
    mode = mode == 1 ? 2 : 1;
    putstring(mode == 2 ? "Insert  " : "Typing  ", 'm');
}

void goodbye() {
    const int keep = corenum;
    overflg = 1;
    for (int n = 0; n < kCoreFiles && overflg == 1; ++n) {
        if (core[n].edited == 0) continue;
        char msg[64];
        std::snprintf(msg, sizeof msg, "WARNING: corefile %d not saved. <del> aborts", n);
        if (diserr(msg) == 2) overflg = 0;
    }
    corenum = keep;
    if (overflg == 1) mode = 1;
}

void identify() {
    char versionbuffer[200];
    std::snprintf(versionbuffer, sizeof versionbuffer, "%s date: %s; time: %s", "ALPHA", __DATE__,
                  __TIME__);
    diserr(versionbuffer);
}
