#include "commands.hpp"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "build.hpp"
#include "corutils.hpp"
#include "display.hpp"
#include "dxio.hpp"
#include "file.hpp"
#include "float.hpp"
#include "getparam.hpp"
#include "globals.hpp"
#include "linutils.hpp"
#include "prcmnd.hpp"
#include "scrin.hpp"
#include "scrout.hpp"
#include "stars.hpp"
#include "sys_linux.hpp"
#include "sysutils.hpp"
#include "tabs.hpp"
#include "templates.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

int crinsert = 1;
int hyphlevel = 0;
int jmode = 0;
int autowrapflag = 0;
int dectabflag = 0;

namespace {

constexpr int kTabLast = 144;          // last column with a tab-stop flag
constexpr int kMaxColumn = 4'000'000;  // no line is longer than the text store
constexpr int kKeys = 624;
constexpr int kOpCodes = 128;
constexpr int kChars = 256;
constexpr int kOverlapLimit = 70;
constexpr int kAskLines = 1000;

// The n-th line of the current core file, from 1; the last line when n is beyond it.
LINE* nthline(int n) {
    const COREFILE& cf = cur();
    LINE* l = cf.header->down;
    for (int i = 1; i < n && l->down != cf.header; ++i)
        l = l->down;
    return l;
}

int clampcol(long long c) {
    return static_cast<int>(std::clamp<long long>(c, 1, kMaxColumn));
}

bool ownsbytes(const LINE* l) {
    return l->object != kObjNew && l->object != kObjPicture;
}

// The bytes of a line as stored.
std::string_view linetext(const LINE* l) {
    if (!ownsbytes(l) || l->length <= 0) return {};
    return {reinterpret_cast<const char*>(textbase.data() + l->index),
            static_cast<std::size_t>(l->length)};
}

void fail() {
    del = 2;
}

}  // namespace

void reset_commands() {
    crinsert = 1;
    hyphlevel = 0;
    jmode = 0;
    autowrapflag = 0;
    dectabflag = 0;
}

// ---------------------------------------------------------------------------------------------
// Core file and view
// ---------------------------------------------------------------------------------------------

void coreset() {
    const int n = param[1];
    // Core file 19 is the views' work file and is never chosen by hand.
    if (n >= kCoreFiles - 1) return fail();
    if (n == corenum) return;
    clrtextzone();
    corenum = n;
    COREFILE& cf = cur();
    cureditmask = editmask[cf.viewtype & 7];
    if (cf.viewtype == 2) writetemplate(1);
    txtcur();
    redisplay = 1;
    prtabs();
}

void objset() {
    const int n = param[1];
    if (n < 0 || n > 7) return fail();
    // The page view belongs to the views' work file and is left through its own Return key; on
    // any other core file it would hold the user with no way out.
    if (n == 7) {
        diserr("View 7 is opened by the VIEW command");
        return fail();
    }
    COREFILE& cf = cur();
    if (n == cf.viewtype) return;
    clrtextzone();
    cf.viewtype = n;
    cureditmask = editmask[n];
    redisplay = 1;
    if (n == 2) writetemplate(1);
    cf.curflag = (n == 4 && cf.lnptr->object == kObjPicture) ? 2 : 1;
    if (cf.lncount == 1 && cf.lnptr == cf.header->down && cf.lnptr->object == kObjNew) makeobject();
}

void nmeset() {
    cur().filname = curfile;
}

// ---------------------------------------------------------------------------------------------
// Cursor
// ---------------------------------------------------------------------------------------------

void positn() {
    COREFILE& cf = cur();
    if (cf.lncount <= 0) return;
    const int n = param[1];
    if (n != 0) {
        const long long target = n > 0 ? n : static_cast<long long>(cf.lncount) + 1 + n;
        LINE* l = nthline(static_cast<int>(std::max<long long>(target, 1)));
        if (l != cf.lnptr) {
            cf.lnptr = l;
            cf.disln = l;
        }
    }
    const int c = param[2];
    cf.curcol = c > 0 ? clampcol(c) : clampcol(static_cast<long long>(cf.lnptr->length) + 1 + c);
    cf.curline = distance(cf.header, cf.lnptr);
    redisplay = 1;
}

void advance() {
    COREFILE& cf = cur();
    if (cf.lncount <= 0) return;
    int n = param[1];
    while (n > 0 && cf.lnptr->down != cf.header) {
        cf.lnptr = cf.lnptr->down;
        --n;
    }
    while (n < 0 && cf.lnptr->up != cf.header) {
        cf.lnptr = cf.lnptr->up;
        ++n;
    }
    cf.disln = cf.lnptr;
    cf.curcol = clampcol(static_cast<long long>(cf.curcol) + param[2]);
    cf.curline = distance(cf.header, cf.lnptr);
    redisplay = 1;
}

void gotobottom() {
    COREFILE& cf = cur();
    if (cf.lncount <= 0) return;
    LINE* l = nthline(std::max(cf.lncount - depth + 1, 1));
    cf.lnptr = l;
    cf.disln = l;
    cf.curcol = 1;
    cf.curline = distance(cf.header, cf.lnptr);
    redisplay = 1;
}

// ---------------------------------------------------------------------------------------------
// Window
// ---------------------------------------------------------------------------------------------

void window() {
    // A window larger than the terminal would be drawn off its edges (the column count
    // defaults to 200000, meaning as wide as the terminal allows).
    const int rows = std::min(param[1], get_lines());
    const int cols = std::min(param[2], get_columns());
    if (setgeometry(rows, cols) == 0) return;
    COREFILE& cf = cur();
    if (distance(cf.disln, cf.lnptr) >= depth) cf.disln = cf.lnptr;
    gendis();
}

void shift() {
    const int n = param[1];
    if (n >= kOverlapLimit) {
        diserr("Overlap must be less than 70");
        return fail();
    }
    overlap = n == 0 ? 1 : n;
    // On a narrow window the shift still moves by at least one column.
    shiftc = std::max(swidth - overlap, 1);
    rightcol = swidth;
    pshift = 0;
    redisplay = 8;
}

// ---------------------------------------------------------------------------------------------
// Margins, tabs and options
// ---------------------------------------------------------------------------------------------

void settabs() {
    const int n = param[1];
    if (n == 0) {
        tabs.fill(0);
    } else if (n > 0 && n < kTabLast) {
        for (int c = 1; c <= kTabLast; c += n)
            tabs[c] = 1;
    } else {
        return;
    }
    prtabs();
}

void hyphenset() {
    hyphlevel = param[1];
}
void justset() {
    jmode = param[1];
}
void swautowrap() {
    autowrapflag = param[1];
}
void decimaltab() {
    dectabflag = param[1];
}

void option() {
    switch (param[1]) {
        case 0:
        case 1:
        case 2:
            crinsert = param[1];
            break;
        case 3:
            repflag = 1;
            break;
        case 4:
            repflag = 0;
            break;
        case 5:
            fetchstyle = 1;
            break;
        case 6:
            fetchstyle = 2;
            break;
        case 7:
            octflag = 0;
            break;
        case 8:
            octflag = 1;
            break;
        case 9:
            lfonly = 1;
            break;
        case 10:
            lfonly = 0;
            break;
        case 12:
            transb = transb ? 0 : 1;
            break;
        case 13:
        case 14:
        case 15:
            charset_option(param[1]);
            break;
        default:
            break;
    }
}

void inkeyset() {
    if (param[1] < 0 || param[1] >= kKeys || param[2] < 0 || param[2] >= kOpCodes) {
        diserr("Invalid Key Assignment");
        return fail();
    }
    intran[param[1]] = param[2];
}

void outkeyset() {
    if (param[1] < 0 || param[1] >= kChars || param[2] < 0 || param[2] >= kChars) {
        diserr("Invalid Font Assignment");
        return fail();
    }
    outtran[param[1]] = param[2];
}

void silent() {
    visible = visible ? 0 : 1;
    if (!visible) return;
    clrtextzone();
    redisplay = 1;
    putfname();
    prtabs();
    disprompt();
    if (cur().viewtype == 2) writetemplate(1);
}

// ---------------------------------------------------------------------------------------------
// ASK
// ---------------------------------------------------------------------------------------------

namespace {

// The text of the cursor line from the cursor on.
std::string_view fromcursor() {
    const COREFILE& cf = cur();
    const std::string_view text = linetext(cf.lnptr);
    const std::size_t at = static_cast<std::size_t>(cf.curcol - 1);
    return at < text.size() ? text.substr(at) : std::string_view{};
}

int undercursor() {
    const std::string_view rest = fromcursor();
    return rest.empty() ? ' ' : static_cast<unsigned char>(rest.front());
}

std::string number(int v) {
    return std::to_string(v) + "\n";
}

// Core file 15, the error report: its line count, then each line without trailing blanks.
std::string report() {
    const COREFILE& cf = core[15];
    std::string lines;
    int count = 0;
    for (const LINE* l = cf.header->down; l != cf.header && count < kAskLines; l = l->down) {
        std::string_view text = linetext(l);
        while (!text.empty() && text.back() == ' ')
            text.remove_suffix(1);
        lines.append(text);
        lines.push_back('\n');
        ++count;
    }
    return number(count) + lines;
}

}  // namespace

void ask() {
    COREFILE& cf = cur();
    int& result = result_register();
    std::string answer;
    switch (param[1]) {
        case 0:
            progtrans = 0;
            return;
        case 1:
            progtrans = 1;
            return;
        case 2:
            answer = number(result);
            break;
        case 3:
            result = distance(cf.header, cf.lnptr);
            answer = number(result);
            break;
        case 4:
            result = cf.curcol;
            answer = number(result);
            break;
        case 5:
            result = starblocklines();
            answer = number(result);
            break;
        case 6:
            result = findnb();
            answer = number(result);
            break;
        case 7:
            result = undercursor();
            answer = std::string(1, static_cast<char>(result)) + "\n";
            break;
        case 8: {
            char buf[400];
            std::snprintf(buf, sizeof buf, "%f\n", numstack[oldindex]);
            answer = buf;
            break;
        }
        case 9:
            result = canread(curfile.c_str()) ? 1 : 0;
            answer = number(result);
            break;
        case 10:
            result = canwrite(curfile.c_str()) ? 1 : 0;
            answer = number(result);
            break;
        case 11:
            result = cancreate(curfile.c_str()) ? 1 : 0;
            answer = number(result);
            break;
        case 12: {
            const std::string_view rest = fromcursor();
            std::size_t n = 0;
            while (n < rest.size() && (charkind[static_cast<unsigned char>(rest[n])] & 2) == 0)
                ++n;
            answer = std::string(rest.substr(0, n)) + "\n";
            break;
        }
        case 13:
            answer = std::string(fromcursor()) + "\n";
            break;
        case 14:
            answer = report();
            break;
        case 15:
            result = corenum;
            answer = number(result);
            break;
        case 16:
            result = cf.lncount;
            answer = number(result);
            break;
        default:
            return;
    }
    if (progtrans == 1) progsend(answer);
}
