#include "display.hpp"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "float.hpp"
#include "getparam.hpp"
#include "globals.hpp"
#include "scan.hpp"
#include "scrout.hpp"
#include "tabs.hpp"
#include "templates.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

const std::array<const char*, 8> views = {"TEXT    ", "RECORD  ", "RECORD  ", "GRAPHICS",
                                          "GRAPHICS", "MATH    ", "MATH    ", "VIEWTAB "};
const char fullmsg[9] = "FULL    ";

int oldcore = -1;
int oldline = -1;
int oldcol = -1;
int oldlncnt = -1;
int oldcoreview = -1;
int oldlock = -1;
int fieldnum = 1;
long recptr = 0;
long disrecptr = 0;
int fieldsiz = 0;

void reset_display() {
    oldcore = oldline = oldcol = oldlncnt = oldcoreview = oldlock = -1;
    fieldnum = 1;
    recptr = disrecptr = 0;
    fieldsiz = 0;
}

namespace {

// A field is drawn through the 1000-byte screen-command buffer of the design: its width is
// bounded so the command always fits.
constexpr int kMaxRunField = 960;

void send(const char* fmt, int a, int b = 0, int c = 0) {
    char cmd[64];
    std::snprintf(cmd, sizeof cmd, fmt, a, b, c);
    pltransmit(cmd);
}

bool editable() {
    return (cureditmask & curviewmask) != 0;
}

bool has_bytes(const LINE* l) {
    return l->object != kObjNew && l->object != kObjPicture && l->object != kObjDead;
}

// The line's bytes lie in the arena: positions outside it are never read.
int byte_at(long at) {
    return at >= 0 && at < kTextSize ? textbase[at] : '|';
}

// Screen row of the cursor line, or -1 when it is not in the text zone.
int cursor_row() {
    const COREFILE& cf = cur();
    const LINE* l = cf.disln;
    for (int row = windowtop; row <= windowend && l != nullptr; ++row) {
        if (l == cf.lnptr) return row;
        if (l == cf.header) break;
        l = l->down;
    }
    return -1;
}

// ---------------------------------------------------------------------------------------------
// Text views
// ---------------------------------------------------------------------------------------------

void wrline(const LINE* line, int row) {
    const COREFILE& cf = cur();
    char f1 = pshift > 0 ? '-' : ' ';
    char f2 = f1;
    const int obj = line->object;
    if (obj != kObjText && obj != kObjNew) {
        f1 = '\\';
        f2 = obj == kObjRecord ? 'r' : obj == kObjPicture ? 'p' : obj == kObjMath ? 'm' : ' ';
    }
    int n = has_bytes(line) ? std::max(line->length - pshift, 0) : 0;
    if (n > swidth) {
        n = swidth;
        if (obj == kObjText) f2 = '+';
    }
    if (line != cf.header && (line == cf.starA || line == cf.starB)) f1 = '*';
    send("$TF%d,%c%c", row, f1, f2);
    if (redisplay >= 9 && redisplay <= 19) return;
    if (n > 0) {
        putstg(line->index + pshift, n, row);
    } else {
        send("$TL%d", row);
    }
}

void wrtext(const LINE* line, int row) {
    const LINE* header = cur().header;
    for (; row <= windowend; ++row) {
        wrline(line, row);
        if (line != header) line = line->down;
    }
}

void shift_rule() {
    const int curcol = cur().curcol;
    if (curcol > pshift && curcol <= rightcol) return;
    const int step = std::max(shiftc, 1);
    rightcol = swidth;
    if (curcol > rightcol) rightcol += (curcol - rightcol + step - 1) / step * step;
    pshift = rightcol - swidth;
    redisplay = 8;
}

void distxt() {
    shift_rule();
    if (visible == 0) return;
    COREFILE& cf = cur();
    const int row = cursor_row();
    int code = redisplay;
    // A line change outside the zone cannot be drawn where it is: draw the whole zone.
    if (row < 0 && code != 0 && code != 8 && code != 10) code = 1;
    switch (code) {
        case 1:
        case 2:
        case 3:
            wrtext(cf.disln, windowtop);
            break;
        case 4:
            putch(static_cast<unsigned char>(holdch));
            break;
        case 5:
        case 7:
        case 9:
            wrline(cf.lnptr, row);
            break;
        case 6:
            wrtext(cf.lnptr, row);
            break;
        case 8:
            prtabs();
            wrtext(cf.disln, windowtop);
            break;
        case 10:
            wrtext(cf.disln, windowtop);
            break;
        case 20:
            wrline(cf.lnptr, row);
            if (row > windowtop && cf.lnptr->up != cf.header) wrline(cf.lnptr->up, row - 1);
            break;
        case 21:
            wrline(cf.lnptr, row);
            if (row < windowend) wrline(cf.lnptr->down, row + 1);
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// Record views
// ---------------------------------------------------------------------------------------------

int field_index() {
    return std::clamp(fieldnum, 1, kMaxFields);
}

void disfield() {
    const LINE* l = cur().lnptr;
    const int f = field_index();
    const int width = std::clamp(maxfieldlen[f], 0, kMaxRunField);
    std::string cmd = "$TR" + std::to_string(frow[f]) + "," + std::to_string(fcol[f]) + "," +
                      std::to_string(width) + ",";
    const long end = l->index + (has_bytes(l) ? l->length : 0);
    if (editable()) {
        int shown = 0;
        while (disrecptr < end && byte_at(disrecptr) != '|') {
            if (shown++ < width) append_screen_char(cmd, outtran[byte_at(disrecptr)]);
            ++disrecptr;
        }
        if (disrecptr < end) ++disrecptr;  // the bar
    }
    pltransmit(cmd);
}

void wflag() {
    const COREFILE& cf = cur();
    const bool starred = cf.lnptr == cf.starA || cf.lnptr == cf.starB;
    send("$Tf%c%c", starred ? '*' : ' ', editable() ? ' ' : 'I');
}

void wrecord() {
    const LINE* l = cur().lnptr;
    const bool edit = editable();
    if (edit) {
        pltransmit("$TL2");
        wflag();
    } else {
        wrline(l, 2);
    }
    const long end = l->index + (has_bytes(l) ? l->length : 0);
    disrecptr = l->index;
    for (fieldnum = 1; fieldnum <= kMaxFields; ++fieldnum) {
        if (!edit && fieldnum > numfields) break;
        disfield();
        if (edit && disrecptr >= end) break;
    }
}

void disrec() {
    if (visible == 0) return;
    switch (redisplay) {
        case 1:
        case 2:
        case 3:
        case 5:
        case 6:
            wrecord();
            break;
        case 4:
            putch(static_cast<unsigned char>(holdch));
            break;
        case 7:
            wfield();
            break;
        case 9:
        case 10:
            wflag();
            break;
        default:
            break;
    }
}

// Pictures and formulas have no drawing of their own: an editable line shows only its flags.
void disgraph() {
    if (visible == 0 || redisplay == 0) return;
    if (editable()) {
        if ((redisplay >= 1 && redisplay <= 3) || redisplay == 6 || redisplay == 9 ||
            redisplay == 10) {
            wflag();
        }
        return;
    }
    wrline(cur().lnptr, 2);
}

}  // namespace

void findfield() {
    const LINE* l = cur().lnptr;
    const long start = l->index;
    const long before = std::clamp(cur().curcol - 1, 0, has_bytes(l) ? l->length : 0);
    int bars = 0;
    recptr = start;
    for (long i = 0; i < before; ++i) {
        if (byte_at(start + i) == '|') {
            ++bars;
            recptr = start + i + 1;
        }
    }
    fieldnum = bars + 1;
    fieldlen();
}

void fieldlen() {
    const LINE* l = cur().lnptr;
    const long end = l->index + (has_bytes(l) ? l->length : 0);
    long p = recptr;
    while (p < end && byte_at(p) != '|')
        ++p;
    fieldsiz = static_cast<int>(p - recptr);
}

void wfield() {
    findfield();
    disrecptr = recptr;
    disfield();
}

void display() {
    if (redisplay == 11) {
        putfloat();
        fperror = kFpFine;
        redisplay = 0;
    } else if (redisplay == 19) {
        showchecks();
        redisplay = 0;
    }
    const int obj = cur().lnptr->object;
    curviewmask = obj >= 0 && obj < static_cast<int>(viewmask.size()) ? viewmask[obj] : 0;
    switch (cur().viewtype) {
        case 2:
        case 7:
            disrec();
            break;
        case 4:
        case 6:
            disgraph();
            break;
        default:
            distxt();
            break;
    }
    redisplay = 0;
}

void discur() {
    const COREFILE& cf = cur();
    const int obj = cf.lnptr->object;
    curviewmask = obj >= 0 && obj < static_cast<int>(viewmask.size()) ? viewmask[obj] : 0;
    int row = cursor_row();
    if (row < 0) row = windowtop;
    switch (cf.viewtype) {
        case 2:
        case 7:
            if (editable()) {
                findfield();
                const long at = cf.lnptr->index + cf.curcol - 1;
                const int f = field_index();
                postcur(fcol[f] + static_cast<int>(at - recptr), frow[f]);
            } else {
                postcur(1, 2);
            }
            return;
        case 4:
        case 6:
            if (!editable()) postcur(1, 2);
            return;
        case 5:
            if (cf.curflag == 2) {
                putstring("BLUE", 'M');
            } else if (cf.curflag == 3) {
                send("GREEN %d %d", cf.curline, cf.curcol);
            } else if (cf.curflag == 1) {
                putstring("RED", 'M');
            }
            break;
        default:
            break;
    }
    postcur(editable() ? cf.curcol - pshift + 1 : 1, row);
}

namespace {

// A line or column number in the five places its status field has: from 100,000 on in
// thousands (k) or millions (M), so that a longer number never spills over the field and leaves
// a digit standing when a shorter one follows.
void send_number(char letter, int n) {
    char cmd[32];
    if (n <= 99999) {
        std::snprintf(cmd, sizeof cmd, "$m%c%5d", letter, n);
    } else if (n <= 9999999) {
        std::snprintf(cmd, sizeof cmd, "$m%c%4dk", letter, n / 1000);
    } else {
        std::snprintf(cmd, sizeof cmd, "$m%c%4dM", letter, std::min(n / 1000000, 9999));
    }
    pltransmit(cmd);
}

}  // namespace

void putstats() {
    if (visible == 0) return;
    const COREFILE& cf = cur();
    if (corenum != oldcore) send("$mw%2d", oldcore = corenum);
    if (cf.curline != oldline) send_number('r', oldline = cf.curline);
    if (cf.curcol != oldcol) send_number('c', oldcol = cf.curcol);
    if (cf.lncount != oldlncnt) send("$ml%d", oldlncnt = cf.lncount);
    if (full != 1 && cf.viewtype != oldcoreview) {
        oldcoreview = cf.viewtype;
        putstring(views[static_cast<std::size_t>(cf.viewtype) & 7], 'v');
    }
    if (full == 1 && oldcoreview != -2) {
        oldcoreview = -2;
        putstring(fullmsg, 'v');
    }
    // The upper-case lock shows in the help line's rule, where it moves no status field.
    if (transb != oldlock) {
        oldlock = transb;
        putstring(transb != 0 ? "CAPS" : "", 'u');
    }
}

void putfname() {
    putstring(cur().filname.view(), 'n');
}

void prtabs() {
    std::string cmd = "$mt";
    for (int c = pshift + 1; c <= rightcol; ++c) {
        char mark = '.';
        if (c < rmargin && tabcol(c) != 0) mark = '!';
        if (c == lmargin) mark = '<';
        if (c == rmargin) mark = lmargin == rmargin ? '+' : '>';
        cmd.push_back(mark);
    }
    const COREFILE& cf = cur();
    for (int star : {cf.cstarA, cf.cstarB}) {
        if (star >= pshift + 1 && star <= rightcol) cmd[3 + star - pshift - 1] = '*';
    }
    pltransmit(cmd);
}

void gendis() {
    oldcore = oldline = oldcol = oldlncnt = oldcoreview = oldlock = -1;
    pltransmit("$X");
    pltransmit("$W");
    pltransmit("$mh");
    putstats();
    putfname();
    prtabs();
    disprompt();
    if (cur().viewtype == 2) writetemplate(1);
    redisplay = 1;
    display();
    // A view page's labels go on after its record, which clears the row it shows first.
    if (cur().viewtype == 7) writetemplate(1);
    if (mode == 0) {
        pltransmit("$Cx");
        pltransmit("$CL" + std::string(shadow_cmdline.data(), static_cast<std::size_t>(std::clamp(
                                                                  shadow_ptr, 0, kShadowCmdLen))));
    }
}

void redraw_screen() {
    const CursorPlace place = cursor_place();
    const int keep = visible;
    visible = 1;
    gendis();
    discur();
    put_cursor_back(place);
    visible = keep;
    screen_refresh();
}
