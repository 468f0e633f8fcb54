// Alignment of the cursor line as a block: flush left, flush right, centre, align on a character.
#pragma once

// Kind of the last alignment: 0 left, 1 centre, 2 right, 3 on a character.
extern int lrcswitch;

void reset_centre();

void flushleft();
void flushright();
void fcenter();
void falign();
