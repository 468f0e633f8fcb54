// The three files of response analysis (morphological errors, phonology tables, tag information)
// and the tests they feed: inflected variants with their explanations, the same sound spelled
// otherwise, related words; and the commands that load and remove them.
#include <string>
#include <vector>

#include "analysis_fixture.hpp"
#include "getparam.hpp"

using Lines = std::vector<std::string>;

TEST_F(AnalysisTest, MorphologicalErrorFileIsReadSortedAndChecked) {
    std::string many;
    for (int i = 0; i < 40; ++i)
        many += "sg ";
    errors("N ( pl NUMBER sg pl ) XX ( NUMBER ) V ( PERSON , WHAT , NUMBER , sg ) ADJ ( " + many +
           ")");
    EXPECT_EQ(count("Terminal not in terminal list XX"), 1);
    EXPECT_EQ(count("Terminal not in terminal list NUMBER"),
              1);  // the names after it are terminals
    EXPECT_EQ(count("Attribute not in attribute list WHAT"), 1);
    EXPECT_EQ(count("Maximum allowable types/values for a terminal sg"), 1);
    EXPECT_EQ(count("ERROR"), 4);
    // A whole type first, then its values dropped; rows sorted by type then value.
    const Lines printed = added_by([] { print_merror_tables(); });
    EXPECT_EQ(printed, (Lines{"DET", "N", "1", "-1", "V", "1", "-1", "2", "-1", "ADJ", "1", "1",
                              "CAP", "PUNCT", "WORD"}));
    clear_mrdata();
    EXPECT_EQ(added_by([] { print_merror_tables(); }).size(), 7U);
}

TEST_F(AnalysisTest, VariantsAreEveryCombinationOfTheSlots) {
    errors("N ( NUMBER ) V ( NUMBER , PERSON )");
    ASSERT_TRUE(mrmodify());
    // Each variant as its changed values and its form, the newest first.
    const auto combos = [](treenode* l) {
        make_variants(l);
        Lines out;
        for (const morphvar* mv = l->mvar.get(); mv != nullptr; mv = mv->next.get()) {
            std::string c;
            for (int i = 1; i <= mv->attrcomb[0]; ++i) {
                const t_delay& e = delay_at(mv->attrcomb[i]);
                c += std::string(c.empty() ? "" : ".") + att_get_name(e.class_, e.choice);
            }
            out.push_back(c + "=" + mv->variant);
        }
        return out;
    };
    EXPECT_EQ(combos(leaf("N", "dog", {"sg"})), (Lines{"pl=dogs", "sg=dog"}));
    // Slots of 2 and 3 values: 3 x 4 - 1 combinations, the last slot counting fastest.
    EXPECT_EQ(combos(leaf("V", "run", {"sg", "third"})),
              (Lines{"pl.third=run", "pl.second=run", "pl.first=run", "pl=run", "sg.third=runs",
                     "sg.second=run", "sg.first=run", "sg=runs", "third=runs", "second=run",
                     "first=run"}));

    // A leaf whose name is no terminal has none.
    treenode* other = leaf("N", "dog", {"sg"});
    other->name = "NOUN";
    make_variants(other);
    EXPECT_EQ(other->mvar, nullptr);
    lexdiff d;
    EXPECT_EQ(compare_var("dogs", other, d), 0);
}

TEST_F(AnalysisTest, OnlyTheSmallestExplanationsAreListed) {
    errors("V ( NUMBER , PERSON )");
    ASSERT_TRUE(mrmodify());
    const int v = lookup_terminal("V");
    const auto value = [v](int slot, int n) {
        return mrmod[static_cast<std::size_t>(v)][static_cast<std::size_t>(slot)]
                    [static_cast<std::size_t>(n)];
    };
    const int pl = value(1, 2);
    const int first = value(2, 1);
    struct Case {
        std::vector<std::vector<int>> variants;  // in the order they are examined
        Lines breakups;
    };
    const Case cases[] = {
        // NUMBER alone replaces NUMBER and PERSON; an equal one is listed once.
        {{{pl, first}, {pl}, {pl}, {first}}, {"third/first", "sg/pl"}},
        {{{pl}, {pl, first}}, {"sg/pl"}},
        {{{first}, {pl}}, {"sg/pl", "third/first"}},
    };
    for (const Case& c : cases) {
        treenode* runs = leaf("V", "run", {"sg", "third"});
        std::unique_ptr<morphvar>* tail = &runs->mvar;
        for (const std::vector<int>& changed : c.variants) {
            *tail = std::make_unique<morphvar>();
            (*tail)->attrcomb[0] = static_cast<int>(changed.size());
            std::copy(changed.begin(), changed.end(), (*tail)->attrcomb.begin() + 1);
            (*tail)->variant = "run";
            tail = &(*tail)->next;
        }
        lexdiff d;
        EXPECT_EQ(compare_var("run", runs, d), 1);
        EXPECT_EQ(d.breakup, c.breakups);
    }
    // A value of a type the expected word does not have is explained by itself.
    treenode* bare = leaf("V", "run", {"sg"});
    bare->mvar = std::make_unique<morphvar>();
    bare->mvar->attrcomb = {1, first};
    bare->mvar->variant = "run";
    lexdiff d;
    EXPECT_EQ(compare_var("run", bare, d), 1);
    EXPECT_EQ(d.breakup, Lines{"/first"});
}

TEST_F(AnalysisTest, InflectionErrorsInAnAnalysisAndTheEnumeration) {
    errors("N ( NUMBER ) V ( NUMBER , PERSON )");
    the_dog_runs(2);
    const int delays = delayptr;
    EXPECT_EQ(pairs("the dogs run"),
              (Lines{"C1 S1   EXACT   the/the", "C2 S2   MORPH    dog/dogs sg/pl",
                     "C3 S3   MORPH    runs/run third/first  OR  third/second  OR  sg/pl", "***"}));
    EXPECT_EQ(analyse("the dogs run").at(1), "SCORE     : 10");
    EXPECT_EQ(delayptr, delays);  // the analysis gives its delay entries back
    EXPECT_EQ(rootPtrs[2]->son->sibling->mvar, nullptr);

    const Lines listing = added_by([] { generate_enumerations(); });
    EXPECT_EQ(
        Lines(listing.begin(), listing.begin() + 13),
        (Lines{"CURRENT ROOT : R2", "", "ORIGINAL WORD: the", "",
               "Morphological variations:     Attribute list:", "", "", "ORIGINAL WORD: dog", "",
               "Morphological variations:     Attribute list:", "pl;dogs", "sg;dog", ""}));
    EXPECT_EQ(listing.size(), 13U + 5U + 11U);
    EXPECT_EQ(listing[17], "pl, third;run");
    EXPECT_EQ(delayptr, delays);

    reset_trees();
    genSentences[2].reset();
    generate_enumerations();
    EXPECT_TRUE(shown("$meError: ROOT tree does not exist"));
}

TEST_F(AnalysisTest, SameSoundSpelledOtherwise) {
    lexdiff none;
    treenode* cat = leaf("N", "cat", {"sg"});
    EXPECT_EQ(err_match_phono("kat", cat, none), 0);  // no tables loaded
    sounds();
    struct Case {
        const char* word;
        int result;
        Lines breakups;
    };
    const Case cases[] = {
        {"kat", 1, {"c/k"}}, {"cat", 1, {}}, {"kad", 0, {}}, {"ka", 0, {}}, {"katt", 0, {}},
    };
    for (const Case& c : cases) {
        lexdiff d;
        EXPECT_EQ(err_match_phono(c.word, cat, d), c.result) << c.word;
        EXPECT_EQ(d.breakup, c.breakups) << c.word;
        EXPECT_EQ(d.matchclass, c.result == 1 ? kSameSound : kNotCompared) << c.word;
    }
    EXPECT_EQ(cat->morphed_word, "cat");  // the sounds were made on the leaf and taken back

    // An expected word that its own sounds do not spell.
    lexdiff cot;
    EXPECT_EQ(err_match_phono("kat", leaf("N", "cot", {"sg"}), cot), 1);
    EXPECT_EQ(cot.error,
              "ERROR: correct word does not match ipa string, though student response does");
    EXPECT_EQ(err_get_matchinfo(1, 1, cot, "cot", "kat"),
              "C1 S1   PHONO cot/kat   \nERROR: correct word does not match ipa string, though "
              "student response does\n");

    // As many sounds as the work arrays hold are tested; more, and a sound without a table, are
    // refused.
    lexdiff d;
    EXPECT_EQ(err_match_phono(std::string(20, 'a'), leaf("WORD", "ten"), d), 1);
    EXPECT_EQ(added_by([&] { EXPECT_EQ(err_match_phono("a", leaf("WORD", "long"), d), 0); }),
              Lines{"ipa string of long has more than 20 symbols; no phonological test"});
    clear_phon_tables();
    sounds("\"a\" ( \"a\" ) \"t\" ( \"t\" )");
    EXPECT_EQ(added_by([&] { EXPECT_EQ(err_match_phono("kat", cat, d), 0); }),
              Lines{"ipa symbol has no entry in phonology tables"});
}

TEST_F(AnalysisTest, PhonologyTablesFileIsReadSymbolBySymbol) {
    sounds(
        "\"ab\" ( \"x\" , \"y\" ) % \"c\" \"d\" ( \"z\" ) \"b\" ( \"w\" ) \"\" ( \"q\" ) junk "
        "\"e\" ( \"v\"");
    const table* b = err_get_phontable_pointer("b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->elements, "x|y|");
    EXPECT_EQ(b->count, 2);
    EXPECT_EQ(err_get_phontable_pointer("a"), nullptr);  // only the last symbol counts
    ASSERT_NE(err_get_phontable_pointer("cab"), nullptr);
    EXPECT_EQ(err_get_phontable_pointer("c")->elements, "d|z|");
    EXPECT_EQ(err_get_phontable_pointer("e"), nullptr);
    EXPECT_EQ(err_get_phontable_pointer(""), nullptr);
    expect_once({"ERROR phon table input table b table name repeated",
                 "ERROR phon table input  IPA symbol missing",
                 "ERROR phon table input  Unexpected symbol identifier: junk",
                 "ERROR phon table input table e last table incomplete"});
    EXPECT_EQ(count("ERROR"), 4);
    clear_phon_tables();
    EXPECT_EQ(err_get_phontable_pointer("b"), nullptr);
}

TEST_F(AnalysisTest, RelatedWordsThroughTagsAndPointerFields) {
    tags("SYN ( 9 ) ANT(9) , OPP ( x ) TOP ( 127 ) BAD ( 200 ) LAST ( 3");
    ASSERT_NE(err_get_tag_name(5), nullptr);
    EXPECT_EQ(err_get_tag_name(5)->tag, "SYN");
    EXPECT_EQ(err_get_tag_name(6)->tag, "ANT");
    EXPECT_EQ(err_get_tag_name(6)->field, 9);
    EXPECT_EQ(err_get_tag_name(7)->field, 127);
    EXPECT_EQ(err_get_tag_name(8), nullptr);
    expect_once({"tag OPP field number expected, found x", "tag BAD field number out of range 200",
                 "last declaration incomplete"});

    struct Case {
        const char* expected;
        const char* word;
        std::initializer_list<const char*> values;
        const char* response;
        int cls;
    };
    const Case cases[] = {
        {"big", "ADJ", {}, "large", 5},    {"big", "ADJ", {}, "small", 6},
        {"big", "ADJ", {}, "huge", 0},     {"dog", "N", {"pl"}, "hounds", 5},
        {"dog", "N", {"sg"}, "hounds", 0}, {"cat", "N", {"sg"}, "hound", 0},
        {"fast", "ADJ", {}, "run", 5},  // a word of another terminal
    };
    for (const Case& c : cases) {
        lexdiff d;
        const int found = err_match_syn(c.response, leaf(c.word, c.expected, c.values), d);
        EXPECT_EQ(found, c.cls != 0 ? 1 : 0) << c.expected << "/" << c.response;
        EXPECT_EQ(d.matchclass, c.cls != 0 ? c.cls : kNotCompared) << c.expected;
        if (c.cls != 0) {
            ASSERT_NE(current_inflected, nullptr);
            EXPECT_EQ(current_inflected->morphed_word, c.response);
        }
    }
    // The report line names the tag's field and name.
    sentence(2, {leaf("DET", "the"), leaf("ADJ", "big"), leaf("N", "dog", {"sg"})});
    EXPECT_EQ(pairs("the small dog").at(1), "C2 S2   LEX big/small  9:ANT");

    // Faults of the pointer fields are reported and give no words.
    for (const char* word : {"odd", "bad", "open"}) {
        lexdiff d;
        EXPECT_EQ(err_match_syn("large", leaf("ADJ", word), d), 0) << word;
    }
    EXPECT_EQ(count("Indirection not found ABC"), 2);  // once for each tag that looks there
    EXPECT_EQ(count("Indirection not found \"nothing\""), 1);
    EXPECT_EQ(count("[Indirection] Closing quote missing \"large"), 1);
}

TEST_F(AnalysisTest, CommandsLoadAndRemoveTheThreeKinds) {
    const auto load = [this](void (*op)(), const char* name, const std::string& text) {
        ASSERT_TRUE(curfile.assign(file(name, text)));
        op();
    };
    installed = 1 | 32 | 64;
    const Lines read = added_by([&] {
        load(qipa, "s.ipa", kSounds);
        load(qmrpherror, "e.mre", "N ( NUMBER )");
        load(qtginfo, "t.tag", "SYN ( 9 )");
    });
    EXPECT_EQ(std::count_if(read.begin(), read.end(),
                            [](const std::string& l) { return l.starts_with("Finished reading"); }),
              3);
    EXPECT_EQ(bits_to_text(installed), "AT, TM, LE, IP, MR, TG");
    EXPECT_EQ(gentofilename['p' - kFirstLetter], dir_ + "/s.ipa");
    EXPECT_EQ(gentofilename['e' - kFirstLetter], dir_ + "/e.mre");
    EXPECT_EQ(gentofilename['g' - kFirstLetter], dir_ + "/t.tag");
    // Reading one again removes the one before.
    EXPECT_EQ(added_by([&] { load(qipa, "s.ipa", "\"q\" ( \"k\" )"); }).at(0), "uninstalled: IP");
    EXPECT_EQ(err_get_phontable_pointer("k"), nullptr);
    EXPECT_EQ(added_by([&] { load(qmrpherror, "e.mre", "N ( NUMBER ) V ( NUMBER )"); }).at(0),
              "uninstalled: MR");
    EXPECT_EQ(added_by([&] { load(qtginfo, "t.tag", "ANT ( 9 )"); }).at(0), "uninstalled: TG");
    EXPECT_EQ(err_get_tag_name(5)->tag, "ANT");

    EXPECT_EQ(added_by([] { uninstall(text_to_bits("ip, tg")); }), Lines{"uninstalled: IP, TG"});
    EXPECT_EQ(phontablelist, nullptr);
    EXPECT_EQ(taglist, nullptr);
    EXPECT_EQ(gentofilename['p' - kFirstLetter], "");
    // Reading attributes again removes the morphological errors that name them.
    EXPECT_NE(mrdata[static_cast<std::size_t>(lookup_terminal("N"))][0], 0);
    EXPECT_EQ(added_by([&] { load(qattribute, "a.att", "NUMBER ( sg , pl ) %"); }).at(0),
              "uninstalled: AT, LE, MR");
    EXPECT_EQ(mrdata[static_cast<std::size_t>(lookup_terminal("N"))][0], 0);
}
