// System utilities: what the editor does when the terminal goes away.
#pragma once

#include <string_view>

// Saves every edited core file to an emergency copy beside its file ("<name>.save", or
// "oru-core-N.save" in the current directory for an unnamed core file; ".save.1" to ".save.9"
// when that exists), else in the home directory, else in the temporary directory; never
// replacing a file. The copy is written as SAVE writes it. Safe to call from a signal handler.
// Returns the number of copies written.
int emergency_save_all();
// Captures what the emergency copies need from the environment (start-up; tests).
void prepare_emergency();
// Prints where each copy of the last emergency_save_all went, on standard error.
void report_emergency_copies();
// Where copy i (from 0) of the last emergency_save_all went; empty past the last.
std::string_view emergency_copy_path(int i);

// The shell, the working directory and the driver program's commands.
// Sends text to the driver program and flushes, when one runs.
void progsend(std::string_view text);
void runprog();
void calsys();
void changedir();
void swinput();
void directory();
