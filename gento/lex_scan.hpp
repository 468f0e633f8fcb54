// Choosing words: matching lexicon entries against a lookup's attributes, word pattern and field
// pattern, and the frequency-weighted random choice among the entries that qualify.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "lex_read.hpp"
#include "trees.hpp"

inline constexpr int kLexComps = 50;
extern std::array<lex_comp, kLexComps> lexatt;
extern int lexatt_index;

// The entries that qualified for the last lookup, beside their running weight totals. They grow
// to hold any number of entries and keep their room between lookups.
extern std::vector<recnode*> nodearray;
extern std::vector<long> prob_array;
extern long numnodes;
extern long prob_tot;

// Splits the coded attribute field at `ptr` into lexatt.
void locate_comp(const char* ptr);
// 1 when compound `index` of lexatt matches the working rows (attr, attr_index).
int match_comp(int index);
// 1 when some compound of the entry matches the working rows; rows without a value then take
// the entry's value.
int match_single_attr(const char* record);
// 1 when every compound of `attrlist` is matched by a compound of the entry.
int match_attr(const char* record, const s_attr_list* attrlist);

// '*' in the pattern matches any run of characters; the pattern ends at `pterm` (or a zero
// byte), the string at `sterm` (or a zero byte). 1 when the whole string matches.
int match_wild(const char* pattern, const char* string, char pterm, char sterm);
// 1 when the entry's fields from 4 on match the pattern's fields from 4 on.
int match_lsp(const char* lsp, const char* lex);
// The first entry of the list `dictionary` whose quoted word matches the quoted `word`.
recnode* exactword(const char* word, recnode* dictionary);

// Collects the qualifying entries of `lookup` from terminal `index` into nodearray/prob_array.
void locate_matches(const t_dict_lookup* lookup, int index);
// Draws among the collected entries by weight; null when there is nothing to draw from.
recnode* select_match();
// Rewrites the entry's four weight digits for the frequency code `n`.
void apply_vf_single(char* lex_entry, int n);
void getdictent(t_dict_lookup* lookup);
// Chooses the words of every lookup entry from `start` on and reports the failures; an entry
// that is an inline lexical transformation has its patterns' words chosen too, and is then
// replaced by the entry it derives.
void getwords(int start);

// The command QFREQ: `lex` is one terminal as a syntax rule writes it: its name, then optionally
// an attribute list in brackets, a word pattern /"..." and a frequency code /+n (vf n) or /$n
// (vf -n). Every entry that would qualify has its weight rewritten, after the user agrees.
void vary_frequency(const char* lex);

// Start-up and tests: empty work areas.
void reset_lex_scan();
