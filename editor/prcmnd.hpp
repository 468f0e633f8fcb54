// The command line: two letters select a command of the table, its parameters are typed and
// checked, and its operation runs.
#pragma once

#include <array>

// A command-table handler: a checker or an operation.
using CmdHandler = void (*)();

struct CMDSPEC {
    const char* name;       // in capitals; only the first two characters are typed
    int sideffects;         // kCmd* bits
    const char* paramtype;  // two characters per parameter: type letter and qualifier
    const char* defstr;     // each parameter's default text followed by '|'
    CmdHandler checker;     // may refuse the command by setting del to 2
    CmdHandler cmdop;       // the command's operation
    const char* prompt;     // help-line text while the parameters are typed
};

// Side-effect bits of a command.
inline constexpr int kCmdWarn = 1;       // warn when the core file is not saved
inline constexpr int kCmdName = 4;       // show the core file's name afterwards
inline constexpr int kCmdLine = 8;       // recompute the cursor's line number afterwards
inline constexpr int kCmdNoResult = 16;  // leaves the result register alone
inline constexpr int kCmdFull = 32;      // refused while the store is full

inline constexpr int kCommands = 80;  // the last row, "**", ends the table
extern const std::array<CMDSPEC, kCommands> commands;

// Row of the command being entered; -1 after a bare Return, -2 after an unknown name.
extern int cmdptr;

void prcmnd();
int getcmnd();
// The operation of a command whose subsystem is not part of this build: says so and fails.
void notavail();
// The result register of the current loop depth (depth 0's when the depth is out of range).
int& result_register();
void reset_prcmnd();
