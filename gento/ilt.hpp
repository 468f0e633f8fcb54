// Inline lexical transformations: a lexicon entry that begins with _ilt_ carries its own search
// patterns (each after _lsp_: word | terminal | attributes | further fields) and, after _rhs_,
// the template of the entry it stands for. When word choice picks such an entry, the patterns
// become leaves of their own whose words the same choice finds, and the entry built from those
// words replaces the one that was picked.
//
//   _ilt_ | ADVM | | 5 | _lsp_ ? | ADJ | ? | _rhs_ [#1 "ly"] | ADVM | | 5 | #1 |
#pragma once

#include "trees.hpp"

// Builds the pattern leaves of `lookup`'s chosen entry into its lspseq, each with a lookup
// record of its own (appended to the lookup table) filled for word choice.
void ilt_create_lsps(t_dict_lookup& lookup);

// For every lookup record from the last down to `from` whose chosen entry is still an inline
// transformation: builds the derived entry from the words its patterns got and makes it the
// lookup's entry. A right side that fails leaves the lookup without a word.
void scan_ilts(int from);
