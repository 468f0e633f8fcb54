// Reading a lexical transformations file into the rule table.
//
//   RULE 12 ( x : NUMBER , ... )          the clause of variables is optional
//     "*y" | ADJ | x | ... _lsp_          one pattern per entry to match: word, terminal,
//     ? | N | sg.x | ... _rhs_            attributes, further fields; "?" matches anything
//     "[#1 "ly"]" | ADV | | !4 |          the text of the derived entry
//   %
#pragma once

#include <string>
#include <vector>

inline constexpr int kLtFieldMax = 1023;     // characters of an LSP's field 1 or 2
inline constexpr int kLtFurtherMax = 27675;  // characters of an LSP's further fields
inline constexpr int kLtRhsMax = 4094;       // characters of a coded right side

// Reads the file into the rule table (rules already there stay; a number used twice keeps the
// first rule).
void readlextrans(const char* filename);

// The field reader of the patterns: identifiers (without the blanks between them) and characters
// up to a token of `terminators` (not consumed), and quoted text as written, quotes included.
// Refuses '%', keywords, the end of input and text beyond `max` characters, each with a report.
bool gen_read_field(const std::vector<int>& terminators, std::size_t max, std::string& out);
