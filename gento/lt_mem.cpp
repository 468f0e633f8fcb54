#include "lt_mem.hpp"

#include "attr_list.hpp"
#include "gento/terminal.hpp"

std::array<std::unique_ptr<LTRULE>, kLtRules> ltruleheader;
int lt_rule_num = -1;
std::unique_ptr<s_stacknode> StackPtr;
int InProgress = 0;
int numwords = 0;
std::string lt_pending;
long lt_run_serial = 0;

s_lt_var_list::~s_lt_var_list() {
    auto p = std::move(next);
    while (p)
        p = std::move(p->next);
}

LTRULE::~LTRULE() {
    for (treenode* n = lsp1; n != nullptr;) {
        treenode* right = n->right;
        purge_node(n);
        n = right;
    }
}

treenode* lt_new_lsp(LTRULE& rule) {
    rule.lookups.push_back(std::make_unique<t_dict_lookup>());
    treenode* n = makenode(nullptr);
    n->dictionary = rule.lookups.back().get();
    if (rule.lsp1 == nullptr) {
        rule.lsp1 = n;
        return n;
    }
    treenode* last = rule.lsp1;
    while (last->right != nullptr)
        last = last->right;
    last->right = n;
    n->left = last;
    return n;
}

std::string lt_var_code(int index) {
    std::string s(1, kLtVarCode);
    s += static_cast<char>(index / kLtVarBase + 1);
    s += static_cast<char>(index % kLtVarBase + 1);
    return s;
}

int lt_var_index(const char*& p) {
    if (p[0] == '\0') return -1;
    if (p[1] == '\0') {
        ++p;
        return -1;
    }
    const int hi = static_cast<unsigned char>(p[0]) - 1;
    const int lo = static_cast<unsigned char>(p[1]) - 1;
    p += 2;
    return hi * kLtVarBase + lo;
}

// ---------------------------------------------------------------------------------------------
// The run stack
// ---------------------------------------------------------------------------------------------

bool lt_push_level(treenode* lsp) {
    if (lsp == nullptr || lsp->dictionary == nullptr) return false;
    const std::string& cls = lsp->dictionary->class_;
    auto level = std::make_unique<s_stacknode>();
    level->lsp = lsp;
    if (cls == "?") {
        level->term_ind = 0;
        level->DictionaryPtr = dictterm > 0 ? dictionary[0] : nullptr;
    } else {
        const int t = lookup_terminal(cls);
        if (t < 0) return false;
        level->DictionaryPtr = t < dictterm ? dictionary[static_cast<std::size_t>(t)] : nullptr;
    }
    lsp->dictionary->dictionary = nullptr;
    level->previous = std::move(StackPtr);
    StackPtr = std::move(level);
    return true;
}

void lt_unbind(s_stacknode& level) {
    for (int i : level.fixedvars) {
        t_delay& d = lt_delay_at(i);
        d.choice = -1;
        d.fixed = 0;
    }
    level.fixedvars.clear();
}

void lt_pop_level() {
    if (!StackPtr) return;
    lt_unbind(*StackPtr);
    if (StackPtr->lsp != nullptr && StackPtr->lsp->dictionary != nullptr)
        StackPtr->lsp->dictionary->dictionary = nullptr;
    StackPtr = std::move(StackPtr->previous);
}

void lt_cleanup(int reset) {
    InProgress = 0;
    numwords = 0;
    lt_pending.clear();
    while (StackPtr)
        lt_pop_level();
    if (reset == 1) lt_rule_num = -1;
}

void initialize_lt_rules() {
    lt_cleanup(1);
    for (auto& r : ltruleheader)
        r.reset();
    lt_delayptr = 0;
}

void purge_lt_rules() {
    lt_cleanup(1);
    for (auto& r : ltruleheader)
        r.reset();
    lt_delayptr = 0;
}

void reset_lt_mem() {
    purge_lt_rules();
}
