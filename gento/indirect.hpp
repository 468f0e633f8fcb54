// Indirection: a word chosen for a leaf points, through a tagged field of its lexicon entry, to a
// related word, which then replaces it.
#pragma once

#include <array>

#include "attr_list.hpp"
#include "globals.hpp"
#include "trees.hpp"

// One string of the pointer group being examined, as a position and length within the text
// given to locate_strings; `sep` is the separator that came before it (0 for the first).
struct lex_strings {
    int start = 0;
    int count = 0;
    char sep = 0;
};
inline constexpr int kSubstrings = 50;
extern std::array<lex_strings, kSubstrings> substr;
extern int str_index;  // strings in substr

// The pointer findtag chose, without its quotes (empty when none), and its category (terminal).
extern FixStr<99> chosen_pointer;
extern FixStr<39> category;

// Resolves the indirections of every leaf of `tree`, in tree order.
void process_indirections(treenode* tree);
// Resolves the indirections of one node in list order; each one starts from the entry the
// previous one chose, so a chain walks from word to word. A failure stops the rest.
void process_indirect_ops(treenode* node);
// Chooses at random a pointer of group `tag` in field `fieldnum` of `entry` (a stored lexicon
// entry text); an empty tag means the first group without a tag.
void findtag(const char* entry, int fieldnum, std::string_view tag);
// Splits the group at `text` into substr; returns the position after its ';', or that of the
// '|' or end that closed it.
const char* locate_strings(const char* text);
// The attribute list of an indirection from its coded text ("sg,!NUMBER]").
attr_list construct_attr_indir(const treenode* node, const char* text);
// The position after the next ';' outside quotes, or that of the '|' ending the field; null
// (after a report) when the text ends first.
const char* forward_next_tag(const char* text);

// Tests: empty work areas.
void reset_indirect();
