// Typing: building text, records and formulas, and the delete ring.
#pragma once

#include <array>

extern int dtstate;  // 1 right after a tab jump while decimal-tab typing goes on

// checktable[class - 2][type - 'b']: whether a key class may be typed into a field type.
inline constexpr int kKeyClasses = 5;
inline constexpr int kFieldTypes = 9;
extern const std::array<std::array<int, kFieldTypes>, kKeyClasses> checktable;

void reset_build();

void bldtxt();
void bldrec();
void bldmath();
void copytxt();
void recword();
void recfield();
void rectxt();
void recrec();
void recmath();
void instabrow();
void instabcol();
void makeobject();
void autowrap();
void decbldtxt();

// Types `c` into the current text line at the cursor without moving the cursor, as typing does in
// the current mode. False when nothing could be typed (the store ran out).
bool puttxt(char c);

// The record field under the cursor: its number (from 1), the column where it starts and its
// length up to the next `|` or the line's end.
struct FieldPos {
    int num;
    int start;
    int size;
};
FieldPos fieldat();
// Type letter of a record field; fields without an entry in the table take type "c".
char fieldtype(int num);

// True when `n` more bytes can be given to the current line, even if it has to move to the top
// of the arena to grow.
bool storeroom(long n);
// Inserts `s` at the cursor of the current line (padding with blanks up to the cursor first); the
// cursor stays. False, and nothing changed, when the store has no room.
bool insertbytes(const unsigned char* s, int n);
