#include "stud_err.hpp"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <optional>

#include "attr_list.hpp"
#include "input_base.hpp"
#include "scrout.hpp"
#include "stud_ind.hpp"
#include "stud_mor.hpp"
#include "stud_phon.hpp"
#include "stud_read.hpp"
#include "stud_report.hpp"
#include "syn_globals.hpp"

std::array<int, kRoots> rootset{};
int rootsetinit = 0;
bool err_in_analysis = false;

namespace {

constexpr int kDefaultFirstRoot = 2;
constexpr int kErrorCore = 15;                // where the report of the best root goes
constexpr int kMessageQuota = 50;             // messages of the comparisons in one analysis
constexpr int kWeights[] = {0, 5, 2, 10, 1};  // score of classes 0 to 4 on the diagonal
int messages_left = kMessageQuota;
int messages_dropped = 0;
const char* last_step = nullptr;  // the step of a pair's comparison shown last

// The comparisons of every pair show their steps; each is sent once while it stays the same.
void show_step(const char* text) {
    if (text == last_step) return;
    last_step = text;
    progress(text);
}

std::string members(const std::array<int, kRoots>& set) {
    std::string s;
    for (int r = 0; r < kRoots; ++r) {
        if (set[static_cast<std::size_t>(r)] != 0) s += std::to_string(r) + " ";
    }
    return s;
}

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// ---------------------------------------------------------------------------------------------
// Post-morphology of a word's leaves: `^` glues what follows to what comes before, a grave
// accent capitalises the next character. These are the rules that make the generated sentence,
// applied to the leaves of one word.
// ---------------------------------------------------------------------------------------------

bool small_letter(unsigned char c) {
    // Latin-1 247 is the division sign: it has no capital.
    return (c >= 'a' && c <= 'z') || (c >= 224 && c <= 254 && c != 247);
}
bool capital_letter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 192 && c <= 222 && c != 215);
}
bool shows(char ch) {
    return ch != '^' && ch != '`' && ch != ' ';
}

// Post-morphology one character at a time, each character marked with the leaf it came from.
class Joiner {
  public:
    struct Out {
        char ch;
        int leaf;  // -1 for the blank between two leaves
    };
    // The blank between the words of two leaves.
    void gap() { blank(-1); }
    void put(char ch, int leaf) {
        if (ch == '^') {
            join_ = true;
            while (!out_.empty() && out_.back().ch == ' ')
                out_.pop_back();
        } else if (ch == '`') {
            capital_ = true;
        } else if (ch == ' ') {
            blank(leaf);
        } else {
            const auto c = static_cast<unsigned char>(ch);
            out_.push_back({capital_ && small_letter(c) ? static_cast<char>(c - 32) : ch, leaf});
            join_ = false;
            capital_ = false;
        }
    }
    bool capital() const { return capital_; }
    const std::vector<Out>& out() const { return out_; }

  private:
    void blank(int leaf) {
        if (!join_ && !capital_) out_.push_back({' ', leaf});
    }
    std::vector<Out> out_;
    bool join_ = false;
    bool capital_ = false;
};

struct Rendered {
    std::string text;
    std::size_t from = std::string::npos;  // leaf k's characters in `text`: [from, to)
    std::size_t to = std::string::npos;
    bool capital = false;  // a capital was pending at leaf k's first character
};

// The text of the word's leaves, leaf k's form replaced by `form`, without blanks at its ends.
Rendered render_tracked(const expected_word& w, std::size_t k, std::string_view form) {
    Joiner j;
    Rendered r;
    bool first = true;
    for (std::size_t i = 0; i < w.leaves.size(); ++i) {
        if (i > 0) j.gap();
        for (char ch : i == k ? form : std::string_view(w.leaves[i]->morphed_word)) {
            if (i == k && first && shows(ch)) {
                r.capital = j.capital();
                first = false;
            }
            j.put(ch, static_cast<int>(i));
        }
    }
    const std::vector<Joiner::Out>& out = j.out();
    std::size_t begin = 0;
    std::size_t end = out.size();
    while (begin < end && out[begin].ch == ' ')
        ++begin;
    while (end > begin && out[end - 1].ch == ' ')
        --end;
    for (std::size_t p = begin; p < end; ++p) {
        if (static_cast<std::size_t>(out[p].leaf) == k && out[p].ch != ' ') {
            if (r.from == std::string::npos) r.from = r.text.size();
            r.to = r.text.size() + 1;
        }
        r.text += out[p].ch;
    }
    return r;
}

// ---------------------------------------------------------------------------------------------
// The words of a sentence from its leaves
// ---------------------------------------------------------------------------------------------

// Groups the leaves (those with a word) into the words that post-morphology makes of them. A
// leaf that shows no character of its own (a capital mark, a lone glue) belongs to the word it
// acts on, the next one; a leaf whose word holds a blank keeps the words it spans together.
std::vector<expected_word> group_leaves(const std::vector<treenode*>& leaves) {
    Joiner j;
    std::vector<std::size_t> start(leaves.size());  // where each leaf's characters begin
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        if (i > 0) j.gap();
        start[i] = j.out().size();
        for (char ch : leaves[i]->morphed_word)
            j.put(ch, static_cast<int>(i));
    }
    const std::vector<Joiner::Out>& out = j.out();
    // The word that each position of the output belongs to (-1 for a blank).
    std::vector<int> word_at(out.size(), -1);
    int words = 0;
    for (std::size_t p = 0; p < out.size(); ++p) {
        if (out[p].ch == ' ') continue;
        if (p == 0 || out[p - 1].ch == ' ') ++words;
        word_at[p] = words - 1;
    }
    if (words == 0) return {};
    // The word at or after a position; the last word past the end.
    const auto word_from = [&](std::size_t pos) {
        for (std::size_t p = pos; p < out.size(); ++p) {
            if (word_at[p] >= 0) return word_at[p];
        }
        return words - 1;
    };
    std::vector<int> first(leaves.size(), -1);
    std::vector<int> last(leaves.size(), -1);
    for (std::size_t p = 0; p < out.size(); ++p) {
        if (out[p].leaf < 0 || word_at[p] < 0) continue;
        const auto l = static_cast<std::size_t>(out[p].leaf);
        if (first[l] < 0) first[l] = word_at[p];
        last[l] = word_at[p];
    }
    // joined[w]: word w is part of the word before it.
    std::vector<bool> joined(static_cast<std::size_t>(words), false);
    for (std::size_t i = 0; i < leaves.size(); ++i) {
        if (first[i] < 0) first[i] = last[i] = word_from(start[i]);
        for (int w = first[i] + 1; w <= last[i]; ++w)
            joined[static_cast<std::size_t>(w)] = true;
    }
    std::vector<std::size_t> group_of(static_cast<std::size_t>(words));
    std::size_t groups = 0;
    for (std::size_t w = 0; w < group_of.size(); ++w) {
        if (w == 0 || !joined[w]) ++groups;
        group_of[w] = groups - 1;
    }
    std::vector<expected_word> result(groups);
    for (std::size_t i = 0; i < leaves.size(); ++i)
        result[group_of[static_cast<std::size_t>(first[i])]].leaves.push_back(leaves[i]);
    for (expected_word& w : result)
        w.text = render_tracked(w, w.leaves.size(), {}).text;
    return result;
}

// The part of the response word that leaf k of the word spells, with a capital made by a mark
// before it taken back; none when the other leaves' parts are not where they belong.
std::optional<std::string> part_of_leaf(std::string_view word, const expected_word& w,
                                        std::size_t k) {
    const Rendered r = render_tracked(w, k, w.leaves[k]->morphed_word);
    if (r.from == std::string::npos) return std::nullopt;
    const std::string_view prefix = std::string_view(r.text).substr(0, r.from);
    const std::string_view suffix = std::string_view(r.text).substr(r.to);
    if (word.size() <= prefix.size() + suffix.size() || !word.starts_with(prefix) ||
        !word.ends_with(suffix)) {
        return std::nullopt;
    }
    std::string part(word.substr(prefix.size(), word.size() - prefix.size() - suffix.size()));
    if (r.capital && capital_letter(static_cast<unsigned char>(part[0])))
        part[0] = static_cast<char>(part[0] + 32);
    if (render_tracked(w, k, part).text != word) return std::nullopt;
    return part;
}

// A candidate form of leaf k fits when the word it makes with the other leaves is the response
// word. When leaf k's own form and the candidate are plain text (no marks, no blanks), the other
// leaves make the same text around either, so the candidate is compared with what lies between.
WordFit fit_for(std::string_view word, const expected_word& w, std::size_t k) {
    const auto plain = [](std::string_view s) {
        return !s.empty() && s.find_first_of("^` ") == std::string_view::npos;
    };
    const std::string& own = w.leaves[k]->morphed_word;
    if (w.leaves.size() == 1 && plain(own)) {
        return [word, &w, k, plain](std::string_view candidate) {
            return plain(candidate) ? candidate == word : err_render(w, k, candidate) == word;
        };
    }
    const Rendered r = plain(own) ? render_tracked(w, k, own) : Rendered{};
    if (r.from == std::string::npos) {
        return [word, &w, k](std::string_view candidate) {
            return err_render(w, k, candidate) == word;
        };
    }
    return [word, &w, k, plain, r](std::string_view candidate) {
        if (!plain(candidate)) return err_render(w, k, candidate) == word;
        const std::size_t after = r.text.size() - r.to;
        if (word.size() != r.from + candidate.size() + after ||
            word.compare(0, r.from, r.text, 0, r.from) != 0 ||
            word.compare(word.size() - after, after, r.text, r.to, after) != 0) {
            return false;
        }
        const auto first = static_cast<unsigned char>(candidate[0]);
        const char shown =
            r.capital && small_letter(first) ? static_cast<char>(first - 32) : candidate[0];
        return word[r.from] == shown &&
               word.substr(r.from + 1, candidate.size() - 1) == candidate.substr(1);
    };
}

int weight(int matchclass) {
    if (matchclass < 0 || matchclass >= static_cast<int>(std::size(kWeights))) return 0;
    return kWeights[matchclass];
}

void report_line(std::string_view text) {
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    q_line(kErrorCore, kObjText, text);
}

std::string sentence_of(int n) {
    const auto& s = genSentences[static_cast<std::size_t>(n)];
    return s ? *s : std::string();
}

// Starts and ends the state of one analysis: the message quota, the delay entries it makes and
// the work the tests keep per leaf.
class AnalysisScope {
  public:
    AnalysisScope() : saved_delay_(delayptr) {
        err_in_analysis = true;
        messages_left = kMessageQuota;
        messages_dropped = 0;
    }
    ~AnalysisScope() {
        release_related();
        release_phon_cache();
        delayptr = saved_delay_;
        err_in_analysis = false;
        if (messages_dropped > 0) {
            q_msg(std::to_string(messages_dropped) + " further messages of this analysis left out");
        }
        messages_left = kMessageQuota;
        messages_dropped = 0;
    }
    AnalysisScope(const AnalysisScope&) = delete;
    AnalysisScope& operator=(const AnalysisScope&) = delete;

  private:
    int saved_delay_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// The root set
// ---------------------------------------------------------------------------------------------

void err_initrootset() {
    rootset.fill(0);
    for (int r = kDefaultFirstRoot; r < kRoots; ++r)
        rootset[static_cast<std::size_t>(r)] = 1;
    rootsetinit = 1;
}

void err_set_rootset(std::string_view text) {
    if (std::all_of(text.begin(), text.end(), is_blank)) {
        err_initrootset();
        q_msg("ROOTSET restored to default set: 2 3 4 ... " + std::to_string(kRoots - 1));
        return;
    }
    std::array<int, kRoots> set{};
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        long n = 0;
        for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
            n = std::min(n * 10 + (text[i] - '0'), 1000L);
        if (n < kRoots) set[static_cast<std::size_t>(n)] = 1;
    }
    rootset = set;
    rootsetinit = 1;
    q_msg("ROOTSET changed to set: " + members(rootset));
}

treenode* err_root_tree(int n) {
    if (n < 0 || n >= kRoots) return nullptr;
    if (treenode* t = rootPtrs[static_cast<std::size_t>(n)]) return t;
    if (n == 0 && genSentences[0]) return root;
    return nullptr;
}

std::vector<int> err_roots_to_test() {
    if (rootsetinit == 0) err_initrootset();
    std::vector<int> roots;
    for (int r = 0; r < kRoots; ++r) {
        if (rootset[static_cast<std::size_t>(r)] != 0 && err_root_tree(r) != nullptr)
            roots.push_back(r);
    }
    return roots;
}

// ---------------------------------------------------------------------------------------------
// Words and their comparison
// ---------------------------------------------------------------------------------------------

std::vector<treenode*> err_leaves(treenode* tree) {
    std::vector<treenode*> out;
    if (tree == nullptr) return out;
    if (tree->son == nullptr) return {tree};
    std::vector<treenode*> pending{tree->son};
    while (!pending.empty()) {
        treenode* n = pending.back();
        pending.pop_back();
        if (n->sibling != nullptr) pending.push_back(n->sibling);
        if (n->son != nullptr) {
            pending.push_back(n->son);
        } else {
            out.push_back(n);
        }
    }
    return out;
}

std::vector<expected_word> err_expected_words(treenode* tree) {
    std::vector<treenode*> leaves = err_leaves(tree);
    std::erase_if(leaves, [](const treenode* l) { return l->morphed_word.empty(); });
    return group_leaves(leaves);
}

std::string err_render(const expected_word& w, std::size_t k, std::string_view form) {
    return render_tracked(w, k, form).text;
}

err_lex_struct err_make_words(std::string_view response) {
    progress("Finding lexical units");
    err_lex_struct words;
    std::size_t i = 0;
    while (i < response.size()) {
        while (i < response.size() && is_blank(response[i]))
            ++i;
        const std::size_t start = i;
        while (i < response.size() && !is_blank(response[i]))
            ++i;
        if (i > start) words.emplace_back(response.substr(start, i - start));
    }
    return words;
}

std::string remove_spaceeater(std::string_view text) {
    std::string s;
    for (char c : text) {
        if (c != '^') s += c;
    }
    return s;
}

int strdiff(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty()) return kFarApart;
    // Edit distance by rows: insertions, deletions and substitutions cost 1 each.
    std::vector<int> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = static_cast<int>(j);
    for (std::size_t i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = static_cast<int>(i);
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            row[j] =
                std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    const int d = row[b.size()];
    const auto la = static_cast<long>(a.size());
    const auto lb = static_cast<long>(b.size());
    if (la == 1 && lb == 1 && d == 0) return 0;
    if (la == 3 && d < 2) return d;
    if (d < la / 2 && d < lb / 2) return d;
    return kFarApart;
}

void err_word_diff(std::string_view word, const expected_word& expected, lexdiff& diff) {
    diff = lexdiff{};
    diff.error = "none";
    const int d = strdiff(expected.text, word);
    if (d == 0) {
        diff.matchclass = kSameWord;
        return;
    }
    const std::size_t count = expected.leaves.size();
    std::vector<WordFit> fits;
    fits.reserve(count);
    for (std::size_t k = 0; k < count; ++k)
        fits.push_back(fit_for(word, expected, k));
    show_step("Performing morphological analysis");
    for (std::size_t k = 0; k < count; ++k) {
        if (compare_var(expected.leaves[k], fits[k], diff) != 0) {
            diff.matchclass = kInflection;
            return;
        }
    }
    show_step("Performing lexicon analysis");
    diff.matchclass = d == kFarApart ? kDifferent : kSpelling;
    for (std::size_t k = 0; k < count; ++k) {
        if (err_match_syn(expected.leaves[k], fits[k], diff) != 0) return;
    }
    if (diff.matchclass >= kFirstTag) return;
    show_step("Performing phonological analysis");
    if (!phontablelist) return;
    for (std::size_t k = 0; k < count; ++k) {
        const std::optional<std::string> part = part_of_leaf(word, expected, k);
        if (part && err_match_phono(*part, expected.leaves[k], diff) != 0) return;
    }
}

scorelist_t err_lexlist_diff(const err_lex_struct& words,
                             const std::vector<expected_word>& expected) {
    progress("Parsing response");
    last_step = nullptr;
    const int n = static_cast<int>(words.size());
    const int m = static_cast<int>(expected.size());
    std::vector<lexdiff> matrix(static_cast<std::size_t>(m) * static_cast<std::size_t>(n));
    scorelist_t result;
    for (int i = 0; i < m; ++i) {
        for (int j = 0; j < n; ++j) {
            lexdiff& diff = matrix[static_cast<std::size_t>(i * n + j)];
            err_word_diff(words[static_cast<std::size_t>(j)], expected[static_cast<std::size_t>(i)],
                          diff);
            if (i == j) result.score += weight(diff.matchclass);
        }
    }
    result.score += 10 * std::abs(n - m);
    progress("Analyzing errors, printing to ERRORSCORE");
    last_step = nullptr;
    std::vector<std::string> texts;
    texts.reserve(expected.size());
    for (const expected_word& w : expected)
        texts.push_back(w.text);
    result.output_text = err_get_report(matrix, m, n, words, texts);
    return result;
}

bool err_message_allowed() {
    if (!err_in_analysis) return true;
    if (messages_left > 0) {
        --messages_left;
        return true;
    }
    ++messages_dropped;
    return false;
}

// ---------------------------------------------------------------------------------------------
// The analysis
// ---------------------------------------------------------------------------------------------

void err_analysis(const char* response) {
    if (response == nullptr) {
        q_err("Error analysis called but no student response found", "", "");
        return;
    }
    err_analysis(std::string_view(response));
}

void err_analysis(std::string_view response, bool cut) {
    const std::vector<int> roots = err_roots_to_test();
    if (roots.empty()) {
        progress("No roots found in ROOTSET to perform error testing");
        return;
    }
    progress("Beginning error analysis");
    const err_lex_struct words = err_make_words(response);
    if (words.empty()) {
        diserr("No student response");
        return;
    }
    AnalysisScope scope;
    const bool variants = mrmodify();
    int best_score = INT_MAX;
    int best_root = kDefaultFirstRoot;
    std::optional<scorelist_t> best;
    for (int r : roots) {
        treenode* tree = err_root_tree(r);
        if (variants) all_variants(tree);
        q_msg("");
        q_msg("");
        progress("Comparing response to root " + std::to_string(r));
        scorelist_t result = err_lexlist_diff(words, err_expected_words(tree));
        release_variants(tree);
        q_msg("  *****");
        q_msg("CURRENT ROOT : R" + std::to_string(r));
        q_msg("SCORE        : " + std::to_string(result.score));
        q_msg("EXPECTED : " + sentence_of(r));
        q_msg("RESPONSE : " + std::string(response));
        q_msg("  *****");
        if (result.score < best_score) {
            best_score = result.score;
            best_root = r;
            best = std::move(result);
        }
    }
    report_line("BEST ROOT : R" + std::to_string(best_root));
    report_line("SCORE     : " + std::to_string(best ? best_score : 0));
    report_line("EXPECTED : " + sentence_of(best_root));
    report_line("RESPONSE : " + std::string(response));
    if (cut) report_line("(response cut at " + std::to_string(response.size()) + " characters)");
    if (!best) {
        report_line("Error: no score was found");
    } else {
        std::string_view text = best->output_text;
        while (!text.empty()) {
            const std::size_t end = text.find('\n');
            const std::string_view line = text.substr(0, end);
            if (!line.empty()) report_line(line);
            if (end == std::string_view::npos) break;
            text.remove_prefix(end + 1);
        }
    }
    progress("Cleaning up data structures");
}

void err_analysis_single(std::string_view response, int n, bool cut) {
    if (rootsetinit == 0) err_initrootset();
    const std::array<int, kRoots> saved = rootset;
    rootset.fill(0);
    if (n >= 0 && n < kRoots) rootset[static_cast<std::size_t>(n)] = 1;
    err_analysis(response, cut);
    rootset = saved;
}

void reset_stud_err() {
    rootset.fill(0);
    rootsetinit = 0;
    err_in_analysis = false;
    messages_left = kMessageQuota;
    messages_dropped = 0;
}
