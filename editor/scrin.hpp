// Procedures: control codes, loops, wildcard captures.
#pragma once

#include <array>

// The result register of each loop depth: set by commands and searches, tested by procedures.
inline constexpr int kLoopDepths = 20;
extern std::array<int, kLoopDepths> vl_result;
extern int loopdepth;

void wildtxt();
void wildrec();

// Procedure control: carries out control code 107 to 117 read from a function string.
void procctl(int code);
