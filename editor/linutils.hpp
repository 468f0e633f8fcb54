// Line primitives: everything that changes the bytes of the current line goes through these.
#pragma once

#include "globals.hpp"

// Whether a line owns bytes in the arena (text, record and mathematics lines do).
bool owns_bytes(const LINE* l);
// Byte at column `col` of line `l`, or -1 when the column holds none.
int byte_at(const LINE* l, int col);
// Byte at column `col` of the cursor line, or -1.
inline int curbyte(int col) {
    return byte_at(cur().lnptr, col);
}

long curptr();  // arena offset under the cursor
long endptr();  // one past the current line's last byte
void linkphys();
bool cadd(char chr);  // false when the arena has no room left (the store is then full)
// Appends `text` to the current line as cadd of each character would, copying runs at once
// where the line ends at the store's end; false when the store became full on the way.
bool cadd_text(std::string_view text);
bool shiftline();
void cinsert(int num);
void extline();
void cremove(int num);
void savechar(char ch);
void erasefield();
int locatefield(const LINE* line, int field);
bool locateword(int field);
void rctrunc();
void removeline();
void detrline();
// Strips the trailing blanks of one line of the current core file.
void detrline(LINE* l);
void detrfile();
int findnb();
