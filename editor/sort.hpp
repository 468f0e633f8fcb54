// Sorting lines by a key: SORT reorders a range of the current core file by relinking its line
// records, SKEY chooses how characters are weighted.
#pragma once

#include "globals.hpp"

// The character weighting of SKEY: 0 raw byte values, 1 unaccented, 2 accent classes. It stays in
// force for later sorts.
extern int sorttable;

void sortchk();
void sort();
void skey();

// Compares two lines by the key of the last SORT: -1, 0 or 1.
int linecmp(const LINE* l1, const LINE* l2);

// Sorts lines first to last (from 1) of the current core file by the key starting at column
// `keycol`, as SORT does: dir 0 ascending, otherwise descending. Returns the number of lines
// sorted (0 when nothing was, for an empty or unsuitable range or a key length of 0).
int sortlines(int dir, int keylength, int first, int last, int keycol);

// The weight of a character under weighting table `table` (0 to 2).
int sortweight(int table, unsigned char c);

// Tests: after `n` more comparisons the abort request is raised, as the interrupt key raises it
// while the editor is busy; -1 never.
void sort_abort_after(long n);

void reset_sort();
