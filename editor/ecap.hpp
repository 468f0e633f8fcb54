// Line and word operations, and line drawing.
#pragma once

#include <array>

// Case and accent changes of flipchar, one entry per byte value.
extern const std::array<unsigned char, 256> flip;
// Line drawing: the arms (1 left, 2 down, 4 right, 8 up) of each drawing byte 15 to 30, and the
// drawing byte of each set of arms (0: a blank).
inline constexpr unsigned char kFirstDrawing = 15;
inline constexpr unsigned char kLastDrawing = 30;
extern const std::array<unsigned char, 16> stubs;
extern const std::array<unsigned char, 16> asc;
extern int lddel;  // 0 draw, 1 erase

// How many lines one manynulines may open at most.
inline constexpr int kMaxNewLines = 100'000;

void reset_ecap();

void ldexit();
void lddelin();
void ldleft();
void lddown();
void ldright();
void ldup();
void ldenter();
void lddelout();
void begline();
void endline();
void deline();
void marleft();
void maright();
void splitline();
void joinline();
void repchar();
void repline();
void delword();
void delwordend();
void xnextword();
void xprevword();
void flipchar();
void manynulines();
void xnextnumx();
