// Procedures: the brace notation of key strings, procedure control codes, loops and counters,
// and the wildcard matcher whose captured texts procedures test and retype.
#pragma once

#include <array>
#include <string>
#include <string_view>

inline constexpr int kLoopDepths = 20;  // loop stack entries and result-register depths
inline constexpr int kPattLen = 200;    // comparison text and pattern positions
inline constexpr int kWildSlots = 22;   // captures 1 to 21

// The result register of each depth: the command result, and a loop counter.
extern std::array<int, kLoopDepths> vl_result;
extern int loopdepth;
// Texts captured by the wildcards of the last successful match, from unified[1].
extern std::array<std::array<char, kPattLen>, kWildSlots> unified;

// One character of the brace notation. `inside` tells whether a `{` is open and is updated.
// Returns the byte to store, or -1 when the character only opens or closes the braces.
int transchar(char c, bool& inside);
// A whole text in the brace notation translated to bytes.
std::string transtring(std::string_view text);
// Bytes written back into the brace notation.
std::string untranschar(std::string_view bytes);

// Matches `pattern` (with `*` wildcards, ended by `term` or its end) against the `slen` arena
// bytes from `sindex`. Returns 1 on a match, 0 otherwise.
int unify(std::string_view pattern, long sindex, char term, long slen);
// After a successful unify, copies the text under each `*` of `pattern` into unified[1] ...
void copywild(std::string_view pattern);
// The text of capture n (empty outside 1 to 21).
std::string_view wildtext(int n);

void wildtxt();
void wildrec();

// Procedure control: carries out control code 107 to 117 read from a function string.
void procctl(int code);

// True while a key string in [begin, end) is still being read or a loop may return into it.
bool keystring_held(const char* begin, const char* end);

// PROCEDURE: reads the procedure file named by `curfile` and runs its keys next.
void loadfile();

void reset_scrin();
