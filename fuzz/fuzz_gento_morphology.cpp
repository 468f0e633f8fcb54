// The morphology file reader, then the evaluator and the guard evaluator, on arbitrary bytes.
// The input up to the first byte 0 is the morphology file; each further piece (cut at bytes 0)
// is evaluated as a morph expression and as a guard on each leaf of a three-leaf sequence whose
// entries and attributes are fixed.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_gento_common.hpp"
#include "morphology.hpp"
#include "syn_globals.hpp"

namespace {

const char kAttrs[] = "NUMBER ( sg , pl ) PERSON ( first < second < third ) %";
// Stored entries: word, terminal, coded attributes, weight, then fields 5 to 7.
const std::string kEntries[] = {
    std::string("\"dog\"|N|\x19\x01\xff |0010|#1|!\"s\"|$PLURAL|"),
    std::string("\"go\"|V|\x19\x02\x03 |0001|\"went\"|irr,strong|#5#6|"),
    std::string("\"a\"|D||0001||||"),
};

void check_output() {
    if (moutptr < 0 || moutptr > kMoutMax || moutput[static_cast<std::size_t>(moutptr)] != '\0')
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzgento::init_once();
    fuzzgento::reset_each();
    reset_morphology();
    reset_syn_globals();
    const std::size_t filelen = fuzzgento::load_attrs_and_head(kAttrs, data, size, "rules");
    new_readmorph("rules");
    if (numrules < -1 || numrules >= kMaxRules) std::abort();
    for (int r = 0; r <= numrules; ++r) {
        for (const subrule* s = ruleheader[static_cast<std::size_t>(r)].get(); s != nullptr;
             s = s->nextsub.get()) {
            if (s->guard.empty() || s->guard.back() != ':') std::abort();
            if (s->mexp.empty() || s->mexp.back() != '|') std::abort();
            if (m_ruleindex(s->rulename.c_str()) != r) std::abort();
        }
    }
    print_mrules();

    treenode* root = makenode("ROOT");
    std::vector<treenode*> leaf;
    for (int i = 0; i < 3; ++i) {
        treenode* n = makenode("N");
        t_dict_lookup& d = dict_table[static_cast<std::size_t>(i)];
        d.dictionary = kEntries[i].c_str();
        n->dictionary = &d;
        n->morphed_word = i == 0 ? "dog" : "went";
        comp_attr c;
        add_comp_attr(c, new_delay(1 + i % 2, i == 2 ? -1 : 1 + i % 2, i == 2 ? 0 : 1));
        add_attr_to_list(n->attributes, std::move(c));
        n->left = leaf.empty() ? nullptr : leaf.back();
        if (!leaf.empty()) leaf.back()->right = n;
        leaf.push_back(n);
    }
    root->right = leaf.front();

    std::size_t start = filelen + 1;
    while (start <= size) {
        const auto* next =
            static_cast<const std::uint8_t*>(std::memchr(data + start, 0, size - start));
        const std::size_t end = next != nullptr ? static_cast<std::size_t>(next - data) : size;
        const std::string piece(reinterpret_cast<const char*>(data) + start, end - start);
        for (treenode* n : leaf) {
            current_node = n;
            m_exp(piece.c_str());
            check_output();
            if (current_node != n) std::abort();
            const int held = m_guard(piece.c_str());
            if (held != 0 && held != 1) std::abort();
            if (end_guard < piece.c_str() || end_guard > piece.c_str() + piece.size()) std::abort();
            if (delayptr > 4000) break;
        }
        start = end + 1;
    }
    for (int f = 5; f <= 7; ++f)
        morph_tree(root, f);
    current_node = nullptr;
    purge_tree2(root);
    for (treenode* n : leaf)
        purge_node(n);
    return 0;
}
