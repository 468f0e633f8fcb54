// Display of core files: what the screen shows and when it is redrawn.
#pragma once

#include <array>

// View names of the status line, and what it shows while the text store is full.
extern const std::array<const char*, 8> views;
extern const char fullmsg[9];
// Values last shown in the status fields; -1 forces a field to be rewritten, and oldcoreview -2
// means "FULL    " is shown.
extern int oldcore;
extern int oldline;
extern int oldcol;
extern int oldlncnt;
extern int oldcoreview;
extern int oldlock;  // the upper-case lock as last shown
// The record field under the cursor (findfield) and the position while a record is drawn.
extern int fieldnum;
extern long recptr;
extern long disrecptr;
extern int fieldsiz;

void display();
void discur();
void gendis();
// Draws the whole screen again after the terminal was given away or changed size: the status is
// shown even while silent, and the terminal's cursor goes back where the user had it (on the
// text, on the command line, or after a waiting message, which is shown again).
void redraw_screen();
void putstats();
void putfname();
void prtabs();
void findfield();
void fieldlen();
void wfield();
void reset_display();
