// State that the generation steps share: the terminal lookup table with its barriers, the
// preselection list and the results of looking a tag up in it, the root table, the trees'
// sentences and the morphology passes run for each of them.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

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

// Empties one lookup record: no class, attributes, word, fields or patterns; vf -1.
void clear_lookup(t_dict_lookup& d);

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

// Start-up and tests: every table above at its initial contents (lookup entries released), and
// both syntax stacks empty.
void reset_syn_globals();

// ---------------------------------------------------------------------------------------------
// Stored syntax: the rule stack and the transformation stack, one layer per syntax file
// ---------------------------------------------------------------------------------------------
inline constexpr const char* kBarrierName = "%%%%%";

// One context-free rule, or the preselection rule, with its coded text.
struct syn_rule {
    std::string name;
    std::unique_ptr<std::string> rules;  // null for a barrier, or when the text could not be kept
    std::unique_ptr<syn_rule> next;
    bool barrier = false;  // a rule may itself be named "%%%%%", so the mark is kept apart
    ~syn_rule();           // releases the records below iteratively: stacks can be long
};

// One guarded alternative of a transformation.
struct sub_trans {
    std::string guard;
    std::string rule;
    std::unique_ptr<sub_trans> next;
    ~sub_trans();
};

using TransFunction = void (*)(treenode*);

struct transformation {
    std::string name;
    int priority = 5;
    std::unique_ptr<sub_trans> first;
    TransFunction functionPtr = nullptr;  // set for a built-in transformation
    std::unique_ptr<transformation> next;
    bool barrier = false;
    ~transformation();
};

extern std::unique_ptr<syn_rule> syntax_stack;       // newest first
extern std::unique_ptr<transformation> trans_stack;  // newest first, built-ins at the bottom

// The coded text of the topmost rule of that name, or null when there is none or its text is
// missing.
const char* getrule(std::string_view name);
// The topmost transformation of that name (a written one of the newest layer hides the older
// ones and the built-ins), or null.
transformation* find_transf(std::string_view name);
// Begins a syntax layer on both stacks.
void add_barrier();
// Removes the top syntax layer (its rules and transformations and the two barriers).
void dump_syntax();
// Every record of the rule stack, from the top, into the message core file.
void print_cf();
// Coded text in a printable form: code bytes as {n}, so that none reaches a core file raw.
std::string printable_code(std::string_view coded);

// Start-up and tests: both stacks empty, built-ins not present.
void reset_syntax();
