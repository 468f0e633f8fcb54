#include "indir_list.hpp"

s_indir_list::~s_indir_list() {
    auto p = std::move(next);
    while (p)
        p = std::move(p->next);
}

t_indirection create_indir_node() {
    return std::make_unique<s_indirection>();
}

void add_to_indir_list(indir_list& list, t_indirection indirection) {
    indir_list* at = &list;
    while (*at)
        at = &(*at)->next;
    *at = std::make_unique<s_indir_list>();
    (*at)->indir_node = std::move(indirection);
}

int indirect_count(const s_indir_list* list) {
    int n = 0;
    for (; list != nullptr; list = list->next.get())
        ++n;
    return n;
}

s_indirection* indir_list_element(const s_indir_list* list, int n) {
    for (int i = 1; list != nullptr; list = list->next.get(), ++i) {
        if (i == n) return list->indir_node.get();
    }
    return nullptr;
}

void purge_indirection_node(t_indirection& indirection) {
    indirection.reset();
}

void indir_purge_list(indir_list& list) {
    list.reset();
}

t_indirection duplicate_indirection_node(const s_indirection* indirection) {
    if (indirection == nullptr) return nullptr;
    return std::make_unique<s_indirection>(*indirection);
}

indir_list duplicate_indir_list(const s_indir_list* list) {
    indir_list copy;
    indir_list* at = &copy;
    for (; list != nullptr; list = list->next.get()) {
        *at = std::make_unique<s_indir_list>();
        (*at)->indir_node = duplicate_indirection_node(list->indir_node.get());
        at = &(*at)->next;
    }
    return copy;
}
