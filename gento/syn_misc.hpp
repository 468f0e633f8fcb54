// The generation driver: one generation from preselection to numbered sentences, the global
// preselection, and the clearing of generation results.
#pragma once

#include <string>
#include <string_view>

#include "globals.hpp"
#include "trees.hpp"

// The sentence of the tree being finished, before and after post-morphology; longer sentences
// are cut at the capacity.
inline constexpr std::size_t kSentenceMax = 1023;
extern FixStr<kSentenceMax> sentbuf;
extern FixStr<kSentenceMax> sentbuf2;

void interpret();
void global_preselect();
void clear_SE_PRE(int global_status);
void clear_GP();
void purgelookups(int barrier);
void thread(treenode* node);
void fill_word(treenode* leaf);
void fill_all_words(treenode* node, int p_index);
void finish(treenode* rt, int rootnumber, std::string_view tag);
// The words of the tree's leaves, along its leaf thread, joined by blanks into sentbuf.
void leaf_words(treenode* rt);
// sentbuf into sentbuf2: `^` joins to the word before, a grave accent capitalises.
void postmorph();
void sentence_to_core(int n, int p);
// The first root row from 1 to 20 whose sentence, as a wildcard pattern, matches the response.
int gento_comp();

// Tests and start-up.
void reset_syn_misc();
