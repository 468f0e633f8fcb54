#include "trees.hpp"

#include <vector>

treenode* root = nullptr;
treenode* oldroot = nullptr;
std::array<treenode*, kRoots> rootPtrs{};
int nodecount = 0;

trans_list_rec::~trans_list_rec() {
    auto p = std::move(next);
    while (p)
        p = std::move(p->next);
}

morphvar::~morphvar() {
    auto p = std::move(next);
    while (p)
        p = std::move(p->next);
}

Enumerations::~Enumerations() {
    auto p = std::move(next);
    while (p)
        p = std::move(p->next);
}

t_dict_lookup::~t_dict_lookup() {
    purge_tree2(lspseq);
}

namespace {

// Releases what the node owns and gives every field a new node's value, field by field: every
// node of every generation passes through here, and its texts keep their storage for the next.
void clear_node(treenode& n) {
    n.name.clear();
    n.dictionary = nullptr;
    n.index = 0;
    n.morphed_word.clear();
    n.preferredchoice.clear();
    n.restrictions.clear();
    n.vf = -1;
    n.transformation.reset();
    n.attributes.reset();
    n.indirections.reset();
    n.mvar.reset();
    n.sibling = nullptr;
    n.son = nullptr;
    n.left = nullptr;
    n.right = nullptr;
}

class NodePool {
  public:
    treenode* get() {
        if (free_.empty()) grow();
        treenode* n = free_.back();
        free_.pop_back();
        ++in_use_;
        return n;
    }
    void put(treenode* n) {
        clear_node(*n);
        free_.push_back(n);
        --in_use_;
    }
    long in_use() const { return in_use_; }
    void reset() {
        free_.clear();
        chunks_.clear();
        in_use_ = 0;
    }

  private:
    static constexpr std::size_t kChunk = 256;
    void grow() {
        chunks_.push_back(std::make_unique<treenode[]>(kChunk));
        treenode* base = chunks_.back().get();
        for (std::size_t i = kChunk; i > 0; --i)
            free_.push_back(base + i - 1);
    }
    std::vector<std::unique_ptr<treenode[]>> chunks_;
    std::vector<treenode*> free_;
    long in_use_ = 0;
};

// The pool is never destroyed. Rule tables of other modules (lexical transformations, guards,
// lookup patterns) hold nodes and give them back from their destructors at exit, and the order in
// which globals of different source files are destroyed is not defined: a destroyed pool would
// leave them writing into freed memory. The system takes the pool's memory back at exit.
NodePool& pool() {
    static NodePool* const the_pool = new NodePool;
    return *the_pool;
}

}  // namespace

long nodepool::in_use() {
    return pool().in_use();
}

treenode* makenode(const char* name) {
    return makenode(name != nullptr ? std::string_view(name) : std::string_view());
}

treenode* makenode(std::string_view name) {
    treenode* n = pool().get();
    n->name = name;
    ++nodecount;
    return n;
}

trans_list CopyTrans(const trans_list_rec* list) {
    trans_list copy;
    trans_list* at = &copy;
    for (; list != nullptr; list = list->next.get()) {
        *at = std::make_unique<trans_list_rec>();
        (*at)->trans = list->trans;
        at = &(*at)->next;
    }
    return copy;
}

treenode* copy_node(const treenode* node) {
    if (node == nullptr) return nullptr;
    treenode* n = pool().get();
    n->name = node->name;
    n->morphed_word = node->morphed_word;
    n->preferredchoice = node->preferredchoice;
    n->restrictions = node->restrictions;
    n->dictionary = node->dictionary;
    n->index = node->index;
    n->vf = node->vf;
    n->transformation = CopyTrans(node->transformation.get());
    n->attributes = duplicate_attr_list(node->attributes.get());
    n->indirections = duplicate_indir_list(node->indirections.get());
    return n;
}

treenode* copytree(const treenode* node) {
    if (node == nullptr) return nullptr;
    treenode* top = copy_node(node);
    top->son = copytree2(node->son);
    return top;
}

treenode* copytree2(const treenode* node) {
    treenode* first = nullptr;
    treenode** at = &first;
    for (; node != nullptr; node = node->sibling) {
        *at = copytree(node);
        at = &(*at)->sibling;
    }
    return first;
}

void purge_node(treenode* node) {
    if (node != nullptr) pool().put(node);
}

void purge_tree(treenode* node) {
    if (node == nullptr) return;
    purge_tree2(node->son);
    purge_node(node);
}

void purge_tree2(treenode* node) {
    while (node != nullptr) {
        treenode* next = node->sibling;
        purge_tree(node);
        node = next;
    }
}

void purge_all_trees() {
    purge_tree2(root);
    root = nullptr;
    purge_tree2(oldroot);
    oldroot = nullptr;
    for (treenode*& t : rootPtrs) {
        purge_tree2(t);
        t = nullptr;
    }
}

void reset_trees() {
    purge_all_trees();
    pool().reset();
    nodecount = 0;
}
