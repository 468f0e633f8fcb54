#include "cstars.hpp"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "build.hpp"
#include "corutils.hpp"
#include "display.hpp"
#include "getparam.hpp"
#include "globals.hpp"
#include "linutils.hpp"
#include "scrout.hpp"
#include "stars.hpp"
#include "termutils.hpp"

namespace {

constexpr int kRedrawAll = 1;
constexpr int kRedrawFlags = 10;
constexpr int kTypingMode = 1;

// The rectangle store, rrows x rcols bytes row after row, blank-padded (rptr of the design).
std::vector<char> rptr;
int rrows = 0;
int rcols = 0;
// Columns of the rectangle being worked on.
int cfirst = 0;
int clast = 0;
// The starred block of the current core file.
LINE* first = nullptr;
int lines = 0;

bool has_rectangle() {
    const COREFILE& cf = cur();
    return cf.starcount > 0 && cf.cstarcount > 0 && (cf.cstarA != 0 || cf.cstarB != 0);
}

bool findblock() {
    lines = starblocklines();
    if (lines <= 0) return false;
    const int top = starline('U');
    first = cur().header;
    for (int i = 0; i < top; ++i)
        first = first->down;
    return true;
}

// The rectangle of the current core file: its lines and columns; false, with a message, when
// it has no line star or no column star.
bool findrect() {
    const COREFILE& cf = cur();
    if (!has_rectangle() || !findblock()) {
        diserr("No rectangle defined");
        return false;
    }
    if (cf.cstarA != 0 && cf.cstarB != 0) {
        cfirst = std::min(cf.cstarA, cf.cstarB);
        clast = std::max(cf.cstarA, cf.cstarB);
    } else {
        cfirst = clast = cf.cstarA != 0 ? cf.cstarA : cf.cstarB;
    }
    return true;
}

// The columns from..to of a line that it actually holds, as offsets into its bytes.
struct Span {
    int from;
    int count;
};
Span held(const LINE* l, int from, int to) {
    if (!owns_bytes(l) || l->length < from) return {0, 0};
    return {from - 1, std::min(to, l->length) - from + 1};
}

bool xcopyrect() {
    const long long width = static_cast<long long>(clast) - cfirst + 1;
    const long long size = width * lines;
    std::vector<char> store;
    // A rectangle larger than the text store could never be put back.
    if (size <= kTextSize) {
        try {
            store.assign(static_cast<std::size_t>(size), ' ');
        } catch (const std::bad_alloc&) {
            store.clear();
        }
    }
    if (size > kTextSize || (size > 0 && store.empty())) {
        diserr("Inadequate memory for stored rectangle");
        return false;
    }
    const LINE* l = first;
    for (int r = 0; r < lines; ++r, l = l->down) {
        const Span s = held(l, cfirst, clast);
        if (s.count > 0)
            std::memcpy(store.data() + r * width, textbase.data() + l->index + s.from,
                        static_cast<std::size_t>(s.count));
    }
    rptr.swap(store);
    rrows = lines;
    rcols = static_cast<int>(width);
    return true;
}

// Runs `step` on each line of the starred block as the cursor line, then puts the cursor back.
// A line may move to grow, so the cursor follows its line's new record.
template <typename Step>
void each_block_line(Step step) {
    COREFILE& cf = cur();
    LINE* cursor = cf.lnptr;
    const int col = cf.curcol;
    LINE* l = first;
    for (int r = 0; r < lines; ++r) {
        cf.lnptr = l;
        cf.curcol = col;
        step(l);
        if (l == cursor) cursor = cf.lnptr;
        l = cf.lnptr->down;
    }
    cf.lnptr = cursor;
    cf.curcol = col;
}

void xcloserect() {
    each_block_line([](LINE* l) {
        const Span s = held(l, cfirst, clast);
        if (s.count <= 0) return;
        cur().curcol = cfirst;
        cremove(s.count);
    });
}

void clearsrect() {
    each_block_line([](LINE* l) {
        const Span s = held(l, cfirst, clast);
        if (s.count > 0) std::fill_n(textbase.begin() + l->index + s.from, s.count, ' ');
    });
}

// Whether `rows` more line records could be had from the pool: they are asked for and given
// back at once.
bool records_available(long long rows) {
    std::vector<LINE*> got;
    bool ok = true;
    for (long long i = 0; i < rows && ok; ++i) {
        LINE* rec = allochdr();
        ok = rec != nullptr && reserve != nullptr;
        if (rec != nullptr) got.push_back(rec);
    }
    if (reserve == nullptr && !got.empty()) {
        reserve = got.back();
        got.pop_back();
    }
    for (LINE* rec : got)
        freehdr(rec);
    return ok;
}

bool inadequate(long long rows, long long bytes) {
    return avail + bytes > hiaddr || (rows > 0 && !records_available(rows));
}

// The space test of every operation that adds text: a compaction may make room; otherwise the
// operation stops with a message before it changes anything.
bool room_for(long long rows, long long bytes) {
    if (!inadequate(rows, bytes)) return true;
    garbage();
    if (!inadequate(rows, bytes)) return true;
    diserr("Inadequate space for this operation");
    return false;
}

// Bytes needed to give each of `rows` lines from the cursor line down at least `reach` columns
// plus `extra` more. A line that cannot grow where it is moves whole to the top of the arena, so
// its whole new length counts.
long long growth(int rows, long long reach, long long extra) {
    const COREFILE& cf = cur();
    long long need = 0;
    const LINE* l = cf.lnptr;
    for (int r = 0; r < rows; ++r) {
        const long long have = l != cf.header && owns_bytes(l) ? l->length : 0;
        need += std::max(have, reach) + extra;
        if (l != cf.header) l = l->down;
    }
    return need;
}

// Writes the stored rows at the cursor, row r into the r-th line from the cursor line, adding
// lines at the end of the file as needed; with `insert` the text from the cursor on moves right
// to make room, otherwise the rows are written over it.
void xrestorerect(bool insert) {
    COREFILE& cf = cur();
    LINE* cursor = cf.lnptr;
    const int col = cf.curcol;
    LINE* l = cursor;
    for (int r = 0; r < rrows; ++r) {
        if (l == cf.header) {
            cf.lnptr = cf.header->up;
            if (allocln(kObjNew, 0) == nullptr) break;
            l = cf.lnptr;
        }
        cf.lnptr = l;
        cf.curcol = col;
        const char* row = rptr.data() + static_cast<long>(r) * rcols;
        if (insert) {
            insertbytes(reinterpret_cast<const unsigned char*>(row), rcols);
        } else {
            const int reach = col + rcols - 1;
            const int have = owns_bytes(l) ? l->length : 0;
            if (reach > have) cadd_text(std::string(static_cast<std::size_t>(reach - have), ' '));
            const LINE* now = cf.lnptr;
            if (owns_bytes(now) && now->length >= reach)
                std::memcpy(textbase.data() + now->index + col - 1, row,
                            static_cast<std::size_t>(rcols));
        }
        if (l == cursor) cursor = cf.lnptr;
        l = cf.lnptr->down;
    }
    cf.lnptr = cursor;
    cf.curcol = col;
}

bool room_to_insert() {
    const int col = cur().curcol;
    return room_for(rrows, growth(rrows, col - 1, rcols));
}

bool room_to_overlay() {
    const int col = cur().curcol;
    return room_for(rrows, growth(rrows, static_cast<long long>(col) + rcols - 1, 0));
}

bool stored() {
    if (rptr.empty()) {
        diserr("No rectangle stored");
        return false;
    }
    return true;
}

}  // namespace

void reset_cstars() {
    rptr.clear();
    rptr.shrink_to_fit();
    rrows = rcols = 0;
    cfirst = clast = 0;
    first = nullptr;
    lines = 0;
}

std::string_view rectangle_store() {
    return {rptr.data(), rptr.size()};
}
int rectangle_rows() {
    return rrows;
}
int rectangle_cols() {
    return rcols;
}

void clrcstars() {
    COREFILE& cf = cur();
    cf.cstarA = cf.cstarB = 0;
    cf.cnextstar = 'A';
    cf.cstarcount = 0;
}

void makecstars() {
    COREFILE& cf = cur();
    const int col = cf.curcol;
    if (col == cf.cstarA) {
        cf.cstarA = 0;
        cf.cnextstar = 'A';
        cf.cstarcount -= 1;
    } else if (col == cf.cstarB) {
        cf.cstarB = 0;
        cf.cnextstar = 'B';
        cf.cstarcount -= 1;
    } else {
        // A third star takes the place of the one set first.
        if (cf.cstarcount < 2) cf.cstarcount += 1;
        if (cf.cnextstar == 'A') {
            cf.cstarA = col;
            cf.cnextstar = 'B';
        } else {
            cf.cstarB = col;
            cf.cnextstar = 'A';
        }
    }
    prtabs();
}

void clearallstars() {
    clrstars();
    clrcstars();
    prtabs();
    mode = kTypingMode;
    prmptpar(kTypingMode);
    redisplay = kRedrawFlags;
}

void deleterect() {
    if (!findrect() || !xcopyrect()) return;
    xcloserect();
    redisplay = kRedrawAll;
}

void cpclrrect() {
    if (!findrect() || !xcopyrect()) return;
    clearsrect();
    redisplay = kRedrawAll;
}

void copyrect() {
    if (!findrect() || !xcopyrect() || !room_to_insert()) return;
    xrestorerect(true);
    redisplay = kRedrawAll;
}

void cpclrovrect() {
    // The space test comes before the blanking, so a move that cannot finish leaves the text as
    // it was.
    if (!findrect() || !xcopyrect() || !room_to_overlay()) return;
    clearsrect();
    xrestorerect(false);
    redisplay = kRedrawAll;
}

void insertrect() {
    if (!stored() || !room_to_insert()) return;
    xrestorerect(true);
    redisplay = kRedrawAll;
}

void overwrect() {
    if (!stored() || !room_to_overlay()) return;
    xrestorerect(false);
    redisplay = kRedrawAll;
}

void insertcols() {
    if (cur().starcount <= 0 || !findblock()) {
        diserr("No starred lines defined");
        return;
    }
    int n = gnum();
    if (n <= 0) n = 1;
    const int col = cur().curcol;
    long long need = 0;
    const LINE* l = first;
    for (int r = 0; r < lines; ++r, l = l->down) {
        if (owns_bytes(l) && l->length >= col) need += l->length + static_cast<long long>(n);
    }
    if (!room_for(0, need)) return;
    const std::string blanks(static_cast<std::size_t>(n), ' ');
    each_block_line([&blanks, col](LINE*) {
        detrline();
        if (cur().lnptr->length >= col)
            insertbytes(reinterpret_cast<const unsigned char*>(blanks.data()),
                        static_cast<int>(blanks.size()));
    });
    redisplay = kRedrawAll;
}
