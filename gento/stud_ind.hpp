// Related words: a response word that the expected word's lexicon entry points to under a tag of
// the tag information file (a synonym, an opposite...), inflected as the expected word is.
#pragma once

#include <string_view>

#include "stud_err.hpp"
#include "trees.hpp"

// The related word found by the last successful test (a copy of the leaf with the related
// entry), or null. It lives until the analysis releases its work.
extern treenode* current_inflected;

// Sets diff.matchclass to the number of the first tag under which a word related to the leaf
// fits; 1 when one does.
int err_match_syn(const treenode* leaf, const WordFit& fits, lexdiff& diff);
int err_match_syn(std::string_view word, const treenode* leaf, lexdiff& diff);

// Releases the related words made since the last release.
void release_related();

// Tests and start-up.
void reset_stud_ind();
