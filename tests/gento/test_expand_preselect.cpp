// Preselection clauses looked up by tag, the list they stand in, restriction texts and the
// lookup entries that leaves receive.
#include <string>
#include <tuple>

#include "expand_fixture.hpp"

namespace {

using PreselectTest = ExpandFixture;

TEST_F(PreselectTest, FindPstStatusesAndTheMatchingClause) {
    const std::string subj = "\x0esubj rest";
    EXPECT_EQ(find_pst(subj.c_str(), 0), subj.c_str() + 5);  // after the code 14 and the tag
    EXPECT_EQ(pre_status, 1);
    EXPECT_STREQ(pre_error[1], "No preselection rule");

    pre_rule* obj = clause("obj", nullptr);
    pre_rule* verb = clause("verb", "\"bark\"|V|", 3);
    clause("subj", "\"old\"|N|");
    pre_rule* newer_subj = clause("subj", "\"dog\"|N|");

    // The newest clause of a tag first; a two-segment tag matches no one-segment clause.
    // clang-format off
    const std::tuple<const char*, int, const pre_rule*, const char*> cases[] = {
        {subj.c_str(), 6, newer_subj, "subj"}, {"obj", 4, obj, nullptr}, {"verb", 5, verb, nullptr},
        {"adj", 3, nullptr, "adj"}, {"subj.sg", 3, nullptr, "subj.sg"}, {"nosuch", 2, nullptr, nullptr}};
    // clang-format on
    for (const auto& [tag, status, match, bad] : cases) {
        find_pst(tag, 0);
        EXPECT_EQ(pre_status, status) << tag;
        EXPECT_EQ(pre_match, match) << tag;
        EXPECT_TRUE(bad == nullptr || bad_pst == bad) << tag << ": " << bad_pst;
    }
    EXPECT_EQ(messages("Unknown attribute").size(), 1U);  // for nosuch alone

    // Looking up tags leaves the delay table as it was.
    const int before = delayptr;
    for (int i = 0; i < 6000; ++i)
        find_pst("subj", 0);
    EXPECT_EQ(delayptr, before);
    EXPECT_EQ(pre_status, 6);
}

TEST_F(PreselectTest, AnalyzePreForms) {
    pre_rule* subj = clause("subj", "\"dog\"|N|");
    const std::string bare = "\x11\x0esubj]";
    EXPECT_EQ(*analyze_pre(bare.c_str()), ']');
    EXPECT_EQ(attr_form, 2);
    EXPECT_EQ(pre_match, subj);

    const std::string of_word = "NUMBER\x0esubj,";
    EXPECT_EQ(*analyze_pre(of_word.c_str()), ',');
    EXPECT_EQ(attr_form, 1);
    EXPECT_EQ(pre_status, 6);
    // The rows hold the attribute, not the tag.
    ASSERT_EQ(attr_index, 1);
    EXPECT_EQ(attr[0].type, 1);
    EXPECT_EQ(attr[0].value, -1);
    EXPECT_EQ(attr_seg_count(comp_attr_register.get()), 1);

    EXPECT_EQ(*analyze_pre("pl.adj/sg]"), ']');
    EXPECT_EQ(attr_form, 3);
    ASSERT_EQ(attr_index, 3);
    EXPECT_EQ(attr[1].type, 3);
    EXPECT_EQ(attr[1].value, 4);
    EXPECT_EQ(attr[2].decon, 1);
    EXPECT_EQ(attr_seg_count(comp_attr_register.get()), 2);  // the `/` segment is left out
}

TEST_F(PreselectTest, EmptyingTheListKeepsTheGlobalPart) {
    clause("obj", nullptr);
    pre_rule* global = clause("subj", "\"dog\"|N|");
    globalpre_list = global;
    clause("verb", nullptr);
    clause("adj", "\"big\"|A|");
    const long nodes = nodepool::in_use();
    empty_preselect_list(0);
    EXPECT_EQ(preselect_list.get(), global);
    EXPECT_EQ(nodepool::in_use(), nodes - 1);  // the released clause's terminal went with it
    empty_preselect_list(0);
    EXPECT_EQ(preselect_list.get(), global);
    empty_preselect_list(1);
    EXPECT_EQ(preselect_list, nullptr);
    EXPECT_EQ(globalpre_list, nullptr);
    EXPECT_EQ(nodepool::in_use(), nodes - 2);
}

TEST_F(PreselectTest, PrintedListShowsTagsAndFoundWords) {
    clause("obj", nullptr);
    clause("verb", "\"bark\"|V|", 3);
    clause("NUMBER.subj", "\"dog\"|N|");
    EXPECT_EQ(added_by(print_preselect_list),
              (std::vector<std::string>{"NUMBER.subj", "    \"dog\"|N|", "verb", "obj"}));
}

TEST(Restrictions, InsertAndMerge) {
    EXPECT_EQ(insert_restriction("", "x", 3), "?|?|x|");
    EXPECT_EQ(insert_restriction("a|b|", "y", 1), "a,y|b|");
    EXPECT_EQ(insert_restriction("?|b|", "y", 1), "y|b|");
    EXPECT_EQ(insert_restriction("a|", "\"q|r\"", 2), "a|\"q|r\"|");
    EXPECT_EQ(insert_restriction(insert_restriction("", "a", 2), "b", 2), "?|a,b|");
    EXPECT_EQ(insert_restriction("a|", "z", 0), "a|");  // no field 0
    EXPECT_EQ(merge_restr("?|a|c|", "x|b|"), "x|a,b|c|");
    EXPECT_EQ(merge_restr("a|?|", "?|b|d,e|"), "a|b|d,e|");
    EXPECT_EQ(merge_restr("", "p|"), "p|");
    EXPECT_EQ(merge_restr("\"x|y\"|", "z|"), "\"x|y\",z|");
}

TEST_F(PreselectTest, TerminalNodeGivesEachLeafOneEntryWhileAnyIsFree) {
    treenode* a = makenode("A");
    dict_table[0].dictionary = "stale";
    dict_table[0].class_ = "old";
    dict_table[0].vf = 7;
    terminal_node(a);
    EXPECT_EQ(a->dictionary, &dict_table[0]);
    EXPECT_EQ(a->index, 0);
    EXPECT_EQ(d_table_count, 1);
    EXPECT_EQ(dict_table[0].dictionary, nullptr);
    EXPECT_TRUE(dict_table[0].class_.empty());
    EXPECT_EQ(dict_table[0].vf, -1);
    terminal_node(a);  // keeps its entry
    EXPECT_EQ(d_table_count, 1);

    d_table_count = kLookups;
    treenode* b = makenode("B");
    terminal_node(b);
    EXPECT_EQ(b->dictionary, nullptr);
    EXPECT_EQ(d_table_count, kLookups);
    d_table_count = 1;
    purge_tree(a);
    purge_tree(b);
}

}  // namespace
