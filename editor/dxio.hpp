// The driver program: a child process that steers the editor through a pair of pipes.
#pragma once

void resumeprog();
void suspendprog();
void killprog();
void acknowledge();
