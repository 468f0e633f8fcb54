#include "ilt.hpp"

#include <algorithm>
#include <string>
#include <string_view>

#include "attr_fns.hpp"
#include "attr_list.hpp"
#include "input_base.hpp"
#include "lex_read.hpp"
#include "lt_misc.hpp"
#include "syn_cf.hpp"
#include "syn_globals.hpp"
#include "syn_misc.hpp"

namespace {

constexpr char kLspCode = kTokPriority;  // _lsp_ as the lexicon stores it
constexpr char kRhsCode = kTokMakes;     // _rhs_

bool pattern_end(char c) {
    return c == '\0' || c == kLspCode || c == kRhsCode;
}

// The text at p up to '|' or the end of the pattern; p is left after the '|'.
std::string_view take_field(const char*& p) {
    const char* start = p;
    while (!pattern_end(*p) && *p != '|')
        ++p;
    const std::string_view f(start, static_cast<std::size_t>(p - start));
    if (*p == '|') ++p;
    return f;
}

std::string_view unquoted(std::string_view w) {
    if (w.size() >= 2 && w.front() == '"' && w.back() == '"') return w.substr(1, w.size() - 2);
    return w;
}

// Compounds separated by ',', each parsed as attribute text of the lexicon's attributes.
void add_attributes(treenode* node, std::string_view field) {
    while (!field.empty()) {
        const std::size_t comma = std::min(field.find(','), field.size());
        const std::string compound(field.substr(0, comma));
        field.remove_prefix(std::min(comma + 1, field.size()));
        if (compound.empty() || compound == "?") continue;
        text_to_comp_array(compound.c_str(), 0);
        if (attr_index > 0) add_attr_to_list(node->attributes, make_comp_attr());
    }
}

// One pattern, from just after its _lsp_; p is left at the next _lsp_, _rhs_ or the end.
treenode* make_lsp(const char*& p) {
    const std::string_view word = take_field(p);
    std::string name;
    std::string_view attrs;
    std::string further;
    if (!pattern_end(*p)) {
        name = take_field(p);
        if (!pattern_end(*p)) attrs = take_field(p);
        while (!pattern_end(*p))
            further += *p++;
        if (!further.empty() && further.back() != '|') further += '|';
    }
    treenode* node = makenode(name.c_str());
    const std::string_view w = unquoted(word);
    if (!w.empty() && word != "?") node->preferredchoice = w;
    add_attributes(node, attrs);
    if (!further.empty()) node->restrictions = "|||" + further;
    terminal_node(node);
    fill_word(node);
    return node;
}

// Where the patterns begin: after the entry's attributes, whose coded bytes are no codes.
const char* patterns_of(const char* entry) {
    const char* p = getfieldptr(entry, 4);
    while (*p != '\0' && *p != kLspCode)
        ++p;
    return p;
}

const char* rhs_of(const char* entry) {
    const char* p = getfieldptr(entry, 4);
    while (*p != '\0' && *p != kRhsCode)
        ++p;
    return *p == kRhsCode ? p + 1 : p;
}

bool all_found(const treenode* lsp) {
    for (; lsp != nullptr; lsp = lsp->right) {
        const t_dict_lookup* l = lsp->dictionary;
        if (l == nullptr || l->error != 0 || l->dictionary == nullptr) return false;
    }
    return true;
}

}  // namespace

void ilt_create_lsps(t_dict_lookup& lookup) {
    if (lookup.dictionary == nullptr || lookup.lspseq != nullptr) return;
    treenode* first = nullptr;
    treenode* last = nullptr;
    for (const char* p = patterns_of(lookup.dictionary); *p == kLspCode;) {
        ++p;
        treenode* n = make_lsp(p);
        if (last == nullptr) {
            first = n;
        } else {
            // right and left for the patterns' order, sibling so that the chain is released whole
            last->right = n;
            last->sibling = n;
            n->left = last;
        }
        last = n;
    }
    lookup.lspseq = first;
}

void scan_ilts(int from) {
    for (int i = std::min(d_table_count, kLookups) - 1; i >= std::max(from, 0); --i) {
        t_dict_lookup& d = dict_table[static_cast<std::size_t>(i)];
        if (d.lspseq == nullptr || d.dictionary == nullptr || d.dictionary[0] != kIltMark) continue;
        // Every pattern needs its word; the one that found none has been reported.
        const int ok = all_found(d.lspseq) ? lt_apply_rule(rhs_of(d.dictionary), d.lspseq, 2) : 0;
        if (ok == 1 && resoverflow == 0) {
            d.derived.assign(lt_result.data(), static_cast<std::size_t>(resptr));
            d.dictionary = d.derived.c_str();
            continue;
        }
        if (ok == 1) q_err("   Result of LT rule too long ", "", "");
        d.dictionary = nullptr;
        d.error = 3;
    }
}
