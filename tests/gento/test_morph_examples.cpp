// The English example's morphology rules and tables, read from the examples directory and applied
// to leaves whose entries have the example lexicon's fields.
#include <string>
#include <vector>

#include "gento/terminal.hpp"
#include "lex_read.hpp"
#include "lex_scan.hpp"
#include "morph_fixture.hpp"

using Words = std::vector<std::string>;

class MorphExampleTest : public MorphTest {
  protected:
    void SetUp() override {
        MorphTest::SetUp();
        clearattributes();
        readattr((dir + "english.att").c_str());
        new_readmorph((dir + "english.mor").c_str());
        new_readtables((dir + "english.tbl").c_str());
        ASSERT_EQ(count("ERROR"), 0);
    }
    static std::pair<int, int> value_of(const char* name) {
        return lookup_attr(name) != 0 ? std::make_pair(att_class, att_value) : std::make_pair(0, 0);
    }
    // Gives a leaf one compound for each named value, and a word still to be made.
    static void give(treenode* n, const std::vector<const char*>& values) {
        purge_attr_list(n->attributes);
        for (const char* v : values)
            add_attr_to_list(n->attributes, compound({value_of(v)}));
        n->morphed_word.clear();
    }
    // Runs the example's two passes (fields 5 and 6) over a leaf sequence.
    static Words inflect(const Leaves& s) {
        morph_tree(s.root, 5);
        morph_tree(s.root, 6);
        Words out;
        for (treenode* n : s.leaf)
            out.push_back(n->morphed_word);
        return out;
    }
    const std::string dir = std::string(ORU_SOURCE_DIR) + "/examples/english/";
};

TEST_F(MorphExampleTest, NounsAndVerbsInflect) {
    const int number = value_of("NUMBER").first;
    const auto noun = [number](const std::string& w, const std::string& irregular) {
        return entry("\"" + w + "\"", "N", {{number, -1}}, "0005",
                     {"#1", irregular.empty() ? "$NOUN" : "$NOUN_IRR", irregular});
    };
    const std::string baby = noun("baby", ""), fox = noun("fox", ""), boy = noun("boy", ""),
                      dog = noun("dog", ""), witch = noun("witch", ""),
                      child = noun("child", "\"children\"");
    Leaves s = leaves({&baby, &fox, &boy, &dog, &witch, &child});
    for (treenode* n : s.leaf)
        give(n, {"pl"});
    EXPECT_EQ(inflect(s), (Words{"babies", "foxes", "boys", "dogs", "witches", "children"}));
    for (treenode* n : s.leaf)
        give(n, {"sg"});
    EXPECT_EQ(inflect(s), (Words{"baby", "fox", "boy", "dog", "witch", "child"}));

    const auto verb = [](const std::string& w) {
        return entry("\"" + w + "\"", "V", {}, "0005", {"#1", "$VERB"});
    };
    const std::string try_ = verb("try"), play = verb("play"), like = verb("like");
    Leaves v = leaves({&try_, &play, &like});
    for (treenode* n : v.leaf)
        give(n, {"past"});
    EXPECT_EQ(inflect(v), (Words{"tried", "played", "liked"}));
    for (treenode* n : v.leaf)
        give(n, {"third", "sg"});
    EXPECT_EQ(inflect(v), (Words{"tries", "plays", "likes"}));
}

TEST_F(MorphExampleTest, TheArticleLooksAtTheNextWordAndBeComesFromItsTable) {
    const std::string a = entry("\"a\"", "DET", {}, "0005", {"#1", "$ARTICLE"});
    const std::string owl = entry("\"owl\"", "N", {}, "0005", {"#1", "!"});
    const std::string dog = entry("\"dog\"", "N", {}, "0005", {"#1", "!"});
    Leaves s = leaves({&a, &owl, &a, &dog, &a});
    EXPECT_EQ(inflect(s), (Words{"an", "owl", "a", "dog", "a"}))
        << "the last article has no next word";

    // One compound of tense, number and person indexes the table.
    const std::string be = entry("\"be\"", "V", {}, "0005", {"BE(TENSE.NUMBER.PERSON)", "!"});
    Leaves b = leaves({&be});
    treenode* n = b.at(0);
    n->attributes = attrs({value_of("past"), value_of("pl"), value_of("third")});
    EXPECT_EQ(inflect(b), (Words{"were"}));
    n->attributes = attrs({value_of("past"), value_of("sg"), value_of("third")});
    EXPECT_EQ(inflect(b), (Words{"was"}));
    n->attributes = attrs({value_of("present"), value_of("sg"), value_of("first")});
    EXPECT_EQ(inflect(b), (Words{"am"}));
}

// The same rules on entries as the lexicon reader stores them from the example lexicon.
TEST_F(MorphExampleTest, EntriesReadFromTheExampleLexiconInflect) {
    read_terminals((dir + "english.tm").c_str());
    initdict();
    readdict((dir + "english.lex").c_str());
    ASSERT_EQ(count("ERROR"), 0);
    // The stored entry of a word; empty when the lexicon has none.
    const auto stored = [](const char* w, const char* terminal) {
        const int t = lookup_terminal(terminal);
        const recnode* r = t < 0 ? nullptr : exactword(w, dictionary[static_cast<std::size_t>(t)]);
        return std::string(r != nullptr ? r->recordptr : "");
    };
    const std::string a = stored("\"a\"", "DET"), owl = stored("\"owl\"", "N"),
                      child = stored("\"child\"", "N"), sleep = stored("\"sleep\"", "VI"),
                      be = stored("\"be\"", "COP");
    ASSERT_FALSE(a.empty() || owl.empty() || child.empty() || sleep.empty() || be.empty());
    Leaves s = leaves({&a, &owl, &sleep, &a, &child, &be});
    give(s.at(0), {"sg", "indefinite"});
    give(s.at(1), {"sg"});
    give(s.at(2), {"sg", "third", "past"});
    give(s.at(3), {"sg", "indefinite"});
    give(s.at(4), {"pl"});
    give(s.at(5), {"present", "pl", "third"});
    EXPECT_EQ(inflect(s), (Words{"an", "owl", "slept", "a", "children", "are"}));
    EXPECT_EQ(count("ERROR"), 0);
}
