// Whole generations from rule files: the result lines and their labels, agreement, the root
// table, reproducibility under a seed, morphology passes and the global preselection.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "gento.hpp"
#include "gento/terminal.hpp"
#include "gento_fixture.hpp"
#include "lex_read.hpp"
#include "morphology.hpp"
#include "syn_misc.hpp"
#include "syn_read.hpp"

namespace {

class DriverTest : public GentoTest {
  protected:
    void SetUp() override {
        GentoTest::SetUp();
        readattr(file("a.att", "NUMBER ( sg , pl ) TAG ( subj , obj ) %").c_str());
        read_terminals(file("a.tm", "DET N V CAP").c_str());
        initdict();
        readdict(file("a.lex",
                      "\"the\" | DET | | 10 | #1 |\n"
                      "\"dog\" | N | NUMBER | 10 | #1 | $NOUN | \"hound\" | ! \"y\" |\n"
                      "\"cat\" | N | NUMBER | 10 | #1 | $NOUN | \"puss\" | ! \"y\" |\n"
                      "\"bark\" | V | NUMBER | 10 | #1 | $VERB | \"yap\" | ! \"s\" |\n"
                      "\"`\" | CAP | | 10 | #1 |\n")
                     .c_str());
        new_readmorph(file("a.mor",
                           "RULE NOUN pl : ! \"^s\" ; * : ! ;\n"
                           "RULE VERB sg : ! \"s\" ; * : ! ;\n")
                          .c_str());
    }
    void syntax(const std::string& text) {
        read_syntax(file("a.syn", text).c_str());
        ASSERT_TRUE(messages("ERROR").empty()) << messages("ERROR")[0];
    }
    // One generation's sentence without a root table.
    static std::string sentence() {
        interpret();
        EXPECT_NE(genSentences[0], nullptr);
        return genSentences[0] ? *genSentences[0] : "<none>";
    }
    // The result lines of the message core file that begin with `label`.
    static std::vector<std::string> results(const std::string& label) {
        std::vector<std::string> out;
        for (const std::string& l : lines_of(kMsgCore)) {
            if (l.rfind(label, 0) == 0) out.push_back(l.substr(label.size()));
        }
        return out;
    }
};

const char* const kAgreeing = "ROOT = CHOOSE n : NUMBER ; DET N[n] V[n] %\n";

TEST_F(DriverTest, OneSentenceWithAgreementAndItsLines) {
    syntax(kAgreeing);
    const std::set<std::string> good = {"the dog barks", "the cat barks", "the dogs bark",
                                        "the cats bark"};
    std::set<std::string> seen;
    for (int i = 0; i < 60; ++i) {
        const std::string s = sentence();
        EXPECT_TRUE(good.count(s) == 1) << s;
        seen.insert(s);
        for (int r = 1; r < kRoots; ++r)
            EXPECT_EQ(genSentences[static_cast<std::size_t>(r)], nullptr);
    }
    EXPECT_EQ(seen, good);  // every choice is reached
    const std::vector<std::string> lines = results("Transformed Sentence : ");
    ASSERT_EQ(lines.size(), 60U);
    EXPECT_EQ(lines.back(), *genSentences[0]);
    EXPECT_EQ(std::tuple(results("Generation results:").size(), results("  ******").size(),
                         messages("ERROR").size()),
              std::tuple(60U, 60U, 0U));
}

TEST_F(DriverTest, SameSeedSameSentencesAndEveryAlternativeOverSeeds) {
    syntax("ROOT = DET ( N | N V | V V V ) %\n");
    auto run = [](std::uint32_t s) {
        reseed(s);
        std::vector<std::string> out;
        for (int i = 0; i < 5; ++i)
            out.push_back(sentence());
        return out;
    };
    EXPECT_EQ(run(10), run(10));
    EXPECT_NE(run(10), run(12));
    std::set<std::size_t> shapes;
    // Seeds spread over the whole range: a small seed makes a small first draw.
    for (std::uint32_t s = 1; s < 200 && shapes.size() < 3; ++s) {
        reseed(s * 2654435761U);
        const std::string words = sentence();
        shapes.insert(static_cast<std::size_t>(std::count(words.begin(), words.end(), ' ')));
    }
    EXPECT_EQ(shapes.size(), 3U);
}

TEST_F(DriverTest, RootRowsGiveLabelledSentencesAboutTheSameClause) {
    syntax(std::string(kAgreeing) + "QUESTION = CAP ROOT %\nANSWER = ROOT %\nR_3 = V[sg] %\n");
    interpret();
    EXPECT_EQ(genSentences[0], nullptr);
    for (int r = 1; r <= 3; ++r)
        ASSERT_NE(genSentences[static_cast<std::size_t>(r)], nullptr) << r;
    const auto q = results("Question  : "), a = results("Answer    : ");
    ASSERT_EQ(std::tuple(q.size(), a.size()), std::tuple(1U, 1U));
    EXPECT_EQ(results("R_3       : "), std::vector<std::string>{"barks"});
    EXPECT_EQ(q[0].substr(0, 4), "The ");
    EXPECT_EQ("t" + q[0].substr(1), a[0]);  // the same clause, capitalised
    EXPECT_TRUE(results("Transformed Sentence").empty());
}

TEST_F(DriverTest, MorphologyPassesOfTheRowAreRun) {
    syntax("ROOT = N[sg] V[sg] %\n");
    morph_passes[0] = {0, 7, 8, 0, 0, 0};
    const std::string s = sentence();
    EXPECT_TRUE(s == "houndy yaps" || s == "pussy yaps") << s;
}

TEST_F(DriverTest, NoRootRuleOrTheNodeLimitStillEndsInOneSentence) {
    syntax("S = N %\n");
    EXPECT_EQ(sentence(), "");
    read_syntax(file("b.syn", "ROOT = N[sg] X %\nX = X X %\n").c_str());
    // A runaway rule is reported once per generation, not once per node that meets the limit.
    for (std::size_t n : {1U, 2U}) {
        sentence();
        EXPECT_EQ(messages("cf expansion terminated").size(), n);
        EXPECT_EQ(results("Transformed Sentence : ").size(), n + 1);
    }
}

TEST_F(DriverTest, PreselectedWordsAndTheirListing) {
    syntax(
        "PRESELECT = subj : N[pl] ; obj %\n"
        "ROOT = DET N[NUMBER _pre_ subj]/_pre_ subj V[pl] %\n");
    for (int i = 0; i < 10; ++i) {
        const std::string s = sentence();
        EXPECT_TRUE(s == "the dogs bark" || s == "the cats bark") << s;
    }
    const std::vector<std::string> listed = added_by(print_preselect_list);
    ASSERT_EQ(listed.size(), 3U);
    EXPECT_EQ(listed[0] + "," + listed[1] + "," + listed[2].substr(0, 5), "obj,subj,    \"");
}

TEST_F(DriverTest, PreselectionReportsBadClauses) {
    syntax("ROOT = N[sg] %\n");
    construct_preselect("nosuch: N;subj: N!;", 0);
    EXPECT_EQ(std::tuple(messages("Error in preselection tag").size(),
                         messages("unexpected token in node attachments").size()),
              std::tuple(1U, 1U));
    ASSERT_NE(preselect_list, nullptr);
    EXPECT_EQ(preselect_list->node, 1);
}

TEST_F(DriverTest, AttributeOfAPreselectedWordFromItsEntry) {
    syntax(
        "PRESELECT = subj : N %\n"
        "ROOT = N[NUMBER _pre_ subj]/_pre_ subj V[NUMBER _pre_ subj] X[TAG _pre_ subj] %\n");
    std::set<std::string> seen;
    for (int i = 0; i < 40; ++i) {
        const std::string s = sentence();
        // The number is chosen once, for the word's lookup, and both nodes take it.
        EXPECT_TRUE(s == "dog barks" || s == "cat barks" || s == "dogs bark" || s == "cats bark")
            << s;
        seen.insert(s.substr(s.find(' ') + 1));
    }
    EXPECT_EQ(seen, (std::set<std::string>{"bark", "barks"}));
    EXPECT_EQ(messages("requested attribute not present in lexical entry for: ").size(), 40U);
}

TEST_F(DriverTest, GlobalWordsKeepAgreementOverManyGenerations) {
    // The syntax's preselection is made global; a user layer then replaces it by an empty one,
    // so that every generation refers to the global clause. The number a generation takes from
    // the global word must agree within it, whatever earlier generations left behind.
    syntax(
        "PRESELECT = subj : N %\n"
        "ROOT = N[NUMBER _pre_ subj]/_pre_ subj VP %\n"
        "VP = CHOOSE t : TAG ; V[NUMBER _pre_ subj] %\n");
    global_preselect();
    read_syntax(file("u.syn", "PRESELECT = %\n").c_str());
    ASSERT_TRUE(messages("ERROR").empty()) << messages("ERROR")[0];
    const std::string word = globalpre_list->RHS->dictionary->dictionary;
    const std::string noun = word.substr(1, 3);
    for (int i = 0; i < 60; ++i) {
        const std::string s = sentence();
        EXPECT_TRUE(s == noun + " barks" || s == noun + "s bark") << i << ": " << s;
        // The noun and the verb carry the same number, and nothing else.
        const std::string n = print_attr_list(root->son->attributes.get());
        EXPECT_TRUE(n == "sg" || n == "pl") << i << ": " << n;
        EXPECT_EQ(print_attr_list(root->son->sibling->son->attributes.get()), n) << i;
        EXPECT_LE(attr_list_count(globalpre_list->RHS->dictionary->attributes.get()), 1) << i;
        EXPECT_EQ(globalpre_list->RHS->dictionary->dictionary, word) << "the global word stays";
    }
    EXPECT_TRUE(messages("No lexical entry").empty());
    EXPECT_LE(delayptr, kDelaySize / 10);  // the delay table does not creep up
}

}  // namespace
