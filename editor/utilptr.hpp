// The scanning cursor: a second cursor that walks the text character by character.
#pragma once

#include "globals.hpp"

void setptr();
void nextc();
void prevc();
int peepc();
void setcur();
