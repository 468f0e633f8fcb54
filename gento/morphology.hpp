// Morphology: named rules of guarded subrules, tables of morph expressions indexed by attribute
// values, and the evaluator that turns a chosen word into its inflected form.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "trees.hpp"

// One guarded subrule; the subrules of a rule are chained in file order.
struct subrule {
    std::string rulename;
    std::string guard;  // ends with ':'
    std::string mexp;   // ends with '|'
    std::unique_ptr<subrule> nextsub;
    subrule() = default;
    subrule(const subrule&) = delete;
    subrule& operator=(const subrule&) = delete;
    ~subrule();
};
using MSUBRULE = subrule;

inline constexpr int kMaxRules = 500;
extern std::array<std::unique_ptr<subrule>, kMaxRules> ruleheader;
extern int numrules;  // highest rule number in use; -1 when none

struct table {
    std::string tablename;
    std::string elements;  // every element ends with '|'
    int count = 0;
    std::unique_ptr<table> next;
    table() = default;
    table(const table&) = delete;
    table& operator=(const table&) = delete;
    ~table();
};
using TABLE = table;
extern std::unique_ptr<table> tablelist;  // in file order

inline constexpr int kMoutMax = 119;  // characters of moutput in use at most
extern std::array<char, kMoutMax + 1> moutput;
extern int moutptr;

// The node the evaluator and the guard evaluator work on; syntax expansion sets it as well.
extern treenode* current_node;
// Where the last guard evaluated by m_guard stopped: its closing ':' (or its end).
extern const char* end_guard;

void new_readmorph(const char* filename);
void init_mrules();
void clear_mrules();
void new_readtables(const char* filename);
void clear_tables();

int m_ruleindex(const char* name);  // -1 when there is no rule of that name

// Evaluates a morph expression for current_node; the result is in moutput.
void m_exp(const char* text);
// 1 when the guard at `text` holds for current_node.
int m_guard(const char* text);
// The index of one table argument (attribute text) for current_node, and the number of values it
// ranges over in `radix`; -1 when the argument selects nothing.
int match_index(const char* arg, int& radix);

void morph_word(treenode* node, int field);
void morph_tree(treenode* node, int field);
// The node n steps along the leaf sequence (right links for n > 0, left links for n < 0).
treenode* traverseleaves(treenode* node, int n);

void print_mrules();
void print_tables();

// The command MPASSES: slots 1 to 4 of a row of morph_passes.
void set_morph_passes(int tree, int p1, int p2, int p3, int p4);

// Start-up and tests: no rules, no tables, an idle evaluator.
void reset_morphology();
