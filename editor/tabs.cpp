#include "tabs.hpp"

#include "build.hpp"
#include "cursors.hpp"
#include "display.hpp"
#include "globals.hpp"

namespace {

constexpr int kDefaultInterval = 8;

constexpr std::array<char, kTabColumns> start_stops() {
    std::array<char, kTabColumns> t{};
    for (int c = 1; c < kTabColumns; c += kDefaultInterval)
        t[static_cast<std::size_t>(c)] = 1;
    return t;
}

}  // namespace

std::array<char, kTabColumns> tabs = start_stops();

void reset_tabs() {
    tabs = start_stops();
}

int tabcol(int col) {
    if (col < lmargin) return 0;
    if (col == lmargin || col >= rmargin) return 1;
    if (col < kTabColumns) return tabs[static_cast<std::size_t>(col)] != 0 ? 1 : 0;
    return col % kDefaultInterval == 0 ? 1 : 0;
}

void tabcur() {
    COREFILE& cf = cur();
    // Every column from the right margin on is a stop, so the walk ends within a margin's width
    // (or at the column bound that keeps cursor arithmetic finite).
    do {
        if (cf.curcol >= kMaxCol) break;
        cf.curcol += 1;
    } while (tabcol(cf.curcol) == 0);
    dtstate = 1;
}

void tabset() {
    const int col = cur().curcol;
    if (col <= lmargin || col >= rmargin || col >= kTabColumns) return;
    tabs[static_cast<std::size_t>(col)] ^= 1;
    prtabs();
}
