// Transformations: reworking the daughters of a generated node by matching them against the
// guards of the transformations attached to it, and listing the stored transformations.
//
// Coded guard: elements in order, each a blank and a daughter name with an optional attribute
// list in brackets, or `*` for any run of daughters (also none). Elements count from 1.
// Coded right-hand side: blank-introduced names with their attachments; a decimal number k
// copies the daughters that guard element k covered, ROOT copies the ROOT tree, any other name
// makes a new word of that class.
#pragma once

#include <array>

#include "syn_globals.hpp"

// After a successful match, entry k (from 1) holds the daughter at which guard element k's match
// began; element k covers the daughters from entry k up to, not including, entry k + 1. Entry 0
// is never filled, and the entry after the last element holds none (the end of the match).
inline constexpr int kGuardEntries = 40;
extern std::array<treenode*, kGuardEntries> guard_array;
void clear_guard_array();

// Applies every transformation attached to N, lowest priority first (the first attached among
// equal ones), then transforms each daughter in turn.
void transform(treenode* N);
// Tries the alternatives of T on N in file order and applies the first whose guard matches.
void do_transform(treenode* N, const transformation* T);
// 1 when the daughter sequence from `sibptr` matches the whole coded guard; fills guard_array.
int match_guard(treenode* sibptr, const char* guardptr);
// 1 when every item of the attribute list at `guard` (at its `[` or just after it) is matched by
// a compound of N's attributes; `guard` is left after the list's `]`.
int match_guard_attr(const treenode* N, const char*& guard);
// Rebuilds the daughters of N from the coded right-hand side `rule` and the last match.
void apply_rule(treenode* N, const char* rule);
// The attribute list of a right-hand side element at `r` (just after its `[`): copies from guard
// elements (`!k`), removals (`-`) and new attributes. Returns the position after the `]`.
const char* construct_attr_tran(treenode* N, const char* r);
// In every compound of N (unless `top` is 1) and of all its descendants, delay index old_index
// becomes new_index.
void change_attr(treenode* N, int old_index, int new_index, int top);
// The attached transformation with the smallest priority (the first attached among equals), or
// null when none is attached.
transformation* find_low_priority(const treenode* N);
// Removes the first attached record whose name is the name of trans.
void removeTrans(treenode* N, const transformation* trans);
// Every record of the transformation stack, from the top, into the message core file.
void print_transf();

// One top-level transform may make this many nodes beyond those it started with, and reach this
// depth; past either, the remaining transformations are dropped with "transformation
// terminated", so a transformation that keeps re-attaching itself always ends.
inline constexpr long kTransformNodes = 32768;
inline constexpr int kTransformDepth = 1024;

// Tests and start-up: an empty guard table.
void reset_syn_tran();
