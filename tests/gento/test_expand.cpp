// Expansion of coded rule texts into generation trees: choices, variables, guards, preselected
// words and the node limit.
#include <map>

#include "expand_fixture.hpp"

namespace {

using ExpandTest = ExpandFixture;
using Names = std::vector<std::string>;

TEST_F(ExpandTest, ChoicesAreUniformAtEveryLevel) {
    rule("A", "\x07(\x02| B| D)");
    rule("N", "\x07(\x02| B|(\x02| C| E)) Z");
    std::map<std::string, int> flat, nested;
    const int runs = 4000;
    for (int i = 0; i < runs; ++i) {
        const std::vector<std::string> one = expanded("A"), names = expanded("N");
        ASSERT_EQ(std::tuple(one.size(), names.size()), std::tuple(1UL, 2UL));
        EXPECT_EQ(names[1], "Z");  // what follows the choice is always there
        ++flat[one[0]];
        ++nested[names[0]];
    }
    // clang-format off
    for (const auto& [seen, name, share] : {std::tuple{&flat, "B", 2}, {&flat, "D", 2},
                                            {&nested, "B", 2}, {&nested, "C", 4},
                                            {&nested, "E", 4}})
        // clang-format on
        EXPECT_NEAR((*seen)[name], runs / share, runs / 20) << name;
}

TEST_F(ExpandTest, GuardsChooseTheFirstAlternativeThatHolds) {
    rule("A", "<sg:\x07 B>\x07 D");
    rule("P", "\x07 X<sg:\x07 B<pl:\x07 C");
    treenode* a = with("A", "sg");
    expand_node(a);
    // Text before the first guard always applies; no guard holds and there is no default.
    EXPECT_EQ(std::tuple(daughters(a), expanded("A"), expanded("P")),
              std::tuple(Names{"B"}, Names{"D"}, Names{"X"}));
    purge_tree(a);

    rule("Q", "<sg:\x07 B");
    treenode* q = expand("Q");  // a leaf with its lookup entry
    ASSERT_TRUE(q->son == nullptr && q->dictionary != nullptr);
    EXPECT_EQ(q->index, d_table_count - 1);
    purge_tree(q);
}

TEST_F(ExpandTest, NodeLimitStopsEveryLaterNodeAndSaysSoOnce) {
    rule("A", "\x07 A A");
    nodecount = 0;
    treenode* a = makenode("A");
    expand_tree(a);
    // Many nodes meet the limit; one line says so.
    EXPECT_EQ(std::tuple(messages("cf expansion terminated").size(), cf_limit_reported),
              std::tuple(1UL, 1));
    EXPECT_TRUE(nodecount > kNodeLimit && nodecount < kNodeLimit + 4) << nodecount;
    purge_tree(a);

    abortreq = 1;  // the abort request stops at once
    treenode* b = expand("A");
    EXPECT_EQ(b->son, nullptr);
    purge_tree(b);
}

TEST_F(ExpandTest, PreselectedWordsAndTagsReachDaughters) {
    pre_rule* subj = clause("subj.pl", "\"dogs\"|N|");
    rule("S",
         "\x07 N\x0esubj.pl X\x0e"
         "adj Y[\x0esubj.pl] Z[NUMBER\x0esubj.pl]");
    treenode* s = expand("S");
    ASSERT_EQ(daughters(s), (Names{"N", "X", "Y", "Z"}));
    const treenode *n = s->son, *x = n->sibling, *y = x->sibling, *z = y->sibling;
    EXPECT_EQ(std::tuple(n->dictionary, n->index),
              std::tuple(subj->RHS->dictionary, subj->RHS->index))
        << "shares the preselected word";
    EXPECT_NE(x->dictionary, subj->RHS->dictionary);
    EXPECT_EQ(messages("Preselection:  No matching PST:  adj").size(), 1U);
    // The tag itself, and the value the preselected word has.
    EXPECT_EQ(print_attr_list(y->attributes.get()) + " " + print_attr_list(z->attributes.get()),
              "subj.pl pl");
    purge_tree(s);
}

// Field byte 124 is a bar, 41 a closing parenthesis: neither ends an alternative.
TEST_F(ExpandTest, ScanningSkipsQuotedTextsListsAndFieldBytes) {
    rule("A", "\x07(\x02| B/|=\"x|y\"[sg] C| D/)=a)");
    std::map<std::string, int> seen;
    for (int i = 0; i < 100; ++i) {
        const Names names = expanded("A");
        ASSERT_FALSE(names.empty());
        EXPECT_EQ(names, (names[0] == "B" ? Names{"B", "C"} : Names{"D"}));
        ++seen[names[0]];
    }
    EXPECT_EQ(seen.size(), 2U);
}

}  // namespace
