// Whole generations from rule files: the result lines, agreement, morphology passes and the
// global preselection.
#include <set>

#include "gento_fixture.hpp"

namespace {

class DriverTest : public GentoTest {
  protected:
    void SetUp() override {
        GentoTest::SetUp();
        readattr(file("a.att", "NUMBER ( sg , pl ) TAG ( subj , obj ) %").c_str());
        read_terminals(file("a.tm", "DET N V").c_str());
        initdict();
        readdict(file("a.lex",
                      "\"the\" | DET | | 10 | #1 |\n"
                      "\"dog\" | N | NUMBER | 10 | #1 | $NOUN | \"hound\" | ! \"y\" |\n"
                      "\"cat\" | N | NUMBER | 10 | #1 | $NOUN | \"puss\" | ! \"y\" |\n"
                      "\"bark\" | V | NUMBER | 10 | #1 | $VERB | \"yap\" | ! \"s\" |\n")
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
    static std::string sentence() {
        interpret();
        EXPECT_NE(genSentences[0], nullptr);
        return genSentences[0] ? *genSentences[0] : "<none>";
    }
};

TEST_F(DriverTest, SentencesAgreeAndEveryChoiceIsReached) {
    syntax("ROOT = CHOOSE n : NUMBER ; DET N[n] V[n] %\n");
    // Noun and verb always agree, and every choice is reached.
    std::set<std::string> seen;
    for (int i = 0; i < 60; ++i) {
        seen.insert(sentence());
        EXPECT_EQ(genSentences[1], nullptr) << "no root table";
    }
    EXPECT_EQ(seen, (std::set<std::string>{"the dog barks", "the cat barks", "the dogs bark",
                                           "the cats bark"}));
}

TEST_F(DriverTest, MorphologyPassesNoRootRuleAndTheNodeLimit) {
    syntax("ROOT = N[sg] V[sg] %\n");
    morph_passes[0] = {0, 7, 8, 0, 0, 0};  // the row's morphology passes are run
    const std::string s = sentence();
    EXPECT_TRUE(s == "houndy yaps" || s == "pussy yaps") << s;
    morph_passes[0] = {};
    dump_syntax();
    read_syntax(file("s.syn", "S = N %\n").c_str());
    EXPECT_EQ(sentence(), "");
    read_syntax(file("b.syn", "ROOT = N[sg] X %\nX = X X %\n").c_str());
    // A runaway rule is reported once per generation, not once per node that meets the limit.
    for (std::size_t n : {1U, 2U}) {
        sentence();
        EXPECT_EQ(messages("cf expansion terminated").size(), n);
        EXPECT_EQ(messages("Transformed Sentence : ").size(), n + 2);
    }
}

TEST_F(DriverTest, GlobalWordsKeepAgreementOverManyGenerations) {
    // The preselection is made global and a user layer empties the local one: every generation
    // takes its number from the global word and agrees within it, whatever came before.
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
    }
    EXPECT_TRUE(messages("No lexical entry").empty());
    EXPECT_LE(delayptr, kDelaySize / 10);  // the delay table does not creep up
}

}  // namespace
