// Find, scan and change.
#pragma once

void extchk();
void find();
void resfind();
void resnumber();
void rescheck();
void scantext();

// Shows the result of the last checks on the help line (putbool with their letters).
void showchecks();
