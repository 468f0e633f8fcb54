// Response analysis as a whole: the spelling distance, the root set, the scores, the words of a
// sentence as the learner reads it, the report lines in core file 15 and the trace in core file 7.
#include <random>
#include <string>
#include <vector>

#include "analysis_fixture.hpp"

using Lines = std::vector<std::string>;

TEST_F(AnalysisTest, SpellingDistanceFollowsItsTable) {
    struct Row {
        const char* a;
        const char* b;
        int d;
    };
    const Row rows[] = {
        {"cat", "cut", 1},         {"house", "horse", 1}, {"dog", "cat", 1000},
        {"a", "b", 1000},          {"a", "a", 0},         {"", "a", 1000},
        {"a", "", 1000},           {"cat", "cats", 1},    {"cats", "cat", 1000},
        {"walk", "talk", 1},       {"is", "it", 1000},    {"elephant", "elefant", 2},
        {"elephant", "elphnt", 2}, {"dog", "dgo", 1000},  {"runs.", "run.", 1},
        {"walk", "walker", 1000},
    };
    for (const Row& r : rows)
        EXPECT_EQ(strdiff(r.a, r.b), r.d) << r.a << " / " << r.b;
}

TEST_F(AnalysisTest, RootSetMessagesAndTheEmptySet) {
    EXPECT_EQ(added_by([] { err_set_rootset("1, 5, 20 and 30"); }),
              Lines{"ROOTSET changed to set: 1 5 20 "});
    std::array<int, kRoots> want{};
    want[1] = want[5] = want[20] = 1;
    EXPECT_EQ(rootset, want);
    EXPECT_EQ(added_by([] { err_set_rootset(" "); }),
              Lines{"ROOTSET restored to default set: 2 3 4 ... 20"});
    for (int r = 0; r < kRoots; ++r)
        EXPECT_EQ(rootset[static_cast<std::size_t>(r)], r >= 2 ? 1 : 0) << r;

    // A set without a tree: the analysis only says so.
    the_dog_runs(2);
    err_set_rootset("7");
    const Lines trace = added_by([] { EXPECT_TRUE(analyse("the dog runs").empty()); });
    EXPECT_TRUE(trace.empty());
    EXPECT_TRUE(shown("$mhNo roots found in ROOTSET to perform error testing"));

    // One root alone, and the set as it was afterwards; a number out of range finds no root.
    std::size_t before = lines_of(15).size();
    err_analysis_single("the dog runs", 2);
    EXPECT_EQ(lines_of(15).at(before), "BEST ROOT : R2");
    want.fill(0);
    want[7] = 1;
    EXPECT_EQ(rootset, want);
    before = lines_of(15).size();
    err_analysis_single("the dog runs", 25);
    EXPECT_EQ(lines_of(15).size(), before);

    // A set never initialised is the default one.
    reset_stud_err();
    EXPECT_EQ(analyse("the dog runs").at(0), "BEST ROOT : R2");
}

TEST_F(AnalysisTest, ReportsOfWholeSentences) {
    the_dog_runs(2);
    EXPECT_EQ(analyse("the dog runs"),
              (Lines{"BEST ROOT : R2", "SCORE     : 0", "EXPECTED : the dog runs",
                     "RESPONSE : the dog runs", "CORRECT", "***"}));
    EXPECT_EQ(added_by([] { analyse("the  dog runs"); }),
              (Lines{"", "", "  *****", "CURRENT ROOT : R2", "SCORE        : 0",
                     "EXPECTED : the dog runs", "RESPONSE : the  dog runs", "  *****"}));
    EXPECT_EQ(analyse("the dog"),
              (Lines{"BEST ROOT : R2", "SCORE     : 10", "EXPECTED : the dog runs",
                     "RESPONSE : the dog", "C3 --  MISSING  runs", "C1 S1   EXACT   the/the",
                     "C2 S2   EXACT   dog/dog", "***"}));
    // One word more than the tree's leaves costs 10.
    EXPECT_EQ(analyse("the dog runs home").at(1), "SCORE     : 10");

    sentence(2, {leaf("DET", "the"), leaf("N", "dog", {"sg"})});
    EXPECT_EQ(pairs("the big dog"), (Lines{"-- S2  EXTRA    big", "C1 S1   EXACT   the/the",
                                           "C2 S3   EXACT   dog/dog", "***"}));
    // A spelling slip costs 2 and a different word 10 on the diagonal.
    EXPECT_EQ(analyse("tha cat").at(1), "SCORE     : 12");
    EXPECT_EQ(pairs("tha cat"), (Lines{"C2 --  MISSING  dog", "-- S2  EXTRA    cat",
                                       "C1 S1   APPROX   the/tha", "***"}));
    // A slip of two letters in a short word makes it another word.
    EXPECT_EQ(analyse("teh dog").at(1), "SCORE     : 10");
}

TEST_F(AnalysisTest, TheBestRootAndItsTies) {
    the_dog_runs(2);
    the_dog_runs(3);
    sentence(4, {leaf("DET", "the"), leaf("N", "cat", {"sg"})});
    const Lines trace = added_by([] { EXPECT_EQ(analyse("the cat").at(0), "BEST ROOT : R4"); });
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "  *****"), 6);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "SCORE        : 20"), 2);
    // Equal scores keep the earlier root.
    EXPECT_EQ(analyse("the dog runs").at(0), "BEST ROOT : R2");
    err_set_rootset("3 4");
    EXPECT_EQ(analyse("the dog runs").at(0), "BEST ROOT : R3");
}

TEST_F(AnalysisTest, ResponsesWithoutWords) {
    the_dog_runs(2);
    EXPECT_TRUE(analyse("   ").empty());
    EXPECT_TRUE(shown("$meNo student response"));
    EXPECT_EQ(added_by([] { err_analysis(static_cast<const char*>(nullptr)); }),
              Lines{"ERROR   Error analysis called but no student response found  "});
}

// The lines of the classes that whole analyses elsewhere do not show.
TEST_F(AnalysisTest, PairLinesOfEachClass) {
    struct Row {
        int cls;
        std::vector<std::string> breakup;
        std::string error;
        std::string line;
    };
    const Row rows[] = {
        {4, {"c/k", "a/e"}, "none", "C1 S2   PHONO a/b   c/k a/e \n"},
        {4, {}, "none", "C1 S2   PHONO a/b   \n"},
        {5, {}, "none", "C1 S2   LEX a/b  0:?\n"},  // a tag that was removed
        {3, {}, "none", "unrecognizable match type\n"},
        {-1, {}, "none", "unrecognizable match type\n"},
    };
    for (const Row& r : rows) {
        lexdiff d;
        d.matchclass = r.cls;
        d.error = r.error;
        d.breakup = r.breakup;
        EXPECT_EQ(err_get_matchinfo(1, 2, d, "a", "b"), r.line) << r.cls;
    }
    // A piece longer than its room is cut, and still ends its line.
    const std::string piece = err_get_insertdelete(1, 1, std::string(700, 'w'));
    EXPECT_EQ(piece.size(), kPieceMax);
    EXPECT_EQ(piece.back(), '\n');
}

TEST_F(AnalysisTest, AlignmentAndClaimingOnGivenClasses) {
    // Rows are expected words, columns response words, each character a class.
    struct Case {
        std::vector<std::string> classes;
        std::string report;
    };
    const Case cases[] = {
        {{"0"}, "CORRECT\n***\n"},
        // Both expected words are related to the one response word: the first claims it; the
        // second is neither missing nor shown.
        {{"2", "2"}, "C1 S1   APPROX   e1/r1\n***\n"},
        {{"30", "03"}, "C1 S2   EXACT   e1/r2\nC2 S1   EXACT   e2/r1\n***\n"},
        // Equal distance: the smaller response number.
        {{"333", "232", "333"},
         "C1 --  MISSING  e1\nC3 --  MISSING  e3\n-- S2  EXTRA    r2\n-- S3  EXTRA    r3\n"
         "C2 S1   APPROX   e2/r1\n***\n"},
        {{"3"}, "C1 --  MISSING  e1\n-- S1  EXTRA    r1\n***\n"},
        // A claimed expected word is not claimed again.
        {{"22"}, "-- S2  EXTRA    r2\nC1 S1   APPROX   e1/r1\n***\n"},
        {{}, "CORRECT\n***\n"},
    };
    for (const Case& c : cases) {
        const int m = static_cast<int>(c.classes.size());
        const int n = m > 0 ? static_cast<int>(c.classes[0].size()) : 0;
        std::vector<lexdiff> matrix;
        std::vector<std::string> expected;
        err_lex_struct words;
        for (int i = 0; i < m; ++i) {
            expected.push_back("e" + std::to_string(i + 1));
            for (char cls : c.classes[static_cast<std::size_t>(i)]) {
                matrix.emplace_back();
                matrix.back().matchclass = cls - '0';
            }
        }
        for (int j = 0; j < n; ++j)
            words.push_back("r" + std::to_string(j + 1));
        EXPECT_EQ(err_get_report(matrix, m, n, words, expected), c.report);
    }
}

TEST_F(AnalysisTest, WordsOfTheSentenceAsTheLearnerReadsThem) {
    errors("V ( NUMBER , PERSON )");
    sounds();
    sentence(2, {leaf("CAP", "`"), leaf("WORD", "yes"), leaf("PUNCT", ","), leaf("DET", "the"),
                 leaf("N", "dog", {"sg"}), leaf("V", "run", {"sg", "third"}), leaf("PUNCT", ".")});
    std::vector<std::string> texts;
    for (const expected_word& w : err_expected_words(rootPtrs[2]))
        texts.push_back(w.text);
    EXPECT_EQ(texts, (Lines{"Yes,", "the", "dog", "runs."}));
    EXPECT_EQ(pairs("Yes, the dog runs."), (Lines{"CORRECT", "***"}));
    EXPECT_EQ(
        pairs("Yes, the dog run."),
        (Lines{"C1 S1   EXACT   Yes,/Yes,", "C2 S2   EXACT   the/the", "C3 S3   EXACT   dog/dog",
               "C4 S4   MORPH    runs./run. third/first  OR  third/second  OR  sg/pl", "***"}));
    EXPECT_EQ(pairs("Yais, the dog runz.").at(0), "C1 S1   PHONO Yes,/Yais,   e/ai");
    // Another spelling of the same sound costs 1.
    const Lines runz = analyse("Yes, the dog runz.");
    EXPECT_EQ(runz.at(1), "SCORE     : 1");
    EXPECT_EQ(runz.at(7), "C4 S4   PHONO runs./runz.   s/z");
    EXPECT_EQ(pairs("yes, the dog runs").at(0), "C1 S1   APPROX   Yes,/yes,");

    // A word of no character of its own (an empty word, a lone glue) joins the word it acts on.
    treenode* glue = leaf("WORD", "yes");
    glue->morphed_word = "^";
    treenode* none = leaf("WORD", "yes");
    none->morphed_word.clear();
    sentence(3, {leaf("DET", "the"), none, glue, leaf("N", "dog", {"sg"}), leaf("CAP", "`")});
    const std::vector<expected_word> words = err_expected_words(rootPtrs[3]);
    ASSERT_EQ(words.size(), 1U);
    EXPECT_EQ(words[0].text, "thedog");
    EXPECT_EQ(words[0].leaves.size(), 4U);
}

TEST_F(AnalysisTest, AnyResponseGivesABoundedReport) {
    errors("N ( NUMBER ) V ( NUMBER , PERSON )");
    sounds();
    tags("SYN ( 9 ) ANT ( 9 )");
    sentence(2, {leaf("CAP", "`"), leaf("DET", "the"), leaf("ADJ", "big"), leaf("N", "dog", {"pl"}),
                 leaf("V", "run", {"pl", "third"}), leaf("WORD", "long"), leaf("PUNCT", ".")});
    std::mt19937 random(20240611);
    const std::string vocabulary[] = {"the",   "The",       "dogs",  "dog",      "run", "runs",
                                      "large", "\xe9t\xe9", "long.", "\x01\x02", "^",   "`"};
    for (int round = 0; round < 60; ++round) {
        std::string response;
        const int words = static_cast<int>(random() % 40);
        for (int w = 0; w < words && response.size() < 199; ++w) {
            if (!response.empty()) response += ' ';
            if (random() % 4 == 0) {
                for (int c = static_cast<int>(random() % 60); c > 0; --c)
                    response += static_cast<char>(1 + random() % 255);
            } else {
                response += vocabulary[random() % std::size(vocabulary)];
            }
        }
        response.resize(std::min<std::size_t>(response.size(), 199));
        const Lines report = analyse(response);
        if (err_make_words(response).empty()) continue;
        ASSERT_GE(report.size(), 5U) << round;
        EXPECT_EQ(report.back(), "***") << round;
        const int n = static_cast<int>(err_make_words(response).size());
        EXPECT_LE(static_cast<int>(report.size()), 4 + 5 + n + 2) << round;
    }
    EXPECT_FALSE(err_in_analysis);

    // The messages of one analysis are bounded too; those left out are counted.
    std::vector<treenode*> longs;
    for (int i = 0; i < 60; ++i)
        longs.push_back(leaf("WORD", "long"));
    sentence(3, longs);
    err_set_rootset("3");
    const Lines said = added_by([] { analyse("x"); });
    EXPECT_EQ(
        std::count_if(said.begin(), said.end(),
                      [](const std::string& l) { return l.starts_with("ipa string of long"); }),
        50);
    EXPECT_EQ(said.back(), "10 further messages of this analysis left out");
}

TEST_F(AnalysisTest, TheKeysTakeTheResponseFromTheCursor) {
    the_dog_runs(2);
    sentence(3, {leaf("DET", "the"), leaf("N", "cat", {"sg"})});
    corenum = 1;
    fill_lines({"ignored", "the", "dog   runs"});
    cur().lnptr = line(2);
    // ESC Ctrl-K reads the sentence's number after the key.
    pushfn("3 ");
    qcompsingle();
    Lines report = lines_of(15);
    const auto best = std::find(report.begin(), report.end(), "BEST ROOT : R3");
    ASSERT_LE(best + 4, report.end());
    EXPECT_EQ(Lines(best + 1, best + 4),
              (Lines{"SCORE     : 20", "EXPECTED : the cat", "RESPONSE : the dog runs"}));
    std::array<int, kRoots> defaults{};
    std::fill(defaults.begin() + 2, defaults.end(), 1);
    EXPECT_EQ(rootset, defaults);

    // A response longer than its room is cut, and the report says so.
    corenum = 2;
    fill_lines({"the dog runs " + std::string(250, 'x')});
    qnewcompare();
    report = lines_of(15);
    const auto at = std::find(report.begin(), report.end(), "(response cut at 199 characters)");
    ASSERT_NE(at, report.end());
    EXPECT_EQ(*(at - 1), "RESPONSE : the dog runs " + std::string(186, 'x'));
    EXPECT_TRUE(response_cut);
}
