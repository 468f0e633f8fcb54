// Tab stops: the stop table, the tab key and the key that sets and clears a stop.
#pragma once

#include <array>

// Tab stop flags for columns 0 to 144; beyond them every eighth column is a stop.
inline constexpr int kTabColumns = 145;
extern std::array<char, kTabColumns> tabs;

// Brings the stops back to their start-up places, columns 1, 9, 17 ... 137.
void reset_tabs();

// 1 when `col` is a tab stop under the current margins: never left of the left margin, always at
// it and from the right margin on, the table in between.
int tabcol(int col);

void tabset();
void tabcur();
