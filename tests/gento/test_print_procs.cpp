// Stored trees: the three styles of STORE and their lines, the lexicon section, and RECOVER
// reading a file back or refusing it.
#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "lex_read.hpp"
#include "print_procs.hpp"
#include "report_fixture.hpp"

namespace {

class StoredTreeTest : public ReportTest {
  protected:
    void SetUp() override {
        ReportTest::SetUp();
        readattr(file("a.att", "NUMBER ( sg , pl ) PERSON ( first , second , third ) %").c_str());
        read_terminals(file("a.tm", "N V DET").c_str());
        initdict();
        readdict(file("a.lex",
                      "\"dog\" | N | NUMBER | 10 | #1 |\n"
                      "\"bark\" | V | sg, third | 5 | #1 | $VERB |\n"
                      "\"x\" | N | <sg.third, NUMBER | 1 | #1 |\n")
                     .c_str());
        corenum = 1;
    }
    void TearDown() override {
        corenum = 1;
        ReportTest::TearDown();
    }

    // The entry of `word` in the lexicon.
    static const char* entry(const std::string& word) {
        for (int t = 0; t < dictterm; ++t) {
            for (const recnode* r = dictionary[static_cast<std::size_t>(t)]; r != nullptr;
                 r = r->previous) {
                if (std::string(r->recordptr).starts_with("\"" + word + "\"")) return r->recordptr;
            }
        }
        return nullptr;
    }
    static comp_attr compound(const char* text) {
        text_to_comp_struct(text, 0);
        return std::move(comp_attr_register);
    }
    // Lookup entry i as a generation leaves it.
    static void lookup(int i, const char* word, int error = 0, const char* class_ = "") {
        t_dict_lookup& d = dict_table[static_cast<std::size_t>(i)];
        clear_lookup(d);
        d.dictionary = word != nullptr ? entry(word) : nullptr;
        d.error = error;
        d.class_ = class_;
        d_table_count = std::max(d_table_count, i + 1);
    }
    // ROOT(NP(N) VP): the tree of the edge cases, with words, attributes and lookups.
    static treenode* sample() {
        treenode* n = node("N");
        n->morphed_word = "dog";
        append_attr(n->attributes, compound("sg.third"));
        n->dictionary = &dict_table[0];
        n->index = 0;
        treenode* vp = node("VP");
        vp->morphed_word = "barks";
        vp->dictionary = &dict_table[1];
        vp->index = 1;
        add_to_indir_list(vp->indirections, create_indir_node());
        treenode* np = node("NP", {n});
        append_attr(np->attributes, compound("sg"));
        append_attr(np->attributes, compound("PERSON"));
        return node("ROOT", {np, vp});
    }
    // What STORE writes into core file 1, a line a "\n".
    static std::string stored(int style) {
        corenum = 1;
        removefile();
        initfile();
        store(style, 0);
        std::string text;
        for (const std::string& l : lines_of(1))
            text += l + "\n";
        return text;
    }
    static bool cleared() {
        bool none = there_has_been_no_generation() == 1 && d_table_count == 0;
        for (const auto& s : genSentences)
            none = none && s == nullptr;
        return none;
    }
};

const std::string kLexiconLines =
    "$L\n{LEX_0} \"dog\"|N|NUMBER|0010|#1||\n{LEX_1} *no lexical entry found for V\n{LEX_2} "
    "*unused\n"
    "{LEX_3} *terminal not found Q\n{LEX_5} \"x\"|N|<sg.third, NUMBER|0001|#1||\n%\n";

TEST_F(StoredTreeTest, TheThreeStylesWriteTheirLinesAndTheLexicon) {
    root = sample();
    lookup(0, "dog");
    lookup(1, nullptr, 3, "V");
    lookup(2, nullptr);
    lookup(3, nullptr, 1, "Q");
    lookup(4, "bark", 2);  // says nothing: no line
    lookup(5, "x");
    EXPECT_EQ(stored(1),
              "$u\n$t 0\nN|G|ROOT||0|\"\"||\nS|G|NP|sg, PERSON|0|\"\"||\n"
              "SS|G|N|sg.third|0|\"dog\"|LEX_0|\nSR|G|VP||1|\"barks\"|LEX_1|\n" +
                  kLexiconLines);
    // Indented: the same lines without path and marker, two blanks a level.
    EXPECT_NE(stored(2).find("\n    N|sg.third|0|\"dog\"|LEX_0|\n"), std::string::npos);
    // Leaves, of the untransformed tree first.
    oldroot = node("OLDROOT", {node("A")});
    EXPECT_EQ(stored(0),
              "$u\n$l 999999\nA||0|\"\"||\n$l 0\nN|sg.third|0|\"dog\"|LEX_0|\n"
              "VP||1|\"barks\"|LEX_1|\n" +
                  kLexiconLines);
    // With trees of the root table only those are written, by their numbers; the driver's "="
    // needs a driver.
    rootPtrs[3] = node("R_3");
    rootPtrs[1] = node("QUESTION", {node("W")});
    d_table_count = 0;
    EXPECT_EQ(stored(0), "$u\n$l 1\nW||0|\"\"||\n$l 3\nR_3||0|\"\"||\n$L\n%\n");

    // Paths of up to 99 steps are written, of up to 38 read back: chains 39 and 105 nodes deep.
    const auto chain = [](int below) {
        purge_all_trees();
        treenode* at = root = node("ROOT");
        for (int i = 0; i < below; ++i)
            at = at->son = makenode("D");
    };
    chain(38);
    restorenode(file("deep38", stored(1)).c_str());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(std::tuple(shape(root).size(), count("Path too long"), count("RECOVER cannot")),
              std::tuple(4 + 38 * 2 + 38, 0, 0));  // ROOT(D(D(...)))
    chain(104);
    const std::string deep = stored(1);  // $u, $t 0, the top and 99 below it, $L, %
    EXPECT_EQ(std::count(deep.begin(), deep.end(), '\n'), 2 + 100 + 2);
    EXPECT_NE(deep.find("\n" + std::string(99, 'S') + "|G|D||0|\"\"||\n$L"), std::string::npos);
    expect_once({"Paths longer than 99 steps: 5 nodes not stored",
                 "Paths longer than 38 steps stored: RECOVER cannot read them"});
    restorenode(file("deep", deep).c_str());
    EXPECT_TRUE(cleared());
    expect_once({"Path too long:"});
}

TEST_F(StoredTreeTest, RecoverRebuildsTreesListsLookupsAndSentences) {
    const std::string text =
        "$u\n$t 1\nN|G|QUESTION||0|\"\"||\nS|G|CAP||0|\"`\"|LEX_2|\nSR|G|NP|sg|0|\"\"||\n"
        "SRS|G|N|sg.third, bogus|2|\"dog\"|LEX_0|\nSRR|G|P||0|\"^?\"|LEX_1|\n"
        "$l 999999\nA|pl|0|\"a\"||\nB||0|\"b|c\"|LEX_0|\n$L\n{LEX_0} \"dog\"|N|NUMBER|0010|#1||\n"
        "{LEX_1} *no lexical entry found for V\n{LEX_2} *unused\n{LEX_3} *terminal not found Q\n"
        "{LEX_4} \"x\"|N|<sg.third, NUMBER|0001|#1||\n%\n=\n$t 0\n";
    genSentences[5] = std::make_unique<std::string>("old");
    const std::uint32_t before = seed;
    restorenode(file("stored", text).c_str());
    EXPECT_EQ(seed, before);  // nothing is drawn
    ASSERT_TRUE(rootPtrs[1] != nullptr && oldroot != nullptr && genSentences[1] != nullptr);
    EXPECT_EQ(std::tuple(shape(rootPtrs[1]), shape(oldroot), root, genSentences[5].get()),
              std::tuple("QUESTION(CAP NP(N) P)", "OLDROOT(A B)", nullptr, nullptr));
    // Post-morphology, without morphology again; nothing after the "%".
    EXPECT_EQ(std::tuple(*genSentences[1], genSentences[0].get()), std::tuple("Dog?", nullptr));
    expect_once({"ERROR stored tree input tree 1 Unknown attribute bogus"});
    const treenode* n = rootPtrs[1]->son->sibling->son;
    EXPECT_EQ(
        std::tuple(print_attr_list(n->attributes.get()), n->morphed_word, n->index, n->dictionary),
        std::tuple("sg.third", "dog", 0, &dict_table[0]));
    EXPECT_EQ(oldroot->son->sibling->morphed_word, "b|c");  // a bar in a word is the word's
    // The lookups, numbered as in the file, with the entries' own attributes.
    ASSERT_EQ(d_table_count, 5);
    EXPECT_STREQ(dict_table[0].dictionary, "\"dog\"|N|\x19\x01\xff |0010|#1||");
    EXPECT_EQ(std::tuple(dict_table[0].class_, print_attr_list(dict_table[0].attributes.get()),
                         print_attr_list(dict_table[4].attributes.get())),
              std::tuple("N", "NUMBER", "sg.third, NUMBER"));
    std::vector<std::pair<int, std::string>> errors;
    for (int i = 1; i <= 3; ++i)
        errors.emplace_back(dict_table[i].error, dict_table[i].class_);
    EXPECT_EQ(errors, (std::vector<std::pair<int, std::string>>{{3, "V"}, {0, ""}, {1, "Q"}}));
}

TEST_F(StoredTreeTest, RecoverRefusesWhatItCannotRebuildAndLeavesNothingBehind) {
    const std::string good = "S|G|A||0|\"\"||\n";
    std::string lines_1025 = "$t 0\n", lexicon_1025 = "$L\n";
    for (int i = 0; i < 1025; ++i) {
        lines_1025 += "N|G|ROOT||0|\"\"||\n";
        lexicon_1025 += "{LEX} *unused\n";
    }
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"$x\n", "Invalid identifier encountered. x"},
        {"$t 21\n", "No such tree number: 21"},
        {"$t 0\n" + good + "$l 0\n", "Tree given twice: 0"},
        {"$t 0\nSS|G|A||0|\"\"||\n", "Path leads to no node: SS"},
        {"$t 0\n" + good + good, "Path given twice: S"},
        {"$l 0\nA||0|\"a\"b\"||\n", "Invalid word: \"a\"b\""},
        {"$t 0\nS|G|A||0|\"\"|LEX_1|\n$L\n{LEX_0} *unused\n%", "Lookup number out of range: LEX_1"},
        {"$l 0\nA||0|\"\"|LEX_99999|\n", "Invalid lookup field: LEX_99999"},
        {lines_1025, "More than 1024 lines in tree: 0"},
        {lexicon_1025, "More than 1024 lines in the lexicon section."}};
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(text.substr(0, 40));
        rootPtrs[4] = node("R_4");
        genSentences[4] = std::make_unique<std::string>("before");
        d_table_count = 3;
        restorenode(file("bad", text).c_str());
        EXPECT_TRUE(cleared());
        EXPECT_EQ(messages("Unable to recover tree. Cause: " + message).size(), 1U);
    }
    // A name that names nothing changes nothing.
    rootPtrs[4] = node("R_4");
    restorenode((dir_ + "/missing").c_str());
    EXPECT_EQ(
        std::tuple(count("does not exist or insufficient access"), there_has_been_no_generation()),
        std::tuple(1, 0));
}

}  // namespace
