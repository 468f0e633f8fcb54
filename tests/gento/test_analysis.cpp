// Response analysis: the spelling distance, the root set, the scores, the report lines in core file
// 15, the words of a sentence as the learner reads it; the three files of the analysis
// (morphological errors, phonology tables, tag information) and the tests they feed: inflected
// variants, the same sound spelled otherwise, related words; and the commands that load them.
#include <string>
#include <tuple>
#include <vector>

#include "analysis_fixture.hpp"
#include "getparam.hpp"
#include "syn_misc.hpp"

using Lines = std::vector<std::string>;

TEST_F(AnalysisTest, RootSetAndResponsesThatGiveNoReport) {
    EXPECT_EQ(added_by([] { err_set_rootset("1, 5, 20 and 30"); }),
              Lines{"ROOTSET changed to set: 1 5 20 "});
    EXPECT_EQ(added_by([] { err_set_rootset(" "); }),
              Lines{"ROOTSET restored to default set: 2 3 4 ... 20"});
    EXPECT_EQ(std::tuple(std::count(rootset.begin(), rootset.end(), 1), rootset[0] + rootset[1]),
              std::tuple(kRoots - 2, 0));

    the_dog_runs(2);
    err_set_rootset("7");
    EXPECT_TRUE(added_by([] { EXPECT_TRUE(analyse("the dog runs").empty()); }).empty());
    EXPECT_TRUE(shown("$mhNo roots found in ROOTSET to perform error testing"));
    // One root alone, and the set as it was afterwards; a number out of range finds no root.
    EXPECT_EQ(added_by([] { err_analysis_single("the dog runs", 2); }, 15).at(0), "BEST ROOT : R2");
    EXPECT_TRUE(added_by([] { err_analysis_single("the dog runs", 25); }, 15).empty());
    EXPECT_EQ(std::count(rootset.begin(), rootset.end(), 1), 1);
    EXPECT_EQ(rootset[7], 1);
    reset_stud_err();  // a set never initialised is the default one
    EXPECT_EQ(analyse("the dog runs").at(0), "BEST ROOT : R2");

    EXPECT_TRUE(analyse("   ").empty());
    EXPECT_TRUE(shown("$meNo student response"));
    EXPECT_EQ(added_by([] { err_analysis(static_cast<const char*>(nullptr)); }),
              Lines{"ERROR   Error analysis called but no student response found  "});
}

TEST_F(AnalysisTest, ReportsOfWholeSentencesAndTheBestRoot) {
    the_dog_runs(2);
    EXPECT_EQ(joined(analyse("the dog runs")),
              "BEST ROOT : R2|SCORE     : 0|EXPECTED : the dog runs|"
              "RESPONSE : the dog runs|CORRECT|***|");
    EXPECT_EQ(joined(added_by([] { analyse("the  dog runs"); })),
              "||  *****|CURRENT ROOT : R2|SCORE        : 0|EXPECTED : the dog runs|"
              "RESPONSE : the  dog runs|  *****|");
    EXPECT_EQ(joined(analyse("the dog")),
              "BEST ROOT : R2|SCORE     : 10|EXPECTED : the dog runs|RESPONSE : the dog|"
              "C3 --  MISSING  runs|C1 S1   EXACT   the/the|C2 S2   EXACT   dog/dog|***|");

    sentence(2, {leaf("DET", "the"), leaf("N", "dog", {"sg"})});
    EXPECT_EQ(joined(pairs("the big dog")),
              "-- S2  EXTRA    big|C1 S1   EXACT   the/the|C2 S3   EXACT   dog/dog|***|");
    // A spelling slip costs 2 and a different word 10 on the diagonal.
    EXPECT_EQ(joined(analyse("tha cat")),
              "BEST ROOT : R2|SCORE     : 12|EXPECTED : the dog|RESPONSE : tha cat|"
              "C2 --  MISSING  dog|-- S2  EXTRA    cat|C1 S1   APPROX   the/tha|***|");

    // The best root; equal scores keep the earlier one.
    the_dog_runs(3);
    sentence(4, {leaf("DET", "the"), leaf("N", "cat", {"sg"})});
    const Lines trace = added_by([] { EXPECT_EQ(analyse("the cat").at(0), "BEST ROOT : R4"); });
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "  *****"), 6);
    err_set_rootset("3 4 5");
    the_dog_runs(5);
    EXPECT_EQ(analyse("the dog runs").at(0), "BEST ROOT : R3");
}

TEST_F(AnalysisTest, SpellingDistanceAndAlignmentOnGivenClasses) {
    const std::tuple<const char*, const char*, int> rows[] = {
        {"cat", "cut", 1},         {"house", "horse", 1}, {"dog", "cat", 1000},
        {"a", "b", 1000},          {"a", "a", 0},         {"", "a", 1000},
        {"a", "", 1000},           {"cat", "cats", 1},    {"cats", "cat", 1000},
        {"walk", "talk", 1},       {"is", "it", 1000},    {"elephant", "elefant", 2},
        {"elephant", "elphnt", 2}, {"dog", "dgo", 1000},  {"runs.", "run.", 1},
        {"walk", "walker", 1000}};
    for (const auto& [a, b, d] : rows)
        EXPECT_EQ(strdiff(a, b), d) << a << " / " << b;
    // Rows are expected words, columns response words, each character a class.
    const std::pair<Lines, std::string> cases[] = {
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
    };
    for (const auto& [classes, report] : cases) {
        std::vector<lexdiff> matrix;
        Lines expected;
        err_lex_struct words;
        for (const std::string& row : classes) {
            expected.push_back("e" + std::to_string(expected.size() + 1));
            for (char cls : row)
                matrix.emplace_back().matchclass = cls - '0';
        }
        for (std::size_t j = 0; !classes.empty() && j < classes[0].size(); ++j)
            words.push_back("r" + std::to_string(j + 1));
        EXPECT_EQ(err_get_report(matrix, static_cast<int>(expected.size()),
                                 static_cast<int>(words.size()), words, expected),
                  report);
    }
}

TEST_F(AnalysisTest, WordsOfTheSentenceAsTheLearnerReadsThem) {
    errors("V ( NUMBER , PERSON )");
    sounds();
    sentence(2, {leaf("CAP", "`"), leaf("WORD", "yes"), leaf("PUNCT", ","), leaf("DET", "the"),
                 leaf("N", "dog", {"sg"}), leaf("V", "run", {"sg", "third"}), leaf("PUNCT", ".")});
    EXPECT_EQ(pairs("Yes, the dog runs."), (Lines{"CORRECT", "***"}));
    EXPECT_EQ(joined(pairs("Yes, the dog run.")),
              "C1 S1   EXACT   Yes,/Yes,|C2 S2   EXACT   the/the|C3 S3   EXACT   dog/dog|"
              "C4 S4   MORPH    runs./run. third/first  OR  third/second  OR  sg/pl|***|");
    EXPECT_EQ(pairs("Yais, the dog runs.").at(0), "C1 S1   PHONO Yes,/Yais,   e/ai");
    // Another spelling of the same sound costs 1.
    const Lines runz = analyse("Yes, the dog runz.");
    EXPECT_EQ(runz.at(1) + "|" + runz.at(7), "SCORE     : 1|C4 S4   PHONO runs./runz.   s/z");
    EXPECT_EQ(pairs("yes, the dog runs").at(0), "C1 S1   APPROX   Yes,/yes,");

    // A word of no character of its own (an empty word, a lone glue) joins the word it acts on.
    treenode *glue = leaf("WORD", "yes"), *none = leaf("WORD", "yes");
    glue->morphed_word = "^";
    none->morphed_word.clear();
    sentence(3, {leaf("DET", "the"), none, glue, leaf("N", "dog", {"sg"}), leaf("CAP", "`")});
    const std::vector<expected_word> words = err_expected_words(rootPtrs[3]);
    ASSERT_EQ(words.size(), 1U);
    EXPECT_EQ(words[0].text + std::to_string(words[0].leaves.size()), "thedog4");
}

TEST_F(AnalysisTest, InflectionErrorsInAnAnalysisAndTheEnumeration) {
    errors("N ( NUMBER ) V ( NUMBER , PERSON )");
    the_dog_runs(2);
    const int delays = delayptr;
    EXPECT_EQ(joined(analyse("the dogs run")),
              "BEST ROOT : R2|SCORE     : 10|EXPECTED : the dog runs|RESPONSE : the dogs run|"
              "C1 S1   EXACT   the/the|C2 S2   MORPH    dog/dogs sg/pl|"
              "C3 S3   MORPH    runs/run third/first  OR  third/second  OR  sg/pl|***|");
    EXPECT_EQ(delayptr, delays);  // the analysis gives its delay entries back

    const Lines listing = added_by(generate_enumerations);
    EXPECT_EQ(joined(Lines(listing.begin() + 6, listing.begin() + 13)) + listing.at(17),
              "|ORIGINAL WORD: dog||Morphological variations:     Attribute list:|"
              "pl;dogs|sg;dog||pl, third;run");
    EXPECT_EQ(std::tuple(listing.size(), delayptr), std::tuple(13U + 5U + 11U, delays));
    treenode* other = leaf("N", "dog", {"sg"});
    other->name = "NOUN";  // a leaf whose name is no terminal has no variants
    ASSERT_TRUE(mrmodify());
    make_variants(other);
    EXPECT_EQ(other->mvar, nullptr);
    reset_trees();
    generate_enumerations();
    EXPECT_TRUE(shown("$meError: ROOT tree does not exist"));
}

TEST_F(AnalysisTest, SameSoundSpelledOtherwise) {
    treenode* cat = leaf("N", "cat", {"sg"});
    lexdiff d;
    EXPECT_EQ(err_match_phono("kat", cat, d), 0);  // no tables loaded
    sounds();
    const std::tuple<const char*, int, Lines> cases[] = {
        {"kat", 1, {"c/k"}}, {"cat", 1, {}}, {"kad", 0, {}}, {"ka", 0, {}}, {"katt", 0, {}}};
    for (const auto& [word, result, breakups] : cases) {
        d = lexdiff();
        EXPECT_EQ(err_match_phono(word, cat, d), result) << word;
        EXPECT_EQ(d.breakup, breakups) << word;
        EXPECT_EQ(d.matchclass, result == 1 ? kSameSound : kNotCompared) << word;
    }
    EXPECT_EQ(cat->morphed_word, "cat");  // the sounds were made on the leaf and taken back

    // An expected word that its own sounds do not spell.
    d = lexdiff();
    EXPECT_EQ(err_match_phono("kat", leaf("N", "cot", {"sg"}), d), 1);
    EXPECT_EQ(err_get_matchinfo(1, 1, d, "cot", "kat"),
              "C1 S1   PHONO cot/kat   \nERROR: correct word does not match ipa string, though "
              "student response does\n");

    // As many sounds as the work arrays hold are tested; more, and a sound without a table, are
    // refused.
    EXPECT_EQ(err_match_phono(std::string(20, 'a'), leaf("WORD", "ten"), d), 1);
    EXPECT_EQ(added_by([&] { EXPECT_EQ(err_match_phono("a", leaf("WORD", "long"), d), 0); }),
              Lines{"ipa string of long has more than 20 symbols; no phonological test"});
    // The messages of one analysis are bounded; those left out are counted.
    std::vector<treenode*> longs(60);
    std::ranges::generate(longs, [] { return leaf("WORD", "long"); });
    sentence(3, longs);
    err_set_rootset("3");
    const Lines said = added_by([] { analyse("x"); });
    EXPECT_EQ(std::count_if(said.begin(), said.end(),
                            [](const std::string& l) { return l.starts_with("ipa string of"); }),
              50);
    EXPECT_EQ(said.back(), "10 further messages of this analysis left out");
    clear_phon_tables();
    sounds("\"a\" ( \"a\" ) \"t\" ( \"t\" )");
    EXPECT_EQ(added_by([&] { EXPECT_EQ(err_match_phono("kat", cat, d), 0); }),
              Lines{"ipa symbol has no entry in phonology tables"});
}

TEST_F(AnalysisTest, TheThreeFilesAreReadAndTheirFaultsReported) {
    std::string many;  // more values than a terminal's row holds
    for (int i = 0; i < 40; ++i)
        many += "sg ";
    errors("N ( pl NUMBER sg pl ) XX ( NUMBER ) V ( PERSON , WHAT , NUMBER , sg ) ADJ ( " + many +
           ")");
    sounds(
        "\"ab\" ( \"x\" , \"y\" ) % \"c\" \"d\" ( \"z\" ) \"b\" ( \"w\" ) \"\" ( \"q\" ) junk "
        "\"e\" ( \"v\"");
    tags("SYN ( 9 ) ANT(9) , OPP ( x ) TOP ( 127 ) BAD ( 200 ) LAST ( 3");
    expect_once({"Terminal not in terminal list XX",
                 "Terminal not in terminal list NUMBER",  // the names after it are terminals
                 "Attribute not in attribute list WHAT",
                 "ERROR phon table input  IPA symbol missing",
                 "ERROR phon table input table b table name repeated",
                 "ERROR phon table input  Unexpected symbol identifier: junk",
                 "ERROR phon table input table e last table incomplete",
                 "tag OPP field number expected, found x", "tag BAD field number out of range 200",
                 "last declaration incomplete"});
    // Morphological errors: a whole type first, then its values dropped; sorted by type, value.
    EXPECT_EQ(joined(added_by(print_merror_tables)),
              "DET|N|1|-1|V|1|-1|2|-1|ADJ|1|1|CAP|PUNCT|WORD|");
    // Sounds: only the last symbol of a name counts.
    std::string found;
    for (const char* name : {"b", "a", "cab", "e"}) {
        const auto* t = err_get_phontable_pointer(name);
        found += t != nullptr ? t->elements + " " : "- ";
    }
    EXPECT_EQ(found, "x|y| - d|z| - ");
    EXPECT_EQ(err_get_tag_name(6)->tag + std::to_string(err_get_tag_name(7)->field), "ANT127");
    EXPECT_EQ(err_get_tag_name(8), nullptr);
}

TEST_F(AnalysisTest, RelatedWordsThroughTagsAndPointerFields) {
    tags("SYN ( 9 ) ANT ( 9 )");

    // The expected word, its terminal and values, the response, and its class (0: unrelated);
    // "fast" points to a word of another terminal; faults of the pointer fields of "odd", "bad"
    // and "open" are reported and give no words.
    const std::tuple<const char*, const char*, std::vector<const char*>, const char*, int> cases[] =
        {{"big", "ADJ", {}, "large", 5},    {"big", "ADJ", {}, "small", 6},
         {"big", "ADJ", {}, "huge", 0},     {"dog", "N", {"pl"}, "hounds", 5},
         {"dog", "N", {"sg"}, "hounds", 0}, {"cat", "N", {"sg"}, "hound", 0},
         {"fast", "ADJ", {}, "run", 5},     {"odd", "ADJ", {}, "large", 0},
         {"bad", "ADJ", {}, "large", 0},    {"open", "ADJ", {}, "large", 0}};
    for (const auto& [expected, terminal, values, response, cls] : cases) {
        lexdiff d;
        EXPECT_EQ(err_match_syn(response, leaf(terminal, expected, values), d), cls != 0 ? 1 : 0)
            << expected << "/" << response;
        EXPECT_EQ(d.matchclass, cls != 0 ? cls : kNotCompared) << expected;
        if (cls != 0) {
            EXPECT_EQ(current_inflected ? current_inflected->morphed_word : "", response);
        }
    }
    // The report line names the tag's field and name.
    sentence(2, {leaf("DET", "the"), leaf("ADJ", "big"), leaf("N", "dog", {"sg"})});
    EXPECT_EQ(pairs("the small dog").at(1), "C2 S2   LEX big/small  9:ANT");
    EXPECT_EQ(count("Indirection not found ABC"), 2);  // once for each tag that looks there
    expect_once(
        {"Indirection not found \"nothing\"", "[Indirection] Closing quote missing \"large"});
}

TEST_F(AnalysisTest, CommandsLoadAndRemoveTheThreeKinds) {
    const auto load = [this](void (*op)(), const char* name, const std::string& text) {
        return added_by([&] {
            ASSERT_TRUE(curfile.assign(file(name, text)));
            op();
        });
    };
    installed = 1 | 32 | 64;
    load(qipa, "s.ipa", kSounds);
    load(qmrpherror, "e.mre", "N ( NUMBER )");
    EXPECT_TRUE(load(qtginfo, "t.tag", "SYN ( 9 )").back().starts_with("Finished reading"));
    EXPECT_EQ(bits_to_text(installed), "AT, TM, LE, IP, MR, TG");
    EXPECT_EQ(gentofilename['p' - kFirstLetter], dir_ + "/s.ipa");
    // Reading one again removes the one before.
    EXPECT_EQ(load(qipa, "s.ipa", "\"q\" ( \"k\" )").at(0), "uninstalled: IP");
    EXPECT_EQ(err_get_phontable_pointer("k"), nullptr);
    EXPECT_EQ(load(qmrpherror, "e.mre", "N ( NUMBER ) V ( NUMBER )").at(0), "uninstalled: MR");
    EXPECT_EQ(load(qtginfo, "t.tag", "ANT ( 9 )").at(0), "uninstalled: TG");

    EXPECT_EQ(added_by([] { uninstall(text_to_bits("ip, tg")); }), Lines{"uninstalled: IP, TG"});
    EXPECT_EQ(phontablelist, nullptr);
    EXPECT_EQ(taglist, nullptr);
    EXPECT_EQ(gentofilename['p' - kFirstLetter], "");
    // Reading attributes again removes the morphological errors that name them.
    EXPECT_EQ(load(qattribute, "a.att", "NUMBER ( sg , pl ) %").at(0), "uninstalled: AT, LE, MR");
    EXPECT_EQ(mrdata[static_cast<std::size_t>(lookup_terminal("N"))][0], 0);
}

// The example rule sets as their procedures load them: the files read without an error, every
// word of every generated sentence spells its own sounds, and a sentence typed back as it reads
// is CORRECT.
class ExampleAnalysisTest : public GentoTest, public ::testing::WithParamInterface<const char*> {
  protected:
    void TearDown() override {
        uninstall(qfile_table[kKinds - 1].mask);
        GentoTest::TearDown();
    }
};

TEST_P(ExampleAnalysisTest, GeneratedSentencesTypedBackAreCorrect) {
    const std::string set = GetParam();
    const char* suffixes[] = {"att", "tm", "lex", "mor", "tbl", "syn", "tag", "mre", "ipa"};
    void (*const commands[])() = {qattribute, qtmnls,  qlexicon,   qmorphology, qtbls,
                                  qsyntax,    qtginfo, qmrpherror, qipa};
    for (std::size_t i = 0; i < std::size(suffixes); ++i) {  // copied, as a file name is short
        const std::string name = set + "." + suffixes[i];
        std::filesystem::copy_file(std::string(ORU_SOURCE_DIR) + "/examples/" + set + "/" + name,
                                   dir_ + "/" + name);
        ASSERT_TRUE(curfile.assign(dir_ + "/" + name)) << name;
        commands[i]();
    }
    set_morph_passes(kPassRows - 1, 8, 9, 0, 0);
    ASSERT_EQ(messages("ERROR").size() + messages("warning").size(), 0U) << lines_of(kMsgCore)[1];
    int checked = 0;
    for (int round = 0; round < 40 && !HasFailure(); ++round) {
        reseed(static_cast<std::uint32_t>((round + 1) * 2654435761u));
        generate();
        // The question, the answer and, where the syntax has one, the short answer.
        for (int r = 0; r < kRoots; ++r) {
            treenode* tree = err_root_tree(r);
            if (!genSentences[static_cast<std::size_t>(r)] || tree == nullptr) continue;
            const std::string sentence = *genSentences[static_cast<std::size_t>(r)];
            for (treenode* leaf : err_leaves(tree)) {
                lexdiff d;
                if (ipa_of(leaf).empty() || leaf->morphed_word.find('^') != std::string::npos)
                    continue;  // no sounds, or glued to its neighbour
                EXPECT_EQ(err_match_phono(leaf->morphed_word, leaf, d), 1) << leaf->morphed_word;
                EXPECT_EQ(d.error, "") << leaf->morphed_word;
            }
            const Lines report =
                added_by([&] { err_analysis_single(std::string_view(sentence), r); }, 15);
            EXPECT_EQ(report.at(4), "CORRECT") << sentence;
            ++checked;
        }
    }
    EXPECT_GE(checked, 80);  // at least a question and its answer each round
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleAnalysisTest, ::testing::Values("english", "french"),
                         [](const auto& info) { return std::string(info.param); });
