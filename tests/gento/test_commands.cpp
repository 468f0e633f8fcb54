// The generation commands and operations: removing knowledge bases, the random seed, the error
// functions, the displays, collecting and comparing the student's response, generate, the global
// preselection, and copying a sentence into the current core file. (Sentences sent to a driver
// are tested end to end, with a driver.)
#include <algorithm>
#include <string>
#include <vector>

#include "gento.hpp"
#include "gento_fixture.hpp"
#include "getparam.hpp"
#include "prcmnd.hpp"
#include "syn_builtIn.hpp"
#include "syn_misc.hpp"
#include "syn_read.hpp"

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
    // Attributes, terminals and a lexicon whose field 5 gives the word as it stands (no
    // morphology rules are needed), then `syntax` when given.
    void load(const std::string& syntax) {
        load_file(qattribute, "a.att", "NUMBER ( sg , pl ) ROLE ( subj ) %");
        load_file(qtmnls, "t.tm", "DET N V");
        load_file(qlexicon, "l.lex",
                  "\"the\"|DET||1|#1|\n\"dog\"|N|sg|1|#1|\n\"dogs\"|N|pl|1|#1|\n"
                  "\"barks\"|V|sg|1|#1|\n\"bark\"|V|pl|1|#1|\n");
        if (syntax.empty()) return;
        load_file(qsyntax, "s.syn", syntax);
    }
    // Types the command's parameters and Return, then runs its checker and operation.
    static void run(std::string_view name, std::string_view text) {
        cmdptr = -1;
        for (int r = 0; r < kCommands; ++r) {
            if (std::string_view(commands[r].name) == name) cmdptr = r;
        }
        ASSERT_GE(cmdptr, 0) << name;
        pstring.assign(std::string(text) + "|");
        add_defaults();
        convert_params();
        del = 0;
        const CMDSPEC& c = commands[cmdptr];
        if (c.checker != nullptr) c.checker();
        if (del != 2 && c.cmdop != nullptr) c.cmdop();
    }
    // True when an error message with this text was shown on the message line.
    bool shown(const std::string& text) const {
        return std::find(screen_.begin(), screen_.end(), "$me" + text) != screen_.end();
    }
    // Reads `content` as a scratch file through the command operation `op`.
    void load_file(void (*op)(), const std::string& name, const std::string& content) {
        curfile.assign(file(name, content));
        op();
    }
    std::vector<std::string> screen_;
};

TEST_F(GentoCommandTest, RemovingKnowledgeBasesByKindNames) {
    // Letters in either case, blanks anywhere; a kind takes those built on it along; a name that
    // is no kind is reported and the others still count; a digit is an improper character and
    // removes nothing.
    struct Case {
        const char* names;
        int removed;
        const char* said;  // a line added to the messages; "" for none at all
    };
    const Case cases[] = {
        {"at, tm", 1 | 32 | 64 | 256 | 4096, "uninstalled: AT, TM, LE, MR, GP"},
        {" Sy ", 2 | 4, "uninstalled: US, SY"},
        {"XY", 0, "XY not a file kind"},
        {"xy,mo", 8, "xy not a file kind"},
        {"tb2", 0, ""},
        {"all", 8191, "uninstalled: "},
    };
    for (const Case& c : cases) {
        installed = 8191;  // every kind
        const std::vector<std::string> said = added_by([&] { run("RM_QFILES", c.names); });
        EXPECT_EQ(installed, 8191 & ~c.removed) << c.names;
        if (*c.said == '\0') {
            EXPECT_TRUE(said.empty()) << c.names;
            continue;
        }
        EXPECT_EQ(std::count_if(said.begin(), said.end(),
                                [&](const std::string& l) { return l.starts_with(c.said); }),
                  1)
            << c.names;
    }
    EXPECT_TRUE(shown("improper character in parameter"));
}

TEST_F(GentoCommandTest, RandomSeedAndItsPrinting) {
    // An even seed is made odd.
    EXPECT_EQ(added_by([] { run("RANDOM SEED", "10"); }),
              std::vector<std::string>{"Setting random seed: 11"});
    run("RANDOM SEED", "1");
    EXPECT_EQ(getrandom(10), 0);  // 10 * 3125 / 2^32 is below 1
    EXPECT_EQ(seed, 3125U);

    // Seed 0 takes the clock, always made odd.
    for (int i = 0; i < 5; ++i) {
        run("RANDOM SEED", "0");
        EXPECT_EQ(seed % 2, 1U);
    }
    EXPECT_EQ(messages("Setting random seed:").size(), 7U);

    run("RANDOM SEED", "7");
    run("PSEED", "19");
    EXPECT_EQ(messages("Current random seed: 7").size(), 1U);
    run("PSEED", "0");
    EXPECT_EQ(messages("Current random seed: 7").size(), 2U);
    run("PSEED", "3");
    const std::vector<std::string> three = lines_of(3);
    EXPECT_EQ(three.back(), "Current random seed: 7");
    EXPECT_EQ(messages("Current random seed:").size(), 2U);
}

TEST_F(GentoCommandTest, ErrorFunctionsPerSentenceNumber) {
    run("QERROR", "21|{ESC}k");
    EXPECT_TRUE(shown("Integer too high"));
    for (const std::string& f : error_function)
        EXPECT_TRUE(f.empty());
    run("QERROR", "3|hello");
    EXPECT_EQ(error_function[3], "hello");
    run("QERROR", "20|again");
    EXPECT_EQ(error_function[20], "again");
    run("QERROR", "3|");
    EXPECT_EQ(error_function[3], "");
    EXPECT_EQ(error_function[20], "again");
    reset_gento_cmds();
    EXPECT_EQ(error_function[20], "");
}

TEST_F(GentoCommandTest, DisplaysOfWhatIsInstalled) {
    run("QDISPLAY", "0");
    EXPECT_TRUE(shown("none"));
    installed = 1 | 32 | 4096;
    run("QDISPLAY", "0");
    EXPECT_TRUE(shown("AT, TM, GP"));
    // An unknown mode shows nothing and adds nothing to the message core file.
    screen_.clear();
    EXPECT_TRUE(added_by([] { run("QDISPLAY", "9"); }).empty());
    for (const std::string& s : screen_)
        EXPECT_NE(s.rfind("$me", 0), 0U) << s;

    // Trees are shown only once there are some: indented into the current core file (1), whole
    // to the driver or, without one, the current core file too (2).
    for (const char* mode : {"1", "2"}) {
        screen_.clear();
        run("QDISPLAY", mode);
        EXPECT_TRUE(shown("No generated sentence")) << mode;
    }
    rootPtrs[2] = makenode("ANSWER");
    rootPtrs[2]->son = makenode("W");
    corenum = 4;
    run("QDISPLAY", "1");
    run("QDISPLAY", "2");
    EXPECT_EQ(lines_of(4),
              (std::vector<std::string>{"", "$u", "$t 2", "ANSWER||0|\"\"||", "  W||0|\"\"||", "$L",
                                        "%", "$u", "$t 2", "N|G|ANSWER||0|\"\"||",
                                        "S|G|W||0|\"\"||", "$L", "%"}));
    corenum = 1;

    // The lexicon listing: nothing without a lexicon, then every entry in order.
    EXPECT_TRUE(added_by([] { run("QDISPLAY", "7"); }).empty());
    load_file(qtmnls, "t.tm", "N V");
    load_file(qlexicon, "l.lex", "\"dog\"|N||5|\n\"cat\"|N||5|\n\"runs\"|V||5|\n");
    EXPECT_EQ(added_by([] { run("QDISPLAY", "7"); }),
              (std::vector<std::string>{"\"cat\"|N||0005|||", "\"dog\"|N||0005|||",
                                        "\"runs\"|V||0005|||"}));
}

TEST_F(GentoCommandTest, ResponseIsCollectedFromTheCursorToTheEnd) {
    fill_lines({"xx  the   dog", "", "  barks  ", "loudly "});
    cur().curcol = 4;  // on the second of two blanks
    getresponse();
    EXPECT_EQ(std::string(response.view()), " the dog barks loudly");
    cur().curcol = 5;
    getresponse();
    EXPECT_EQ(std::string(response.view()), "the dog barks loudly");

    // From the last line only, a final blank removed.
    cur().lnptr = line(4);
    cur().curcol = 1;
    getresponse();
    EXPECT_EQ(std::string(response.view()), "loudly");

    // At most 199 characters.
    corenum = 2;
    fill_lines({std::string(150, 'a'), std::string(150, 'b')});
    getresponse();
    EXPECT_EQ(response.size(), 199U);
    EXPECT_EQ(std::string(response.view()), std::string(150, 'a') + " " + std::string(48, 'b'));

    // An empty core file gives an empty response.
    corenum = 3;
    getresponse();
    EXPECT_TRUE(response.empty());
}

TEST_F(GentoCommandTest, StartUpSeedsFromTheClockForgetsFileNamesAndAddsTheBuiltIns) {
    gentofilename[static_cast<std::size_t>('a' - kFirstLetter)] = "old.att";
    EXPECT_EQ(find_transf("FLATTEN"), nullptr);
    initgento();
    EXPECT_EQ(seed % 2, 1U);
    EXPECT_EQ(messages("Setting random seed: " + std::to_string(seed)).size(), 1U);
    for (const std::string& name : gentofilename)
        EXPECT_TRUE(name.empty());
    EXPECT_EQ(installed, 0);
    EXPECT_NE(find_transf("FLATTEN"), nullptr);
    EXPECT_EQ(gInMemory, 1);
}

TEST_F(GentoCommandTest, SyntaxLayersTheirRemovalAndListing) {
    load_file(qsyntax, "s.syn", "ROOT = NP VP %\nNP = the dog %\n");
    EXPECT_EQ(synstat, 2);
    EXPECT_EQ(installed & 4, 4);
    load_file(quser, "u.syn", "VP = barks %\nNP = PRON %\n");
    EXPECT_EQ(userstat, 0);  // the user layer has no ROOT rule
    EXPECT_EQ(installed & 6, 6);
    EXPECT_STREQ(getrule("NP"), "\x07 PRON");
    run("QDISPLAY", "3");
    const std::vector<std::string> rules = messages(" rule: ");
    ASSERT_EQ(rules.size(), 4U);
    EXPECT_NE(rules[0].find("PRON"), std::string::npos) << rules[0];  // the user layer on top
    EXPECT_NE(rules[3].find("NP VP"), std::string::npos) << rules[3];

    // The user layer is replaced, not stacked.
    load_file(quser, "u2.syn", "ROOT = PRON %");
    EXPECT_EQ(userstat, 2);
    EXPECT_EQ(getrule("VP"), nullptr);
    int barriers = 0;
    for (const syn_rule* r = syntax_stack.get(); r != nullptr; r = r->next.get())
        barriers += r->barrier ? 1 : 0;
    EXPECT_EQ(barriers, 2);

    // Removing the user syntax keeps the main one usable; the syntax takes the user's with it,
    // leaving no starting rule behind but the built-in transformations in place.
    run("RM_QFILES", "us");
    EXPECT_EQ(userstat, 0);
    EXPECT_EQ(synstat, 2);
    EXPECT_STREQ(getrule("NP"), "\x07 the dog");
    EXPECT_STREQ(getrule("ROOT"), "\x07 NP VP");
    quser();
    run("RM_QFILES", "sy");
    EXPECT_EQ(synstat, 0);
    EXPECT_EQ(userstat, 0);
    EXPECT_EQ(getrule("ROOT"), nullptr);
    EXPECT_EQ(getrule("NP"), nullptr);
    EXPECT_EQ(installed & 6, 0);
    EXPECT_EQ(messages("uninstalled: US, SY").size(), 1U);
    ASSERT_TRUE(trans_stack);
    EXPECT_EQ(trans_stack->name, "FLATTEN");
    // Nothing installed: the numbers stay as they are.
    synstat = 2;
    run("RM_QFILES", "at");
    EXPECT_EQ(synstat, 2);
}

TEST_F(GentoCommandTest, GenerateNeedsALexiconAndARootRule) {
    generate();
    EXPECT_TRUE(shown("There is no lexicon"));
    EXPECT_TRUE(messages("Generation results:").empty());
    // A syntax alone is not enough.
    load_file(qsyntax, "s.syn", "ROOT = DET N %");
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

TEST_F(GentoCommandTest, SentencesAreCopiedIntoTheCurrentCoreFile) {
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

TEST_F(GentoCommandTest, AMatchingResponseRunsItsErrorFunction) {
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

    // No sentence matches: nothing runs; row 0 is never compared.
    fnptr = 0;
    corenum = 3;
    genSentences[0] = std::make_unique<std::string>("a cat");
    error_function[0] = "zero";
    fill_lines({"a cat"});
    qcompare();
    EXPECT_EQ(fnptr, 0);
}

TEST_F(GentoCommandTest, GlobalPreselectionIsAKindOfItsOwn) {
    load("PRESELECT = subj : N[sg] %\nROOT = DET N /_pre_ subj %");
    EXPECT_TRUE(added_by([] { run("QDISPLAY", "8"); }).empty());  // nothing preselected yet
    qglobpre();
    const std::vector<std::string> listed = added_by([] { run("QDISPLAY", "8"); });
    ASSERT_EQ(listed.size(), 2U);
    EXPECT_EQ(listed[0], "subj");
    EXPECT_EQ(listed[1], "    \"dog\"|N|sg|0001|#1||");  // attributes by name
    EXPECT_EQ(installed & 4096, 4096);
    // Made again, it replaces the one before.
    EXPECT_EQ(added_by(qglobpre).at(0), "uninstalled: GP");
}

TEST_F(GentoCommandTest, RemovingAStoreDropsTheResultsThatPointIntoIt) {
    // Each way of releasing the attributes, the terminals or the lexicon, after a generation that
    // made a preselection, with and without a global one.
    struct Case {
        const char* what;
        bool global;
        const char* uninstalled;
    };
    const Case cases[] = {
        {"lexicon", false, "uninstalled: LE"},
        {"lexicon", true, "uninstalled: LE, GP"},
        {"terminals", true, "uninstalled: TM, LE, GP"},
        {"attributes", false, "uninstalled: AT, LE"},
        {"RM_QFILES le", true, "uninstalled: LE, GP"},
    };
    for (const Case& c : cases) {
        load("PRESELECT = subj : N[sg] %\nROOT = DET N /_pre_ subj V[sg] %");
        if (c.global) qglobpre();
        generate();
        ASSERT_NE(genSentences[0], nullptr) << c.what;
        ASSERT_FALSE(added_by([] { run("QDISPLAY", "8"); }).empty()) << c.what;
        const std::string what = c.what;
        if (what == "lexicon") load_file(qlexicon, "l2.lex", "\"dog\"|N|sg|1|\n");
        if (what == "terminals") load_file(qtmnls, "t2.tm", "DET N V");
        if (what == "attributes") load_file(qattribute, "a2.att", "NUMBER ( sg , pl ) %");
        if (what == "RM_QFILES le") run("RM_QFILES", "le");
        EXPECT_EQ(messages("uninstalled:").back(), c.uninstalled) << what;
        EXPECT_EQ(installed & 4096, 0) << what;
        EXPECT_TRUE(added_by([] { run("QDISPLAY", "8"); }).empty()) << what;
        EXPECT_EQ(preselect_list, nullptr) << what;
        EXPECT_EQ(root, nullptr) << what;
        for (const auto& sentence : genSentences)
            EXPECT_EQ(sentence, nullptr) << what;
        reset_gento();
    }
}
