#include "morphology.hpp"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#include "attr_data.hpp"
#include "attr_fns.hpp"
#include "attr_list.hpp"
#include "input_base.hpp"
#include "lex_read.hpp"
#include "lex_scan.hpp"
#include "scrout.hpp"
#include "syn_cf.hpp"
#include "syn_globals.hpp"
#include "termutils.hpp"

// Long chains are released one record at a time, so that a file of many thousand subrules or
// tables cannot exhaust the stack through nested destructors.
subrule::~subrule() {
    auto p = std::move(nextsub);
    while (p)
        p = std::move(p->nextsub);
}

table::~table() {
    auto p = std::move(next);
    while (p)
        p = std::move(p->next);
}

std::array<std::unique_ptr<subrule>, kMaxRules> ruleheader;
int numrules = -1;
std::unique_ptr<table> tablelist;
std::array<char, kMoutMax + 1> moutput{};
int moutptr = 0;
treenode* current_node = nullptr;
const char* end_guard = nullptr;

namespace {

constexpr int kStackDepth = 100;
constexpr int kTableBufMax = 99;
constexpr std::size_t kPieceMax = 999;  // characters of one subrule or table element
constexpr unsigned char kVarRef = 255;  // variable reference in rule text, then one byte
constexpr char kPreKey = 14;            // _pre_ / _in_ as stored in rule text
constexpr char kIsKey = 17;             // _is_
// One evaluation may push this many texts in all: a rule that calls itself more than once per
// subrule would otherwise take time exponential in the nesting limit.
constexpr long kPushBudget = 5000;
constexpr long kGuardBudget = 50000;
constexpr int kGroupDepth = 200;
constexpr long kIndexCap = 1L << 30;
constexpr int kOffsetCap = 10000;

// Rule names by slot, so that a rule without subrules is still known by its name.
std::array<std::string, kMaxRules> rule_names;

std::array<const char*, kStackDepth> mstack{};
int mstackptr = -1;
// The node each stacked text is evaluated for: a field taken from another leaf is evaluated with
// that leaf as current until it is popped.
std::array<treenode*, kStackDepth> lspstack{};
int lspstackptr = -1;
std::array<char, kTableBufMax + 1> tablebuffer{};
int tabptr = 0;
long pushes_left = 0;
long guards_left = 0;
bool budget_reported = false;
bool depth_reported = false;

bool is_namechar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u != kVarRef && (charkind[u] & kWordChar) != 0;
}

// Identifier characters, '.', '/' and variable references: the extent of an attribute text.
const char* skip_attr_text(const char* p) {
    for (;;) {
        if (static_cast<unsigned char>(*p) == kVarRef) {
            if (p[1] == '\0') return p + 1;
            p += 2;
        } else if (is_namechar(*p) || *p == '.' || *p == '/') {
            ++p;
        } else {
            return p;
        }
    }
}

// Past the closing quote of a quoted section that starts at p (an opening quote).
const char* skip_quoted(const char* p) {
    ++p;
    while (*p != '\0' && *p != '"')
        ++p;
    return *p == '"' ? p + 1 : p;
}

int read_number(const char*& p, int cap) {
    long n = 0;
    while (std::isdigit(static_cast<unsigned char>(*p)) != 0) {
        n = std::min<long>(n * 10 + (*p - '0'), cap);
        ++p;
    }
    return static_cast<int>(n);
}

int values_of(int type) {
    if (type < 1 || type >= total_types) return 0;
    return attr_table[static_cast<std::size_t>(type)].entries - 1;
}

// The lexicon entry chosen for a node, or null.
const char* entry_of(const treenode* node) {
    if (node == nullptr || node->dictionary == nullptr) return nullptr;
    if (node->dictionary->error != 0) return nullptr;
    return node->dictionary->dictionary;
}

bool field_empty(const char* f) {
    return f == nullptr || *f == '\0' || *f == '|';
}

// The attributes a term or a table argument is matched against: the node's own, or while
// lexical transformations run, those its lookup asked for.
const s_attr_list* attributes_of(const treenode* node) {
    if (node == nullptr) return nullptr;
    if (MState == 1)
        return node->dictionary != nullptr ? node->dictionary->attributes.get() : nullptr;
    return node->attributes.get();
}

// ---------------------------------------------------------------------------------------------
// Rebuilding subrules and table elements from tokens
// ---------------------------------------------------------------------------------------------

// Text rebuilt from tokens, with quoted sections kept as written; refuses what does not fit.
class Piece {
  public:
    void clear() {
        text_.clear();
        cut_ = false;
    }
    void add(std::string_view s) {
        const std::size_t room = kPieceMax - std::min(kPieceMax, text_.size() + base_);
        if (s.size() > room) {
            if (!cut_) q_err("text too long; cut", "", "");
            cut_ = true;
            s = s.substr(0, room);
        }
        text_ += s;
    }
    // Characters already used by an earlier piece of the same subrule.
    void set_base(std::size_t base) { base_ = base; }
    const std::string& text() const { return text_; }
    bool empty() const { return text_.empty(); }

  private:
    std::string text_;
    std::size_t base_ = 0;
    bool cut_ = false;
};

// Appends the current token to `piece` as rebuilt text; returns false for a token that the
// caller handles itself (structure outside quotes).
void add_token(Piece& piece, int tok) {
    if (tok == kTokIdent) {
        piece.add(identbuf.data());
    } else {
        const char c = static_cast<char>(tok);
        piece.add(std::string_view(&c, 1));
    }
}

void skip_to_rule() {
    while (q_peep() != kTokEof && q_peep() != kTokRule)
        q_next();
}

void store_subrule(int slot, const std::string& name, const std::string& guard,
                   const std::string& mexp) {
    auto s = std::make_unique<subrule>();
    s->rulename = name;
    s->guard = guard + ':';
    s->mexp = mexp + '|';
    std::unique_ptr<subrule>* tail = &ruleheader[static_cast<std::size_t>(slot)];
    while (*tail)
        tail = &(*tail)->nextsub;
    *tail = std::move(s);
}

void read_subrules(int slot, const std::string& name) {
    Piece piece;
    std::string guard;
    bool have_guard = false;
    bool quoted = false;
    for (int tok = q_peep(); tok != kTokEof && tok != kTokRule; tok = q_peep()) {
        if (quoted || tok == kTokQuote) {
            if (tok == kTokQuote) quoted = !quoted;
            add_token(piece, tok);
        } else if (tok == ':') {
            if (!have_guard) {
                guard = piece.text();
                have_guard = true;
                piece.clear();
                piece.set_base(guard.size() + 1);
            } else {
                q_err("second COLON in subrule", "", "");
                piece.clear();
            }
        } else if (tok == ';') {
            if (have_guard) {
                store_subrule(slot, name, guard, piece.text());
            } else {
                q_err("incomplete subrule", "", "");
            }
            have_guard = false;
            piece.clear();
            piece.set_base(0);
        } else if (tok != kTokPercent) {
            add_token(piece, tok);
        }
        q_next();
    }
    if (have_guard || !piece.empty()) q_err("last subrule incomplete", "", "");
}

void read_rules() {
    if (q_peep() != kTokRule && q_peep() != kTokEof) {
        q_err("text before first RULE", "", "");
        skip_to_rule();
    }
    while (q_peep() == kTokRule) {
        file_position.clear();
        if (numrules + 1 >= kMaxRules) {
            q_err("too many rules", "", "");
            while (q_peep() != kTokEof)
                q_next();
            return;
        }
        q_next();
        if (q_peep() != kTokIdent) {
            q_err("rule has no name", "", "");
            skip_to_rule();
            continue;
        }
        const std::string name = identbuf.data();
        q_next();
        if (m_ruleindex(name.c_str()) >= 0) {
            q_err("rule name repeated", name, "");
            skip_to_rule();
            continue;
        }
        file_position.assign_cut("rule " + name);
        const int slot = ++numrules;
        rule_names[static_cast<std::size_t>(slot)] = name;
        read_subrules(slot, name);
    }
}

table* find_table(std::string_view name) {
    for (table* t = tablelist.get(); t != nullptr; t = t->next.get()) {
        if (t->tablename == name) return t;
    }
    return nullptr;
}

// Reads the elements after '(' up to ')'. Returns false when the file ends first.
bool read_elements(table& t) {
    Piece piece;
    bool quoted = false;
    bool any = false;
    for (int tok = q_peep(); tok != kTokEof; tok = q_peep()) {
        if (quoted || tok == kTokQuote) {
            if (tok == kTokQuote) quoted = !quoted;
            add_token(piece, tok);
        } else if (tok == ',' || tok == ')') {
            q_next();
            if (tok == ')' && !any && piece.empty()) return true;  // no elements at all
            t.elements += piece.text();
            t.elements += '|';
            ++t.count;
            piece.clear();
            if (tok == ')') return true;
            any = true;
            continue;
        } else if (tok != '(' && tok != kTokPercent) {
            add_token(piece, tok);
        }
        any = true;
        q_next();
    }
    return false;
}

void read_tables() {
    std::unique_ptr<table>* tail = &tablelist;
    while (*tail)
        tail = &(*tail)->next;
    bool junk_reported = false;
    while (q_peep() != kTokEof) {
        if (q_peep() != kTokIdent) {
            if (!junk_reported) q_err("table name expected, found", tok2str(q_peep()), "");
            junk_reported = true;
            q_next();
            continue;
        }
        junk_reported = false;
        const std::string name = identbuf.data();
        q_next();
        file_position.assign_cut("table " + name);
        if (q_peep() != '(') {
            q_err("table has no element list", "", "");
            continue;
        }
        q_next();
        auto t = std::make_unique<table>();
        t->tablename = name;
        if (!read_elements(*t)) {
            q_err("last table incomplete", "", "");
        } else if (find_table(name) != nullptr) {
            q_err("table name repeated", "", "");
        } else {
            *tail = std::move(t);
            tail = &(*tail)->next;
        }
        file_position.clear();
    }
}

// ---------------------------------------------------------------------------------------------
// Evaluation
// ---------------------------------------------------------------------------------------------

void out_char(char c) {
    if (moutptr < kMoutMax) moutput[static_cast<std::size_t>(moutptr++)] = c;
}

void collect(char c) {
    if (tabptr < kTableBufMax) tablebuffer[static_cast<std::size_t>(tabptr++)] = c;
}

bool push(const char* text, treenode* node) {
    if (pushes_left <= 0) {
        if (!budget_reported) q_err("Morph expression abandoned: too many calls", "", "");
        budget_reported = true;
        return false;
    }
    if (mstackptr + 1 >= kStackDepth) {
        // Once per evaluation: a rule calling itself would otherwise report at every leaf.
        if (!depth_reported) q_err("Morph expressions nested too deeply", "", "");
        depth_reported = true;
        return false;
    }
    --pushes_left;
    mstack[static_cast<std::size_t>(++mstackptr)] = text;
    lspstack[static_cast<std::size_t>(++lspstackptr)] = node;
    current_node = node;
    return true;
}

void pop() {
    --mstackptr;
    --lspstackptr;
    if (lspstackptr >= 0) current_node = lspstack[static_cast<std::size_t>(lspstackptr)];
}

void field_reference(const char*& p) {
    const int n = read_number(p, 1'000'000);
    int m = 0;
    treenode* node = current_node;
    if (MState != 0 && *p == '.' && std::isdigit(static_cast<unsigned char>(p[1])) != 0) {
        ++p;
        m = read_number(p, kOffsetCap);
        if (m > 0) node = traverseleaves(node, m - 1);
    }
    const char* entry = entry_of(node);
    const char* f = (entry != nullptr && n >= 1) ? getfieldptr(entry, n) : nullptr;
    if (field_empty(f)) {
        q_msg("Bad field reference: field " + std::to_string(n) + " from lsp " + std::to_string(m));
        return;
    }
    push(f, node);
}

void rule_call(const char*& p) {
    std::string name;
    while (is_namechar(*p)) {
        if (name.size() < 64) name += *p;
        ++p;
    }
    const int r = m_ruleindex(name.c_str());
    if (r < 0) {
        q_err("Reference to non-existent morph rule", name, "");
        return;
    }
    for (const subrule* s = ruleheader[static_cast<std::size_t>(r)].get(); s != nullptr;
         s = s->nextsub.get()) {
        if (guards_left-- <= 0) {
            if (!budget_reported) q_err("Morph expression abandoned: too many calls", "", "");
            budget_reported = true;
            return;
        }
        if (m_guard(s->guard.c_str()) != 0) {
            push(s->mexp.c_str(), current_node);
            return;
        }
    }
}

// Position of element n (from 0) of a table.
const char* element(const table& t, int n) {
    const char* p = t.elements.c_str();
    for (int i = 0; i < n && *p != '\0'; ++i) {
        while (*p != '\0' && *p != '|') {
            p = *p == '"' ? skip_quoted(p) : p + 1;
        }
        if (*p == '|') ++p;
    }
    return p;
}

void table_reference() {
    const std::string buf(tablebuffer.data(), static_cast<std::size_t>(tabptr));
    tabptr = 0;
    const std::size_t open = buf.find('(');
    const std::string name = buf.substr(0, open);
    const table* t = find_table(name);
    if (t == nullptr) {
        q_err("Table not found", buf, "");
        return;
    }
    long long total = 0;
    if (open != std::string::npos) {
        std::size_t start = open + 1;
        for (;;) {
            const std::size_t comma = buf.find(',', start);
            const std::string arg =
                buf.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            int radix = 1;
            const int idx = match_index(arg.c_str(), radix);
            if (idx < 0) return;  // an argument that selects nothing: no output
            total = std::min<long long>(total * radix + idx, kIndexCap);
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
    }
    if (total + 1 > t->count) {
        q_err("Table index too high", buf, "");
        return;
    }
    push(element(*t, static_cast<int>(total)), current_node);
}

void evaluate() {
    while (mstackptr >= 0) {
        const char*& p = mstack[static_cast<std::size_t>(mstackptr)];
        const char c = *p;
        if (c == '\0' || c == '|') {
            pop();
            continue;
        }
        ++p;
        switch (c) {
            case ' ':
            case '+':
                break;
            case '"':
                while (*p != '\0' && *p != '"')
                    out_char(*p++);
                if (*p == '"') ++p;
                break;
            case '!':
                if (current_node != nullptr) {
                    for (char w : current_node->morphed_word)
                        out_char(w);
                }
                break;
            case '#':
                field_reference(p);
                break;
            case '$':
                rule_call(p);
                break;
            case '&':
                if (moutptr > 0) out_char(moutput[static_cast<std::size_t>(moutptr - 1)]);
                break;
            case '-':
                if (moutptr > 0) --moutptr;
                break;
            case ')':
                table_reference();
                break;
            default:
                collect(c);
                break;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Guards
// ---------------------------------------------------------------------------------------------

bool matches(const std::string& pattern, const std::string& text) {
    return match_wild(pattern.c_str(), text.c_str(), '\0', '\0') != 0;
}

std::string unquoted(std::string s) {
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
    return s;
}

// Splits `text` at any of `seps` outside double quotes, up to `end` (or the end of the text).
std::vector<std::string> split(const char* text, std::string_view seps, char end) {
    std::vector<std::string> out(1);
    bool quoted = false;
    for (const char* p = text; *p != '\0' && (quoted || *p != end); ++p) {
        if (*p == '"') quoted = !quoted;
        if (!quoted && seps.find(*p) != std::string_view::npos) {
            out.emplace_back();
        } else {
            out.back() += *p;
        }
    }
    return out;
}

class Guard {
  public:
    explicit Guard(const char* text) : p_(text) {}

    bool run() {
        const bool v = group(true, 0);
        // A stray ')' at the top level: the guard still ends at its ':'.
        while (*p_ != '\0' && *p_ != ':')
            p_ = *p_ == '"' ? skip_quoted(p_) : p_ + 1;
        end_guard = p_;
        return v;
    }

  private:
    void blanks() {
        while (*p_ == ' ')
            ++p_;
    }
    bool at_separator() const {
        return *p_ == '\0' || *p_ == ':' || *p_ == ')' || *p_ == ',' || *p_ == '|';
    }

    // Alternatives separated by '|', each a run of terms joined by ','. When `eval` is false
    // the group is only passed over.
    bool group(bool eval, int depth) {
        const int saved = current_;
        bool result = false;
        for (;;) {
            bool alt = eval;
            for (;;) {
                const bool v = term(alt, depth);
                alt = alt && v;
                blanks();
                if (*p_ != ',') break;
                ++p_;
            }
            if (alt) {
                result = true;
                eval = false;  // known: the rest of the group is only passed over
            }
            if (*p_ != '|') break;
            ++p_;
            current_ = saved;
        }
        return result;
    }

    treenode* leaf() const { return traverseleaves(current_node, current_); }

    bool term(bool eval, int depth) {
        blanks();
        if (*p_ == '-' && std::isdigit(static_cast<unsigned char>(p_[1])) != 0) {
            ++p_;
            const int off = -read_number(p_, kOffsetCap);
            if (eval) current_ = off;
        } else if (std::isdigit(static_cast<unsigned char>(*p_)) != 0) {
            const int off = read_number(p_, kOffsetCap);
            if (eval) current_ = off;
        }
        blanks();
        const char c = *p_;
        if (at_separator()) return true;  // an empty term asks for nothing
        if (c == '(') return parenthesis(eval, depth);
        if (c == '*') {
            ++p_;
            return true;
        }
        if (c == '"') return pattern(eval);
        if (c == '<') return field_patterns(eval);
        if (c == kPreKey) return preselection(eval);
        if (c == kIsKey) return preselected_attribute(eval);
        if (is_namechar(c) || static_cast<unsigned char>(c) == kVarRef) return attribute(eval);
        ++p_;  // not a term: it fails
        return false;
    }

    // Past the ')' that closes the '(' at p_, without evaluating.
    void skip_balanced() {
        int depth = 0;
        while (*p_ != '\0' && *p_ != ':') {
            if (*p_ == '"') {
                p_ = skip_quoted(p_);
                continue;
            }
            if (*p_ == '(') ++depth;
            if (*p_ == ')' && --depth == 0) {
                ++p_;
                return;
            }
            ++p_;
        }
    }

    bool parenthesis(bool eval, int depth) {
        if (depth >= kGroupDepth) {  // too deep to evaluate: passed over, and it fails
            skip_balanced();
            return false;
        }
        ++p_;
        const int saved = current_;
        const bool v = group(eval, depth + 1);
        blanks();
        if (*p_ == ')') ++p_;
        current_ = saved;
        return v;
    }

    bool pattern(bool eval) {
        const char* start = p_ + 1;
        p_ = skip_quoted(p_);
        if (!eval) return false;
        const char* stop = (p_ - 1 >= start && p_[-1] == '"') ? p_ - 1 : p_;
        const treenode* l = leaf();
        if (l == nullptr) return false;
        return matches(std::string(start, stop), l->morphed_word);
    }

    bool field_patterns(bool eval) {
        const char* start = ++p_;
        bool quoted = false;
        while (*p_ != '\0' && (quoted || (*p_ != '>' && *p_ != ':'))) {
            if (*p_ == '"') quoted = !quoted;
            ++p_;
        }
        const bool closed = *p_ == '>';
        if (closed) ++p_;
        if (!eval || !closed) return false;
        const char* q = start;
        const int n = read_number(q, 1'000'000);
        int m = 0;
        if (*q == '.') {
            ++q;
            m = read_number(q, kOffsetCap);
        }
        if (*q != '=') return false;
        ++q;
        treenode* l = leaf();
        if (MState != 0 && m > 0) l = traverseleaves(l, m - 1);
        const char* entry = entry_of(l);
        if (entry == nullptr || n < 1) return false;
        const char* f = getfieldptr(entry, n);
        if (field_empty(f)) return false;
        const std::vector<std::string> elements = split(f, ",:;", '|');
        for (const std::string& pat : split(q, ",", '>')) {
            for (const std::string& el : elements) {
                if (matches(unquoted(pat), unquoted(el))) return true;
            }
        }
        return false;
    }

    static std::string tag_text(const char* from, const char* to) {
        std::string s;
        for (; from < to; ++from) {
            if (*from != kPreKey) s += *from;
        }
        return s;
    }

    static bool status_known(int s) { return s >= 0 && s < kPreStatuses; }

    bool preselection(bool eval) {
        const char* start = p_;
        const char* after = skip_attr_text(p_ + 1);
        if (!eval) {
            p_ = after;
            return false;
        }
        const char* r = find_pst(p_, 0);
        p_ = (r != nullptr && r > start) ? r : after;
        if (pre_status >= 4) return true;
        if (pre_status < 3 && status_known(pre_status)) {
            q_err("Preselection: ", pre_error[static_cast<std::size_t>(pre_status)],
                  tag_text(start, p_));
        }
        return false;
    }

    bool preselected_attribute(bool eval) {
        const char* attr_start = ++p_;
        const char* attr_end = skip_attr_text(p_);
        p_ = attr_end;
        if (attr_end == attr_start || *attr_end != kPreKey) {
            if (eval) q_err("Guard following _is_ not in proper form", "", "");
            if (*p_ == kPreKey) p_ = skip_attr_text(p_ + 1);
            return false;
        }
        const char* tag_start = p_;
        const char* after = skip_attr_text(p_ + 1);
        if (!eval) {
            p_ = after;
            return false;
        }
        text_to_comp_array(attr_start, 0);
        const std::array<attr_row, kAttrRows> rows = attr;
        const int rowcount = attr_index;
        const int values = all_values;
        const char* r = find_pst(tag_start, 0);
        p_ = (r != nullptr && r > tag_start) ? r : after;
        if (pre_status != 6) {
            if (status_known(pre_status)) {
                q_err("Preselection: ", pre_error[static_cast<std::size_t>(pre_status)],
                      tag_text(tag_start, p_));
            }
            return false;
        }
        if (rowcount == 0) return false;
        attr = rows;
        attr_index = rowcount;
        all_values = values;
        const treenode* rhs = pre_match != nullptr ? pre_match->RHS : nullptr;
        const char* entry =
            rhs != nullptr && rhs->dictionary != nullptr ? rhs->dictionary->dictionary : nullptr;
        return entry != nullptr && match_single_attr(entry) != 0;
    }

    bool attribute(bool eval) {
        const char* start = p_;
        p_ = skip_attr_text(p_);
        if (p_ == start) ++p_;
        if (!eval) return false;
        const treenode* l = leaf();
        if (l == nullptr) return false;
        text_to_comp_array(start, 0);
        if (attr_index == 0) return false;
        return find_attr(attributes_of(l)) != nullptr;
    }

    const char* p_;
    int current_ = 0;  // the leaf offset in force
};

void reset_evaluator() {
    mstackptr = -1;
    lspstackptr = -1;
    tabptr = 0;
    moutptr = 0;
    moutput[0] = '\0';
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Rules and tables
// ---------------------------------------------------------------------------------------------

void init_mrules() {
    for (auto& r : ruleheader)
        r.reset();
    for (auto& n : rule_names)
        n.clear();
    numrules = -1;
}

void clear_mrules() {
    init_mrules();
}

void clear_tables() {
    tablelist.reset();
}

void new_readmorph(const char* filename) {
    file_operation = "morphology input";
    q_stat = 0;
    if (!openfile(filename, 0)) {
        q_err("unable to open file: ", filename != nullptr ? filename : "", "");
    } else {
        read_rules();
    }
    file_position.clear();
    file_operation.clear();
}

void new_readtables(const char* filename) {
    file_operation = "table input";
    q_stat = 0;
    if (!openfile(filename, 0)) {
        q_err("unable to open file: ", filename != nullptr ? filename : "", "");
    } else {
        read_tables();
    }
    file_position.clear();
    file_operation.clear();
}

int m_ruleindex(const char* name) {
    if (name == nullptr) return -1;
    const std::string_view wanted(name);
    for (int r = 0; r <= numrules; ++r) {
        if (same_name(rule_names[static_cast<std::size_t>(r)], wanted)) return r;
    }
    return -1;
}

void print_mrules() {
    for (int r = 0; r <= numrules; ++r) {
        for (const subrule* s = ruleheader[static_cast<std::size_t>(r)].get(); s != nullptr;
             s = s->nextsub.get()) {
            q_msg("rule: " + std::to_string(r) + " name: " + s->rulename + " guard: " + s->guard +
                  " mexp: " + s->mexp);
        }
    }
}

void print_tables() {
    for (const table* t = tablelist.get(); t != nullptr; t = t->next.get()) {
        q_msg("table " + t->tablename + ", " + std::to_string(t->count) +
              " elements: " + t->elements);
    }
}

// ---------------------------------------------------------------------------------------------
// Evaluation
// ---------------------------------------------------------------------------------------------

void m_exp(const char* text) {
    treenode* const start = current_node;
    reset_evaluator();
    pushes_left = kPushBudget;
    guards_left = kGuardBudget;
    budget_reported = false;
    depth_reported = false;
    if (text != nullptr) push(text, start);
    evaluate();
    moutput[static_cast<std::size_t>(moutptr)] = '\0';
    current_node = start;
    MState = 0;
}

int m_guard(const char* text) {
    if (text == nullptr) {
        end_guard = nullptr;
        return 0;
    }
    return Guard(text).run() ? 1 : 0;
}

int match_index(const char* arg, int& radix) {
    radix = 1;
    if (arg == nullptr) return -1;
    text_to_comp_array(arg, 1);
    if (attr_index == 0) return -1;
    long long index = 0;
    long long rad = 1;
    const auto add = [&](int type, int value) {
        const int n = values_of(type);
        if (n < 1 || value < 1 || value > n) return false;
        index = std::min<long long>(index * n + (value - 1), kIndexCap - 1);
        rad = std::min<long long>(rad * n, kIndexCap);
        return true;
    };
    if (all_values != 0) {
        for (int i = 0; i < attr_index; ++i) {
            const attr_row& row = attr[static_cast<std::size_t>(i)];
            if (!add(row.type, row.value)) return -1;
        }
    } else {
        const s_comp_attr* c = find_attr(attributes_of(current_node));
        if (c == nullptr) return -1;
        int i = 0;
        for (const s_comp_attr* s = c; s != nullptr && i < attr_index; s = s->another.get(), ++i) {
            if (attr[static_cast<std::size_t>(i)].decon != 0) continue;
            // A value still open is settled here, as any use of it would settle it.
            if (MState != 1) make_choice(s->index);
            const t_delay& d = MState == 1 ? lt_delay_at(s->index) : delay_at(s->index);
            if (!add(d.class_, d.choice)) return -1;
        }
    }
    radix = static_cast<int>(rad);
    return static_cast<int>(index);
}

treenode* traverseleaves(treenode* node, int n) {
    for (; node != nullptr && n > 0; --n)
        node = node->right;
    for (; node != nullptr && n < 0; ++n)
        node = node->left;
    return node;
}

void morph_word(treenode* node, int field) {
    const char* entry = entry_of(node);
    if (entry == nullptr || field < 1) return;
    const char* f = getfieldptr(entry, field);
    if (field_empty(f)) return;
    treenode* const saved = current_node;
    current_node = node;
    m_exp(f);
    node->morphed_word = moutput.data();
    current_node = saved;
}

void morph_tree(treenode* node, int field) {
    if (node == nullptr) return;
    for (treenode* n = node->right; n != nullptr; n = n->right)
        morph_word(n, field);
}

void set_morph_passes(int tree, int p1, int p2, int p3, int p4) {
    if (tree >= kPassRows) {
        diserr("tree number too large");
        return;
    }
    if (tree < 0) {
        diserr("tree number cannot be negative");
        return;
    }
    if (p1 == 0) {
        diserr("first pass cannot be null");
        return;
    }
    auto& row = morph_passes[static_cast<std::size_t>(tree)];
    row[1] = p1;
    row[2] = p2;
    row[3] = p3;
    row[4] = p4;
    row[5] = 0;
    if (tree == kPassRows - 1) diserr("phonology passes have been set");
}

void reset_morphology() {
    init_mrules();
    clear_tables();
    reset_evaluator();
    current_node = nullptr;
    end_guard = nullptr;
}
