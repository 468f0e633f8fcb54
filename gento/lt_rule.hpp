// Selecting a lexical transformation rule and running it: every combination of lexicon entries
// that its patterns accept, one entry per pattern, gives one derived entry, written as a record
// line into the current core file. Variables shared between patterns make them agree.
#pragma once

#include "lt_mem.hpp"

// RXTRANSF: selects rule n (stopping any run).
void inittrans(int n);

// Operation 98: runs the selected rule, or resumes the run that the interrupt key stopped (or a
// full text store: the entry it could not write comes first). A run that is left over from a
// lexicon read since starts again from the beginning.
void exectrans();

// What lt_getdictent found for one level of the run.
enum LtLookup { kLtFound, kLtNoMore };
// Moves `level` to its next qualifying entry (binding the rule's variables as the entry has
// them), scanning every terminal in order for class "?".
LtLookup lt_getdictent(s_stacknode* level);
