#include "syn_builtIn.hpp"

#include <vector>

// clang-format off
const std::array<built_in_row, kBuiltIns> builtIn = {{
    {"FLATTEN", 10, flatten},
    {nullptr,    0, nullptr},
}};
// clang-format on

char gInMemory = 0;

void add_built_in() {
    if (gInMemory != 0) return;
    // Built-ins sit below every layer, so they go to the bottom of whatever is there already.
    std::unique_ptr<transformation>* bottom = &trans_stack;
    while (*bottom)
        bottom = &(*bottom)->next;
    for (const built_in_row& row : builtIn) {
        if (row.name == nullptr) break;
        auto t = std::make_unique<transformation>();
        t->name = row.name;
        t->priority = row.priority;
        t->functionPtr = row.function;
        *bottom = std::move(t);
        bottom = &(*bottom)->next;
    }
    gInMemory = 1;
}

void remove_built_in() {
    std::unique_ptr<transformation>* at = &trans_stack;
    while (*at) {
        if ((*at)->functionPtr != nullptr) {
            std::unique_ptr<transformation> gone = std::move(*at);
            *at = std::move(gone->next);
        } else {
            at = &(*at)->next;
        }
    }
    gInMemory = 0;
}

namespace {
void collect_leaves(const treenode* n, std::vector<const treenode*>& out) {
    for (const treenode* d = n->son; d != nullptr; d = d->sibling) {
        if (d->son == nullptr) {
            out.push_back(d);
        } else {
            collect_leaves(d, out);
        }
    }
}
}  // namespace

void flatten(treenode* nd) {
    if (nd == nullptr || nd->son == nullptr) return;
    std::vector<const treenode*> leaves;
    collect_leaves(nd, leaves);
    treenode* first = nullptr;
    treenode* last = nullptr;
    for (const treenode* leaf : leaves) {
        treenode* c = copy_node(leaf);
        if (last == nullptr) {
            first = c;
        } else {
            last->sibling = c;
        }
        last = c;
    }
    purge_tree2(nd->son);
    nd->son = first;
}
