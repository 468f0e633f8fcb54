// Lexical transformation rules in memory: the rule table, the rules' variables and search
// patterns, the run stack of the enumeration, and the set-up and removal of all of them.
//
// A rule's left side is a chain of lexical search patterns (LSPs), each a nameless tree node whose
// lookup record (owned by the rule) describes the entries it accepts: `class_` the terminal or
// "?", `preferredchoice` the word pattern with its quotes (empty: any word), `attributes` the
// compounds of field 3 as indexes of lt_delayed, `fields` the whole pattern with every field
// closed by '|', and while a run goes on `dictionary` the entry it matched. The LSPs are linked
// through `right` (and `left`), so the morphology evaluator finds the k-th one by walking them.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "lex_read.hpp"
#include "trees.hpp"

// A variable of a rule's common attribute clause.
struct s_lt_var_list {
    std::string name;
    int index = 0;  // its entry in lt_delayed
    std::unique_ptr<s_lt_var_list> next;
    ~s_lt_var_list();
};
using lt_var_list = std::unique_ptr<s_lt_var_list>;

struct LTRULE {
    treenode* lsp1 = nullptr;                             // owned with the chain it starts
    lt_var_list rule_vars;                                // in the order written
    std::string rhs;                                      // the coded right side
    std::vector<std::unique_ptr<t_dict_lookup>> lookups;  // one per LSP, in order
    LTRULE() = default;
    LTRULE(const LTRULE&) = delete;
    LTRULE& operator=(const LTRULE&) = delete;
    ~LTRULE();
};

inline constexpr int kLtRules = 500;  // rule numbers 1 to 499; entry 0 is never used
extern std::array<std::unique_ptr<LTRULE>, kLtRules> ltruleheader;
extern int lt_rule_num;  // the selected rule, -1 for none

// Appends a new LSP (with its own lookup record) to the rule's chain and returns it.
treenode* lt_new_lsp(LTRULE& rule);

// Coded right side: a variable is the byte kLtVarCode and its lt_delayed index in two bytes,
// each one more than a digit of base kLtVarBase, so that no byte of the code is ever 0.
inline constexpr char kLtVarCode = 15;
inline constexpr int kLtVarBase = 255;
std::string lt_var_code(int index);
// The lt_delayed index coded at `p` (just after kLtVarCode); `p` is left after it. -1 when the
// code is cut short.
int lt_var_index(const char*& p);

// ---------------------------------------------------------------------------------------------
// The run
// ---------------------------------------------------------------------------------------------

// One level of the run stack, one per LSP of the combination being built.
struct s_stacknode {
    std::unique_ptr<s_stacknode> previous;
    treenode* lsp = nullptr;
    const recnode* DictionaryPtr = nullptr;  // the next entry to try; null when used up
    std::vector<int> fixedvars;  // lt_delayed entries that this level's current match bound
    int term_ind = -1;           // for class "?": the terminal being scanned
};
extern std::unique_ptr<s_stacknode> StackPtr;
extern int InProgress;  // 1 while a run is under way or stopped to be resumed
extern int numwords;    // combinations written in this run
// A derived entry that a full text store refused; a resumed run writes it first.
extern std::string lt_pending;
// The lexicon the stack points into (lexicon_serial when the run began).
extern long lt_run_serial;

// A new level for `lsp` on top of the stack, positioned at the first entry to try: for class "?"
// the newest entry of terminal 0, otherwise of the LSP's own terminal. False (and nothing pushed)
// when the LSP's class names no terminal.
bool lt_push_level(treenode* lsp);
// Undoes the bindings that the top level's current match made.
void lt_unbind(s_stacknode& level);
// Undoes the top level's bindings and removes it.
void lt_pop_level();

// Stops any run: InProgress 0, numwords 0, the stack emptied; with `reset` 1 also no rule
// selected.
void lt_cleanup(int reset);

// Set-up of the LX kind: no rules, the attribute table of the rules empty.
void initialize_lt_rules();
// Removal of the LX kind: any run stopped, no rule selected, every rule released.
void purge_lt_rules();

// Tests and start-up.
void reset_lt_mem();
