// The message line and result output.
#pragma once

#include <string_view>

extern int bhelp;  // 1 while a help or progress text is on the help line

void putstring(std::string_view text, char window);
int diserr(std::string_view errmsg);
void progress(std::string_view msg);
void clearhelp();
void putch(int letter);
void putstg(long index, int count, int linenumber);
// The result register of the current loop depth, "RES n".
void putresult();
// The last floating result, or the evaluator's error.
void putfloat();
// The failed checks (then waits for Return or rubout) and the checks that hold, as letters.
void putbool(std::string_view failed, std::string_view holding);
void reset_scrout();
