// The English example's morphology rules and tables, read from the examples directory and applied
// to leaves whose entries have the example lexicon's fields.
#include <string>
#include <vector>

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
