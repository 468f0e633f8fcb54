// Record templates.
#pragma once

#include <array>

// The field layout of records: fields 1 to 100 (entry 0 unused).
inline constexpr int kMaxFields = 100;
extern std::array<int, kMaxFields + 1> frow;
extern std::array<int, kMaxFields + 1> fcol;
extern std::array<int, kMaxFields + 1> maxfieldlen;
extern std::array<char, kMaxFields + 1> ftype;
extern int numfields;

// The layout used when no template is loaded: every field five characters of type "c", six to a
// row, ten fields to a record.
void reset_fieldtable();

void writetemplate(int mode);
void setspecs();
