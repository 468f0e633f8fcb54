// Attributes in use: parsing attribute text of rules and entries, building compounds in the delay
// table, comparing and finding them, settling undecided values, and printing them.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "attr_list.hpp"
#include "trees.hpp"

// Rule variables bound to compounds while one rule is applied; entries 1 to 25 are used.
inline constexpr int kRuleVariables = 26;
extern std::array<comp_attr, kRuleVariables> variable_table;

// The compound made by the last text_to_comp_struct; the caller takes it over.
extern comp_attr comp_attr_register;

// A clause of the preselection rule.
struct pre_rule {
    comp_attr PST;
    int node = 0;             // 1 when the clause has a right-hand side
    treenode* RHS = nullptr;  // owned: released with the record
    std::unique_ptr<pre_rule> next;
    pre_rule() = default;
    pre_rule(const pre_rule&) = delete;
    pre_rule& operator=(const pre_rule&) = delete;
    ~pre_rule();
};

// Attribute text: items separated by '.', or by '/' for a decon item when decon_allowed is 1.
// Both return the position after the attribute text.
const char* text_to_comp_array(const char* r, int decon_allowed);
const char* text_to_comp_struct(const char* r, int decon_allowed);
// Both of the above from one reading of the text (an unknown name is reported once).
const char* text_to_comp_both(const char* r, int decon_allowed);

comp_attr make_comp_attr();
comp_attr make_full_comp_attr();
comp_attr dup_decon_comp_attr(const s_comp_attr* compound);
void decompose_comp_attr(const s_comp_attr* compound);
void lt_decompose_comp_attr(const s_comp_attr* compound);

int compare_comp_attr(const s_comp_attr* a, const s_comp_attr* b);
const s_comp_attr* find_attr_in_list(const s_attr_list* list, const s_comp_attr* compound);
pre_rule* look_for_attr(const s_comp_attr* compound, pre_rule* rules);
const s_comp_attr* find_attr(const s_attr_list* list);
const s_comp_attr* find_type_in_attr(int delindex, const s_attr_list* header);

void make_choice(int i);
void make_all_choices();

std::string print_comp_attr(const s_comp_attr* compound);
std::string print_attr_list(const s_attr_list* list);

// Tests and start-up: empties the rule variables and the register.
void reset_attr_fns();
