// Building the text of a derived lexicon entry from a coded right side and the entries that a
// sequence of lexical search patterns matched; finding a pattern of the selected rule by number.
#pragma once

#include <array>

#include "trees.hpp"

inline constexpr int kLtResult = 1024;  // at most 1023 characters are used
extern std::array<char, kLtResult> lt_result;
extern int resptr;
extern int resoverflow;  // 1 once a result needed more room than it has

// Builds lt_result from the coded right side `rhs`, with the pattern sequence that starts at
// `lsp` (linked through `right`). `mode` is 1 for rules, 2 for inline transformations (the
// morphology evaluator reads the patterns' attributes from lt_delayed only in mode 1).
// In the right side:
//   !f or !f.k      field f of the entry that pattern k (1 when not written) matched; for f = 3
//                   the attributes by name, '-NAME' after it leaving out a type or a value
//   [ expression ]  a morphology expression, evaluated for the patterns; its output quoted
//   a variable      the name of its value
// Returns 1 on success, 0 after a reported error.
int lt_apply_rule(const char* rhs, treenode* lsp, int mode);

// The n-th pattern (from 1) of the selected rule, or null after a report.
treenode* lt_getlspptr(int n);

// Tests and start-up.
void reset_lt_misc();
