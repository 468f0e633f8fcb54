// The English example's morphology rules and tables, read from the examples directory and applied
// to a leaf sequence whose entries come from the example lexicon as the lexicon reader stores it.
#include <string>
#include <tuple>
#include <vector>

#include "gento/terminal.hpp"
#include "lex_read.hpp"
#include "lex_scan.hpp"
#include "morph_fixture.hpp"

TEST_F(MorphTest, TheEnglishExampleInflectsNounsVerbsArticlesAndBe) {
    const std::string dir = std::string(ORU_SOURCE_DIR) + "/examples/english/english.";
    clearattributes();
    readattr((dir + "att").c_str());
    new_readmorph((dir + "mor").c_str());
    new_readtables((dir + "tbl").c_str());
    read_terminals((dir + "tm").c_str());
    initdict();
    readdict((dir + "lex").c_str());
    ASSERT_EQ(count("ERROR"), 0);
    // {word, terminal, values, form}: a looks at the word after it, the last one at none.
    using V = std::vector<const char*>;
    // clang-format off
    const std::vector<std::tuple<const char*, const char*, V, const char*>> rows = {
        {"baby", "N", {"pl"}, "babies"}, {"fox", "N", {"pl"}, "foxes"}, {"boy", "N", {"pl"}, "boys"},
        {"child", "N", {"pl"}, "children"}, {"witch", "N", {"sg"}, "witch"},
        {"cry", "VI", {"past", "sg", "third"}, "cried"}, {"cry", "VI", {"present", "sg", "third"}, "cries"},
        {"play", "VI", {"past", "pl", "first"}, "played"}, {"sleep", "VI", {"past", "sg", "third"}, "slept"},
        {"sleep", "VI", {"present", "pl", "third"}, "sleep"}, {"a", "DET", {"sg"}, "an"},
        {"owl", "N", {"sg"}, "owl"}, {"a", "DET", {"sg"}, "a"}, {"dog", "N", {"sg"}, "dog"},
        {"be", "COP", {"past", "pl", "third"}, "were"}, {"be", "COP", {"present", "sg", "first"}, "am"},
        {"be", "COP", {"present", "pl", "third"}, "are"}, {"a", "DET", {"sg"}, "a"}};
    // clang-format on
    std::vector<std::string> entries, want, got;
    for (const auto& [word, terminal, values, form] : rows) {
        const int t = lookup_terminal(terminal);
        const recnode* r =
            t < 0 ? nullptr : exactword(("\"" + std::string(word) + "\"").c_str(), dictionary[t]);
        ASSERT_NE(r, nullptr) << word;
        entries.emplace_back(r->recordptr);
        want.emplace_back(form);
    }
    std::vector<const std::string*> pointers;
    for (const std::string& e : entries)
        pointers.push_back(&e);
    Leaves s = leaves(pointers);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (const char* v : std::get<2>(rows[i])) {
            ASSERT_NE(lookup_attr(v), 0) << v;
            add_attr_to_list(s.at(i)->attributes, compound({{att_class, att_value}}));
        }
    }
    morph_tree(s.root, 5);
    morph_tree(s.root, 6);
    for (const treenode* n : s.leaf)
        got.push_back(n->morphed_word);
    EXPECT_EQ(std::tuple(got, count("ERROR")), std::tuple(want, 0));
}
