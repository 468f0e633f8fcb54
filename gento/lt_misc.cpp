#include "lt_misc.hpp"

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "attr_data.hpp"
#include "attr_list.hpp"
#include "input_base.hpp"
#include "lex_read.hpp"
#include "lt_mem.hpp"
#include "morphology.hpp"
#include "termutils.hpp"

std::array<char, kLtResult> lt_result{};
int resptr = 0;
int resoverflow = 0;

namespace {

constexpr int kMorphTextMax = 99;
constexpr int kNumberCap = 1'000'000;

bool is_namechar(char c) {
    return (charkind[static_cast<unsigned char>(c)] & kWordChar) != 0;
}

bool is_digit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

int read_number(const char*& p) {
    long n = 0;
    while (is_digit(*p)) {
        if (n < kNumberCap) n = n * 10 + (*p - '0');
        ++p;
    }
    return static_cast<int>(n);
}

void put(char c) {
    if (resptr >= kLtResult - 1) {
        resoverflow = 1;
        return;
    }
    lt_result[static_cast<std::size_t>(resptr++)] = c;
}

void put(std::string_view s) {
    for (char c : s)
        put(c);
}

// The name of the value that variable entry `index` holds (its type's name while it is unbound).
const char* var_value_name(int index) {
    const t_delay& d = lt_delay_at(index);
    return att_get_name(d.class_, d.choice);
}

// An attribute to leave out of a copied attribute field: a whole type, or one value.
struct LeaveOut {
    int type = 0;
    int value = -1;  // -1: every value of the type
};

// One coded segment of an entry's attribute field.
struct Segment {
    char sign = 0;  // '<', '>' or 0
    int type = 0;
    int value = -1;  // -1: the entry names only the type
};

bool left_out(const Segment& s, const std::vector<LeaveOut>& out) {
    for (const LeaveOut& o : out) {
        if (o.type != s.type) continue;
        // A value written with a sign stands for a range, not for the value itself.
        if (o.value == -1 || (o.value == s.value && s.sign == 0)) return true;
    }
    return false;
}

// The coded attribute field at `f` written by name: compounds separated by ',', segments joined
// by '.', signs kept, the attributes of `out` dropped with whatever joined them.
void put_attributes(const char* f, const std::vector<LeaveOut>& out) {
    bool first_compound = true;
    for (const char* p = f; *p != '\0' && *p != '|';) {
        const lex_comp c = next_compound(p);
        std::string text;
        char sign = 0;
        for (const char* q = c.start; q < p && *q != ' ';) {
            if (*q == '<' || *q == '>') {
                sign = *q++;
            } else if (*q == kAttrCode && q[1] != '\0' && q[2] != '\0') {
                const auto value = static_cast<unsigned char>(q[2]);
                const Segment s{sign, static_cast<unsigned char>(q[1]),
                                value == kTypeOnly ? -1 : static_cast<int>(value)};
                q += 3;
                sign = 0;
                if (left_out(s, out)) continue;
                if (!text.empty()) text += '.';
                if (s.sign != 0) text += s.sign;
                text += att_get_name(s.type, s.value);
            } else {
                ++q;  // '.' between segments, or a stray byte
            }
        }
        if (text.empty()) continue;
        if (!first_compound) put(',');
        put(text);
        first_compound = false;
    }
}

// The entry that pattern k (from 1) of the sequence at `lsp` matched, or null.
const char* matched_entry(treenode* lsp, int k) {
    treenode* n = k >= 1 ? traverseleaves(lsp, k - 1) : nullptr;
    if (n == nullptr || n->dictionary == nullptr || n->dictionary->error != 0) return nullptr;
    return n->dictionary->dictionary;
}

class RuleText {
  public:
    RuleText(const char* rhs, treenode* lsp, int mode) : p_(rhs), lsp_(lsp), mode_(mode) {}

    bool run() {
        while (*p_ != '\0') {
            const char c = *p_++;
            if (c == '!') {
                if (!field_reference()) return false;
            } else if (c == '[') {
                if (!morphology()) return false;
            } else if (c == kLtVarCode) {
                const int i = lt_var_index(p_);
                if (i >= 0) put(var_value_name(i));
            } else {
                put(c);
            }
        }
        return true;
    }

  private:
    bool field_reference() {
        if (!is_digit(*p_)) {
            q_err("   Syntax error near '!' in right hand side of rule ", "", "");
            return false;
        }
        const int f = read_number(p_);
        int k = 1;
        if (*p_ == '.' && is_digit(p_[1])) {
            ++p_;
            k = read_number(p_);
        }
        std::vector<LeaveOut> out;
        if (f == 3 && !leave_outs(out)) return false;
        const char* entry = matched_entry(lsp_, k);
        const char* field = (entry != nullptr && f >= 1) ? getfieldptr(entry, f) : nullptr;
        if (field == nullptr || *field == '\0') {
            q_err("   Bad LSP field reference -- ",
                  "field " + std::to_string(f) + " from lsp " + std::to_string(k), "");
            return false;
        }
        if (f == 3) {
            put_attributes(field, out);
        } else {
            for (const char* q = field; *q != '\0' && *q != '|'; ++q)
                put(*q);
        }
        return true;
    }

    // '-NAME' after !3, any number of times.
    bool leave_outs(std::vector<LeaveOut>& out) {
        while (*p_ == '-' && is_namechar(p_[1])) {
            const char* start = ++p_;
            while (is_namechar(*p_))
                ++p_;
            const std::string_view name(start, static_cast<std::size_t>(p_ - start));
            if (lookup_attr(name) == 0) {
                q_err("   Attribute unknown:", name, "");
                return false;
            }
            out.push_back(LeaveOut{att_class, att_value});
        }
        return true;
    }

    bool morphology() {
        put('"');
        std::string text;
        bool quoted = false;
        for (;;) {
            const char c = *p_;
            if (c == '\0') {
                q_err("   Expecting closing brace for morphology expression ", "", "");
                return false;
            }
            ++p_;
            if (c == ']' && !quoted) break;
            if (c == '"') quoted = !quoted;
            if (c == kLtVarCode) {
                const int i = lt_var_index(p_);
                if (i >= 0) text += var_value_name(i);
            } else {
                text += c;
            }
            if (static_cast<int>(text.size()) > kMorphTextMax) {
                q_err("   Morphology string too long ", "", "");
                return false;
            }
        }
        treenode* const saved = current_node;
        current_node = lsp_;
        MState = mode_;
        m_exp(text.c_str());
        current_node = saved;
        put(moutput.data());
        put('"');
        return true;
    }

    const char* p_;
    treenode* lsp_;
    int mode_;
};

}  // namespace

int lt_apply_rule(const char* rhs, treenode* lsp, int mode) {
    resptr = 0;
    resoverflow = 0;
    lt_result[0] = '\0';
    if (rhs == nullptr || *rhs == '\0') {
        q_err("   Right hand side of rule is null", "", "");
        return 0;
    }
    const bool ok = RuleText(rhs, lsp, mode).run();
    lt_result[static_cast<std::size_t>(resptr)] = '\0';
    return ok ? 1 : 0;
}

treenode* lt_getlspptr(int n) {
    const LTRULE* rule = lt_rule_num > 0 && lt_rule_num < kLtRules
                             ? ltruleheader[static_cast<std::size_t>(lt_rule_num)].get()
                             : nullptr;
    if (rule == nullptr) {
        q_err("   Rule has not been selected yet ", "", "");
        return nullptr;
    }
    treenode* l = n >= 1 ? traverseleaves(rule->lsp1, n - 1) : nullptr;
    if (l == nullptr) q_err("      Bad LSP number", "", "");
    return l;
}

void reset_lt_misc() {
    resptr = 0;
    resoverflow = 0;
    lt_result[0] = '\0';
}
