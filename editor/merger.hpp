// Merging records into text, expressions and field assignments.
#pragma once

#include <array>
#include <string_view>

#include "globals.hpp"

void mrgexp();
void mrgtext();
void mrgassign();
void mrgrec();

inline constexpr int kMergeFields = 50;  // fields taken from one record

// The fields of the record being merged: arena offset and length of fields 1 to 50.
extern std::array<long, kMergeFields + 1> fieldptr;
extern std::array<int, kMergeFields + 1> mrgflen;
extern int mrgnumfields;
extern char terminate;      // a blank on a text line, '|' on any other
extern long mrgavail;       // one past the merged text, which starts at avail
extern bool mrgoverflow;    // the last merge stopped because the store had no room for its text
extern const char stars[];  // typed into a field whose assigned expression failed

// The MERGE and EXPRESSION strings (command-line destinations 3 and 4).
extern Name mrgstring;
extern Name expression;

// Splits the record at `line` into fields: a record line from its first column, a text line from
// `col` on through the rest of its paragraph (view 0 only). Returns the number of fields.
int mrgsetup(const LINE* line, int col);

// Substitutes the fields of the record at line/col into `mrg` ("#n" is field n, "`" is dropped)
// and builds the result in the arena's free space, from avail to mrgavail. Returns false with
// fperror 3 when a field beyond the record's is named or the arena has no room; the text built
// up to then stays in place.
bool merge(std::string_view mrg, const LINE* line, int col);

// The merged text, valid until the arena is next written.
std::string_view merged();
// Gives the merged scratch text back to the store's free space.
void dropmerged();

void reset_merger();
