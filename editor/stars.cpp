#include "stars.hpp"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "build.hpp"
#include "corutils.hpp"
#include "globals.hpp"
#include "linutils.hpp"
#include "scrout.hpp"

namespace {

constexpr int kHoldingFile = 0;  // receives deleted and copied blocks
constexpr int kMovedFile = 8;    // receives whole core files (code 100)
constexpr int kRedrawAll = 1;
constexpr int kRedrawFlags = 10;  // the flag columns of every row
constexpr int kNoStarTop = 1;
constexpr int kNoStarBottom = 200000;

// The block being worked on, in file order, with its size.
LINE* first = nullptr;
LINE* last = nullptr;
int lines = 0;
long charcount = 0;
bool b_curline = false;  // the cursor line lies in the block
bool b_disln = false;    // the window's first line lies in the block

// Sets first and last from the stars of the current core file; false when it has none.
bool locatestars() {
    COREFILE& cf = cur();
    if (cf.starcount <= 0 || (cf.starA == nullptr && cf.starB == nullptr)) return false;
    if (cf.starA == nullptr || cf.starB == nullptr || cf.starA == cf.starB) {
        first = last = cf.starA != nullptr ? cf.starA : cf.starB;
        return true;
    }
    // Walk up and down from A at once until one walk meets B: the cost is the block's length.
    // The walks are bounded by the file's length, so stars that are not both in this file are
    // dropped instead of walking for ever.
    const LINE* up = cf.starA;
    const LINE* down = cf.starA;
    bool up_end = false;
    bool down_end = false;
    for (int steps = 0; steps <= cf.lncount && !(up_end && down_end); ++steps) {
        if (!down_end) {
            down = down->down;
            if (down == cf.starB) {
                first = cf.starA;
                last = cf.starB;
                return true;
            }
            down_end = down == cf.header;
        }
        if (!up_end) {
            up = up->up;
            if (up == cf.starB) {
                first = cf.starB;
                last = cf.starA;
                return true;
            }
            up_end = up == cf.header;
        }
    }
    clrstars();
    return false;
}

void findinfo() {
    const COREFILE& cf = cur();
    lines = 0;
    charcount = 0;
    b_curline = b_disln = false;
    for (const LINE* l = first;; l = l->down) {
        lines += 1;
        charcount += l->length;
        b_curline = b_curline || l == cf.lnptr;
        b_disln = b_disln || l == cf.disln;
        if (l == last) break;
    }
}

void detach() {
    COREFILE& cf = cur();
    first->up->down = last->down;
    last->down->up = first->up;
    cf.lncount -= lines;
    cf.charcount -= charcount;
}

void attach() {
    COREFILE& cf = cur();
    LINE* after = cf.lnptr;
    first->up = after;
    last->down = after->down;
    after->down->up = last;
    after->down = first;
    cf.lncount += lines;
    cf.charcount += charcount;
}

// Stars the block just attached: A on its last line, B on its first.
void starblock() {
    COREFILE& cf = cur();
    cf.starA = last;
    cf.starB = first == last ? nullptr : first;
    cf.starcount = first == last ? 1 : 2;
    cf.nextstar = 'B';
}

// Gives an emptied core file its one empty line and puts cursor and window on it.
void refill() {
    COREFILE& cf = cur();
    cf.lnptr = cf.header;
    if (allocln(kObjNew, 0) != nullptr) makeobject();
    cf.disln = cf.lnptr;
    cf.curcol = 1;
}

void sourceops() {
    COREFILE& cf = cur();
    findinfo();
    LINE* above = first->up;
    detach();
    if (cf.header->down == cf.header) {
        refill();
    } else {
        LINE* stay = above != cf.header ? above : cf.header->down;
        if (b_disln) cf.disln = stay;
        if (b_curline) cf.lnptr = stay;
    }
    clrstars();
}

void destops() {
    attach();
    starblock();
}

// The copy under construction: its records hang under a temporary head, and its byte owners on
// a temporary physical chain, so that nothing is visible until the whole copy has succeeded.
LINE dummyheader;
LINE* fphys = nullptr;
LINE* lphys = nullptr;
long ravail = 0;
LINE* rfirst = nullptr;
LINE* rlast = nullptr;

void freecopy() {
    free_built_chain(dummyheader, ravail);
    dummyheader = LINE{};
    fphys = lphys = nullptr;
    rfirst = rlast = nullptr;
}

// Copies first..last above avail without moving avail. False when the arena or the record pool
// ran out; the partial copy is then freed.
bool copyblock() {
    dummyheader = LINE{};
    dummyheader.up = dummyheader.down = &dummyheader;
    fphys = lphys = nullptr;
    ravail = avail;
    for (const LINE* src = first;; src = src->down) {
        const bool bytes = owns_bytes(src);
        if (bytes && ravail + src->length > hiaddr) {
            freecopy();
            return false;
        }
        // The spare record must stay: a copy that takes it stops like one that finds none.
        LINE* rec = allochdr();
        if (rec == nullptr || reserve == nullptr) {
            if (rec != nullptr) reserve = rec;  // back as the spare
            freecopy();
            return false;
        }
        rec->object = src->object;
        rec->length = src->length;
        rec->linekey = src->linekey;
        // A picture line's index names its picture; pictures have no store to copy from here.
        rec->index = src->index;
        if (bytes) {
            std::memmove(textbase.data() + ravail, textbase.data() + src->index,
                         static_cast<std::size_t>(src->length));
            rec->index = ravail;
            ravail += src->length;
            if (lphys == nullptr) {
                fphys = rec;
            } else {
                lphys->nextphys = rec;
            }
            lphys = rec;
        }
        rec->up = dummyheader.up;
        rec->down = &dummyheader;
        dummyheader.up->down = rec;
        dummyheader.up = rec;
        if (src == last) break;
    }
    rfirst = dummyheader.down;
    rlast = dummyheader.up;
    return true;
}

// Makes the finished copy part of the store.
void commitcopy() {
    if (fphys != nullptr) {
        lastphys->nextphys = fphys;
        lastphys = lphys;
        lphys->nextphys = nullptr;
    }
    avail = ravail;
    first = rfirst;
    last = rlast;
    dummyheader = LINE{};
    fphys = lphys = nullptr;
}

}  // namespace

void clrstars() {
    COREFILE& cf = cur();
    cf.starA = nullptr;
    cf.starB = nullptr;
    cf.starcount = 0;
    cf.nextstar = 'A';
}

int delstar() {
    COREFILE& cf = cur();
    if (cf.lnptr == nullptr || cf.lnptr == cf.header) return 0;
    if (cf.starA == cf.lnptr) {
        cf.starA = nullptr;
        cf.nextstar = 'A';
    } else if (cf.starB == cf.lnptr) {
        cf.starB = nullptr;
        cf.nextstar = 'B';
    } else {
        return 0;
    }
    cf.starcount -= 1;
    return 1;
}

void makestars() {
    COREFILE& cf = cur();
    redisplay = kRedrawFlags;
    if (cf.lnptr == cf.header || delstar() == 1) return;
    if (cf.starcount < 2) cf.starcount += 1;
    if (cf.nextstar == 'A') {
        cf.starA = cf.lnptr;
        cf.nextstar = 'B';
    } else {
        cf.starB = cf.lnptr;
        cf.nextstar = 'A';
    }
}

void moveblock(int source, int dest) {
    if (source < 0 || source >= kCoreFiles || dest < 0 || dest >= kCoreFiles) return;
    const int keep = corenum;
    corenum = source;
    if (!locatestars()) {
        corenum = keep;
        diserr("no stars set in source corefile!");
        return;
    }
    sourceops();
    corenum = dest;
    destops();
    corenum = keep;
    redisplay = kRedrawAll;
}

void delete_() {
    moveblock(corenum, kHoldingFile);
}

void recover() {
    moveblock(kHoldingFile, corenum);
}

void copyop() {
    if (!locatestars()) {
        diserr("no stars set in source corefile!");
        return;
    }
    detrfile();
    findinfo();
    if (!copyblock()) {
        garbage();
        if (full != 0 || !copyblock()) {
            diserr("inadequate free space for block copy");
            return;
        }
    }
    commitcopy();
    clrstars();
    const int keep = corenum;
    corenum = kHoldingFile;
    attach();
    starblock();
    corenum = keep;
    redisplay = keep == kHoldingFile ? kRedrawAll : kRedrawFlags;
}

void gento_moveblock() {
    if (corenum == kMovedFile) return;  // the file would only be moved onto itself
    COREFILE& cf = cur();
    first = cf.header->down;
    last = cf.header->up;
    if (first == cf.header) return;
    findinfo();
    detach();
    const int keep = corenum;
    corenum = kMovedFile;
    COREFILE& target = cur();
    LINE* cursor = target.lnptr;
    target.lnptr = target.header->up;
    attach();
    target.lnptr = cursor;
    corenum = keep;
    refill();
    cur().curline = 1;  // the one line left
    clrstars();
    redisplay = kRedrawAll;
}

void gento_sleep() {
    std::this_thread::sleep_for(std::chrono::seconds(3));
}

int starline(char which) {
    if (!locatestars()) return which == 'U' ? kNoStarTop : kNoStarBottom;
    return distance(cur().header, which == 'U' ? first : last);
}

int starblocklines() {
    if (!locatestars()) return 0;
    findinfo();
    return lines;
}
