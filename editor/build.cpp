#include "build.hpp"

#include <algorithm>
#include <cstring>
#include <string>

#include "commands.hpp"
#include "corutils.hpp"
#include "cursors.hpp"
#include "globals.hpp"
#include "linutils.hpp"
#include "reformat.hpp"
#include "templates.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

int dtstate = 0;

// Rows: key class 2 (other bytes), 3 (digits), 4 (letters), 5 (y and n), 6 (minus sign).
// Columns: field types b to j.
const std::array<std::array<int, kFieldTypes>, kKeyClasses> checktable = {{
    /* 2 */ {0, 1, 0, 0, 0, 0, 0, 0, 0},
    /* 3 */ {0, 1, 0, 0, 1, 0, 0, 1, 1},
    /* 4 */ {0, 1, 0, 0, 1, 0, 0, 0, 0},
    /* 5 */ {1, 1, 0, 0, 1, 0, 0, 0, 0},
    /* 6 */ {0, 1, 0, 0, 0, 0, 0, 1, 0},
}};

void reset_build() {
    dtstate = 0;
}

namespace {

inline constexpr unsigned char kItemSep = 0xF3;
inline constexpr unsigned char kNodeEnd = 0xF6;
inline constexpr unsigned char kRowEnd = 0xF4;

void setbyte(int col, unsigned char c) {
    textbase[cur().lnptr->index + col - 1] = c;
}

int fieldlen(int num) {
    return num >= 1 && num <= kMaxFields ? maxfieldlen[num] : 5;
}

bool numchar(char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '(' || c == '$';
}

// A character has gone into the text: the echo shows it, whatever key typed it (a key that
// types back the ring or the line above has a byte of its own), and the file is changed.
void stored(char c) {
    holdch = c;
    cur().edited = 1;
}

// Types one character into a record field at the cursor; false when the field refuses it.
bool putrec(char c) {
    COREFILE& cf = cur();
    const LINE* l = cf.lnptr;
    if (c == '|' || l->object != kObjRecord || cf.curcol > l->length + 1) return false;
    const auto u = static_cast<unsigned char>(c);
    const int code = intran[u];
    int cls = (code == 3 || code == 4) ? code : 2;
    if (c == '-') cls = 6;
    if (c == 'n' || c == 'y') cls = 5;
    const FieldPos f = fieldat();
    const char t = fieldtype(f.num);
    const int col = (t >= 'b' && t <= 'j') ? t - 'b' : 'c' - 'b';
    if (checktable[cls - 2][col] == 0) return false;

    const bool insert = mode == 2;
    const bool atbar = cf.curcol > l->length || curbyte(cf.curcol) == '|';
    const bool fieldfull = f.size >= fieldlen(f.num);
    if (!atbar && !insert) {
        redisplay = 4;
    } else if (!atbar && fieldfull) {
        rctrunc();
        ibeep();
        redisplay = 7;
    } else if (atbar && fieldfull) {
        return false;
    } else {
        if (!insertbytes(&u, 1)) return false;
        redisplay = 7;
    }
    setbyte(cf.curcol, u);
    stored(c);
    return true;
}

// Inserting node bytes for the characters that open a formula structure.
struct NodeKind {
    unsigned char typed;
    unsigned char start;
    int items;
};
constexpr std::array<NodeKind, 9> nodekinds = {{
    {'!', 0xF8, 3},
    {'(', 0xFB, 1},
    {'{', 0xFA, 1},
    {0xE2, 0xF9, 1},
    {0xE3, 0xF7, 1},
    {0xE4, 0xFC, 3},
    {0xE5, 0xF5, 1},
    {0xE6, 0xFD, 2},
    {0xE9, 0xFE, 3},
}};

// Steps the delete ring back by one and returns the character there.
char ringback() {
    delptr = (delptr + kDelBufSize - 1) % kDelBufSize;
    return delbuf[static_cast<std::size_t>(delptr)];
}

bool ring_has_marker() {
    return std::find(delbuf.begin(), delbuf.end(), '\\') != delbuf.end();
}

// Types back the ring down to the last word or field marker, with inserting on.
void recmarked(bool (*put)(char)) {
    if (!ring_has_marker()) return;
    const int keep = mode;
    mode = 2;
    for (int i = 0; i < kDelBufSize; ++i) {
        const char c = ringback();
        if (c == '\\') break;
        put(c);
    }
    mode = keep;
}

bool line_in_file(const LINE* target) {
    const COREFILE& cf = cur();
    for (const LINE* l = cf.header->down; l != cf.header; l = l->down) {
        if (l == target) return true;
    }
    return false;
}

}  // namespace

bool storeroom(long n) {
    const LINE* l = cur().lnptr;
    const long have = owns_bytes(l) ? l->length : 0;
    if (n < 0) return false;
    // Freed bytes count as room: reclaim them before refusing.
    if (avail + have + n >= kTextSize) compact();
    return avail + have + n < kTextSize;
}

bool insertbytes(const unsigned char* s, int n) {
    COREFILE& cf = cur();
    if (n <= 0) return true;
    if (cf.lnptr == cf.header || cf.lnptr->object == kObjPicture) return false;
    const int have = owns_bytes(cf.lnptr) ? cf.lnptr->length : 0;
    const int pad = std::max(0, cf.curcol - 1 - have);
    if (!storeroom(static_cast<long>(pad) + n)) return false;
    while (cur().lnptr->length < cf.curcol - 1)
        cadd(' ');
    for (int i = 0; i < n; ++i)
        cadd(' ');
    cinsert(n);
    std::memcpy(textbase.data() + curptr(), s, static_cast<std::size_t>(n));
    return true;
}

FieldPos fieldat() {
    const COREFILE& cf = cur();
    const LINE* l = cf.lnptr;
    FieldPos f{1, 1, 0};
    if (!owns_bytes(l)) return f;
    const int limit = std::min(cf.curcol - 1, l->length);
    for (int i = 0; i < limit; ++i) {
        if (textbase[l->index + i] == '|') {
            f.num += 1;
            f.start = i + 2;
        }
    }
    for (int i = f.start - 1; i < l->length && textbase[l->index + i] != '|'; ++i)
        f.size += 1;
    return f;
}

char fieldtype(int num) {
    return num >= 1 && num <= kMaxFields ? ftype[num] : 'c';
}

bool puttxt(char c) {
    COREFILE& cf = cur();
    if (cf.lnptr == cf.header || cf.lnptr->object == kObjPicture) return false;
    if (cf.curcol <= cf.lnptr->length && mode == 2) {
        if (!cadd(' ')) return false;
        cinsert(1);
        redisplay = 5;
        if (cur().lnptr->length == rmargin) ibeep();
    } else {
        extline();
        if (cur().lnptr->length < cf.curcol) return false;
        redisplay = 4;
        if (cf.curcol == rmargin && cur().lnptr->length == cf.curcol) ibeep();
    }
    setbyte(cf.curcol, static_cast<unsigned char>(c));
    stored(c);
    if (cf.curcol == rightcol) ibeep();
    return true;
}

void bldtxt() {
    if (dectabflag == 1 && dtstate == 1) {
        decbldtxt();
        return;
    }
    if (!puttxt(holdch)) return;
    const COREFILE& cf = cur();
    if (autowrapflag == 1 && cf.curcol > rmargin && cf.curcol == cf.lnptr->length && holdch != ' ')
        autowrap();
    curright();
}

void autowrap() {
    COREFILE& cf = cur();
    LINE* typed = cf.lnptr;
    LINE* marker = allocln(kObjNew, 0);
    if (marker == nullptr) return;
    cf.lnptr = typed;
    cf.curcol = 1;
    reformat();
    // The empty marker line ends the paragraph, so the reformat leaves it where it was; check
    // all the same rather than touch a record that is no longer in the file.
    if (!line_in_file(marker)) return;
    // A reformat in core file 0 keeps the old line after the new ones; while typing that would
    // show the line twice, and wrap it again at every key.
    if (cf.lnptr != typed && line_in_file(typed)) {
        cf.lnptr = typed;
        removeline();
    }
    LINE* above = marker->up;
    cf.lnptr = marker;
    removeline();
    cf.lnptr = above != cf.header ? above : cf.header->down;
    cf.curcol = owns_bytes(cf.lnptr) ? cf.lnptr->length : 1;
    const int row = cursor_row();
    if (row < 0 || row >= depth) cf.disln = cf.lnptr;
    redisplay = 1;
}

void decbldtxt() {
    COREFILE& cf = cur();
    const int p = cf.curcol;
    extline();
    if (cur().lnptr->length < p) return;
    setbyte(p, static_cast<unsigned char>(holdch));
    redisplay = 5;
    // The number grows leftwards only over a blank: it never eats the line's start or another
    // character standing before it.
    int s = p;
    while (s > 1 && numchar(static_cast<char>(curbyte(s - 1))))
        --s;
    if (!numchar(holdch) || s == 1 || curbyte(s - 1) != ' ') {
        dtstate = 0;
        curright();
        return;
    }
    for (int col = s - 1; col < p; ++col)
        setbyte(col, static_cast<unsigned char>(curbyte(col + 1)));
    setbyte(p, ' ');
}

void bldrec() {
    if (putrec(holdch)) curright();
}

void copytxt() {
    const int b = curbyte(cur().curcol);
    savechar(b < 0 ? ' ' : static_cast<char>(b));
    curright();
}

void rectxt() {
    const int keep = mode;
    mode = 2;
    puttxt(ringback());
    mode = keep;
}

void recrec() {
    const int keep = mode;
    mode = 2;
    putrec(ringback());
    mode = keep;
}

void recword() {
    recmarked(puttxt);
}
void recfield() {
    recmarked(putrec);
}

void makeobject() {
    COREFILE& cf = cur();
    LINE* l = cf.lnptr;
    if (l == cf.header || l->object != kObjNew) return;
    switch (cf.viewtype) {
        case 1:
        case 2: {
            const int n = std::clamp(numfields, 0, kMaxFields);
            for (int i = 0; i < n; ++i) {
                if (!cadd('|')) break;
            }
            if (cur().lnptr->length > 0) cur().lnptr->object = kObjRecord;
            break;
        }
        case 4:
            l->object = kObjPicture;
            l->length = 0;
            l->index = 0;
            cf.curflag = 2;
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------------------------------------
// Formula lines
// ---------------------------------------------------------------------------------------------

void bldmath() {
    COREFILE& cf = cur();
    redisplay = 1;
    if (cf.curflag == 3) return;
    if (cf.curflag == 2) cf.curflag = 1;
    const auto c = static_cast<unsigned char>(holdch);
    if (type != 53 && mode != 2 && curbyte(cf.curcol) != kNodeEnd) {
        extline();
        if (cur().lnptr->length < cf.curcol) return;
        setbyte(cf.curcol, c);
        if (cf.curcol < cur().lnptr->length + 1) cf.curcol += 1;
        return;
    }
    const auto kind = std::find_if(nodekinds.begin(), nodekinds.end(),
                                   [c](const NodeKind& k) { return k.typed == c; });
    if (kind == nodekinds.end()) {
        if (insertbytes(&c, 1)) cf.curcol += 1;
        return;
    }
    std::basic_string<unsigned char> node;
    node.push_back(kind->start);
    node.append(static_cast<std::size_t>(kind->items - 1), kItemSep);
    node.push_back(kNodeEnd);
    if (!insertbytes(node.data(), static_cast<int>(node.size()))) return;
    cur().lnptr->object = kObjMath;
    cf.curcol += 1;  // into the node's first item
}

void recmath() {
    COREFILE& cf = cur();
    const LINE* next = cf.lnptr->down;
    if (cf.lnptr == cf.header || next == cf.header ||
        (next->object != kObjText && next->object != kObjMath))
        return;
    const std::basic_string<unsigned char> bytes(textbase.data() + next->index,
                                                 static_cast<std::size_t>(next->length));
    if (!insertbytes(bytes.data(), static_cast<int>(bytes.size()))) return;
    LINE* here = cf.lnptr;
    cf.lnptr = here->down;
    removeline();
    cf.lnptr = here;
    redisplay = 1;
}

// New table rows and columns are shaped by the table's row and column counts, which formula
// layout provides; this system lays out no formulas, so the counts are 0 and nothing is added.
void instabrow() {
    COREFILE& cf = cur();
    const int cols = tablecols();
    if (cf.curflag != 3 || curbyte(cf.curcol) != 0xF5 || cols <= 0) return;
    // A new first row: one empty item per column.
    std::basic_string<unsigned char> row(static_cast<std::size_t>(cols - 1), kItemSep);
    row.push_back(kRowEnd);
    const int keep = cf.curcol;
    cf.curcol += 1;
    insertbytes(row.data(), static_cast<int>(row.size()));
    cf.curcol = keep;
}

void instabcol() {
    COREFILE& cf = cur();
    const int rows = tablerows();
    if (cf.curflag != 3 || curbyte(cf.curcol) != 0xF5 || rows <= 0) return;
    // A new last column: one more item before each row end.
    const int keep = cf.curcol;
    int done = 0;
    for (int col = keep + 1; done < rows && curbyte(col) >= 0 && curbyte(col) != kNodeEnd; ++col) {
        if (curbyte(col) != kRowEnd) continue;
        cf.curcol = col;
        if (!insertbytes(&kItemSep, 1)) break;
        ++col;
        ++done;
    }
    cf.curcol = keep;
}
