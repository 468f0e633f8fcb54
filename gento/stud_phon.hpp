// Phonology: tables of the spellings of each sound (one IPA symbol a byte), and the test whether a
// response word spells the expected word's sounds another way.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "morphology.hpp"
#include "stud_err.hpp"
#include "trees.hpp"

inline constexpr int kIpaSymbols = 20;  // symbols of one word that the work arrays hold

extern std::unique_ptr<table> phontablelist;  // in file order; tablename is one byte

void phon_readtables(const char* filename);
void clear_phon_tables();
// The table of the symbol that `s` begins with, or null.
const table* err_get_phontable_pointer(std::string_view s);

// The leaf's word in IPA: the phonology passes run on the leaf; its word is left as it was.
std::string ipa_of(treenode* leaf);

// Class 4 with the differing spellings in diff.breakup when `word` spells the leaf's sounds;
// returns 1 then.
int err_match_phono(std::string_view word, treenode* leaf, lexdiff& diff);

// Forgets the IPA strings computed for the leaves of an analysis.
void release_phon_cache();

// Start-up and tests.
void reset_stud_phon();
