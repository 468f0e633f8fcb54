// Alignment of lines: flush left, flush right, centre, align.
#pragma once

void flushleft();
void flushright();
void fcenter();
void falign();
