// Generated trees written out as text and read back: leaf lists, full trees whose node lines
// carry their path from the top, and indented trees, sent to the current core file or to the
// driver program; RECOVER, which rebuilds trees, lookups and sentences from a stored file; and
// the sentence that QTALK sends to the driver.
//
// A stored file: "$u"; per tree "$t n" (full or indented trees) or "$l n" (leaf lists) and its
// node lines; "$L" and one line per lookup entry, "{LEX_i} " and the entry; "%"; and "=" after
// full trees sent to the driver. Tree numbers: 0 ROOT, 1 to 20 the root table, 999999 the ROOT
// tree before its transformations. A full-tree node line: path|G|name|attributes|indirection
// count|"word"|LEX_i| where the path has one S per step to a first daughter and one R per step
// to a next sister ("N" for the top).
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "globals.hpp"
#include "trees.hpp"

inline constexpr int kMaxPath = 99;  // steps of a path that STORE writes
// Paths that RECOVER can read back: the rule-file reader keeps 39 characters of a word, so a
// path of 39 letters may have been cut.
inline constexpr int kRecoverablePath = 38;
inline constexpr int kOldRootNumber = 999999;
inline constexpr int kRecoverRows = 23;  // 0 ROOT, 1 to 20 root table, 22 the untransformed ROOT
inline constexpr int kOldRootRow = 22;
inline constexpr int kRecoverLines = 1024;  // lines of one section, and lexicon lines

extern int xmit;  // 1: lines go to the driver program
extern FixStr<kMaxPath> signature;
extern int siglen;
extern std::array<std::vector<std::string>, kRecoverRows> recoveredstrings;
extern int nodetorecover;
extern int nodecounter;

// style: 0 leaf lists, 1 full trees, 2 indented trees. destination: 0 the current core file, 1
// the driver program when one runs the editor (otherwise the current core file).
void store(int style, int destination);
// One line to the driver program (with a line end, flushed) when xmit is 1 and a driver runs,
// otherwise to the end of the current core file.
void transmit(std::string_view line);
void storesingle(const treenode* node, int number, int style);
void storetree(const treenode* node, int style);
void storeleafnodes(const treenode* node);
void storenode(const treenode* node, int style);
// What begins a node line: the path and its marker (style 1) or the indentation (style 2).
std::string storepath(int style);
void storelexicon();
// A lexicon entry made readable: its coded attributes by name, compounds joined by ", ".
std::string outputrecord(const char* record);

// RECOVER: rebuilds trees, lookups and sentences from a stored file.
void restorenode(const char* filename);
// Reads the node lines of one section: nodetype 1 full tree, 2 leaf list. False when the
// section is refused.
bool xrestorenode(int nodetype);

// QTALK: "START", generated sentence n and "END" to the driver program.
void talk(int rootnumber);
// 1 when no tree was generated or recovered.
int there_has_been_no_generation();

// Tests and start-up.
void reset_print_procs();
