// Cursor movement in every view.
#pragma once

// Column and row of the table-cell cursor on formula lines.
extern int greenx;
extern int greeny;

// The cursor may stand far beyond a line's end; this bound only keeps column arithmetic finite.
inline constexpr int kMaxCol = 1'000'000;

void reset_cursors();

void retrn();
void downfield();
void curleft();
void downline();
void downrec();
void curright();
void upline();
void uprec();
void upfield();
void up_page();
void downpage();
void leftm();
void downm();
void rightm();
void upm();
void greencur();
void downrow();
void uprow();
void fixcursor();
void mwd();
// Rows from the window's first line down to the cursor line; -1 when the cursor line is above the
// window's first line (or the two are not in the same list).
int cursor_row();
// Row and column counts of the formula table under the cell cursor (0: formulas are not laid out).
int tablecols();
int tablerows();
