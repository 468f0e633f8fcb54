// State that the generation steps share: the terminal lookup table with its barriers, the
// preselection list and the results of looking a tag up in it, the root table, the trees'
// sentences and the morphology passes run for each of them.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "attr_fns.hpp"
#include "trees.hpp"

// ---------------------------------------------------------------------------------------------
// Terminal lookup table
// ---------------------------------------------------------------------------------------------
inline constexpr int kLookups = 1024;
extern std::array<t_dict_lookup, kLookups> dict_table;
extern int d_table_count;      // entries in use
extern int global_barrier;     // entries below belong to the global preselection
extern int preselect_barrier;  // entries below belong to a preselection
extern int global_delayptr;    // delay entries below belong to the global preselection

// ---------------------------------------------------------------------------------------------
// Preselection
// ---------------------------------------------------------------------------------------------
extern std::unique_ptr<pre_rule> preselect_list;  // newest first
extern pre_rule* globalpre_list;  // first record made by the global preselection, or null

// Results of looking up a preselection tag.
extern int attr_form;  // 1 attribute of a preselected word, 2 bare tag, 3 plain attribute
extern int pre_status;
extern pre_rule* pre_match;
extern std::string bad_pst;  // the printed tag, for messages
inline constexpr int kPreStatuses = 7;
extern const std::array<const char*, kPreStatuses> pre_error;  // text of each pre_status

// ---------------------------------------------------------------------------------------------
// Roots, trees and sentences of a generation
// ---------------------------------------------------------------------------------------------
struct root_list {
    const char* name;     // rule that starts the tree
    const char* message;  // label of its sentence, 9 characters
};
extern const std::array<root_list, kRoots> tree_roots;

extern int treestate;  // 0 while ROOT is built or transformed, 1 while the root table's trees are
extern std::array<std::unique_ptr<std::string>, kRoots> genSentences;  // null: not generated

// Morphology passes: row r (0 ROOT, 1 to 20 the root table, 21 phonology), slots 1 to 4 hold
// lexicon field numbers run in order up to the first 0; slot 5 stays 0.
inline constexpr int kPassRows = 22;
inline constexpr int kPassSlots = 6;
extern std::array<std::array<int, kPassSlots>, kPassRows> morph_passes;

// Start-up and tests: every table above at its initial contents (lookup entries released).
void reset_syn_globals();
