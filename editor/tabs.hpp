// Tab stops.
#pragma once

#include <array>

// Tab stop flags for columns 0 to 144.
extern std::array<char, 145> tabs;

void tabset();
void tabcur();
