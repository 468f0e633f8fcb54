// Merging records into text, expressions and field assignments.
#pragma once

void mrgexp();
void mrgtext();
void mrgassign();
void mrgrec();
