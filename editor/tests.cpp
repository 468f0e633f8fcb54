#include "tests.hpp"

#include <cstdint>
#include <cstdio>

#include "globals.hpp"
#include "scrout.hpp"

namespace {

long long addr(const void* p) {
    return static_cast<long long>(reinterpret_cast<std::uintptr_t>(p));
}

constexpr int kMaxRecordsListed = 50;
constexpr long kArenaShown = 2001;

void showglobals(std::FILE* f) {
    const COREFILE& cf = core[corenum];
    std::fprintf(f, "\nlastphys.............%lld", addr(lastphys));
    std::fprintf(f, "\n&firstphys...........%lld", addr(&firstphys));
    std::fprintf(f, "\nfirstphys.nextphys...%lld", addr(firstphys.nextphys));
    std::fprintf(f, "\nfirst................%lld", addr(cf.header->down));
    std::fprintf(f, "\nlast.................%lld", addr(cf.header->up));
    std::fprintf(f, "\navail................%ld\n", avail);
}

void showfile(std::FILE* f, int n) {
    const COREFILE& cf = core[n];
    std::fprintf(f, "\nCOREFILE #%d", n);
    std::fprintf(f, "\n     HEADER    LNPTR     CURLINE   CURCOL    LNCOUNT   CHARCNT   DISLN");
    std::fprintf(f, "\n%10lld%10lld%10d%10d%10d%10ld%10lld\n", addr(cf.header), addr(cf.lnptr),
                 cf.curline, cf.curcol, cf.lncount, cf.charcount, addr(cf.disln));
    std::fprintf(
        f, "\n    address      up        down      nextphys     object     count     lnindex");
    int listed = 0;
    const LINE* l = cf.header;
    do {
        std::fprintf(f, "\n%10lld:%10lld,%10lld,%10lld,%10d,%10d,%10ld", addr(l), addr(l->up),
                     addr(l->down), addr(l->nextphys), l->object, l->length, l->index);
        ++listed;
        l = l->down;
    } while (l != cf.header && listed < kMaxRecordsListed);
    std::fprintf(f, "\nend of lineheaders,for core #%d", n);
    std::fprintf(f, "\nnumber of lineheaders = %d\n", listed);
}

void showtext(std::FILE* f) {
    std::fprintf(f, "\n\ncontents of character array\n");
    std::fprintf(f, "\nindex                       contents\n");
    for (long row = 0; row < kArenaShown; row += 10) {
        std::fprintf(f, "\n%8ld", row);
        for (long i = row; i < row + 10; ++i) {
            const unsigned char c = textbase[i];
            if (c >= 33 && c <= 126) {
                std::fprintf(f, "%6c", c);
            } else if (c == kFreeByte) {
                std::fprintf(f, "  ZAP!");
            } else {
                std::fprintf(f, "   %3o", c);
            }
        }
    }
}

void showphys(std::FILE* f) {
    std::fprintf(f, "\n\nPhysical List:\n\n");
    std::fprintf(f, "&FirstPhys = %lld\n", addr(&firstphys));
    for (const LINE* l = firstphys.nextphys; l != nullptr && l != lastphys; l = l->nextphys) {
        std::fprintf(f, "%lld\n", addr(l));
    }
    std::fprintf(f, "LastPhys = %lld\n\n", addr(lastphys));
}

}  // namespace

// The outcome is told on the help line: text written to the terminal past the screen would land
// wherever its cursor stood, over the text, and stay there until the next redraw.
bool showcore(const char* testfile) {
    std::FILE* f = std::fopen(testfile, "w");
    if (f == nullptr) {
        putstring("error in opening file tf!!!", 'M');
        return false;
    }
    showglobals(f);
    for (int n = 0; n < kCoreFiles - 1; ++n)
        showfile(f, n);
    showtext(f);
    showphys(f);
    putstring("test done", 'M');
    return std::fclose(f) == 0;
}

void show() {
    showcore("test.file");
}
