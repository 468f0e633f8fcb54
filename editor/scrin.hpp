// Procedures: control codes, loops, wildcard captures.
#pragma once

void wildtxt();
void wildrec();
