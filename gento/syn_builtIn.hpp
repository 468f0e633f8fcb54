// The transformations built into the system, which every syntax can name without defining them.
#pragma once

#include <array>

#include "syn_globals.hpp"

struct built_in_row {
    const char* name;  // null ends the table
    int priority;
    TransFunction function;
};
inline constexpr int kBuiltIns = 2;
extern const std::array<built_in_row, kBuiltIns> builtIn;
extern char gInMemory;  // 1 while the built-ins are on the transformation stack

// Puts the built-ins at the bottom of the transformation stack, once.
void add_built_in();
// Takes them off the stack again.
void remove_built_in();

// FLATTEN: the node's daughters become copies of the leaves of its subtree, left to right.
void flatten(treenode* nd);
