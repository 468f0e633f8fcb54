// System utilities: what the editor does when the terminal goes away.
#pragma once

#include <string_view>

// Saves every edited core file to an emergency copy beside it ("<name>.save", or
// "oru-core-N.save" in the current directory for an unnamed core file), never replacing an
// existing file. Safe to call from a signal handler. Returns the number of copies written.
int emergency_save_all();

// The shell, the working directory and the driver program's commands.
// Sends text to the driver program and flushes, when one runs.
void progsend(std::string_view text);
void runprog();
void calsys();
void changedir();
void swinput();
void directory();
