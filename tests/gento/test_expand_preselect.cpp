// Preselection clauses looked up by tag, restriction texts and the lookup entries that leaves
// receive.
#include <string>
#include <tuple>

#include "expand_fixture.hpp"

namespace {

using PreselectTest = ExpandFixture;

TEST_F(PreselectTest, ClausesAreFoundByTagNewestFirst) {
    const std::string subj = "\x0esubj rest";
    EXPECT_EQ(find_pst(subj.c_str(), 0), subj.c_str() + 5);  // after the code 14 and the tag
    EXPECT_EQ(std::tuple(pre_status, std::string(pre_error[1])),
              std::tuple(1, "No preselection rule"));
    pre_rule* obj = clause("obj", nullptr);
    pre_rule* verb = clause("verb", "\"bark\"|V|", 3);
    clause("subj", "\"old\"|N|");
    pre_rule* newer_subj = clause("subj", "\"dog\"|N|");
    // {tag, status, clause, tag as reported}: a clause without a word, one whose word was not
    // found, a tag no clause has, a two-segment tag, a name that is no attribute.
    // clang-format off
    const std::tuple<const char*, int, const pre_rule*, const char*> cases[] = {
        {subj.c_str(), 6, newer_subj, "subj"}, {"obj", 4, obj, nullptr}, {"verb", 5, verb, nullptr},
        {"adj", 3, nullptr, "adj"}, {"subj.sg", 3, nullptr, "subj.sg"}, {"nosuch", 2, nullptr, nullptr}};
    // clang-format on
    for (const auto& [tag, status, match, bad] : cases) {
        find_pst(tag, 0);
        EXPECT_EQ(std::tuple(pre_status, pre_match), std::tuple(status, match)) << tag;
        EXPECT_TRUE(bad == nullptr || bad_pst == bad) << tag << ": " << bad_pst;
    }
    EXPECT_EQ(messages("Unknown attribute").size(), 1U);  // for nosuch alone
    const int before = delayptr;  // looking tags up leaves the delay table as it was
    find_pst("subj", 0);
    EXPECT_EQ(delayptr, before);

    // _is_ tag, attribute _pre_ tag, and a plain attribute text.
    const std::string bare = "\x11\x0esubj]", of_word = "NUMBER\x0esubj,";
    EXPECT_EQ(*analyze_pre(bare.c_str()), ']');
    EXPECT_EQ(std::tuple(attr_form, pre_match), std::tuple(2, newer_subj));
    EXPECT_EQ(*analyze_pre(of_word.c_str()), ',');
    EXPECT_EQ(std::tuple(attr_form, pre_status, attr_index, attr[0].type, attr[0].value),
              std::tuple(1, 6, 1, 1, -1));  // the rows hold the attribute, not the tag
    EXPECT_EQ(*analyze_pre("pl.adj/sg]"), ']');
    EXPECT_EQ(std::tuple(attr_form, attr_index, attr[1].value, attr[2].decon),
              std::tuple(3, 3, 4, 1));
    EXPECT_EQ(attr_seg_count(comp_attr_register.get()), 2);  // the `/` segment is left out
}

TEST(Restrictions, InsertAndMerge) {
    // clang-format off
    const std::tuple<std::string, std::string, int, std::string> inserts[] = {
        {"", "x", 3, "?|?|x|"}, {"a|b|", "y", 1, "a,y|b|"}, {"?|b|", "y", 1, "y|b|"},
        {"a|", "\"q|r\"", 2, "a|\"q|r\"|"}, {"a|", "z", 0, "a|"}};
    const std::tuple<std::string, std::string, std::string> merges[] = {
        {"?|a|c|", "x|b|", "x|a,b|c|"}, {"a|?|", "?|b|d,e|", "a|b|d,e|"},
        {"\"x|y\"|", "z|", "\"x|y\",z|"}};
    // clang-format on
    for (const auto& [text, value, field, want] : inserts)
        EXPECT_EQ(insert_restriction(text, value, field), want) << text << " " << field;
    for (const auto& [a, b, want] : merges)
        EXPECT_EQ(merge_restr(a, b), want) << a << " " << b;
}

TEST_F(PreselectTest, TerminalNodeGivesEachLeafOneClearedEntryWhileAnyIsFree) {
    treenode* a = makenode("A");
    dict_table[0].dictionary = "stale";
    terminal_node(a);
    terminal_node(a);  // keeps its entry
    EXPECT_EQ(std::tuple(a->dictionary, d_table_count, dict_table[0].dictionary),
              std::tuple(&dict_table[0], 1, nullptr));
    d_table_count = kLookups;
    treenode* b = makenode("B");
    terminal_node(b);
    EXPECT_EQ(std::tuple(b->dictionary, d_table_count), std::tuple(nullptr, kLookups));
    d_table_count = 1;
    purge_tree(a);
    purge_tree(b);
}

}  // namespace
