// Sorting lines by a key.
#pragma once

void sortchk();
void sort();
void skey();
