// The expression evaluator: an operator-precedence reader of arithmetic and logical expressions
// written in text, with its number and operator stacks and the register at the stack's base.
#pragma once

#include <array>

#include "globals.hpp"

inline constexpr int kStackSize = 25;  // both stacks; entries 1 to 24 are used

// Values of fperror.
inline constexpr int kFpFine = 0;
inline constexpr int kFpSyntax = 1;
inline constexpr int kFpOverflow = 2;
inline constexpr int kFpMergeRef = 3;  // a merge string named a field the record does not have

extern std::array<double, kStackSize> numstack;  // numstack[oldindex] is the register
extern int ni;                                   // top of the number stack
extern const int oldindex;                       // base of the number stack
extern std::array<char, kStackSize> opstack;     // operator classes, from index 1
extern int opindex;                              // top of the operator stack; 0 when empty
extern int fperror;
extern int fpnumused;        // characters consumed by the last evaluation
extern double fp_num;        // the last value
extern FixStr<19> fpresult;  // text of the last value shown

// Evaluates the elen characters at eptr. On success fperror is 0 and the value is on top of the
// number stack (ni == oldindex + 1); on failure fperror is 1 or 2 and both stacks are reset.
// Returns the number of characters consumed.
int dijkstra(const char* eptr, int elen);

// Empties both stacks down to the register.
void fpreset();

// Formats v as the message line shows it: eight significant digits, the exponent's `e` written
// as an apostrophe. The text also becomes fpresult.
const char* fpformat(double v);

// The EVALUATE command: evaluates mathstring and shows the value on the command line.
void evaluate();

// Start-up and tests: register 0, empty stacks, no error.
void reset_float();

// The EVALUATE command's expression (string destination B of the command line).
extern Name mathstring;
