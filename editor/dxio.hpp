// The driver program: a child process that steers the editor through a pair of pipes. Its
// standard output is the editor's key input; the editor writes acknowledgements, EMIT blocks and
// ASK answers to its standard input. The pipe carries the store's bytes as they are (Latin-1).
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

extern int progstate;  // 0 no driver, 1 running, 2 suspended
extern int progtrans;  // 1 when ASK answers are sent to the driver
extern int voluntary;  // 1 when the user suspended the driver (resuming then acknowledges)

// Where the driver's standard error goes, in the working directory.
inline constexpr const char* kDriverLog = "oru-driver.log";

bool setpipe();
void resumeprog();
void suspendprog();
// Ends the driver at once (SIGKILL) and gives the input back to the keyboard.
void killprog();
void acknowledge();

// The editor's writing end of the pipe to the driver while it runs; -1 otherwise.
int driver_fd();
// Writes all bytes to the driver's pipe, waiting while it is full; false when the driver has
// gone. A hang-up or termination meanwhile ends the editor with its emergency copies.
bool write_driver(int fd, const char* p, std::size_t n);
// Why the last RUN could not start its program (an errno value), 0 when it did.
int driver_start_error();
// On the way out of the editor: closes the pipes and wakes a stopped driver, which is left to
// finish its work.
void end_driver();
void reset_dxio();
