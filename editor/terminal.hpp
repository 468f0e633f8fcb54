// Terminal set-up and tear-down, screen geometry and the screen-command interpreter.
#pragma once

#include <termios.h>

#include <array>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

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

// Terminal state.
extern const char* entname;
extern int termnum;  // 4 for a vt100, 9 for any other terminal
extern struct termios oldintrps;
extern struct termios newintrps;
extern int textline;  // text cursor as last set by "$p"
extern int textcol;
extern int cmdlen;  // characters on the command line after its prompt area
inline constexpr int kShadowCmdLen = 200;
extern std::array<char, kShadowCmdLen> shadow_cmdline;
extern int shadow_ptr;
// True when the locale's character set is UTF-8: screen characters above 127 are sent encoded.
extern bool utf8_terminal;

void reset_geometry();
// Tests: the least time between two progress messages that are each sent at once (40 ms after
// reset_geometry); one that comes sooner is drawn when the screen is next looked at or refreshed.
void set_progress_gap(std::chrono::milliseconds gap);
// Applies the geometry rule to a terminal of `nlines` rows and `ncols` columns; returns 1 when
// `depth` or `swidth` changed. getwindsize and the WINDOW command use it. The screen is exactly
// that size, so a terminal smaller than the layout's least size (5 x 21) shows it clipped.
int setgeometry(int nlines, int ncols);

void stermpars();
int getwindsize();
void physterm();
// Puts the terminal in the editor's mode: no echo, no line editing, keys at once, and the control
// characters of the editor (interrupt Ctrl-_, suspend Ctrl-A, the others off). Called when the
// editor takes the terminal, and again at any time to set that mode anew.
void initerm();
// Gives the terminal back in the mode the editor found it in.
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

// Sends what changed on the screen since the last call, then places the terminal's cursor.
// Called before each key is read; the terminal's cursor position is tracked so that no cursor
// movement is sent that is not needed.
void screen_refresh();
// Forgets what the terminal shows, so the next refresh redraws everything (after a shell escape
// or a resume, when something else has written to the terminal).
void screen_forget();

// What the screen shows after the screen commands so far: row `r` as screen characters (one
// element per column) and the cursor. Tests read the screen through these.
std::u32string screen_row(int r);
std::string screen_text(int r);  // row `r` with characters above 255 shown as '?'
int screen_cursor_row();
int screen_cursor_col();
// Where the terminal's cursor stands for the user: on the text cursor (0), on the command line
// (1), or after the message on the help line (2). A whole-screen redraw takes the place first
// and puts the cursor back there afterwards, the message included.
struct CursorPlace {
    int where = 0;
    std::string message;
};
CursorPlace cursor_place();
void put_cursor_back(const CursorPlace& p);

// Tests: every screen command handed to pltransmit is appended to `sink` while it is set.
void set_command_capture(std::vector<std::string>* sink);

// Screen characters travel in screen commands as bytes; one above 255 (a box-drawing character
// on a UTF-8 terminal) is carried as byte 0x1A followed by its UTF-8 encoding.
inline constexpr char kWideMark = 0x1A;
void append_screen_char(std::string& out, int ch);
