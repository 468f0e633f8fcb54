#include "corutils.hpp"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "build.hpp"
#include "cstars.hpp"
#include "linutils.hpp"
#include "stars.hpp"

// ---------------------------------------------------------------------------------------------
// Line-record pool
// ---------------------------------------------------------------------------------------------
namespace {

class LinePool {
  public:
    LINE* get() {
        if (fail_after_ == 0) return nullptr;
        if (fail_after_ > 0) --fail_after_;
        if (free_.empty()) grow();
        LINE* l = free_.back();
        free_.pop_back();
        *l = LINE{};
        ++in_use_;
        return l;
    }
    void put(LINE* l) {
        if (l == nullptr) return;
        *l = LINE{};
        l->object = kObjDead;
        free_.push_back(l);
        --in_use_;
    }
    void reset() {
        free_.clear();
        chunks_.clear();
        in_use_ = 0;
        fail_after_ = -1;
    }
    void fail_after(long n) { fail_after_ = n; }
    long in_use() const { return in_use_; }

  private:
    static constexpr std::size_t kChunk = 1024;
    void grow() {
        chunks_.push_back(std::make_unique<LINE[]>(kChunk));
        LINE* base = chunks_.back().get();
        free_.reserve(free_.size() + kChunk);
        for (std::size_t i = kChunk; i > 0; --i)
            free_.push_back(base + i - 1);
    }
    std::vector<std::unique_ptr<LINE[]>> chunks_;
    std::vector<LINE*> free_;
    long in_use_ = 0;
    long fail_after_ = -1;
};

LinePool pool;

}  // namespace

void linepool::fail_after(long n) {
    pool.fail_after(n);
}
long linepool::in_use() {
    return pool.in_use();
}

// ---------------------------------------------------------------------------------------------
// Records and core files
// ---------------------------------------------------------------------------------------------

LINE* allochdr() {
    // The spare record is handed out first; when an earlier failure left none, ask once more.
    LINE* rec = reserve != nullptr ? reserve : pool.get();
    reserve = pool.get();
    return rec;
}

void freehdr(LINE* l) {
    pool.put(l);
}

void free_built_chain(LINE& head, long top) {
    // Bytes above avail must read as free again, or a line ending at avail would not grow there.
    std::fill(textbase.begin() + avail, textbase.begin() + top, kFreeByte);
    LINE* l = head.down;
    while (l != nullptr && l != &head) {
        LINE* next = l->down;
        freehdr(l);
        l = next;
    }
}

LINE* allocln(int linetype, int length) {
    COREFILE& cf = cur();
    if (length < 0 || avail + length > kTextSize) return nullptr;
    LINE* l = allochdr();
    if (l == nullptr) return nullptr;
    LINE* after = cf.lnptr;
    l->up = after;
    l->down = after->down;
    after->down->up = l;
    after->down = l;
    l->nextphys = nullptr;
    l->object = linetype;
    l->length = length;
    l->index = avail;
    cf.lncount += 1;
    cf.charcount += length;
    avail += length;
    cf.lnptr = l;
    return l;
}

void initfile() {
    COREFILE& cf = cur();
    clrstars();
    clrcstars();
    cf.header->up = cf.header;
    cf.header->down = cf.header;
    cf.lnptr = cf.header;
    cf.disln = cf.header;
    cf.curcol = 1;
    cf.curline = 1;
    cf.lncount = 0;
    cf.charcount = 0;
    cf.filname.clear();
    cf.edited = 0;
    cf.encoding = 0;
    cf.partial = 0;
    cf.curflag = 1;
}

void initcore() {
    reserve = pool.get();
    for (int n = 0; n < kCoreFiles; ++n) {
        corenum = n;
        COREFILE& cf = core[n];
        cf = COREFILE{};
        cf.header = allochdr();
        cf.header->object = kObjNew;
        cf.header->length = 0;
        cf.viewtype = 0;
        initfile();
        cf.disln = allocln(kObjNew, 0);
    }
    corenum = 1;
}

namespace {

// Marking the whole arena free touches 4 MB of memory, most of the work of starting the program.
// At start-up only its beginning is marked at once, and the rest a part at a time whenever the
// editor waits for a key (settle_store), so that no wait pays for all of it; nothing reads the
// unmarked bytes, which lie past the used part.
constexpr long kFirstMarked = 4096;  // a page: more than the diagnostic dump shows
constexpr long kMarkedPerWait = 256 * 1024;
long marked_to = kTextSize;  // bytes from here on are still to be marked

void empty_store() {
    pool.reset();
    avail = 0;
    hiaddr = kHiAddr;
    reserve = nullptr;
    full = 0;
    firstphys = LINE{};
    lastphys = &firstphys;
    lp = nullptr;
    cp = 1;
    dist = 0;
    initcore();
}

}  // namespace

void reset_store() {
    textbase.fill(kFreeByte);
    marked_to = kTextSize;
    empty_store();
}

void start_store() {
    std::fill_n(textbase.begin(), kFirstMarked, kFreeByte);
    marked_to = kFirstMarked;
    empty_store();
}

void settle_store() {
    if (marked_to >= kTextSize) return;
    // Between operations every byte from avail on is free: bytes written there for an operation
    // that has ended (a merge, a block copy) are dead. Bytes below avail were all written.
    const long from = std::max(marked_to, std::clamp(avail, 0L, kTextSize));
    marked_to = std::min(from + kMarkedPerWait, kTextSize);
    std::fill(textbase.begin() + from, textbase.begin() + marked_to, kFreeByte);
}

namespace {

// A file's records were mostly taken from the pool one after another, so a walk along its lines
// goes through memory in one direction or the other: the records a dozen places on either side
// are asked for early, as the walk cannot know the next address before it has the record.
inline void ahead(const LINE* l) {
    constexpr std::uintptr_t kReach = 12 * sizeof(LINE);
    const auto at = reinterpret_cast<std::uintptr_t>(l);
    __builtin_prefetch(reinterpret_cast<const void*>(at + kReach));
    __builtin_prefetch(reinterpret_cast<const void*>(at - kReach));
}

// Empties the current core file; with `mark_free` its bytes read as free at once, otherwise the
// caller sees to them (see emptyfile).
void unlink_lines(bool mark_free) {
    COREFILE& cf = cur();
    LINE* l = cf.header->down;
    // Lines that follow each other in the arena, as a fetched file's do, are freed as one run.
    long run = 0;
    long run_end = 0;
    while (l != cf.header) {
        ahead(l);
        LINE* next = l->down;
        if (l->object == kObjNew) {
            freehdr(l);
        } else {
            // A picture line owns no bytes: its index is a picture reference, and pictures
            // have no store of their own in this system.
            if (l->object != kObjPicture && mark_free) {
                if (l->index != run_end) {
                    std::fill(textbase.begin() + run, textbase.begin() + run_end, kFreeByte);
                    run = l->index;
                }
                run_end = l->index + l->length;
            }
            l->object = kObjDead;
        }
        l = next;
    }
    std::fill(textbase.begin() + run, textbase.begin() + run_end, kFreeByte);
    cf.header->up = cf.header;
    cf.header->down = cf.header;
    cf.lnptr = cf.header;
    cf.disln = cf.header;
    cf.starA = cf.starB = nullptr;
}

}  // namespace

void removefile() {
    unlink_lines(true);
}

long emptyfile() {
    // Every byte the lines held ends up below the new top, written over by a line moved down, or
    // above it, where the caller writes the new lines and marks the rest free: a large file's
    // bytes are written once.
    const long top = avail;
    unlink_lines(false);
    initfile();
    garbage(false);
    return top;
}

void wrwholescreen() {
    COREFILE& cf = cur();
    cf.lnptr = cf.header->down;
    cf.curcol = 1;
    cf.curline = 1;
    cf.disln = cf.lnptr;
    if (cf.lnptr->object == kObjPicture) cf.curflag = 2;
    redisplay = 1;
}

void clrfile() {
    removefile();
    initfile();
    garbage();
    if (allocln(kObjNew, 0) != nullptr) makeobject();
    wrwholescreen();
}

int distance(const LINE* l1, const LINE* l2) {
    int n = 0;
    while (l1 != l2) {
        l1 = l1->down;
        ++n;
    }
    return n;
}

// ---------------------------------------------------------------------------------------------
// Compaction
// ---------------------------------------------------------------------------------------------

void garbage(bool mark_free) {
    const int keep = corenum;
    for (int n = 0; n < kCoreFiles; ++n) {
        corenum = n;
        detrfile();
    }
    corenum = keep;
    compact(mark_free);
}

void compact(bool mark_free) {
    const long oldavail = avail;
    avail = 0;
    LINE* prev = &firstphys;
    LINE* rec = firstphys.nextphys;
    while (rec != nullptr) {
        ahead(rec);
        LINE* next = rec->nextphys;
        if (rec->object == kObjDead) {
            prev->nextphys = next;
            if (rec == lastphys) lastphys = prev;
            freehdr(rec);
        } else {
            if (rec->index != avail) {
                // The chain is in ascending order of index, so copying down never overwrites
                // bytes that have not been moved yet.
                std::memmove(textbase.data() + avail, textbase.data() + rec->index,
                             static_cast<std::size_t>(rec->length));
                rec->index = avail;
            }
            avail += rec->length;
            prev = rec;
        }
        rec = next;
    }
    if (mark_free) std::fill(textbase.begin() + avail, textbase.begin() + oldavail, kFreeByte);
    if (reserve == nullptr) reserve = pool.get();
    full = (avail > hiaddr || reserve == nullptr) ? 1 : 0;
}
