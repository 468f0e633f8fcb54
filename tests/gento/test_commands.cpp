// The generation commands and operations: collecting and comparing the student's response, the
// syntax layers, and removing knowledge bases after a generation with a global preselection.
#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "gento.hpp"
#include "gento_fixture.hpp"
#include "getparam.hpp"
#include "prcmnd.hpp"
#include "syn_misc.hpp"
#include "syn_read.hpp"

using Lines = std::vector<std::string>;

class GentoCommandTest : public GentoTest {
  protected:
    void SetUp() override {
        GentoTest::SetUp();
        reset_prcmnd();
        reset_getparam();
        set_command_capture(&screen_);
    }
    void TearDown() override {
        set_command_capture(nullptr);
        fnptr = 0;
        GentoTest::TearDown();
    }
    // Attributes, terminals, a lexicon whose words stand as they are, and `syntax`.
    void load(const std::string& syntax) {
        load_file(qattribute, "a.att", "NUMBER ( sg , pl ) ROLE ( subj ) %");
        load_file(qtmnls, "t.tm", "DET N V");
        load_file(qlexicon, "l.lex",
                  "\"the\"|DET||1|#1|\n\"dog\"|N|sg|1|#1|\n\"dogs\"|N|pl|1|#1|\n"
                  "\"barks\"|V|sg|1|#1|\n\"bark\"|V|pl|1|#1|\n");
        load_file(qsyntax, "s.syn", syntax);
    }
    // Types the command's parameters and Return, then runs its checker and operation.
    static void run(std::string_view name, std::string_view text) {
        cmdptr = -1;
        for (int r = 0; r < kCommands; ++r)
            if (std::string_view(commands[r].name) == name) cmdptr = r;
        ASSERT_GE(cmdptr, 0) << name;
        pstring.assign(std::string(text) + "|");
        add_defaults();
        convert_params();
        del = 0;
        if (commands[cmdptr].checker != nullptr) commands[cmdptr].checker();
        if (del != 2 && commands[cmdptr].cmdop != nullptr) commands[cmdptr].cmdop();
    }
    void load_file(void (*op)(), const std::string& name, const std::string& content) {
        curfile.assign(file(name, content));
        op();
    }
    std::vector<std::string> screen_;
};

TEST_F(GentoCommandTest, SyntaxLayersTheirRemovalAndListing) {
    load("ROOT = NP VP %\nNP = the dog %\n");
    load_file(quser, "u.syn", "VP = barks %\nNP = PRON %\n");
    EXPECT_EQ(std::tuple(userstat, installed & 6), std::tuple(0, 6));  // the user layer: no ROOT
    EXPECT_STREQ(getrule("NP"), "\x07 PRON");                          // the user layer on top
    // The user layer is replaced, not stacked; removing it keeps the main one.
    load_file(quser, "u2.syn", "ROOT = PRON %");
    EXPECT_EQ(getrule("VP"), nullptr);
    run("RM_QFILES", "us");
    EXPECT_EQ(synstat, 2);
    EXPECT_STREQ(getrule("NP"), "\x07 the dog");
    // A user syntax with a ROOT rule serves as well as the main one.
    load_file(quser, "u3.syn", "ROOT = CHOOSE n : NUMBER ; DET N[n] V[n] %");
    generate();
    ASSERT_NE(genSentences[0], nullptr);
    EXPECT_EQ(messages("Transformed Sentence : " + *genSentences[0]).size(), 1U);
    EXPECT_TRUE(*genSentences[0] == "the dog barks" || *genSentences[0] == "the dogs bark");
    // The syntax takes the user's with it, but the built-in transformations stay.
    run("RM_QFILES", "sy");
    EXPECT_EQ(synstat + userstat, 0);
    EXPECT_EQ(getrule("ROOT"), nullptr);
    EXPECT_EQ(messages("uninstalled: US, SY").size(), 1U);
    EXPECT_EQ(trans_stack ? trans_stack->name : "", "FLATTEN");
}

TEST_F(GentoCommandTest, AMatchingResponseRunsItsErrorFunction) {
    genSentences[0] = std::make_unique<std::string>("the dog barks");  // never compared
    genSentences[1] = std::make_unique<std::string>("the * barks");
    genSentences[2] = std::make_unique<std::string>("the dog*");
    error_function = {"zero", "first", "second"};
    const auto running = [] { return fnptr == 0 ? "none" : fnptr == 1 ? fnstack[1] : "more"; };
    fill_lines({"xx  the   dog", "", " barks "});
    cur().curcol = 5;  // the response is collected from the cursor to the end
    qcompare();
    EXPECT_EQ(std::string(response.view()), "the dog barks");
    EXPECT_STREQ(running(), "first");
    // Replacing the error function leaves the keys being read intact; without one nothing runs.
    error_function[1] = "";
    EXPECT_STREQ(running(), "first");
    fnptr = 0;
    qcompare();
    EXPECT_STREQ(running(), "none");
    corenum = 2;
    fill_lines({"the dog runs"});
    qcompare();
    EXPECT_STREQ(running(), "second");
}

TEST_F(GentoCommandTest, RemovingAStoreDropsTheResultsThatPointIntoIt) {
    // Each way of releasing the attributes, the terminals or the lexicon, after a generation that
    // made a preselection, with and without a global one.
    const std::tuple<std::string, bool, const char*> cases[] = {
        {"lexicon", false, "uninstalled: LE"},
        {"lexicon", true, "uninstalled: LE, GP"},
        {"terminals", true, "uninstalled: TM, LE, GP"},
        {"attributes", false, "uninstalled: AT, LE"}};
    for (const auto& [what, global, uninstalled] : cases) {
        load("PRESELECT = subj : N[sg] %\nROOT = DET N /_pre_ subj V[sg] %");
        if (global) {
            qglobpre();
            EXPECT_EQ(added_by([] { run("QDISPLAY", "8"); }),
                      (Lines{"subj", "    \"dog\"|N|sg|0001|#1||"}));
            EXPECT_EQ(added_by(qglobpre).at(0), "uninstalled: GP");  // made again, it replaces
        }
        generate();
        ASSERT_NE(genSentences[0], nullptr) << what;
        if (what == "lexicon") load_file(qlexicon, "l2.lex", "\"dog\"|N|sg|1|\n");
        if (what == "terminals") load_file(qtmnls, "t2.tm", "DET N V");
        if (what == "attributes") load_file(qattribute, "a2.att", "NUMBER ( sg , pl ) %");
        EXPECT_EQ(messages("uninstalled:").back(), uninstalled) << what;
        EXPECT_TRUE(added_by([] { run("QDISPLAY", "8"); }).empty()) << what;
        EXPECT_TRUE(preselect_list == nullptr && root == nullptr) << what;
        EXPECT_TRUE(std::ranges::none_of(genSentences, [](const auto& s) { return !!s; })) << what;
        reset_gento();
    }
}
