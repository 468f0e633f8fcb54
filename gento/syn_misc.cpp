#include "syn_misc.hpp"

#include <vector>

#include "attr_fns.hpp"
#include "gento.hpp"
#include "indirect.hpp"
#include "input_base.hpp"
#include "lex_read.hpp"
#include "lex_scan.hpp"
#include "morphology.hpp"
#include "scrout.hpp"
#include "syn_cf.hpp"
#include "syn_globals.hpp"
#include "syn_read.hpp"
#include "syn_tran.hpp"

FixStr<kSentenceMax> sentbuf;
FixStr<kSentenceMax> sentbuf2;

namespace {

// The first leaf of a tree: down the son links.
treenode* first_leaf(treenode* node) {
    while (node != nullptr && node->son != nullptr)
        node = node->son;
    return node;
}

const char* rule_of(const char* name) {
    return getrule(name);
}

// Whether a compound shares a delay entry at or above `from`.
bool uses_delays_from(const s_comp_attr* c, int from) {
    for (; c != nullptr; c = c->another.get()) {
        if (c->index >= from) return true;
    }
    return false;
}

// A generation that takes an attribute from a globally preselected word adds the compound to
// that word's lookup entry, with delay entries of the generation's own. The next generation
// hands those entries out again, so the compounds go with the generation that made them.
void drop_generation_compounds() {
    for (int i = 0; i < global_barrier && i < kLookups; ++i) {
        attr_list* at = &dict_table[static_cast<std::size_t>(i)].attributes;
        while (*at) {
            if (uses_delays_from((*at)->first.get(), global_delayptr)) {
                attr_list gone = std::move(*at);
                *at = std::move(gone->next);
            } else {
                at = &(*at)->next;
            }
        }
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Lookup entries
// ---------------------------------------------------------------------------------------------

void purgelookups(int barrier) {
    if (barrier < 0) barrier = 0;
    for (int i = d_table_count - 1; i >= barrier; --i) {
        t_dict_lookup& d = dict_table[static_cast<std::size_t>(i)];
        d.class_.clear();
        d.preferredchoice.clear();
        d.fields.clear();
        purge_attr_list(d.attributes);
        purge_tree2(d.lspseq);
        d.lspseq = nullptr;
        d.vf = -1;
        d.pointed_at = 0;
    }
    if (barrier < d_table_count) d_table_count = barrier;
}

void clear_SE_PRE(int global_status) {
    purge_all_trees();
    for (auto& s : genSentences)
        s.reset();
    clearrecoveredlexicon();
    empty_preselect_list(global_status == 1 ? 1 : 0);
    if (global_status == 1) {
        purgelookups(0);
        delayptr = 0;
        global_barrier = 0;
        global_delayptr = 0;
    } else {
        purgelookups(global_barrier);
        drop_generation_compounds();
        delayptr = global_delayptr;
    }
}

void clear_GP() {
    clear_SE_PRE(1);
}

// ---------------------------------------------------------------------------------------------
// Leaves and words
// ---------------------------------------------------------------------------------------------

void thread(treenode* node) {
    if (node == nullptr) return;
    // Every tree of every generation is threaded: the stack's storage is kept between calls.
    static std::vector<treenode*> stack;
    stack.assign(1, node);
    treenode* previous = nullptr;
    treenode* first = nullptr;
    while (!stack.empty()) {
        treenode* n = stack.back();
        stack.pop_back();
        // Siblings of the tree's own root are not part of its tree.
        if (n != node && n->sibling != nullptr) stack.push_back(n->sibling);
        if (n->son != nullptr) {
            stack.push_back(n->son);
            continue;
        }
        n->left = previous;
        n->right = nullptr;
        if (previous != nullptr) previous->right = n;
        if (first == nullptr) first = n;
        previous = n;
    }
    // A tree that is one leaf is its own first leaf; a link to itself would never end.
    if (first != node) node->right = first;
}

void fill_word(treenode* leaf) {
    if (leaf == nullptr || leaf->dictionary == nullptr) return;
    t_dict_lookup& d = *leaf->dictionary;
    d.pointed_at = 1;
    if (d.vf == -1) d.vf = leaf->vf;
    if (d.class_.empty()) d.class_ = leaf->name;
    combine_attr_list(d.attributes, leaf->attributes.get());
    if (d.preferredchoice.empty() && !leaf->preferredchoice.empty()) {
        d.preferredchoice = leaf->preferredchoice;
    }
    if (const s_indirection* ind = indir_list_element(leaf->indirections.get(), 1)) {
        const std::string tag = ind->tag.empty() ? std::string("\"*\"") : ind->tag;
        leaf->restrictions = insert_restriction(leaf->restrictions, tag, ind->fieldnum);
    }
    if (!leaf->restrictions.empty()) {
        d.fields =
            d.fields.empty() ? leaf->restrictions : merge_restr(d.fields, leaf->restrictions);
    }
}

void fill_all_words(treenode* node, int p_index) {
    long guard = nodepool::in_use() + 1;
    for (treenode* leaf = first_leaf(node); leaf != nullptr && guard-- > 0; leaf = leaf->right) {
        if (leaf->dictionary != nullptr && leaf->index >= p_index) fill_word(leaf);
    }
}

// ---------------------------------------------------------------------------------------------
// Sentences
// ---------------------------------------------------------------------------------------------

void postmorph() {
    std::string out;
    bool join = false;
    bool capital = false;
    for (char ch : sentbuf.view()) {
        const auto c = static_cast<unsigned char>(ch);
        if (ch == '^') {
            join = true;
            while (!out.empty() && out.back() == ' ')
                out.pop_back();
        } else if (ch == '`') {
            capital = true;
        } else if (ch == ' ') {
            if (!join && !capital) out += ch;
        } else {
            // Latin-1 247 is the division sign, not a letter: it has no capital.
            const bool small = (c >= 'a' && c <= 'z') || (c >= 224 && c <= 254 && c != 247);
            out += capital && small ? static_cast<char>(c - 32) : ch;
            join = false;
            capital = false;
        }
    }
    sentbuf2.assign_cut(out);
}

void leaf_words(treenode* rt) {
    sentbuf.clear();
    long guard = nodepool::in_use() + 1;
    for (treenode* leaf = first_leaf(rt); leaf != nullptr && guard-- > 0; leaf = leaf->right) {
        if (leaf->morphed_word.empty()) continue;
        if (!sentbuf.empty()) sentbuf.push_back(' ');
        if (!sentbuf.append(leaf->morphed_word)) break;  // cut at the buffer's end
    }
}

void finish(treenode* rt, int rootnumber, std::string_view tag) {
    progress("Processing Indirections");
    process_indirections(rt);
    if (rootnumber >= 0 && rootnumber < kPassRows) {
        const auto& row = morph_passes[static_cast<std::size_t>(rootnumber)];
        for (int col = 1; col < kPassSlots && row[static_cast<std::size_t>(col)] != 0; ++col)
            morph_tree(rt, row[static_cast<std::size_t>(col)]);
    }
    leaf_words(rt);
    progress("Post Morphology");
    postmorph();
    q_msg(std::string(tag) + " : " + std::string(sentbuf2.view()));
}

// ---------------------------------------------------------------------------------------------
// One generation
// ---------------------------------------------------------------------------------------------

void interpret() {
    // The interrupt key may have been pressed while oru was idle: that request is not for us.
    abortreq = 0;
    cf_limit_reported = 0;
    preselect_barrier = global_barrier;
    clear_SE_PRE(0);
    if (const char* pre = rule_of("PRESELECT")) {
        construct_preselect(pre, 0);
        make_all_choices();
        preselect_barrier = d_table_count;
    }
    progress("Expanding Root");
    q_msg("Generation results:");
    nodecount = 0;
    treestate = 0;
    root = makenode("ROOT");
    expand_tree(root);
    abortreq = 0;

    bool any = false;
    for (int i = 1; i < kRoots; ++i) {
        const root_list& row = tree_roots[static_cast<std::size_t>(i)];
        if (rule_of(row.name) == nullptr) continue;
        any = true;
        progress(row.message);
        nodecount = 0;
        treestate = 1;
        treenode*& t = rootPtrs[static_cast<std::size_t>(i)];
        t = makenode(row.name);
        expand_tree(t);
        abortreq = 0;
        transform(t);
        thread(t);
    }

    if (!any) {
        oldroot = copytree(root);
        thread(oldroot);
        progress("Transforming Root");
        treestate = 0;
        transform(root);
        thread(root);
        make_all_choices();
        fill_all_words(root, preselect_barrier);
        getwords(preselect_barrier);
        finish(root, 0, "Transformed Sentence");
        genSentences[0] = std::make_unique<std::string>(sentbuf2.view());
    } else {
        make_all_choices();
        for (int i = 1; i < kRoots; ++i) {
            if (treenode* t = rootPtrs[static_cast<std::size_t>(i)])
                fill_all_words(t, preselect_barrier);
        }
        getwords(preselect_barrier);
        for (int i = 1; i < kRoots; ++i) {
            treenode* t = rootPtrs[static_cast<std::size_t>(i)];
            if (t == nullptr) continue;
            finish(t, i, tree_roots[static_cast<std::size_t>(i)].message);
            genSentences[static_cast<std::size_t>(i)] =
                std::make_unique<std::string>(sentbuf2.view());
        }
    }
    q_msg("  ******");
    clearhelp();
}

void global_preselect() {
    // Whatever an earlier generation left would otherwise count as part of the global set.
    clear_GP();
    cf_limit_reported = 0;
    global_barrier = 0;
    global_delayptr = 0;
    if (const char* pre = rule_of("PRESELECT")) {
        construct_preselect(pre, 1);
        make_all_choices();
        globalpre_list = preselect_list.get();
        global_barrier = d_table_count;
        global_delayptr = delayptr;
    }
    q_msg("Global preselection complete");
}

void sentence_to_core(int n, int p) {
    if (n >= 0 && n < kRoots && genSentences[static_cast<std::size_t>(n)]) {
        q_line(p, kObjText, *genSentences[static_cast<std::size_t>(n)]);
        return;
    }
    diserr("sentence " + std::to_string(n) + " does not exist");
}

int gento_comp() {
    for (int i = 1; i < kRoots; ++i) {
        const std::string* s = genSentences[static_cast<std::size_t>(i)].get();
        if (s != nullptr && match_wild(s->c_str(), response.c_str(), '\0', '\0') != 0) return i;
    }
    return 0;
}

void reset_syn_misc() {
    sentbuf.clear();
    sentbuf2.clear();
}
