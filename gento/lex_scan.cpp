#include "lex_scan.hpp"

#include <algorithm>
#include <cctype>
#include <climits>
#include <string>

#include "attr_data.hpp"
#include "attr_fns.hpp"
#include "attr_list.hpp"
#include "gento/terminal.hpp"
#include "ilt.hpp"
#include "input_base.hpp"
#include "misc.hpp"
#include "scrout.hpp"
#include "syn_globals.hpp"
#include "termutils.hpp"

std::array<lex_comp, kLexComps> lexatt;
int lexatt_index = 0;
std::vector<recnode*> nodearray;
std::vector<long> prob_array;
long numnodes = 0;
long prob_tot = 0;

namespace {

unsigned byte(const char* p) {
    return static_cast<unsigned char>(*p);
}

// Wildcard match of whole views: '*' matches any run. One pending star is enough to backtrack
// to, so the cost stays within the product of the lengths and never recurses.
bool wild(std::string_view pat, std::string_view str) {
    std::size_t p = 0, s = 0;
    std::size_t star = std::string_view::npos, mark = 0;
    while (s < str.size()) {
        if (p < pat.size() && pat[p] == '*') {
            star = p++;
            mark = s;
        } else if (p < pat.size() && pat[p] == str[s]) {
            ++p;
            ++s;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            s = ++mark;
        } else {
            return false;
        }
    }
    while (p < pat.size() && pat[p] == '*')
        ++p;
    return p == pat.size();
}

std::string_view upto(const char* s, char term) {
    const char* e = s;
    while (*e != '\0' && *e != term)
        ++e;
    return {s, static_cast<std::size_t>(e - s)};
}

// A word as written in an entry or a pattern: after its opening quote, up to the closing quote
// (or the end of the field when a quote is missing).
std::string_view quoted_word(const char* s) {
    if (*s == '"') ++s;
    const char* e = s;
    while (*e != '\0' && *e != '"' && *e != '|')
        ++e;
    return {s, static_cast<std::size_t>(e - s)};
}

// Whether a compound of an entry matches the working rows, segment by segment. The values the
// entry gives to undecided rows are noted as the rows' `lttmp`.
bool compound_matches(const lex_comp& c) {
    if (c.count != attr_index || attr_index > kAttrRows) return false;
    std::array<int, kAttrRows> taken;  // set for every row before the rows are read back
    bool any_taken = false;
    const char* p = c.start;
    int sign = 0;
    for (int row = 0; row < attr_index;) {
        if (*p == '<' || *p == '>') {
            sign = *p++;
            continue;
        }
        if (*p == '.') {
            ++p;
            continue;
        }
        if (*p != kAttrCode || p[1] == '\0' || p[2] == '\0') return false;
        const int type = static_cast<int>(byte(p + 1));
        const int value = static_cast<int>(byte(p + 2));
        p += 3;
        const attr_row& r = attr[static_cast<std::size_t>(row)];
        if (type != r.type) return false;
        taken[static_cast<std::size_t>(row)] = -1;
        if (value != kTypeOnly) {
            if (r.value == -1) {
                taken[static_cast<std::size_t>(row)] = value;
                any_taken = true;
            } else if (valid(sign, type, value, r.value) == 0) {
                return false;
            }
        }
        sign = 0;
        ++row;
    }
    // The values the entry gave to undecided rows are how a lexical transformation learns what
    // the word it picked carries.
    if (!any_taken) return true;
    for (int row = 0; row < attr_index; ++row) {
        attr_row& r = attr[static_cast<std::size_t>(row)];
        const int v = taken[static_cast<std::size_t>(row)];
        if (r.value != -1 || v == -1) continue;
        r.lttmp = v;
        if (MState == 1) lt_delay_at(r.ltindex).choice = v;
    }
    return true;
}

// Elements of a field: separated by any of `seps` outside double quotes.
template <typename F>
bool each_element(std::string_view field, std::string_view seps, F&& f) {
    bool quoted = false;
    std::size_t from = 0;
    for (std::size_t i = 0; i <= field.size(); ++i) {
        if (i < field.size() && field[i] == '"') quoted = !quoted;
        if (i == field.size() || (!quoted && seps.find(field[i]) != std::string_view::npos)) {
            if (f(field.substr(from, i - from))) return true;
            from = i + 1;
        }
    }
    return false;
}

bool field_matches(std::string_view pattern, std::string_view entry) {
    if (pattern == "?") return true;
    if (pattern.empty()) return entry.empty();
    // Every pattern element must match some element of the entry's field.
    const bool some_fails = each_element(pattern, ",", [&](std::string_view p) {
        return !each_element(entry, ",:;", [&](std::string_view e) { return wild(p, e); });
    });
    return !some_fails;
}

// Whether the entry whose coded attributes begin at `attrs` carries a compound that matches the
// rows of the attribute table.
bool matches_rows(const lex_comp* comps, int n) {
    if (attr_index == 0) return true;
    for (int row = 0; row < attr_index; ++row)
        attr[static_cast<std::size_t>(row)].lttmp = 0;
    for (int i = 0; i < n; ++i) {
        // Compounds are stored in ascending order of their first type.
        if (comps[i].first_type > attr[0].type) break;
        if (compound_matches(comps[i])) return true;
    }
    return false;
}

bool matches_rows(const char* attrs) {
    locate_comp(attrs);
    return matches_rows(lexatt.data(), lexatt_index);
}

void decompose_for(const s_comp_attr* compound) {
    if (MState == 1) {
        lt_decompose_comp_attr(compound);
    } else {
        decompose_comp_attr(compound);
    }
}

bool match_list(const char* attrs, const s_attr_list* attrlist) {
    for (const s_attr_list* l = attrlist; l != nullptr; l = l->next.get()) {
        if (!l->first) continue;
        decompose_for(l->first.get());
        if (!matches_rows(attrs)) return false;
    }
    return true;
}

// The working rows of one compound of a lookup, laid out once for all the entries it is tested
// against. Matching changes no decided row, so restoring them is all a later entry needs.
struct RowLayout {
    std::array<attr_row, kAttrRows> rows;
    int count = 0;
    int values = 0;
    int decon = 0;

    void save() {
        std::copy_n(attr.begin(), attr_index, rows.begin());
        count = attr_index;
        values = all_values;
        decon = all_decon;
    }
    void restore() const {
        std::copy_n(rows.begin(), count, attr.begin());
        attr_index = count;
        all_values = values;
        all_decon = decon;
    }
};

// How one lookup tests the entries of its terminal.
class EntryTest {
  public:
    explicit EntryTest(const t_dict_lookup* lookup) : lookup_(lookup) {
        count_ = 0;
        for (const s_attr_list* l = lookup->attributes.get(); l != nullptr; l = l->next.get()) {
            if (!l->first) continue;
            decompose_for(l->first.get());
            if (count_ == layouts_.size()) layouts_.emplace_back();
            layouts_[count_++].save();
        }
    }

    bool qualifies(const recnode& entry) const {
        if (!lookup_->preferredchoice.empty() &&
            !wild(quoted_word(lookup_->preferredchoice.c_str()), quoted_word(entry.recordptr))) {
            return false;
        }
        for (std::size_t i = 0; i < count_; ++i) {
            if (count_ > 1) layouts_[i].restore();
            if (!matches_rows(entry.compounds, entry.ncompounds)) return false;
        }
        return lookup_->fields.empty() || match_lsp(lookup_->fields.c_str(), entry.recordptr) == 1;
    }

  private:
    const t_dict_lookup* lookup_;
    // Kept between lookups, and only ever grown: the first count_ are this lookup's.
    static inline std::vector<RowLayout> layouts_;
    static inline std::size_t count_ = 0;
};

// 0 <= r < total. Totals that fit the generator's range are drawn by it directly; larger ones,
// which only a very large lexicon reaches, from two draws.
long draw(long total) {
    if (total <= INT_MAX) return getrandom(static_cast<int>(total));
    constexpr int kHalf = 1 << 30;
    const unsigned long long hi = static_cast<unsigned long long>(getrandom(kHalf));
    const unsigned long long lo = static_cast<unsigned long long>(getrandom(kHalf));
    return static_cast<long>(((hi << 30) | lo) % static_cast<unsigned long long>(total));
}

}  // namespace

void locate_comp(const char* ptr) {
    lexatt_index = 0;
    if (ptr == nullptr) return;
    for (const char* p = ptr; *p != '\0' && *p != '|';) {
        const lex_comp c = next_compound(p);
        if (c.count > 0 && lexatt_index < kLexComps)
            lexatt[static_cast<std::size_t>(lexatt_index++)] = c;
    }
}

int match_comp(int index) {
    if (index < 0 || index >= lexatt_index) return 0;
    return compound_matches(lexatt[static_cast<std::size_t>(index)]) ? 1 : 0;
}

int match_single_attr(const char* record) {
    if (record == nullptr || attr_index == 0) return 0;
    locate_comp(getfieldptr(record, 3));
    for (int row = 0; row < attr_index; ++row)
        attr[static_cast<std::size_t>(row)].lttmp = 0;
    for (int i = 0; i < lexatt_index; ++i) {
        if (lexatt[static_cast<std::size_t>(i)].first_type > attr[0].type) break;
        if (match_comp(i) == 0) continue;
        for (int row = 0; row < attr_index; ++row) {
            attr_row& r = attr[static_cast<std::size_t>(row)];
            if (r.value == -1 && r.lttmp > 0) r.value = r.lttmp;
        }
        return 1;
    }
    return 0;
}

int match_attr(const char* record, const s_attr_list* attrlist) {
    if (attrlist == nullptr) return 1;
    if (record == nullptr) return 0;
    return match_list(getfieldptr(record, 3), attrlist) ? 1 : 0;
}

int match_wild(const char* pattern, const char* string, char pterm, char sterm) {
    if (pattern == nullptr || string == nullptr) return 0;
    return wild(upto(pattern, pterm), upto(string, sterm)) ? 1 : 0;
}

int match_lsp(const char* lsp, const char* lex) {
    if (lsp == nullptr || *lsp == '\0') return 1;
    if (lex == nullptr) return 0;
    for (int f = 4;; ++f) {
        const char* pf = getfieldptr(lsp, f);
        if (*pf == '\0') return 1;
        const char* ef = getfieldptr(lex, f);
        if (*ef == '\0') return 0;
        if (!field_matches(upto(pf, '|'), upto(ef, '|'))) return 0;
    }
}

recnode* exactword(const char* word, recnode* list) {
    if (word == nullptr) return nullptr;
    const std::string_view w = quoted_word(word);
    for (recnode* r = list; r != nullptr; r = r->previous) {
        if (r->recordptr != nullptr && wild(w, quoted_word(r->recordptr))) return r;
    }
    return nullptr;
}

void locate_matches(const t_dict_lookup* lookup, int index) {
    nodearray.clear();
    prob_array.clear();
    numnodes = 0;
    prob_tot = 0;
    if (lookup == nullptr || index < 0 || index >= dictterm) return;
    const EntryTest test(lookup);
    for (recnode* r = dictionary[static_cast<std::size_t>(index)]; r != nullptr; r = r->previous) {
        if (r->recordptr == nullptr || !test.qualifies(*r)) continue;
        prob_tot += weight_digits(r->weight);
        nodearray.push_back(r);
        prob_array.push_back(prob_tot);
    }
    numnodes = static_cast<long>(nodearray.size());
}

recnode* select_match() {
    if (numnodes <= 0 || prob_tot <= 0) return nullptr;
    const long r = draw(prob_tot);
    // The first entry whose running total exceeds the draw; weight 0 never raises the total.
    const auto end = prob_array.begin() + numnodes;
    const auto it = std::upper_bound(prob_array.begin(), end, r);
    if (it == end) return nullptr;
    return nodearray[static_cast<std::size_t>(it - prob_array.begin())];
}

void apply_vf_single(char* lex_entry, int n) {
    if (lex_entry == nullptr || n == -1) return;
    char* p = getfieldptr(lex_entry, 4);
    for (int k = 0; k < 4; ++k) {
        if (p[k] < '0' || p[k] > '9') return;  // no four digits to rewrite in place
    }
    if (p[4] != '|' && p[4] != '\0') return;
    long w = (p[0] - '0') * 1000 + (p[1] - '0') * 100 + (p[2] - '0') * 10 + (p[3] - '0');
    if (n >= 0) {
        w = n;
    } else if (n == -2) {
        w += 5;
    } else if (n == -3) {
        w *= 2;
    } else if (n == -4) {
        w /= 2;
    }
    w = std::min(w, 9999L);
    for (int k = 3; k >= 0; --k, w /= 10)
        p[k] = static_cast<char>('0' + w % 10);
}

void getdictent(t_dict_lookup* lookup) {
    if (lookup == nullptr) return;
    lookup->dictionary = nullptr;
    const int t = lookup_terminal(lookup->class_);
    if (t < 0) {
        lookup->error = 1;
        return;
    }
    locate_matches(lookup, t);
    recnode* chosen = select_match();
    if (chosen == nullptr) {
        lookup->error = 3;
        return;
    }
    apply_vf_single(chosen->recordptr, lookup->vf);
    lookup->dictionary = chosen->recordptr;
    lookup->error = 0;
}

void getwords(int start) {
    // An inline transformation adds lookups for its patterns as it goes: they are looked up in
    // this same pass, so the end is read anew each time.
    for (int i = std::max(start, 0); i < std::min(d_table_count, kLookups); ++i) {
        t_dict_lookup& l = dict_table[static_cast<std::size_t>(i)];
        if (l.pointed_at != 1 || l.class_.empty()) continue;
        getdictent(&l);
        if (l.error == 3) {
            q_err("No lexical entry found for", l.class_, "");
        } else if (l.error == 1) {
            q_err("Terminal not found:", l.class_, "");
        } else if (l.dictionary != nullptr && l.dictionary[0] == kIltMark) {
            ilt_create_lsps(l);
        }
    }
    scan_ilts(start);
}

namespace {

// One terminal of the syntax notation, as QFREQ is given it.
struct FreqRequest {
    std::string name;
    std::vector<std::string> attributes;  // one attribute text per compound
    std::string word;                     // with its quotes; empty for any word
    int vf = -1;
    std::string error;  // what was wrong with the text, when something was
};

FreqRequest parse_freq_request(std::string_view text) {
    FreqRequest req;
    // Blanks separate nothing here, as in rule files, except inside a quoted word.
    std::string s;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted || (c != ' ' && c != '\t')) s += c;
    }
    // A terminal's name is made of the characters the terminals file takes for a name.
    const auto namechar = [](char c) {
        return c == '%' || (charkind[static_cast<unsigned char>(c)] & 1) != 0;
    };
    std::size_t i = 0;
    while (i < s.size() && namechar(s[i]))
        req.name += s[i++];
    if (req.name.empty()) {
        req.error = "terminal name missing";
        return req;
    }
    if (i < s.size() && s[i] == '[') {
        const std::size_t close = s.find(']', i);
        if (close == std::string::npos) {
            req.error = "] missing";
            return req;
        }
        std::string_view list(s.data() + i + 1, close - i - 1);
        while (!list.empty()) {
            const std::size_t comma = std::min(list.find(','), list.size());
            if (comma > 0) req.attributes.emplace_back(list.substr(0, comma));
            list.remove_prefix(std::min(comma + 1, list.size()));
        }
        i = close + 1;
    }
    while (i < s.size() && req.error.empty()) {
        if (s[i] != '/' || i + 1 >= s.size()) {
            req.error = "improper text at " + s.substr(i);
        } else if (s[i + 1] == '"') {
            const std::size_t close = s.find('"', i + 2);
            if (close == std::string::npos) {
                req.error = "Unmatched Quote.";
            } else {
                req.word = s.substr(i + 1, close - i);
                i = close + 1;
            }
        } else if ((s[i + 1] == '+' || s[i + 1] == '$') && i + 2 < s.size() &&
                   std::isdigit(static_cast<unsigned char>(s[i + 2])) != 0) {
            const bool negative = s[i + 1] == '$';
            long n = 0;
            for (i += 2; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) != 0; ++i)
                n = std::min(n * 10 + (s[i] - '0'), 99999L);
            req.vf = static_cast<int>(negative ? -n : n);
        } else {
            req.error = "improper text at " + s.substr(i);
        }
    }
    return req;
}

}  // namespace

void vary_frequency(const char* lex) {
    const std::string text = lex != nullptr ? lex : "";
    q_msg("VF " + text);
    const FreqRequest req = parse_freq_request(text);
    if (!req.error.empty()) {
        diserr(req.error);
        return;
    }
    const int t = lookup_terminal(req.name);
    if (t < 0) {
        diserr("terminal class not found");
        return;
    }
    // The compounds of the request take delay entries only for the length of the command.
    const int keep_delayptr = delayptr;
    t_dict_lookup lookup;
    lookup.class_ = req.name;
    lookup.preferredchoice = req.word;
    lookup.vf = req.vf;
    // An attribute that cannot be read (it is reported) matches no entry: leaving it out would
    // match them all.
    bool readable = true;
    for (const std::string& a : req.attributes) {
        text_to_comp_struct(a.c_str(), 0);
        if (!comp_attr_register) readable = false;
        if (comp_attr_register) add_attr_to_list(lookup.attributes, std::move(comp_attr_register));
    }
    std::vector<recnode*> matches;
    if (readable) {
        locate_matches(&lookup, t);
        matches.assign(nodearray.begin(), nodearray.begin() + numnodes);
    }
    delayptr = keep_delayptr;
    if (diserr(std::to_string(matches.size()) + " matches; <RETN> continues, <DEL> aborts") != 1)
        return;
    for (recnode* r : matches)
        apply_vf_single(r->recordptr, req.vf);
    if (diserr("Display matches? <RETN> yes, <DEL> no") != 1) return;
    for (const recnode* r : matches)
        q_msg(printable_entry(r->recordptr));
}

void reset_lex_scan() {
    nodearray.clear();
    prob_array.clear();
    numnodes = 0;
    prob_tot = 0;
    lexatt_index = 0;
}
