// Lexical transformations: reading rules, selecting and running them (every combination of
// entries, variables shared between patterns, class "?"), the right side's field references,
// left-out attributes, morphology and variables, stopping and resuming, and inline
// transformations replacing the entry that word choice picked.
#include <string>
#include <tuple>
#include <vector>

#include "gento.hpp"
#include "lt_input.hpp"
#include "lt_misc.hpp"
#include "lt_rule.hpp"
#include "report_fixture.hpp"

class LtTest : public ReportTest {
  protected:
    void SetUp() override {
        ReportTest::SetUp();
        // NUMBER 1, GENDER 2, PLURAL 3, DEGREE 4 (ordered).
        readattr(file("lt.att",
                      "NUMBER ( sg , pl ) GENDER ( masc , fem ) PLURAL ( one , many ) "
                      "DEGREE ( pos < comp < sup ) %")
                     .c_str());
        read_terminals(file("lt.tm", "N ADJ V ADV").c_str());
        installed = 1 | 32;
    }

    void lexicon(const std::string& text) {
        curfile.assign(file("lt.lex", text));
        qlexicon();
    }
    void rules(const std::string& text) {
        curfile.assign(file("lt.ltr", text));
        qlxtransf();
    }
    // Selects and runs rule n; the lines it added to the current core file.
    static std::vector<std::string> run_rule(int n) {
        const std::size_t before = lines_of(corenum).size();
        inittrans(n);
        exectrans();
        const std::vector<std::string> all = lines_of(corenum);
        return {all.begin() + static_cast<long>(before), all.end()};
    }
    static const LTRULE* rule(int n) { return ltruleheader[static_cast<std::size_t>(n)].get(); }
};

// Three nouns and four adjectives; "tall" names only the type NUMBER, so it agrees with any.
constexpr const char* kLexicon =
    "\"dog\"|N|sg|1|\n\"cat\"|N|pl|1|\n\"cow\"|N|sg|1|\n"
    "\"red\"|ADJ|sg|1|\n\"big\"|ADJ|pl|1|\n\"old\"|ADJ|sg|1|\n\"tall\"|ADJ|NUMBER|1|\n";

TEST_F(LtTest, EveryCombinationOnceAndSharedVariablesAgree) {
    lexicon(kLexicon);
    rules(
        "{ every pair }\n"
        "RULE 1 ? | N | ? _lsp_ ? | ADJ | ? _rhs_ !1.2 | !1 | %\n"
        "RULE 2 ( n : NUMBER ) ? | N | n _lsp_ ? | ADJ | n _rhs_ !1.2 | !1 | n %\n"
        "RULE 3 ? | _rhs_ !1 | !2 %\n"
        "RULE 4 \"c*\" _lsp_ ? | ADJ _rhs_ !1 %\n");
    std::vector<std::string> all;
    for (const char* n : {"cow", "cat", "dog"}) {
        for (const char* a : {"tall", "old", "big", "red"})
            all.push_back(std::string("\"") + a + "\"|\"" + n + "\"|");
    }
    EXPECT_EQ(run_rule(1), all);
    EXPECT_EQ(std::tuple(count("Total Words Generated: 12."), cur().edited), std::tuple(1, 1));

    // The number bound by the noun restricts the adjective, and prints as its value.
    EXPECT_EQ(run_rule(2), (std::vector<std::string>{"\"tall\"|\"cow\"|sg", "\"old\"|\"cow\"|sg",
                                                     "\"red\"|\"cow\"|sg", "\"tall\"|\"cat\"|pl",
                                                     "\"big\"|\"cat\"|pl", "\"tall\"|\"dog\"|sg",
                                                     "\"old\"|\"dog\"|sg", "\"red\"|\"dog\"|sg"}));
    // No binding outlives the run.
    for (const s_lt_var_list* v = rule(2)->rule_vars.get(); v != nullptr; v = v->next.get())
        EXPECT_EQ(lt_delayed[v->index].fixed, 0);

    // Class "?": every terminal's entries, in terminal order, newest first.
    EXPECT_EQ(run_rule(3),
              (std::vector<std::string>{"\"cow\"|N", "\"cat\"|N", "\"dog\"|N", "\"tall\"|ADJ",
                                        "\"old\"|ADJ", "\"big\"|ADJ", "\"red\"|ADJ"}));
    // A pattern may end after any of its fields: "c*" of every class, then any adjective.
    EXPECT_EQ(run_rule(4).size(), 8U);
}

TEST_F(LtTest, PatternsMatchWordsFieldsAndOrderedValues) {
    lexicon(
        "\"happy\"|ADJ|pos|1|x,y|\n\"hungry\"|ADJ|comp|1|y|\n\"sad\"|ADJ|sup|1|z|\n"
        "\"hot\"|ADJ|<sup|1|y|\n");
    rules(
        "RULE 1 \"h*\" | ADJ | ? _rhs_ !1 %\n"
        "RULE 2 ? | ADJ | ? | ? | y _rhs_ !1 %\n"
        "RULE 3 ? | ADJ | comp _rhs_ !1 %\n"
        "RULE 4 ? | ADJ | ? | ? _rhs_ !1 %\n");
    const std::vector<std::string> h = {"\"hot\"", "\"hungry\"", "\"happy\""};
    EXPECT_EQ(run_rule(1), h);
    EXPECT_EQ(run_rule(2), h);
    EXPECT_EQ(run_rule(3), std::vector(h.begin(), h.begin() + 2));  // hot: every degree up to sup
    EXPECT_EQ(run_rule(4).size(), 4U);
}

TEST_F(LtTest, RightSideFieldReferencesMorphologyAndVariables) {
    lexicon("\"dog\"|N|many, fem, <comp|1|\"dogg\"|\n\"cat\"|N|sg.masc|1|\"catt\"|\n");
    LTRULE r;  // the first pattern on dog, the second on cat (entries are newest first)
    treenode* first = lt_new_lsp(r);
    lt_new_lsp(r)->dictionary->dictionary = dictionary[0]->recordptr;
    first->dictionary->dictionary = dictionary[0]->previous->recordptr;
    const int var = lt_new_delay(2, 2, 1);  // a variable bound to fem
    // "right side~result"; a signed value (comp) stands for a range, not for itself.
    std::vector<std::string> good = split(
        "!1.2|!2~\"cat\"|N;!5!1.1~\"dogg\"\"dog\";!3-PLURAL~fem,<comp;!3-many|~fem,<comp|;"
        "!3-comp~fem,many,<comp;!3-DEGREE-GENDER~many;!3.2-sg~masc;!4.2~0001;"
        "[#5-\"ie\"]|[#1.2]~\"dogie\"|\"cat\";[\"a]b\"]~\"a]b\"",
        ';');
    good.push_back("x" + lt_var_code(var) + "y~xfemy");
    for (const std::string& c : good) {
        const std::vector<std::string> f = split(c, '~');
        EXPECT_EQ(lt_apply_rule(f[0].c_str(), first, 1), 1) << c;
        EXPECT_EQ(std::string(lt_result.data()), f[1]) << c;
    }
    // {right side, report}
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"a!x", "Syntax error near '!'"},
        {"!1.3", "Bad LSP field reference --  field 1 from lsp 3"},
        {"[" + std::string(100, 'x') + "]", "Morphology string too long"},
        {"", "Right hand side of rule is null"}};
    for (const auto& [rhs, report] : bad) {
        const int before = count(report);
        EXPECT_EQ(lt_apply_rule(rhs.c_str(), first, 1), 0) << rhs;
        EXPECT_EQ(count(report), before + 1) << rhs;
    }
    // The result stops at 1023 characters and says so.
    const std::string big(1100, 'y');
    EXPECT_EQ(lt_apply_rule(big.c_str(), first, 1), 1);
    EXPECT_EQ(std::tuple(resoverflow, resptr), std::tuple(1, 1023));
}

TEST_F(LtTest, ReaderReportsFaultsAndKeepsTheOtherRules) {
    lexicon(kLexicon);
    const std::string ok = " ? | N | ? _rhs_ !1 %\n";
    // {file text, a report it must give once, rule loaded afterwards}
    const std::vector<std::tuple<std::string, std::string, int>> cases = {
        {"RULE 500" + ok + "RULE 9" + ok, "Rule number out of range or garbled 500", 9},
        {"RULE 9 ( n : NUMBER g : GENDER" + ok + "RULE 8" + ok, "Syntax Error. 4", 8},
        {"RULE 9 ? | N | NUMBER _rhs_ x % RULE 8" + ok, "Attribute classes not legal in LSPs:", 8},
        {"RULE 9 ? | N | sg , , | _rhs_ x % RULE 8" + ok, "Error in field 3 of LSP", 8},
        {"RULE 9 \"" + std::string(1100, 'a') + "\" | N | ? _rhs_ x % RULE 8" + ok,
         "Buffer overflow.  Expected one of the following:  '|'", 8},
        {"RULE 9 ? | N | ? _rhs_ !1 RULE 8" + ok, "Error reading right hand side", 8},
        {"RULE 9 ? | N", "Unexpected end of file.", 0}};
    for (const auto& [text, report, loaded] : cases) {
        rules(text);
        EXPECT_EQ(count(report), 1) << text.substr(0, 60);
        if (loaded > 0) {
            EXPECT_NE(rule(loaded), nullptr) << text.substr(0, 60);
        }
        EXPECT_EQ(rule(loaded == 9 ? 8 : 9), nullptr) << text.substr(0, 60);
        reset_store();
    }
    // A second rule of one number is dropped; reading a file again replaces every rule.
    rules("RULE 4 ? | N | ? _rhs_ \"first\" % RULE 4 ? | N | ? _rhs_ \"second\" %");
    EXPECT_EQ(std::tuple(count("duplicate rule  4"), rule(4)->rhs), std::tuple(1, "\"first\""));
    rules("RULE 5" + ok);
    EXPECT_EQ(std::tuple(rule(4), rule(5) != nullptr), std::tuple(nullptr, true));
}

TEST_F(LtTest, SelectingRulesAndRunErrorsKeepTheSelection) {
    lexicon(kLexicon);
    rules(
        "RULE 1 ? | N | ? _lsp_ ? | NOUN | ? _rhs_ !1 %\n"
        "RULE 2 ? | N | ? _rhs_ !9 %\n"
        "RULE 3 ? | N | ? _rhs_ \"" +
        std::string(1020, 'x') + "\" !1 %\n");
    for (const auto& [n, report] : {std::pair(500, "Rule number out of range:  500"),
                                    {0, "Rule number out of range:  0"},
                                    {7, "Rule has not been loaded yet -  7"}}) {
        inittrans(n);
        EXPECT_EQ(std::tuple(count(report), q_stat, lt_rule_num), std::tuple(1, 1, -1)) << n;
    }
    exectrans();
    expect_once({"No Rule has been initialized"});
    // {rule, report}: the run stops, the rule stays selected.
    for (const auto& [n, report] : {std::pair(1, "Terminal class not recognized -  NOUN"),
                                    {2, "Bad LSP field reference"},
                                    {3, "Result of LT rule too long"}}) {
        EXPECT_TRUE(run_rule(n).empty()) << n;
        EXPECT_EQ(count(report), 1) << n;
        EXPECT_EQ(std::tuple(InProgress, StackPtr == nullptr, lt_rule_num), std::tuple(0, true, n));
    }
    EXPECT_EQ(count("Total Words Generated"), 0);
    // Without the kind LX installed nothing can be selected.
    uninstall_n(12);
    inittrans(1);
    EXPECT_EQ(std::tuple(lt_rule_num, count("Rule has not been loaded yet -  1")),
              std::tuple(-1, 1));
}

TEST_F(LtTest, FullStoreStopsTheRunAndResumingCompletesIt) {
    lexicon(kLexicon);
    rules("RULE 1 ( n : NUMBER ) ? | N | n _lsp_ ? | ADJ | n _rhs_ !1.2 | !1 | n %");
    const std::vector<std::string> whole = run_rule(1);
    ASSERT_EQ(whole.size(), 8U);
    const auto written = [] {
        std::vector<std::string> out = lines_of(corenum);
        std::erase(out, "");
        return out;
    };
    // Core file 2 takes all the room but a few bytes, and gives it back.
    const auto fill = [](bool full) {
        corenum = 2;
        clrfile();
        for (const std::size_t size : {4000, 300, 30})
            while (full && q_line(2, kObjText, std::string(size, 'f'))) {
            }
        corenum = 1;
    };
    clrfile();
    fill(true);
    inittrans(1);
    exectrans();
    EXPECT_EQ(std::tuple(InProgress, q_stat), std::tuple(1, 2));
    EXPECT_LT(written().size(), whole.size());
    fill(false);
    exectrans();
    EXPECT_EQ(std::tuple(InProgress, written(), count("Total Words Generated: 8.")),
              std::tuple(0, whole, 2));
    // A run stopped over a lexicon that has been read again since starts afresh.
    clrfile();
    fill(true);
    exectrans();
    fill(false);
    lexicon(kLexicon);
    clrfile();
    exectrans();
    EXPECT_EQ(std::tuple(count("LT rule restarted: the lexicon has changed"), written()),
              std::tuple(1, whole));
}

TEST_F(LtTest, InlineTransformationReplacesTheChosenEntry) {
    // The derived entry is the word, inflected by its own fields; a pattern that finds no word
    // leaves the lookup without one.
    lexicon(
        "\"quick\"|ADJ||1|\n\"dog\"|N|sg|1|\n\"dogs\"|N|pl|1|\n"
        "_ilt_ | ADV | | 5 | _lsp_ ? | ADJ | ? | _lsp_ \"d*\" | N | sg | "
        "_rhs_ [#1 \"-\" #1.2] | ADV | | 5 | #1 |\n"
        "_ilt_ | V | | 5 | _lsp_ ? | NOUN | ? | _rhs_ [#1] | V | | 5 | #1 |\n");
    read_syntax(file("ilt.syn", "ROOT = ADV V %").c_str());
    interpret();
    ASSERT_TRUE(genSentences[0]);
    EXPECT_EQ(*genSentences[0], "quick-dog");
    EXPECT_EQ(std::tuple(count("Terminal not found: NOUN"), root->son->sibling->dictionary->error),
              std::tuple(1, 3));
}
