// The English example's morphology rules and tables, read from the examples directory and applied
// to leaves whose entries have the example lexicon's fields.
#include <string>
#include <vector>

#include "gento/terminal.hpp"
#include "lex_read.hpp"
#include "lex_scan.hpp"
#include "morph_fixture.hpp"

class MorphExampleTest : public MorphTest {
  protected:
    void SetUp() override {
        MorphTest::SetUp();
        clearattributes();
        const std::string dir = std::string(ORU_SOURCE_DIR) + "/examples/english/";
        readattr((dir + "english.att").c_str());
        new_readmorph((dir + "english.mor").c_str());
        new_readtables((dir + "english.tbl").c_str());
        ASSERT_TRUE(messages("ERROR").empty());
    }
    static int type_of(const char* name) { return lookup_attr(name) != 0 ? att_class : 0; }
    static std::pair<int, int> value_of(const char* name) {
        return lookup_attr(name) != 0 ? std::make_pair(att_class, att_value) : std::make_pair(0, 0);
    }
    // Runs the example's two passes (fields 5 and 6) over a leaf sequence.
    static std::vector<std::string> inflect(const Leaves& s) {
        morph_tree(s.root, 5);
        morph_tree(s.root, 6);
        std::vector<std::string> out;
        for (treenode* n : s.leaf)
            out.push_back(n->morphed_word);
        return out;
    }
};

TEST_F(MorphExampleTest, NounsAndVerbsInflect) {
    const int number = type_of("NUMBER");
    const auto noun = [number](const std::string& w, const std::string& irregular) {
        return entry("\"" + w + "\"", "N", {{number, -1}}, "0005",
                     {"#1", irregular.empty() ? "$NOUN" : "$NOUN_IRR", irregular});
    };
    const std::vector<std::string> words = {"baby", "fox", "boy", "dog", "witch"};
    std::vector<std::string> entries;
    for (const std::string& w : words)
        entries.push_back(noun(w, ""));
    entries.push_back(noun("child", "\"children\""));
    std::vector<const std::string*> ptrs;
    for (const std::string& e : entries)
        ptrs.push_back(&e);
    Leaves s = leaves(ptrs);
    for (treenode* n : s.leaf)
        n->attributes = attrs({value_of("pl")});
    EXPECT_EQ(inflect(s),
              (std::vector<std::string>{"babies", "foxes", "boys", "dogs", "witches", "children"}));
    for (treenode* n : s.leaf) {
        n->attributes = attrs({value_of("sg")});
        n->morphed_word.clear();
    }
    EXPECT_EQ(inflect(s),
              (std::vector<std::string>{"baby", "fox", "boy", "dog", "witch", "child"}));

    const std::string try_ = entry("\"try\"", "V", {}, "0005", {"#1", "$VERB"});
    const std::string play = entry("\"play\"", "V", {}, "0005", {"#1", "$VERB"});
    const std::string like = entry("\"like\"", "V", {}, "0005", {"#1", "$VERB"});
    Leaves v = leaves({&try_, &play, &like});
    for (treenode* n : v.leaf)
        n->attributes = attrs({value_of("past")});
    EXPECT_EQ(inflect(v), (std::vector<std::string>{"tried", "played", "liked"}));
    for (treenode* n : v.leaf) {
        n->attributes = attrs({value_of("third")});
        add_attr_to_list(n->attributes, compound({value_of("sg")}));
        n->morphed_word.clear();
    }
    EXPECT_EQ(inflect(v), (std::vector<std::string>{"tries", "plays", "likes"}));
}

TEST_F(MorphExampleTest, TheArticleLooksAtTheNextWordAndBeComesFromItsTable) {
    const std::string a = entry("\"a\"", "DET", {}, "0005", {"#1", "$ARTICLE"});
    const std::string owl = entry("\"owl\"", "N", {}, "0005", {"#1", "!"});
    const std::string dog = entry("\"dog\"", "N", {}, "0005", {"#1", "!"});
    Leaves s = leaves({&a, &owl, &a, &dog, &a});
    EXPECT_EQ(inflect(s), (std::vector<std::string>{"an", "owl", "a", "dog", "a"}))
        << "the last article has no next word";

    const std::string be = entry("\"be\"", "V", {}, "0005", {"BE(TENSE.NUMBER.PERSON)", "!"});
    Leaves b = leaves({&be});
    treenode* n = b.at(0);
    n->attributes = attrs({value_of("past"), value_of("pl"), value_of("third")});
    EXPECT_EQ(inflect(b), (std::vector<std::string>{"were"}));
    n->attributes = attrs({value_of("past"), value_of("sg"), value_of("third")});
    EXPECT_EQ(inflect(b), (std::vector<std::string>{"was"}));
    n->attributes = attrs({value_of("present"), value_of("sg"), value_of("first")});
    EXPECT_EQ(inflect(b), (std::vector<std::string>{"am"}));
}

// The same rules on entries as the lexicon reader stores them from the example lexicon.
TEST_F(MorphExampleTest, EntriesReadFromTheExampleLexiconInflect) {
    const std::string dir = std::string(ORU_SOURCE_DIR) + "/examples/english/";
    read_terminals((dir + "english.tm").c_str());
    initdict();
    readdict((dir + "english.lex").c_str());
    ASSERT_TRUE(messages("ERROR").empty());
    const auto word = [](const char* w, const char* terminal) -> const char* {
        const int t = lookup_terminal(terminal);
        if (t < 0) return nullptr;
        const recnode* r = exactword(w, dictionary[static_cast<std::size_t>(t)]);
        return r != nullptr ? r->recordptr : nullptr;
    };
    const char* a = word("\"a\"", "DET");
    const char* owl = word("\"owl\"", "N");
    const char* child = word("\"child\"", "N");
    const char* sleep = word("\"sleep\"", "VI");
    const char* be = word("\"be\"", "COP");
    ASSERT_TRUE(a != nullptr && owl != nullptr && child != nullptr && sleep != nullptr &&
                be != nullptr);
    const std::string sa = a, sowl = owl, schild = child, ssleep = sleep, sbe = be;
    Leaves s = leaves({&sa, &sowl, &ssleep, &sa, &schild, &sbe});
    const auto set = [](treenode* n, const std::vector<const char*>& values) {
        purge_attr_list(n->attributes);
        for (const char* v : values)
            add_attr_to_list(n->attributes, compound({value_of(v)}));
    };
    set(s.at(0), {"sg", "indefinite"});
    set(s.at(1), {"sg"});
    set(s.at(2), {"sg", "third", "past"});
    set(s.at(3), {"sg", "indefinite"});
    set(s.at(4), {"pl"});
    set(s.at(5), {"present", "pl", "third"});
    EXPECT_EQ(inflect(s), (std::vector<std::string>{"an", "owl", "slept", "a", "children", "are"}));
    EXPECT_TRUE(messages("ERROR").empty());
}
