#include "semantic.hpp"

#include <algorithm>
#include <cctype>
#include <new>
#include <optional>
#include <utility>
#include <vector>

#include "attr_data.hpp"
#include "globals.hpp"
#include "input_base.hpp"

std::unique_ptr<sem_trans> sem_trans_list;
int depthStack = 0;

// Chains are released one record at a time: a file of many thousand transformations must not
// exhaust the stack through nested destructors.
sem_prot::~sem_prot() {
    auto p = std::move(next);
    while (p)
        p = std::move(p->next);
}

sem_trans::~sem_trans() {
    auto p = std::move(next);
    while (p)
        p = std::move(p->next);
}

namespace {

constexpr std::size_t kTextMax = kSemBuf - 1;
constexpr int kMaxNesting = 32;  // reanalyses within reanalyses
// Reanalyses of one expression in all: prototypes that each reanalyse twice would otherwise
// branch exponentially within the nesting limit.
constexpr int kMaxReanalyses = 1000;
constexpr int kNumberCap = 100000;
int nesting = 0;
int reanalyses = 0;
bool overused = false;  // a limit on reanalyses has been reported

// ---------------------------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------------------------

bool quoted = false;

void take() {
    if (q_peep() == kTokQuote) quoted = !quoted;
    q_next();
}

// The token as text: identifiers by their text, every other token by its character.
void append_token(std::string& s) {
    const int tok = q_peep();
    if (tok == kTokIdent && !quoted) {
        s += identbuf.data();
    } else if (tok != 0) {
        s += static_cast<char>(tok);
    }
}

bool at_percent() {
    return !quoted && q_peep() == kTokPercent;
}

// Past the '%' that ends the transformation (outside quotes), or to the end of input.
void skip_to_percent() {
    while (q_peep() != kTokEof) {
        const bool end = at_percent();
        take();
        if (end) return;
    }
}

std::string normalise(std::string_view text);

std::string shown(std::string_view s) {
    constexpr std::size_t kShown = 60;
    return s.size() <= kShown ? std::string(s) : std::string(s.substr(0, kShown)) + "...";
}

// The prototypes up to '%'. False when the transformation is not to be stored.
bool read_prototypes(sem_trans& t) {
    for (bool first = true;; first = false) {
        int reanalyse = 0;
        if (q_peep() == '&') {
            take();
            reanalyse = 1;
        }
        const int tok = q_peep();
        if (tok != kTokIdent && tok != '#' && tok != '@') {
            q_err(
                std::string("Encountered ") + tok2str(tok) + " instead of preselection prototype.",
                "", "");
            skip_to_percent();
            return !first;
        }
        std::string text;
        int brackets = 0;  // commas inside brackets belong to the prototype
        while (q_peep() != kTokEof && !at_percent() &&
               (quoted || brackets > 0 || q_peep() != ',')) {
            if (!quoted && q_peep() == '[') ++brackets;
            if (!quoted && q_peep() == ']' && brackets > 0) --brackets;
            append_token(text);
            take();
            if (text.size() > kTextMax) {
                q_err("Preselection prototype " + shown(text) + " is too long", "", "");
                skip_to_percent();
                return !first;
            }
        }
        auto p = std::make_unique<sem_prot>();
        p->reanalyse = reanalyse;
        p->prototype = std::move(text);
        sem_prot* added = p.get();
        if (t.last == nullptr) {
            t.first = std::move(p);
        } else {
            t.last->next = std::move(p);
        }
        t.last = added;
        if (q_peep() == ',') {
            take();
            continue;
        }
        if (at_percent()) take();
        return true;
    }
}

void read_one() {
    int form = 1;
    if (q_peep() == '$') {
        take();
        form = 2;
    }
    if (q_peep() != kTokIdent) {
        q_err(std::string("Encountered ") + tok2str(q_peep()) +
                  " instead of semantic transformation.",
              "", "");
        skip_to_percent();
        return;
    }
    std::string name;
    while (q_peep() != kTokEof && !at_percent() && (quoted || q_peep() != ':')) {
        append_token(name);
        take();
        if (name.size() > kTextMax) {
            q_err("Semantic Transformation name " + shown(name) + " is too long", "", "");
            skip_to_percent();
            return;
        }
    }
    if (q_peep() != ':') {
        q_err(std::string("Encountered ") + tok2str(q_peep()) + " instead of ':'.", "", "");
        skip_to_percent();
        return;
    }
    take();
    auto t = std::make_unique<sem_trans>();
    t->form = form;
    t->name = normalise(name);
    file_position.assign_cut(t->name);
    if (!read_prototypes(*t)) return;
    t->next = std::move(sem_trans_list);
    sem_trans_list = std::move(t);
}

// ---------------------------------------------------------------------------------------------
// Expressions
// ---------------------------------------------------------------------------------------------

std::string normalise(std::string_view text) {
    std::string out;
    bool bracket = false;
    for (char c : text) {
        if (bracket) {
            out += c;
            if (c == ']') bracket = false;
        } else if (c == '[') {
            out += c;
            bracket = true;
        } else if (c == '(' || c == ',') {
            out += '.';
        } else if (c != ' ' && c != '\t' && c != ')') {
            out += c;
        }
    }
    return out;
}

// The item at `i` with its bracketed part: everything up to the next '.' outside brackets; `i`
// is left at that '.' (or the end).
std::string_view next_item(std::string_view s, std::size_t& i) {
    const std::size_t start = i;
    bool bracket = false;
    for (; i < s.size(); ++i) {
        if (s[i] == '[') bracket = true;
        if (s[i] == ']') bracket = false;
        if (s[i] == '.' && !bracket) break;
    }
    return s.substr(start, i - start);
}

// An item without its bracketed part.
std::string_view item_name(std::string_view item) {
    return item.substr(0, std::min(item.find('['), item.size()));
}

bool empty_slot(std::string_view item) {
    return !item.empty() && item[0] == '0';
}

// The valence of the value named, or nullopt when the name is no attribute.
std::optional<int> valence_of(std::string_view name) {
    if (name.empty() || lookup_attr(name) == 0) return std::nullopt;
    if (att_value < 1) return 0;
    const attr_table_entry& e = attr_table[static_cast<std::size_t>(att_class)];
    const auto v = static_cast<std::size_t>(att_value);
    return v < e.valence.size() ? e.valence[v] : 0;
}

// The segments of an attribute text (names joined by '.'), or nullopt when a name is unknown.
std::optional<std::vector<std::pair<int, int>>> segments(std::string_view text) {
    std::vector<std::pair<int, int>> out;
    while (true) {
        const std::size_t dot = std::min(text.find('.'), text.size());
        if (lookup_attr(text.substr(0, dot)) == 0) return std::nullopt;
        out.emplace_back(att_class, att_value);
        if (dot == text.size()) return out;
        text.remove_prefix(dot + 1);
    }
}

// Two items, or two heads, as compounds: a type stands for any of its values. Items that are no
// attributes match only the same text.
bool same_compound(std::string_view a, std::string_view b) {
    const auto sa = segments(a);
    const auto sb = segments(b);
    if (!sa || !sb) return !sa && !sb && a == b;
    if (sa->size() != sb->size()) return false;
    for (std::size_t k = 0; k < sa->size(); ++k) {
        const auto [ta, va] = (*sa)[k];
        const auto [tb, vb] = (*sb)[k];
        if (ta != tb) return false;
        if (va != -1 && vb != -1 && va != vb) return false;
    }
    return true;
}

// The item names of a normalised expression, bracketed parts left out.
std::vector<std::string_view> item_names(std::string_view s) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (true) {
        out.push_back(item_name(next_item(s, i)));
        if (i >= s.size()) return out;
        ++i;
    }
}

// As many items as the name (as many '.' outside brackets), each matching.
bool matches_form1(const sem_trans& t, std::string_view expr) {
    const std::vector<std::string_view> a = item_names(expr);
    const std::vector<std::string_view> b = item_names(t.name);
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (!empty_slot(a[k]) && !empty_slot(b[k]) && !same_compound(a[k], b[k])) return false;
    }
    return true;
}

// Field n (from 1) of a record whose fields are closed by '|'; empty when there is none.
std::string_view field(std::string_view record, int n) {
    for (int k = 1; k < n; ++k) {
        const std::size_t bar = record.find('|');
        if (bar == std::string_view::npos) return {};
        record.remove_prefix(bar + 1);
    }
    if (n < 1) return {};
    return record.substr(0, std::min(record.find('|'), record.size()));
}

int read_number(std::string_view s, std::size_t& i) {
    int n = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) != 0) {
        n = std::min(n * 10 + (s[i] - '0'), kNumberCap);
        ++i;
    }
    return n;
}

bool is_digit_at(std::string_view s, std::size_t i) {
    return i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) != 0;
}

// The expression as a record: every item a field, nested arguments included.
std::string record_of(std::string_view expr) {
    std::string out;
    std::size_t i = 0;
    while (true) {
        out += next_item(expr, i);
        out += '|';
        if (i >= expr.size()) return out;
        ++i;
    }
}

bool core14(std::string_view text) {
    return q_line(kPreselectCore, kObjText, text);
}

// A clause as far as it is built, refused when it would not fit a line of rule text.
class Clause {
  public:
    void add(std::string_view s) {
        if (text_.size() + s.size() > kTextMax) {
            overflow_ = true;
            return;
        }
        text_ += s;
    }
    void add(char c) { add(std::string_view(&c, 1)); }
    std::string take() { return std::exchange(text_, {}); }
    const std::string& text() const { return text_; }
    bool overflow() const { return overflow_; }

  private:
    std::string text_;
    bool overflow_ = false;
};

// The elements of the bracketed list in a field, blanks dropped; nullopt without a list.
std::optional<std::vector<std::string>> list_elements(std::string_view f) {
    const std::size_t open = f.find('[');
    if (open == std::string_view::npos) return std::nullopt;
    const std::size_t close = std::min(f.find(']', open), f.size());
    std::vector<std::string> out;
    std::string cur;
    for (char c : f.substr(open + 1, close - open - 1)) {
        if (c == ',') {
            if (!cur.empty()) out.push_back(std::move(cur));
            cur.clear();
        } else if (c != ' ' && c != '\t') {
            cur += c;
        }
    }
    if (!cur.empty()) out.push_back(std::move(cur));
    return out;
}

void analyse(const char* semantic, bool head_line) {
    sem_expr e;
    e.original.assign(semantic != nullptr ? semantic : "");
    if (e.original.size() > kTextMax) e.original.resize(kTextMax);
    if (top_level(e) != 0) {
        core14("There was a problem processing the semantic expression");
        return;
    }
    const sem_trans* t = sem_match(e);
    if (t == nullptr) {
        core14("No match found for semantic expression");
        return;
    }
    e.analysed = 1;
    if (head_line) core14("PRESELECT = ");
    generate_preselections(e, *t, head_line ? 0 : 1);
}

}  // namespace

void read_sem_trans(const char* filename) {
    file_operation = "Semantic Transformation Input";
    file_position.clear();
    q_stat = 0;
    quoted = false;
    sem_trans_list.reset();
    openfile(filename != nullptr ? filename : "", 0);
    try {
        while (q_peep() != kTokEof)
            read_one();
    } catch (const std::bad_alloc&) {
        q_err("Inadequate working space", "", "");
        while (q_peep() != kTokEof)
            q_next();
    }
    quoted = false;
    file_operation.clear();
    file_position.clear();
}

int top_level(sem_expr& semExpr) {
    semExpr.original = normalise(semExpr.original);
    const std::string_view s = semExpr.original;
    std::string& top = semExpr.top_level_orig;
    std::size_t i = 0;
    const std::string_view head = next_item(s, i);
    top.assign(head);
    top += '|';
    if (i >= s.size()) return 0;
    const std::optional<int> n = valence_of(item_name(head));
    if (!n) return 0;
    const auto bad = [] {
        q_err("Attribute not recognized or invalid valence", "", "");
        return -1;
    };
    for (int arg = 0; arg < *n; ++arg) {
        if (i >= s.size()) return bad();
        ++i;  // the '.' before the argument
        std::string_view item = next_item(s, i);
        top += item;
        long owed = 0;
        for (;;) {
            if (!empty_slot(item)) {
                const std::optional<int> v = valence_of(item_name(item));
                if (!v) return bad();
                owed += *v;
            }
            if (owed <= 0) break;
            if (i >= s.size()) return bad();
            ++i;
            item = next_item(s, i);
            top += '.';
            top += item;
            --owed;
        }
        top += '|';
    }
    return 0;
}

const sem_trans* sem_match(const sem_expr& new_sem_expr) {
    const std::string_view head = field(new_sem_expr.top_level_orig, 1);
    for (const sem_trans* t = sem_trans_list.get(); t != nullptr; t = t->next.get()) {
        if (t->form == 2) {
            if (same_compound(item_name(head), item_name(t->name))) return t;
        } else if (matches_form1(*t, new_sem_expr.original)) {
            return t;
        }
    }
    return nullptr;
}

void analyse_sem_expr(const char* semantic) {
    nesting = 0;
    reanalyses = 0;
    overused = false;
    depthStack = 0;
    analyse(semantic, true);
}

void reanalyse_expr(const char* semantic) {
    if (nesting >= kMaxNesting) {
        if (!overused) q_err("Semantic expression reanalysed too deeply", shown(semantic), "");
        overused = true;
        return;
    }
    if (++reanalyses > kMaxReanalyses) {
        if (!overused) q_err("Semantic expression reanalysed too often", shown(semantic), "");
        overused = true;
        return;
    }
    ++nesting;
    analyse(semantic, false);
    --nesting;
}

void generate_preselections(const sem_expr& gen_expr, const sem_trans& selected_trans,
                            int /*subExpression*/) {
    const std::string record = record_of(gen_expr.original);
    for (const sem_prot* p = selected_trans.first.get(); p != nullptr; p = p->next.get()) {
        const bool last = p->next == nullptr;
        if (p->reanalyse == 1) {
            const std::string sub = make_new_substring(p->prototype, gen_expr.top_level_orig);
            if (!last) ++depthStack;
            reanalyse_expr(sub.c_str());
            if (!last) --depthStack;
        } else {
            write_preselections(p->prototype, record, last && depthStack == 0 ? 1 : 0);
        }
    }
}

void write_preselections(std::string_view templ, std::string_view prot_string, int isLast) {
    Clause clause;
    std::string prefix;
    int list_field = 0;
    std::size_t i = 0;
    // The tag, up to ':'.
    while (i < templ.size() && templ[i] != ':') {
        const char c = templ[i];
        if (c == '#' && is_digit_at(templ, i + 1)) {
            ++i;
            const std::string_view f = field(prot_string, read_number(templ, i));
            clause.add(f.substr(0, std::min(f.find('['), f.size())));
        } else if (c == '@' && is_digit_at(templ, i + 1)) {
            ++i;
            list_field = read_number(templ, i);
            prefix = clause.take();
        } else if (c == '.') {
            clause.add('.');
            ++i;
        } else {
            const std::size_t start = i;
            while (i < templ.size() && templ[i] != '.' && templ[i] != ':')
                ++i;
            clause.add(templ.substr(start, i - start));
        }
    }
    // The word class and its attachments; #n is the whole field inside the brackets.
    if (i < templ.size()) {
        const std::size_t open = std::min(templ.find('[', i), templ.size());
        clause.add(templ.substr(i, open - i));
        i = open;
        if (i < templ.size()) {
            clause.add('[');
            ++i;
            while (i < templ.size() && templ[i] != ']') {
                const char c = templ[i];
                if (c == ',' || c == '.') {
                    clause.add(c);
                    ++i;
                } else if (c == '#' && is_digit_at(templ, i + 1)) {
                    ++i;
                    clause.add(field(prot_string, read_number(templ, i)));
                } else {
                    const std::size_t start = i;
                    while (i < templ.size() && templ[i] != '.' && templ[i] != ',' &&
                           templ[i] != ']')
                        ++i;
                    clause.add(templ.substr(start, i - start));
                }
            }
            clause.add(']');
            if (i < templ.size()) clause.add(templ.substr(i + 1));
        }
    }
    if (clause.overflow() || prefix.size() + clause.text().size() > kTextMax) {
        q_err("Preselection clause too long for prototype", shown(templ), "");
        return;
    }
    const char* sep = isLast == 1 ? "" : ";";
    if (list_field == 0) {
        core14(clause.text() + sep);
    } else if (const auto elements = list_elements(field(prot_string, list_field))) {
        for (std::size_t k = 0; k < elements->size(); ++k) {
            const bool final_one = k + 1 == elements->size();
            core14(prefix + (*elements)[k] + clause.text() + (final_one ? sep : ";"));
        }
    }
    if (isLast == 1) core14("%");
}

std::string make_new_substring(std::string_view cur_prot, std::string_view prot_string) {
    std::string out;
    for (std::size_t i = 0; i < cur_prot.size() && out.size() <= kTextMax;) {
        if (cur_prot[i] == '#' && is_digit_at(cur_prot, i + 1)) {
            ++i;
            out += field(prot_string, read_number(cur_prot, i));
        } else {
            out += cur_prot[i++];
        }
    }
    if (out.size() > kTextMax) out.resize(kTextMax);
    return out;
}

void reset_semantic() {
    sem_trans_list.reset();
    depthStack = 0;
    nesting = 0;
    reanalyses = 0;
    overused = false;
}
