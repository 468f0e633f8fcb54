// Context-free expansion: growing a generation tree from the coded rule texts, and preselection,
// the words chosen before the syntax runs that rules then refer to by tag.
#pragma once

#include <string>
#include <string_view>

#include "attr_fns.hpp"
#include "globals.hpp"
#include "syn_globals.hpp"
#include "trees.hpp"

// Nodes made in one tree beyond which expansion stops and nodes stay leaves.
inline constexpr int kNodeLimit = 1024;

// While the abort request (abortreq, globals) is set, every node that reaches the node-limit test
// stays a leaf. The driver clears it before and after each tree.
// 1 once the node limit has been reported; the generation driver clears it, so that a runaway
// rule is reported once per generation, not for every node that meets the limit.
extern int cf_limit_reported;

// Read position in the PRESELECT coded text while its clauses are built.
extern const char* preselect_pos;

// Expands `node` (unless it is ROOT while the root table's trees are built), then its daughters,
// depth first, left to right.
void expand_tree(treenode* node);
// Applies the rule that bears the node's name once: guards, choices, variables, daughters.
void expand_node(treenode* curnode);
// From just after the bar that ends alternative k of a choice (or from its opening `(` count),
// the position after `skip` further bars of the same level; the end of the text if none.
const char* skip_alternatives(const char* r, int skip);
// Makes the node a leaf with its own terminal lookup entry (when it has none and one is free).
void terminal_node(treenode* curnode);
// Interprets the attachments at `r` for node N; returns the first byte that is no attachment.
// rule_kind: 2 a context-free daughter, 7 a preselection terminal, 4 a transformation's node.
const char* add_attachments(treenode* N, const char* r, int rule_kind);
const char* add_transf(treenode* N, const char* r);       // r at the name after code 8
const char* add_indirect(treenode* N, const char* r);     // r at the field byte after `@`
const char* add_restriction(treenode* N, const char* r);  // r at the field byte after `/`

// Restriction texts: one field per lexicon field, each ended by `|`; `?` means no restriction.
std::string insert_restriction(std::string_view old, std::string_view restr, int pos);
std::string merge_restr(std::string_view old, std::string_view new_);

// Builds the clauses of the PRESELECT coded text: global ones when global_status is 1.
void construct_preselect(const char* rule_string, int global_status);
// The terminal of the clause at preselect_pos, with its attachments; advances preselect_pos.
treenode* build_pre_node();
void empty_preselect_list(int from_glob);
void print_preselect_list();

// Looks the tag at `r` (after an optional code 14) up among the preselection clauses: sets
// pre_status (pre_error has its texts), pre_match and bad_pst. Returns the position after the tag.
const char* find_pst(const char* r, int decon_allowed);
// A preselection reference after an optional code 17: a bare tag (attr_form 2), an attribute of
// a preselected word (1) or a plain attribute (3). Returns the position after it.
const char* analyze_pre(const char* r);
// For attr_form 1 after analyze_pre: the attribute as the preselected word has it, or null.
comp_attr attr_from_pre();

// Tests and start-up.
void reset_syn_cf();
