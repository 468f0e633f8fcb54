// Applying the transformations attached to the nodes of a generated tree, and listing the stored
// ones.
#pragma once

#include "syn_globals.hpp"

// Applies every transformation attached to N, lowest priority first, then transforms each
// daughter in turn.
void transform(treenode* N);
// The attached transformation with the smallest priority (the first attached among equals), or
// null when none is attached.
transformation* find_low_priority(const treenode* N);
// Removes the first attached record whose name is the name of trans.
void removeTrans(treenode* N, const transformation* trans);
// Every record of the transformation stack, from the top, into the message core file.
void print_transf();
