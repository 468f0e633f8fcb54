// Generation trees: nodes, the lexical lookup records that leaves point to, and the operations
// that make, copy and release nodes and trees.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "attr_list.hpp"
#include "indir_list.hpp"
#include "recycle.hpp"

struct transformation;  // a stored transformation; it belongs to its syntax layer
struct treenode;

// A node's attached transformations: the node owns these records, not the transformations.
struct trans_list_rec : Recycled<trans_list_rec> {
    transformation* trans = nullptr;
    std::unique_ptr<trans_list_rec> next;
    ~trans_list_rec();
};
using trans_list = std::unique_ptr<trans_list_rec>;

struct morphvar {
    std::array<int, 11> attrcomb{};
    std::string variant;
    std::unique_ptr<morphvar> next;
    ~morphvar();
};

struct Enumerations {
    std::string m_word;
    int free = 0;
    std::array<attr_list, 30> attributes;
    std::unique_ptr<Enumerations> next;
    ~Enumerations();
};

// A request for a word, and its answer. The entry text belongs to the lexicon.
struct t_dict_lookup {
    std::string class_;  // the terminal the word must belong to
    const char* dictionary = nullptr;
    attr_list attributes;
    std::string preferredchoice;  // empty: any word
    int error = 0;
    std::string fields;  // empty: no lexical sequence pattern
    int pointed_at = 0;
    int vf = -1;
    treenode* lspseq = nullptr;  // owned: released with the record
    std::string derived;         // an inline transformation's entry, which dictionary then shows
    t_dict_lookup() = default;
    t_dict_lookup(const t_dict_lookup&) = delete;
    t_dict_lookup& operator=(const t_dict_lookup&) = delete;
    ~t_dict_lookup();
};

// Nodes come from a pool and are given back with purge_node/purge_tree/purge_tree2; the links
// between nodes are plain pointers, which transformations relink freely. A field added here is
// also reset by the pool (clear_node in trees.cpp).
struct treenode {
    std::string name;  // empty when the node has none
    t_dict_lookup* dictionary = nullptr;
    int index = 0;
    std::string morphed_word;
    std::string preferredchoice;
    std::string restrictions;
    int vf = -1;
    trans_list transformation;
    attr_list attributes;
    indir_list indirections;
    std::unique_ptr<morphvar> mvar;
    treenode* sibling = nullptr;
    treenode* son = nullptr;
    treenode* left = nullptr;
    treenode* right = nullptr;
};

inline constexpr int kRoots = 21;
extern treenode* root;
extern treenode* oldroot;
extern std::array<treenode*, kRoots> rootPtrs;
extern int nodecount;

treenode* makenode(const char* name);  // name may be null
treenode* makenode(std::string_view name);
treenode* copy_node(const treenode* node);
treenode* copytree(const treenode* node);
treenode* copytree2(const treenode* node);
trans_list CopyTrans(const trans_list_rec* list);
void purge_node(treenode* node);
void purge_tree(treenode* node);
void purge_tree2(treenode* node);
void purge_all_trees();

namespace nodepool {
long in_use();  // nodes made and not yet released
}

// Start-up and tests: releases every tree and empties the pool.
void reset_trees();
