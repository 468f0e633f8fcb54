// Terminal set-up and tear-down, screen geometry and the screen-command interpreter.
#pragma once

#include <string_view>

// Screen geometry. Rows and columns count from 0; the values are those of a 24 x 80 terminal
// until getwindsize runs.
extern int swidth;
extern int rightcol;
extern int overlap;
extern int shiftc;
extern int pshift;
extern const int windowtop;
extern int windowend;
extern int depth;
extern int helpline;
extern int cmdline;
extern int visible;

void reset_geometry();

void stermpars();
int getwindsize();
void physterm();
void initerm();
void reseterm();
void scrclear();

void txtcur();
void rmtxtcur();
void cmdcur();
void rmcmdcur();
void clrtextzone();
void postcur(int column, int row);
void restorecursor();
void ibeep();
void backspace();
void putcmdlett(char ch);

void pltransmit(std::string_view cmd);
