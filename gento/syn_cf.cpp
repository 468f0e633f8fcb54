#include "syn_cf.hpp"

#include <vector>

#include "attr_data.hpp"
#include "input_base.hpp"
#include "termutils.hpp"

int abortreq = 0;
const char* preselect_pos = nullptr;

namespace {

// Codes of the coded rule text.
constexpr unsigned char kVarRef = 255;
constexpr unsigned char kTagCode = 14;
constexpr unsigned char kIsCode = 17;

unsigned char uc(char c) {
    return static_cast<unsigned char>(c);
}

bool is_namechar(char c) {
    return c == '%' || (uc(c) != kVarRef && (charkind[uc(c)] & 1) != 0);
}

// The position after the attribute text at `r`: names, separators and variable references.
const char* skip_attr(const char* r) {
    for (;;) {
        if (uc(*r) == kVarRef && r[1] != '\0') {
            r += 2;
        } else if (is_namechar(*r) || *r == '.' || *r == '/') {
            ++r;
        } else {
            return r;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Restriction texts
// ---------------------------------------------------------------------------------------------

// The fields of a restriction text; a `|` inside a quoted literal belongs to the value.
std::vector<std::string_view> restriction_fields(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') quoted = !quoted;
        if (text[i] == '|' && !quoted) {
            out.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < text.size()) out.push_back(text.substr(start));
    return out;
}

}  // namespace

std::string insert_restriction(std::string_view old, std::string_view restr, int pos) {
    const std::vector<std::string_view> fields = restriction_fields(old);
    if (pos < 1) return std::string(old);  // field numbers start at 1: nothing to restrict
    const auto at = static_cast<std::size_t>(pos - 1);
    std::string out;
    for (std::size_t i = 0; i < at; ++i) {
        out += i < fields.size() ? fields[i] : std::string_view("?");
        out += '|';
    }
    if (at < fields.size() && fields[at] != "?") {
        out += fields[at];
        out += ',';
    }
    out += restr;
    out += '|';
    for (std::size_t i = at + 1; i < fields.size(); ++i) {
        out += fields[i];
        out += '|';
    }
    return out;
}

std::string merge_restr(std::string_view old, std::string_view new_) {
    const std::vector<std::string_view> a = restriction_fields(old);
    const std::vector<std::string_view> b = restriction_fields(new_);
    std::string out;
    for (std::size_t i = 0; i < a.size() || i < b.size(); ++i) {
        if (i >= a.size()) {
            out += b[i];
        } else if (i >= b.size()) {
            out += a[i];
        } else if (a[i] == "?") {
            out += b[i];
        } else {
            out += a[i];
            if (b[i] != "?") {
                out += ',';
                out += b[i];
            }
        }
        out += '|';
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Terminal lookup entries
// ---------------------------------------------------------------------------------------------

void terminal_node(treenode* curnode) {
    if (curnode == nullptr || curnode->dictionary != nullptr || d_table_count >= kLookups) return;
    t_dict_lookup& d = dict_table[static_cast<std::size_t>(d_table_count)];
    d.class_.clear();
    d.attributes.reset();
    d.preferredchoice.clear();
    d.fields.clear();
    purge_tree2(d.lspseq);
    d.lspseq = nullptr;
    // A word left from an earlier generation may point into a lexicon that is gone.
    d.dictionary = nullptr;
    d.error = 0;
    d.pointed_at = 0;
    d.vf = -1;
    curnode->dictionary = &d;
    curnode->index = d_table_count++;
}

// ---------------------------------------------------------------------------------------------
// Preselection lookup
// ---------------------------------------------------------------------------------------------

const char* find_pst(const char* r, int decon_allowed) {
    if (uc(*r) == kTagCode) ++r;
    r = text_to_comp_array(r, decon_allowed);
    pre_match = nullptr;
    bad_pst.clear();
    if (!preselect_list) {
        pre_status = 1;
        return r;
    }
    if (attr_index == 0) {
        pre_status = 2;
        return r;
    }
    // The tag's compound is only compared: its delay entries are given back at once, so that
    // looking tags up never fills the delay table.
    const int mark = delayptr;
    comp_attr tag = make_full_comp_attr();
    bad_pst = print_comp_attr(tag.get());
    pre_match = look_for_attr(tag.get(), preselect_list.get());
    tag.reset();
    if (delayptr > mark) delayptr = mark;
    if (pre_match == nullptr) {
        pre_status = 3;
    } else if (pre_match->node == 0 || pre_match->RHS == nullptr) {
        pre_status = 4;
    } else if (pre_match->RHS->dictionary == nullptr || pre_match->RHS->dictionary->error != 0) {
        pre_status = 5;
    } else {
        pre_status = 6;
    }
    return r;
}

const char* analyze_pre(const char* r) {
    if (uc(*r) == kIsCode) ++r;
    if (uc(*r) == kTagCode) {
        attr_form = 2;
        return find_pst(r, 0);
    }
    const char* after = skip_attr(r);
    const char* end = after;
    if (uc(*after) == kTagCode) {
        attr_form = 1;
        end = find_pst(after, 0);
    } else {
        attr_form = 3;
    }
    // Rows last: the tag lookup above works in the same rows.
    text_to_comp_struct(r, 1);
    text_to_comp_array(r, 1);
    return end;
}

// ---------------------------------------------------------------------------------------------
// The preselection list
// ---------------------------------------------------------------------------------------------

void empty_preselect_list(int from_glob) {
    while (preselect_list) {
        if (from_glob != 1 && preselect_list.get() == globalpre_list) break;
        std::unique_ptr<pre_rule> first = std::move(preselect_list);
        preselect_list = std::move(first->next);
    }
    if (from_glob == 1) globalpre_list = nullptr;
}

void print_preselect_list() {
    for (const pre_rule* p = preselect_list.get(); p != nullptr; p = p->next.get()) {
        q_msg(print_comp_attr(p->PST.get()));
        const t_dict_lookup* d = p->RHS != nullptr ? p->RHS->dictionary : nullptr;
        if (p->node != 0 && d != nullptr && d->error == 0 && d->dictionary != nullptr) {
            q_msg(std::string("    ") + d->dictionary);
        }
    }
}

void reset_syn_cf() {
    abortreq = 0;
    preselect_pos = nullptr;
}
