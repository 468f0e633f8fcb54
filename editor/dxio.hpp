// The driver program: a child process that steers the editor through a pair of pipes. Its
// standard output is the editor's key input; the editor writes acknowledgements, EMIT blocks and
// ASK answers to its standard input.
#pragma once

#include <cstdio>
#include <string_view>

extern int progstate;  // 0 no driver, 1 running, 2 suspended
extern int progtrans;  // 1 when ASK answers are sent to the driver
extern int voluntary;  // 1 when the user suspended the driver (resuming then acknowledges)

bool setpipe();
void resumeprog();
void suspendprog();
void killprog();
void acknowledge();

// The editor's writing end of the pipe to the driver; null when no driver exists.
FILE* driver_output();
// Ends the driver without touching the screen (used on the way out of the editor).
void end_driver();
void reset_dxio();
