// Morphological errors: which attribute values a learner may get wrong in the words of each
// terminal, the inflected variants of the expected words built from them, and the test whether a
// response word is one of those variants, with the smallest sets of wrong values that explain it.
#pragma once

#include <array>
#include <string_view>

#include "attr_list.hpp"
#include "gento/terminal.hpp"
#include "stud_err.hpp"
#include "trees.hpp"

inline constexpr int kMrPairs = 39;        // (type, value) pairs of one terminal
inline constexpr int kMrRow = 80;          // a row: the pairs, then a type 0
inline constexpr int kMrSlots = 10;        // attribute types of one terminal
inline constexpr int kMrValues = 20;       // alternative values of one type
inline constexpr int kMaxVariants = 4096;  // variants of one leaf

// Per terminal: (type, value) pairs, sorted, ending with type 0; value -1 stands for every value.
extern std::array<std::array<int, kMrRow>, kTerminals> mrdata;
// Per terminal, prepared by mrmodify: [0][0] the number of slots; [k][0] the number of values of
// slot k, [k][1...] delay indexes of fixed entries {type, value}.
extern std::array<std::array<std::array<int, kMrValues + 1>, kMrSlots + 1>, kTerminals> mrmod;

// The combination being enumerated: comb[k] chooses value comb[k] of slot k (0: unchanged).
extern std::array<int, kMrSlots + 1> comb;
extern int hitype;  // slots of the terminal in hand
extern int term;    // that terminal

// One explanation of a variant: the values the response word has (left) and the expected
// word's values of the same types (right), as delay indexes.
struct difference {
    std::array<int, kMrSlots * 2> left{};
    std::array<int, kMrSlots * 2> right{};
    int ltind = 0;
    int rtind = 0;
};

void merror_readtables(const char* filename);
void clear_mrdata();
void print_merror_tables();

// Prepares mrmod (making delay entries); false, after a message, when the delay table has no
// room for them.
bool mrmodify();
void make_variants(treenode* leaf);
void all_variants(treenode* tree);
// Releases the variants of every leaf of the tree.
void release_variants(treenode* tree);

// 1 when a variant of the leaf fits; the minimal explanations go to diff.breakup.
int compare_var(const treenode* leaf, const WordFit& fits, lexdiff& diff);
int compare_var(std::string_view word, const treenode* leaf, lexdiff& diff);

// The operation that lists the variants of the generated words.
void generate_enumerations();

// Start-up and tests: no morphological errors.
void reset_stud_mor();
