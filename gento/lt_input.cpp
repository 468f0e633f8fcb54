#include "lt_input.hpp"

#include <algorithm>
#include <cctype>
#include <memory>
#include <new>
#include <string_view>

#include "attr_data.hpp"
#include "attr_list.hpp"
#include "input_base.hpp"
#include "lt_mem.hpp"

namespace {

// True between the quotes of a quoted text: there every character is a token of its own, and a
// '%' among them does not end anything.
bool quoted = false;

int peek() {
    return q_peep();
}

void take() {
    if (q_peep() == kTokQuote) quoted = !quoted;
    q_next();
}

bool is_keyword(int tok) {
    switch (tok) {
        case kTokInherit:
        case kTokChoose:
        case kTokRule:
        case kTokTransformation:
        case kTokPriority:
        case kTokMakes:
        case kTokIlt:
        case kTokPre:
        case kTokSelect:
        case kTokIs:
            return true;
        default:
            return false;
    }
}

// A byte that has no place in a stored text: the end marker of C strings, and the byte that codes
// a variable in a right side.
bool unstorable(int tok) {
    return tok == 0 || tok == kLtVarCode;
}

std::string expected_text(const std::vector<int>& terminators) {
    std::string s;
    for (int t : terminators) {
        if (!s.empty()) s += ' ';
        if (t == kTokPriority) {
            s += "_lsp_";
        } else if (t == kTokMakes) {
            s += "_rhs_";
        } else if (t == kTokPercent) {
            s += "%";
        } else {
            s += '\'';
            s += static_cast<char>(t);
            s += '\'';
        }
    }
    return s;
}

bool is_terminator(int tok, const std::vector<int>& terminators) {
    return std::find(terminators.begin(), terminators.end(), tok) != terminators.end();
}

// Passes over the rest of a rule: up to and including its '%', or up to the next RULE, whichever
// comes first outside quotes.
void skip_rule() {
    while (peek() != kTokEof) {
        if (!quoted && peek() == kTokRule) return;
        const bool end = !quoted && peek() == kTokPercent;
        take();
        if (end) return;
    }
}

// The rule number: an identifier of digits from 1 to 499; -1 when it is anything else.
int rule_number(std::string_view text) {
    if (text.empty() || text.size() > 3) return -1;
    int n = 0;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0) return -1;
        n = n * 10 + (c - '0');
    }
    return n >= 1 && n < kLtRules ? n : -1;
}

const s_lt_var_list* find_var(const LTRULE& rule, std::string_view name) {
    for (const s_lt_var_list* v = rule.rule_vars.get(); v != nullptr; v = v->next.get()) {
        if (v->name == name) return v;
    }
    return nullptr;
}

// A new entry of the rules' attribute table, or -1 after a report when it is full.
int new_lt_entry(int type, int value, int fixed) {
    if (lt_delayptr >= kDelaySize - 1) {
        q_err("   Ran out of table space for attributes", "", "");
        return -1;
    }
    return lt_new_delay(type, value, fixed);
}

// ( name : TYPE , ... )
bool read_clause(LTRULE& rule) {
    take();  // (
    s_lt_var_list* last = nullptr;
    for (;;) {
        if (peek() != kTokIdent) {
            q_err("   Syntax Error.", "1", "");
            return false;
        }
        const std::string name = identbuf.data();
        take();
        if (peek() != ':') {
            q_err("   Syntax Error.", "2", "");
            return false;
        }
        take();
        if (peek() != kTokIdent) {
            q_err("   Syntax Error.", "3", "");
            return false;
        }
        const std::string type = identbuf.data();
        take();
        if (lookup_attr(type) == 0 || att_value != -1) {
            q_err("   Attribute type unknown:", type, "");
            return false;
        }
        const int index = new_lt_entry(att_class, -1, 0);
        if (index < 0) return false;
        auto v = std::make_unique<s_lt_var_list>();
        v->name = name;
        v->index = index;
        s_lt_var_list* added = v.get();
        if (last == nullptr) {
            rule.rule_vars = std::move(v);
        } else {
            last->next = std::move(v);
        }
        last = added;
        if (peek() == ',') {
            take();
            continue;
        }
        if (peek() == ')') {
            take();
            return true;
        }
        q_err("   Syntax Error.", "4", "");
        return false;
    }
}

bool lsp_ends() {
    return peek() == kTokPriority || peek() == kTokMakes;
}

// One compound of field 3: names joined by '.'.
bool read_compound(LTRULE& rule, t_dict_lookup& lookup, std::string& text) {
    comp_attr compound;
    for (;;) {
        if (peek() != kTokIdent) {
            q_err("   Error in field 3 of LSP", "", "");
            return false;
        }
        const std::string name = identbuf.data();
        take();
        int index = 0;
        if (const s_lt_var_list* v = find_var(rule, name)) {
            index = v->index;
        } else if (lookup_attr(name) == 0) {
            q_err("   Attribute unknown:", name, "");
            return false;
        } else if (att_value == -1) {
            q_err("   Attribute classes not legal in LSPs: ", name, "");
            return false;
        } else {
            index = new_lt_entry(att_class, att_value, 1);
            if (index < 0) return false;
        }
        add_comp_attr(compound, index);
        text += name;
        if (peek() != '.') break;
        take();
        text += '.';
    }
    add_attr_to_list(lookup.attributes, std::move(compound));
    return true;
}

// Field 3 of a pattern: '?', nothing, or compounds separated by ',' of names joined by '.'; each
// name a variable of the rule or an attribute value. It ends at '|' (consumed), or where the
// pattern ends.
bool read_attr_field(LTRULE& rule, t_dict_lookup& lookup, std::string& text) {
    if (peek() == '?') {
        take();
        text = "?";
    } else {
        while (peek() != '|' && !lsp_ends()) {
            if (!read_compound(rule, lookup, text)) return false;
            if (peek() == ',') {
                take();
                text += ',';
            } else if (peek() != '|' && !lsp_ends()) {
                q_err("   Error in field 3 of LSP", "", "");
                return false;
            }
        }
    }
    if (lsp_ends()) return true;
    if (peek() != '|') {
        q_err("   Syntax Error.", "", "");
        return false;
    }
    take();
    return true;
}

// One pattern, up to (not including) the _lsp_ or _rhs_ that closes it.
bool read_lsp(LTRULE& rule) {
    treenode* lsp = lt_new_lsp(rule);
    t_dict_lookup& lookup = *lsp->dictionary;
    std::string word;
    if (!gen_read_field({'|', kTokPriority, kTokMakes}, kLtFieldMax, word)) {
        q_err("   Error in field 1 of LSP", "", "");
        return false;
    }
    if (!lsp_ends()) take();  // |
    lookup.preferredchoice = word == "?" ? "" : word;
    lookup.class_ = "?";
    if (lsp_ends()) {
        lookup.fields = word + "|";
        return true;
    }
    std::string cls;
    if (!gen_read_field({'|', kTokPriority, kTokMakes}, kLtFieldMax, cls)) {
        q_err("   Error in field 2 of LSP", "", "");
        return false;
    }
    if (!cls.empty()) lookup.class_ = cls;
    if (lsp_ends()) {
        lookup.fields = word + "|" + cls + "|";
        return true;
    }
    take();  // |
    std::string attrs;
    if (!read_attr_field(rule, lookup, attrs)) return false;
    std::string further;
    if (!lsp_ends() && !gen_read_field({kTokPriority, kTokMakes}, kLtFurtherMax, further)) {
        q_err("   Error after field 3 of LSP", "", "");
        return false;
    }
    if (!further.empty() && further.back() != '|') further += '|';
    lookup.fields = word + "|" + cls + "|" + attrs + "|" + further;
    return true;
}

bool read_lsps(LTRULE& rule) {
    for (;;) {
        if (!read_lsp(rule)) return false;
        const bool last = peek() == kTokMakes;
        take();  // _lsp_ or _rhs_
        if (last) return true;
    }
}

// The right side up to its '%' (not consumed), coded: identifiers as their text, a variable as
// its code, quotes kept, every other token as its character.
bool read_rhs(LTRULE& rule) {
    const std::vector<int> end{kTokPercent};
    std::string& code = rule.rhs;
    for (;;) {
        const int tok = peek();
        if (tok == kTokEof) {
            q_err("   Unexpected end of file.", "", "");
            return false;
        }
        if (!quoted && tok == kTokPercent) return true;
        if (quoted || tok == kTokQuote) {
            if (!unstorable(tok)) code += static_cast<char>(tok);
        } else if (tok == kTokIdent) {
            if (const s_lt_var_list* v = find_var(rule, identbuf.data())) {
                code += lt_var_code(v->index);
            } else {
                code += identbuf.data();
            }
        } else if (is_keyword(tok)) {
            q_err("   Unexpected reserved word encountered.  Expected one of the following: ",
                  expected_text(end), "");
            return false;
        } else if (!unstorable(tok)) {
            code += static_cast<char>(tok);
        }
        if (code.size() > static_cast<std::size_t>(kLtRhsMax)) {
            q_err("   Buffer overflow.  Expected one of the following: ", expected_text(end), "");
            return false;
        }
        take();
    }
}

void read_rule() {
    take();  // RULE
    if (peek() != kTokIdent) {
        q_err("Unable to get rule number", "", "");
        skip_rule();
        return;
    }
    const std::string number = identbuf.data();
    const int n = rule_number(number);
    if (n < 0) {
        q_err("Rule number out of range or garbled", number, "");
        skip_rule();
        return;
    }
    if (ltruleheader[static_cast<std::size_t>(n)]) {
        q_err("Rule discarded -- duplicate rule ", number, "");
        skip_rule();
        return;
    }
    take();
    file_position.assign_cut("rule " + number);
    auto rule = std::make_unique<LTRULE>();
    const char* failure = nullptr;
    if (peek() == '(' && !read_clause(*rule)) {
        failure = "   Error reading common attribute clause";
    } else if (!read_lsps(*rule)) {
        failure = "   Error reading Lexical Search Pattern";
    } else if (!read_rhs(*rule)) {
        failure = "   Error reading right hand side";
    }
    if (failure != nullptr) {
        q_err(failure, "", "");
        q_err("Failed to load rule", number, "");
        skip_rule();
    } else {
        take();  // %
        ltruleheader[static_cast<std::size_t>(n)] = std::move(rule);
    }
    file_position.clear();
}

void read_lt_rules() {
    bool warned = false;
    while (peek() != kTokEof) {
        if (quoted || peek() != kTokRule) {
            // One warning for each run of text outside the rules.
            if (!warned) q_err("Warning -- characters ignored", "", "");
            warned = true;
            take();
            continue;
        }
        warned = false;
        read_rule();
    }
}

}  // namespace

bool gen_read_field(const std::vector<int>& terminators, std::size_t max, std::string& out) {
    for (;;) {
        const int tok = peek();
        if (tok == kTokEof) {
            q_err("   Unexpected end of file.", "", "");
            return false;
        }
        if (!quoted) {
            if (is_terminator(tok, terminators)) return true;
            if (tok == kTokPercent) {
                q_err(
                    "   Unexpected end of rule token encountered.  Expected one of the following: ",
                    expected_text(terminators), "");
                return false;
            }
            if (is_keyword(tok)) {
                q_err("   Unexpected reserved word encountered.  Expected one of the following: ",
                      expected_text(terminators), "");
                return false;
            }
        }
        if (tok == kTokIdent && !quoted) {
            out += identbuf.data();
        } else if (!unstorable(tok)) {
            out += static_cast<char>(tok);
        }
        if (out.size() > max) {
            q_err("   Buffer overflow.  Expected one of the following: ",
                  expected_text(terminators), "");
            return false;
        }
        take();
    }
}

void readlextrans(const char* filename) {
    file_operation = "LT Rules";
    file_position.clear();
    q_stat = 0;
    quoted = false;
    openfile(filename != nullptr ? filename : "", 0);
    try {
        read_lt_rules();
    } catch (const std::bad_alloc&) {
        q_err("   Unable to allocate memory", "", "");
        while (peek() != kTokEof)
            q_next();
    }
    quoted = false;
    file_operation.clear();
    file_position.clear();
}
