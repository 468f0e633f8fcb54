// Response analysis: a learner's response compared word by word with the sentences of the last
// generation, each pair of words classified, each sentence scored, and the best one reported.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "trees.hpp"

// Match classes of a pair (expected word, response word).
inline constexpr int kNotCompared = -1;
inline constexpr int kSameWord = 0;
inline constexpr int kInflection = 1;  // another inflection of the expected word
inline constexpr int kSpelling = 2;    // a spelling slip: a small edit distance
inline constexpr int kDifferent = 3;
inline constexpr int kSameSound = 4;  // another spelling of the same sound
// 5 and above: related to the expected word by the tag of that number (stud_read).

inline constexpr std::size_t kBreakups = 20;
inline constexpr int kFarApart = 1000;  // strdiff of words that are not spelling variants

// The comparison of one expected word with one response word. A sentence's matrix holds one per
// pair, so the texts that few pairs have take no room in the others.
struct lexdiff {
    int matchclass = kNotCompared;
    std::string error;                 // what a test found wrong, or "none"
    std::vector<std::string> breakup;  // explanations in order, at most kBreakups
    void add_breakup(std::string text) {
        if (breakup.size() < kBreakups) breakup.push_back(std::move(text));
    }
};

// The response as words, in order.
using err_lex_struct = std::vector<std::string>;

struct scorelist_t {
    std::string output_text;  // the report of one root
    int score = 0;
};

// One word of an expected sentence as the learner reads it: the leaves that post-morphology
// joins into it ("`" before a word, "^," after it), and the text they make together.
struct expected_word {
    std::string text;
    std::vector<treenode*> leaves;
};

// Whether a candidate form of one leaf gives the response word: the other leaves of the word
// keep their forms.
using WordFit = std::function<bool(std::string_view candidate)>;

// Roots taking part: 1 for each root number in the set.
extern std::array<int, kRoots> rootset;
extern int rootsetinit;  // 0 until the set is first initialised

// The operations: the full analysis, and the analysis against root n alone. A null response
// is reported as missing; `cut` says that the response was cut to fit, which the report shows.
void err_analysis(const char* response);
void err_analysis(std::string_view response, bool cut = false);
void err_analysis_single(std::string_view response, int n, bool cut = false);
// QROOTSET: numbers 0 to 20 in the text form the new set; an empty text restores the default.
void err_set_rootset(std::string_view text);
void err_initrootset();

err_lex_struct err_make_words(std::string_view response);
// The words of a tree's sentence, from its leaves in order.
std::vector<expected_word> err_expected_words(treenode* tree);
// The text of an expected word with leaf k's form replaced by `form`.
std::string err_render(const expected_word& w, std::size_t k, std::string_view form);
// Compares every expected word with every response word, scores the tree and makes its report.
scorelist_t err_lexlist_diff(const err_lex_struct& words,
                             const std::vector<expected_word>& expected);
void err_word_diff(std::string_view word, const expected_word& expected, lexdiff& diff);
int strdiff(std::string_view a, std::string_view b);
std::string remove_spaceeater(std::string_view text);

// Messages that one analysis may add to the message core file from its comparisons; the rest are
// counted and their number reported at its end. True when one more may be written.
bool err_message_allowed();

// The tree of root number n of the last generation, or null. Root 0 is the ROOT tree when the
// syntax had no root rules.
treenode* err_root_tree(int n);
// The root numbers of the set whose trees exist, in order.
std::vector<int> err_roots_to_test();
// The leaves of a tree in order (a tree without daughters is its own leaf).
std::vector<treenode*> err_leaves(treenode* tree);

// True while an analysis runs: the tests keep what they work out per leaf until its end.
extern bool err_in_analysis;

// Start-up and tests: the root set not yet initialised.
void reset_stud_err();
