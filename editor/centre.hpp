// Alignment of lines: flush left, flush right, centre, align.
#pragma once

// Kind of the last alignment: 0 left, 1 centre, 2 right, 3 on a character.
extern int lrcswitch;

void flushleft();
void flushright();
void fcenter();
void falign();
