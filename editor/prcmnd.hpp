// The command line: two letters select a command, its parameters are typed and checked.
#pragma once

void prcmnd();
