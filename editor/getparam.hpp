// Parameters of the command line: typing, defaults, conversion, destinations and checks.
#pragma once

#include <array>
#include <string_view>

#include "globals.hpp"
#include "merger.hpp"
#include "scan.hpp"

inline constexpr int kParams = 25;
inline constexpr int kMaxTyped = 48;  // characters accepted on the command line

// Converted numeric parameters, from param[1].
extern std::array<int, kParams> param;
extern int paramcount;

// The parameter text: typed characters, '|' between parameters, then the defaults.
using ParamText = FixStr<127>;
extern ParamText pstring;
extern int tptr;  // position in the command's paramtype of the current parameter

// String destinations, chosen by a parameter's qualifier character (the expression of
// EVALUATE, mathstring, is the evaluator's; the find pattern, replacement and record check are
// the find module's, the merge string and expression the merge module's).
extern Name sysstring;
extern Name termstring;
extern Name picstring;
extern Name listfile;
extern Name listinitfile;
extern Name q_error;

// Destination and brace-notation flag of a qualifier '1' to 'G'; null / 0 for any other.
Name* destination(char qualifier);
int ctrltype(char qualifier);

// Reads, defaults and converts the parameters of command row cmdptr; del is 2 when abandoned.
void getparam();
void add_defaults();
void convert_params();
// The text of parameter n (from 1) as typed or defaulted, without its '|'.
std::string_view paramtext(int n);

// Prompts: 0 to 2 the modes, 3 to 11 the parameter types c to k.
void prmptpar(int ptype);
void disprompt();

// Checkers: each refuses with an acknowledged message and del 2.
void fpr();
void fpw();
void faw();
void fpx();
void findchk();
void changechk();
void positchk();
void marginchk();
// The file checks without messages, for queries: true when the file passes.
bool canread(const char* name);
bool canwrite(const char* name);
bool cancreate(const char* name);
bool canexec(const char* name);

void reset_getparam();
