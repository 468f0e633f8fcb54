#include "syn_cf.hpp"

#include <climits>
#include <vector>

#include "attr_data.hpp"
#include "indirect.hpp"
#include "input_base.hpp"
#include "lex_read.hpp"
#include "lex_scan.hpp"
#include "misc.hpp"
#include "morphology.hpp"
#include "syn_misc.hpp"
#include "syn_read.hpp"
#include "syn_tran.hpp"
#include "termutils.hpp"

int cf_limit_reported = 0;
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
    // Cleared whole: a word left from an earlier generation may point into a lexicon that is gone.
    clear_lookup(d);
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
    text_to_comp_both(r, 1);
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
            q_msg("    " + printable_entry(d->dictionary));
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Scanning coded rule text
// ---------------------------------------------------------------------------------------------

namespace {

constexpr unsigned char kTransCode = 8;
constexpr unsigned char kInheritCode = 5;
constexpr unsigned char kChooseCode = 6;
constexpr unsigned char kSelectCode = 16;
constexpr unsigned char kVfCode = 19;
constexpr int kSkipToClose = INT_MAX;  // skip_alternatives: to the `)` that closes the level

// The frequency value after code 19: an optional `-` and decimal digits.
const char* vf_number(treenode* N, const char* r) {
    const bool minus = *r == '-';
    if (minus) ++r;
    long v = 0;
    while (*r >= '0' && *r <= '9') {
        if (v < 1000000) v = v * 10 + (*r - '0');
        ++r;
    }
    N->vf = static_cast<int>(minus ? -v : v);
    return r;
}

// The position after one unit of coded text: a quoted text, an attribute list, a code with the
// byte it carries, or a single byte. Never past the terminating zero.
const char* step(const char* p) {
    const unsigned char c = uc(*p);
    if (c == 0) return p;
    if (c == '"') {
        ++p;
        while (*p != '\0' && *p != '"')
            ++p;
        return *p == '"' ? p + 1 : p;
    }
    if (c == '[') {
        ++p;
        while (*p != '\0' && *p != ']') {
            if (*p == '"') {
                p = step(p);
            } else if (uc(*p) == kVarRef && p[1] != '\0') {
                p += 2;
            } else {
                ++p;
            }
        }
        return *p == ']' ? p + 1 : p;
    }
    // Codes followed by a byte that may look like punctuation: a field, variable or count byte.
    if (c == '/' || c == '@' || c == '(' || c == kVarRef || c == kInheritCode || c == kChooseCode ||
        c == kSelectCode) {
        return p[1] != '\0' ? p + 2 : p + 1;
    }
    return p + 1;
}

// The position of the next `<` or `>` that begins an alternative of the rule, or the end.
const char* next_alternative(const char* p) {
    while (*p != '\0' && *p != '<' && *p != '>')
        p = step(p);
    return p;
}

// The name at `p` (a run of identifier characters) and the position after it.
std::string name_at(const char*& p) {
    return getident(p);
}

// The same name as a view into the rule text, where no copy of it is kept.
std::string_view name_view_at(const char*& p) {
    const char* start = p;
    while (*p != '\0' && (*p == '%' || (charkind[uc(*p)] & kWordChar) != 0))
        ++p;
    return {start, static_cast<std::size_t>(p - start)};
}

int variable_number(const char* p) {
    const int x = uc(*p);
    return x >= 1 && x < kRuleVariables ? x : 0;
}

void set_variable(int x, comp_attr value) {
    if (x == 0) return;
    variable_table[static_cast<std::size_t>(x)] = std::move(value);
}

void clear_variables() {
    for (comp_attr& v : variable_table)
        v.reset();
}

void report_pre() {
    const bool known = pre_status >= 0 && pre_status < kPreStatuses;
    q_err("Preselection: ", known ? pre_error[static_cast<std::size_t>(pre_status)] : "", bad_pst);
}

// The compound an attribute-list item or SELECT gives after analyze_pre, or null (reported).
comp_attr compound_from_pre() {
    comp_attr plain = std::move(comp_attr_register);
    if (attr_form == 3) return plain;
    if (attr_form == 2) {
        if (pre_status >= 4 && pre_match != nullptr)
            return duplicate_comp_attr(pre_match->PST.get());
        report_pre();
        return nullptr;
    }
    if (pre_status == 6) return attr_from_pre();
    report_pre();
    return nullptr;
}

treenode* last_daughter(treenode* n) {
    treenode* d = n->son;
    while (d != nullptr && d->sibling != nullptr)
        d = d->sibling;
    return d;
}

void append_daughter(treenode* parent, treenode* d) {
    treenode* last = last_daughter(parent);
    if (last == nullptr) {
        parent->son = d;
    } else {
        last->sibling = d;
    }
}

const char* attr_list_items(treenode* N, const char* r) {
    while (*r != '\0' && *r != ']') {
        const char* start = r;
        r = analyze_pre(r);
        comp_attr c = compound_from_pre();
        if (c) append_attr(N->attributes, std::move(c));
        if (*r == ',') ++r;
        if (r == start) break;  // nothing an item can begin with
    }
    if (*r == ']') ++r;
    return r;
}

bool ends_restriction(const char* r, bool value_started) {
    const unsigned char c = uc(*r);
    if (c < 32 || c == kVarRef) return true;  // the end, and every code
    switch (c) {
        case ' ':
        case '(':
        case ')':
        case '/':
        case ';':
        case '[':
        case '|':
        case '<':
        case '>':
        case '@':
            return true;
        case '"':
            return value_started;  // a mandated word after the value
        default:
            return false;
    }
}

}  // namespace

const char* skip_alternatives(const char* r, int skip) {
    int depth = 0;
    while (*r != '\0') {
        const char c = *r;
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (depth == 0) return r + 1;
            --depth;
        } else if (c == '|' && depth == 0) {
            if (--skip <= 0) return r + 1;
        }
        r = step(r);
    }
    return r;
}

// ---------------------------------------------------------------------------------------------
// Attachments
// ---------------------------------------------------------------------------------------------

const char* add_transf(treenode* N, const char* r) {
    const std::string_view name = name_view_at(r);
    transformation* t = find_transf(name);
    if (t == nullptr) {
        q_err(" - Bad Transformation Name: ", name, "");
        return r;
    }
    trans_list* slot = &N->transformation;
    while (*slot)
        slot = &(*slot)->next;
    *slot = std::make_unique<trans_list_rec>();
    (*slot)->trans = t;
    return r;
}

const char* add_indirect(treenode* N, const char* r) {
    t_indirection ind = create_indir_node();
    if (*r == '\0') return r;
    ind->fieldnum = static_cast<signed char>(*r++);
    if (*r == ':') {
        ++r;
        ind->tag = name_at(r);
    }
    if (*r == '[') {
        const char* start = ++r;
        const char* end = step(r - 1);  // past the list's `]`
        ind->attributes.assign(start, static_cast<std::size_t>(end - start));
        r = end;
    }
    add_to_indir_list(N->indirections, std::move(ind));
    return r;
}

const char* add_restriction(treenode* N, const char* r) {
    if (*r == '\0') return r;
    const int field = static_cast<signed char>(*r++);
    if (*r == '=') ++r;
    std::string value;
    bool started = false;
    while (!ends_restriction(r, started)) {
        if (*r == '"') {
            const char* end = step(r);
            value.append(r, static_cast<std::size_t>(end - r));
            r = end;
        } else {
            value += *r++;
        }
        started = value.back() != ',';
    }
    N->restrictions = insert_restriction(N->restrictions, value, field);
    return r;
}

const char* add_attachments(treenode* N, const char* r, int rule_kind) {
    for (;;) {
        const unsigned char c = uc(*r);
        if (c == '"') {
            const char* end = step(r);
            const char* close = end[-1] == '"' && end - 1 > r ? end - 1 : end;
            N->preferredchoice.assign(r + 1, static_cast<std::size_t>(close - r - 1));
            r = end;
        } else if (c == kTagCode) {
            r = find_pst(r, 0);
            if (pre_status == 6) {
                N->dictionary = pre_match->RHS->dictionary;
                N->index = pre_match->RHS->index;
            } else {
                report_pre();
            }
        } else if (c == kVfCode) {
            r = vf_number(N, r + 1);
        } else if (c == kTransCode) {
            r = add_transf(N, r + 1);
        } else if (c == '@') {
            r = add_indirect(N, r + 1);
        } else if (c == '[') {
            // Lists of a transformation's nodes copy, remove and replace attributes.
            r = rule_kind == 4 ? construct_attr_tran(N, r + 1) : attr_list_items(N, r + 1);
        } else if (c == '/') {
            r = add_restriction(N, r + 1);
        } else {
            return r;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Expansion
// ---------------------------------------------------------------------------------------------

void expand_tree(treenode* node) {
    if (node == nullptr) return;
    if (treestate == 1 && same_name(node->name, "ROOT")) return;
    expand_node(node);
    for (treenode* d = node->son; d != nullptr; d = d->sibling)
        expand_tree(d);
}

void expand_node(treenode* curnode) {
    if (curnode == nullptr) return;
    if (nodecount > kNodeLimit || abortreq != 0) {
        if (cf_limit_reported == 0) q_err("cf expansion terminated", curnode->name, "");
        cf_limit_reported = 1;
        terminal_node(curnode);
        return;
    }
    current_node = curnode;
    const char* rule = getrule(curnode->name);
    if (rule == nullptr) {
        terminal_node(curnode);
        return;
    }
    clear_variables();
    bool matched = false;
    const char* p = rule;
    while (*p != '\0') {
        const unsigned char c = uc(*p);
        if (c == '<' || c == '>') {
            if (matched) break;
            if (c == '>') {
                ++p;
                continue;
            }
            end_guard = nullptr;
            current_node = curnode;
            const int holds = m_guard(p + 1);
            p = end_guard != nullptr && *end_guard == ':' ? end_guard + 1 : next_alternative(p + 1);
            if (holds != 0) {
                matched = true;
            } else {
                p = next_alternative(p);
            }
        } else if (c == '(') {
            const int n = p[1] != '\0' ? uc(p[1]) : 0;
            p = skip_alternatives(step(p), getrandom(n) + 1);
        } else if (c == '|') {
            p = skip_alternatives(p + 1, kSkipToClose);
        } else if (c == kInheritCode || c == kChooseCode) {
            const int x = variable_number(p + 1);
            p = text_to_comp_array(p[1] != '\0' ? p + 2 : p + 1, 1);
            const s_comp_attr* own =
                c == kInheritCode ? find_attr(curnode->attributes.get()) : nullptr;
            set_variable(x, own != nullptr ? dup_decon_comp_attr(own) : make_comp_attr());
        } else if (c == kSelectCode) {
            const int x = variable_number(p + 1);
            p = analyze_pre(p[1] != '\0' ? p + 2 : p + 1);
            if (attr_form == 3) {
                q_err("No preselection token in SELECT clause", "", "");
            } else if (comp_attr v = compound_from_pre()) {
                set_variable(x, std::move(v));
            }
        } else if (c == ' ') {
            ++p;
            const std::string_view name = name_view_at(p);
            if (name.empty()) continue;  // a blank that names nothing
            treenode* d = treestate == 1 && root != nullptr && same_name(name, "ROOT")
                              ? copytree(root)
                              : makenode(name);
            append_daughter(curnode, d);
            p = add_attachments(d, p, 2);
        } else {
            p = step(p);
        }
    }
    if (curnode->son == nullptr) terminal_node(curnode);
    clear_variables();
}

// ---------------------------------------------------------------------------------------------
// Preselection
// ---------------------------------------------------------------------------------------------

namespace {

// The position of the next `;` of the preselection text (lists passed over), or its end.
const char* next_clause_end(const char* p) {
    while (*p != '\0' && *p != ';')
        p = step(p);
    return p;
}

}  // namespace

treenode* build_pre_node() {
    treenode* node = makenode(name_at(preselect_pos).c_str());
    preselect_pos = add_attachments(node, preselect_pos, 7);
    if (*preselect_pos != ';' && *preselect_pos != '\0') {
        q_err("Preselection:", "unexpected token in node attachments", "");
        preselect_pos = next_clause_end(preselect_pos);
    }
    terminal_node(node);
    fill_word(node);
    return node;
}

void construct_preselect(const char* rule_string, int global_status) {
    if (rule_string == nullptr) return;
    preselect_pos = rule_string;
    while (*preselect_pos != '\0') {
        const char* after = text_to_comp_array(preselect_pos, 0);
        if (attr_index == 0) {
            q_err("Error in preselection tag", "", "");
            preselect_pos = next_clause_end(after);
            if (*preselect_pos == ';') ++preselect_pos;
            continue;
        }
        auto rec = std::make_unique<pre_rule>();
        rec->PST = make_comp_attr();
        preselect_pos = after;
        if (*preselect_pos == ':') {
            ++preselect_pos;
            if (*preselect_pos == ' ') ++preselect_pos;
            rec->RHS = build_pre_node();
            rec->node = 1;
        }
        treenode* terminal = rec->RHS;
        rec->next = std::move(preselect_list);
        preselect_list = std::move(rec);
        int& barrier = global_status == 1 ? global_barrier : preselect_barrier;
        getwords(barrier);
        barrier = d_table_count;
        if (terminal != nullptr) process_indirect_ops(terminal);
        // A clause always ends at `;` or the end; anything else is passed over to the next one.
        preselect_pos = next_clause_end(preselect_pos);
        if (*preselect_pos == ';') ++preselect_pos;
    }
}

comp_attr attr_from_pre() {
    if (attr_form != 1 || pre_match == nullptr || pre_match->RHS == nullptr) return nullptr;
    t_dict_lookup* d = pre_match->RHS->dictionary;
    if (d == nullptr) return nullptr;
    if (const s_comp_attr* c = find_attr(d->attributes.get())) return dup_decon_comp_attr(c);
    if (d->dictionary != nullptr && match_single_attr(d->dictionary) != 0) {
        bool chosen = false;
        for (int i = 0; i < attr_index; ++i) {
            attr_row& row = attr[static_cast<std::size_t>(i)];
            if (row.value != -1) continue;
            const int n = row.type >= 1 && row.type < total_types
                              ? attr_table[static_cast<std::size_t>(row.type)].entries
                              : 1;
            if (n < 2) continue;  // a type without values has nothing to choose from
            row.value = 1 + getrandom(n - 1);
            chosen = true;
        }
        if (chosen) append_attr(d->attributes, make_full_comp_attr());
        return make_comp_attr();
    }
    q_err("Preselection: ", "requested attribute not present in lexical entry for: ", bad_pst);
    return nullptr;
}

void reset_syn_cf() {
    abortreq = 0;
    cf_limit_reported = 0;
    preselect_pos = nullptr;
}
