// Command operations: the setting and query commands, and the settings they change.
#pragma once

#include <array>

// Settings that commands change and other modules read. (The file-format options are the file
// module's, the tab table the tab module's.)
extern int crinsert;      // style of the Return key
extern int hyphlevel;     // degree of hyphenation, 0 to 3
extern int jmode;         // 0 no justification, 1 right justification
extern int autowrapflag;  // 1: typing wraps at the right margin
extern int dectabflag;    // 1: decimal tabs

void reset_commands();

void coreset();
void objset();
void nmeset();
void positn();
void advance();
void window();
void shift();
void settabs();
void hyphenset();
void justset();
void swautowrap();
void decimaltab();
void option();
void inkeyset();
void outkeyset();
void silent();
void ask();
void gotobottom();
