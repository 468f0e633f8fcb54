// Starred lines: blocks between two stars are deleted, copied, moved and recovered. Core file 0
// holds what is deleted or copied, each block starred, so that recover brings it back.
#pragma once

void clrstars();
int delstar();
void makestars();
void recover();
void delete_();  // the delete operation of the star block (code 27)
void copyop();
void gento_moveblock();
void gento_sleep();

// Moves the starred block of core file `source` after the cursor line of core file `dest`.
void moveblock(int source, int dest);

// Line number of the first ('U') or last ('L') starred line of the current core file; without
// stars 1 and 200000, the defaults of line-number parameters.
int starline(char which);
// Number of lines in the starred block of the current core file; 0 without stars.
int starblocklines();
