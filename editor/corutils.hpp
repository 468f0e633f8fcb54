// The text store at record and file level: line records, core files and compaction.
#pragma once

#include "globals.hpp"

// Line records come from a pool. Tests can make it fail after a number of further records, so the
// "no spare record" and full-store paths can be driven on purpose.
namespace linepool {
void fail_after(long n);  // n further records succeed, then every request fails; -1: never fail
long in_use();            // records handed out and not yet freed
}  // namespace linepool

LINE* allochdr();                         // null when no record could be had
LINE* allocln(int linetype, int length);  // null when no record could be had
void freehdr(LINE* l);
// Gives back a chain of lines built above the store's top (between avail and top) and hung from
// its own dummy head: the bytes read as free again and the records return to the pool.
void free_built_chain(LINE& head, long top);
void initcore();
void initfile();
void removefile();
// removefile, initfile and garbage in one, as FETCH empties a core file before reading. The
// bytes from the new top up to the offset returned still hold the old text: FETCH writes the new
// lines over them and marks what is left as free.
long emptyfile();
void clrfile();
void wrwholescreen();
int distance(const LINE* l1, const LINE* l2);
// Without `mark_free`, the bytes left above the new top are the caller's to mark free.
void garbage(bool mark_free = true);
// The reclaiming part of garbage, without stripping trailing blanks: safe in the middle of an
// operation that is growing a line (only line records and columns stay valid, not offsets).
void compact(bool mark_free = true);

// Tests: empties the whole store and builds the 20 core files afresh.
void reset_store();
// Start-up: the same, on an arena that nothing has written yet; most of its marking as free is
// left to settle_store, which the key reader calls each time it waits for a key.
void start_store();
void settle_store();
