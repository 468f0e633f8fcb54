// Indirection lists: the indirections a syntax rule attached to a node, resolved after the words
// have been chosen.
#pragma once

#include <memory>
#include <string>

struct s_indirection {
    int fieldnum = 0;        // the lexicon field it refers to
    std::string tag;         // empty: the first group without a tag
    std::string attributes;  // coded attribute text, empty when none
};
using t_indirection = std::unique_ptr<s_indirection>;

struct s_indir_list {
    t_indirection indir_node;
    std::unique_ptr<s_indir_list> next;
    ~s_indir_list();
};
using indir_list = std::unique_ptr<s_indir_list>;

t_indirection create_indir_node();
void add_to_indir_list(indir_list& list, t_indirection indirection);  // appends, taking it over
int indirect_count(const s_indir_list* list);
s_indirection* indir_list_element(const s_indir_list* list, int n);  // from 1; null past the end
void purge_indirection_node(t_indirection& indirection);
void indir_purge_list(indir_list& list);
t_indirection duplicate_indirection_node(const s_indirection* indirection);
indir_list duplicate_indir_list(const s_indir_list* list);
