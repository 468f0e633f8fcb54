// The message line and result output.
#pragma once

#include <string_view>

void putstring(std::string_view text, char window);
int diserr(std::string_view errmsg);
void progress(std::string_view msg);
void clearhelp();
