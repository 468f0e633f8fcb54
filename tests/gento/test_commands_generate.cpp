// The generation operations as the keys reach them: generate, the global preselection, comparing
// a response with the generated sentences, and copying a sentence into the current core file.
#include <string>
#include <vector>

#include "gento.hpp"
#include "gento_fixture.hpp"
#include "getparam.hpp"
#include "syn_misc.hpp"

class GenerateOpTest : public GentoTest {
  protected:
    void SetUp() override {
        GentoTest::SetUp();
        set_command_capture(&screen_);
    }
    void TearDown() override {
        set_command_capture(nullptr);
        fnptr = 0;
        GentoTest::TearDown();
    }
    void load(const std::string& syntax) {
        curfile.assign(file("a.att", "NUMBER ( sg , pl ) ROLE ( subj ) %"));
        qattribute();
        curfile.assign(file("t.tm", "DET N V"));
        qtmnls();
        // Field 5 gives the word as it stands (no morphology rules are needed).
        curfile.assign(file("l.lex",
                            "\"the\"|DET||1|#1|\n\"dog\"|N|sg|1|#1|\n\"dogs\"|N|pl|1|#1|\n"
                            "\"barks\"|V|sg|1|#1|\n\"bark\"|V|pl|1|#1|\n"));
        qlexicon();
        if (syntax.empty()) return;
        curfile.assign(file("s.syn", syntax));
        qsyntax();
    }
    bool shown(const std::string& text) const {
        for (const std::string& s : screen_) {
            if (s == "$me" + text) return true;
        }
        return false;
    }
    std::vector<std::string> screen_;
};

TEST_F(GenerateOpTest, GenerateNeedsALexiconAndARootRule) {
    generate();
    EXPECT_TRUE(shown("There is no lexicon"));
    EXPECT_TRUE(messages("Generation results:").empty());
    // A syntax alone is not enough.
    curfile.assign(file("s.syn", "ROOT = DET N %"));
    qsyntax();
    generate();
    EXPECT_EQ(messages("Generation results:").size(), 0U);

    load("");
    synstat = 0;
    userstat = 0;
    generate();
    EXPECT_TRUE(shown("There is no ROOT rule"));
    EXPECT_EQ(genSentences[0], nullptr);

    // A user syntax with a ROOT rule serves as well as the main one.
    curfile.assign(file("s2.syn", "ROOT = CHOOSE n : NUMBER ; DET N[n] V[n] %"));
    quser();
    ASSERT_NE(userstat, 0);
    redisplay = 0;
    generate();
    ASSERT_NE(genSentences[0], nullptr);
    const std::string s = *genSentences[0];
    EXPECT_TRUE(s == "the dog barks" || s == "the dogs bark") << s;
    EXPECT_EQ(messages("Transformed Sentence : " + s).size(), 1U);
    EXPECT_EQ(redisplay, 1);
}

TEST_F(GenerateOpTest, SentencesAreCopiedIntoTheCurrentCoreFile) {
    load("ROOT = DET N[sg] V[sg] %");
    generate();
    ASSERT_NE(genSentences[0], nullptr);
    corenum = 4;
    pushfn("0 ");
    disp_sent();
    EXPECT_EQ(lines_of(4).back(), "the dog barks");
    pushfn("21 ");
    disp_sent();
    EXPECT_TRUE(shown("Integer too high"));
    pushfn("5 ");
    disp_sent();
    EXPECT_TRUE(shown("sentence 5 does not exist"));
    EXPECT_EQ(lines_of(4).size(), 2U);  // the empty first line and the one sentence
}

TEST_F(GenerateOpTest, AMatchingResponseRunsItsErrorFunction) {
    genSentences[1] = std::make_unique<std::string>("the * barks");
    genSentences[2] = std::make_unique<std::string>("the dog*");
    error_function[2] = "second";
    error_function[1] = "first";
    fill_lines({"the   dog", " barks"});
    qcompare();
    EXPECT_EQ(std::string(response.view()), "the dog barks");
    ASSERT_EQ(fnptr, 1);
    EXPECT_STREQ(fnstack[1], "first");

    // The first matching sentence counts; without an error function nothing is pushed.
    fnptr = 0;
    error_function[1].clear();
    qcompare();
    EXPECT_EQ(fnptr, 0);
    corenum = 2;
    fill_lines({"the dog runs"});
    qcompare();
    ASSERT_EQ(fnptr, 1);
    EXPECT_STREQ(fnstack[1], "second");
    // Replacing the error function leaves the keys being read intact.
    error_function[2] = "replaced";
    EXPECT_STREQ(fnstack[1], "second");

    // No sentence matches: nothing runs.
    fnptr = 0;
    corenum = 3;
    fill_lines({"a cat"});
    qcompare();
    EXPECT_EQ(fnptr, 0);
}

TEST_F(GenerateOpTest, GlobalPreselectionIsAKindOfItsOwn) {
    load("PRESELECT = subj : N[sg] %\nROOT = DET N /_pre_ subj %");
    param[1] = 8;
    qdisplay();  // nothing preselected yet
    EXPECT_TRUE(messages("    \"dog\"|N|").empty());
    qglobpre();
    qdisplay();
    const std::vector<std::string> all = lines_of(kMsgCore);
    ASSERT_GE(all.size(), 2U);
    EXPECT_EQ(all[all.size() - 2], "subj");
    EXPECT_EQ(all.back().rfind("    \"dog\"|N|", 0), 0U) << all.back();
    EXPECT_EQ(installed & 4096, 4096);
    EXPECT_EQ(messages("Global preselection complete").size(), 1U);
    qglobpre();
    EXPECT_EQ(messages("uninstalled: GP").size(), 1U);
    EXPECT_EQ(messages("Global preselection complete").size(), 2U);
    // Reading the lexicon again removes it.
    curfile.assign(file("l2.lex", "\"a\"|DET||1|\n"));
    qlexicon();
    EXPECT_EQ(installed & 4096, 0);
}
