// Record templates: where each field of a record is shown, how long it may be and of which type,
// written as labels with layout commands in braces and field definitions "#n/length/type".
#pragma once

#include <array>

// The field layout of records: fields 1 to 100 (entry 0 unused).
inline constexpr int kMaxFields = 100;
extern std::array<int, kMaxFields + 1> frow;
extern std::array<int, kMaxFields + 1> fcol;
extern std::array<int, kMaxFields + 1> maxfieldlen;
extern std::array<char, kMaxFields + 1> ftype;
extern int numfields;

// The loaded templates: the record template ends with the byte 4, the merge template with a zero
// byte; null when none is loaded. A view puts its own record template in place for a while.
extern const char* tempbufptr;
extern const char* mrgbufptr;

// The layout used when no template is loaded: every field five characters of type "c", six to a
// row, ten fields to a record.
void reset_fieldtable();

// Sets the field table from the record template, drawing its labels when `draw` is 1. Returns 1
// when the template holds an error (interpretation stops there; the fields defined before it stay
// in force), else 0.
int writetemplate(int draw);

// TEMPLATE: loads curfile as the record template (kind 0 or 1) or the merge template (kind 2).
void setspecs();

// Start-up and tests: no templates loaded, the default field table.
void reset_templates();
