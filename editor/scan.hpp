// Find, scan and change: searching by units, the pattern matcher, record patterns, the checks of
// core file 18, CHANGE and the word statistics.
#pragma once

#include <array>
#include <string_view>

#include "globals.hpp"

void extchk();
void find();
void resfind();
void resnumber();
void rescheck();
void scantext();

// Shows the result of the last checks on the help line (putbool with their letters).
void showchecks();
void change();

// Units of searching, set by FIND and SCANSET.
enum ScanUnit : int {
    kUnitChar = 0,
    kUnitWord = 1,
    kUnitLine = 2,
    kUnitSent = 3,
    kUnitUp = 4,
    kUnitRec = 5,
    kUnitCheck = 6,
    kUnitPattern = 7,
};

extern int scanunit;
extern Name scanpattern;   // FIND's pattern, in the brace notation's bytes
extern Name targetstring;  // CHANGE's replacement
extern Name recboolcheck;  // the check pattern that FETCH, INSERT and APPEND apply

// The checks: bit i from the top is check i of core file 18 (the first in the highest bit).
inline constexpr int kMaxChecks = 32;
extern int numchecks;
extern long boolcheck;  // checks that hold
extern long boolerror;  // checks whose expression could not be evaluated
extern FixStr<kMaxChecks> boolstring;
extern int cmperr;  // set when a field test is malformed

extern std::array<int, 21> wordlen;
extern std::array<int, 101> sentlen;

// Matches pattern at the scanning cursor (lp, cp) and leaves the cursor where it was: 1 or 0.
int match(std::string_view pattern);

// Moves the scanning cursor to the start of the next word or sentence.
void nextword();
void nextsent();

// The position ring: word or field starts from the scanning cursor on.
void checksetup();
void checkupdate();

// A field test ("$#n=text\>text..."), against the ring; 1 when it holds.
int recstrmatch(std::string_view pattern);

// Evaluates the checks of core file 18 at the scanning cursor into boolcheck and boolerror.
void multicheck();

// Compiles a bit pattern such as 1x0; checkpasses then tests the last multicheck against it.
void makecheck(std::string_view pattern);
bool checkpasses();

// The record check of the file readers: evaluates the checks on `line` of the current core file
// against the pattern compiled last by makecheck. True when the line is to be kept.
bool reccheck(LINE* line);

// Writes the len lowest bits of num, highest first, as '0' and '1' into boolstring.
void getboolstring(long num, int len);

void reset_scan();
