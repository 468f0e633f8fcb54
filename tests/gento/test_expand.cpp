// Expansion of coded rule texts into generation trees: choices, guards and the node limit.
#include <map>

#include "expand_fixture.hpp"

namespace {

using ExpandTest = ExpandFixture;
using Names = std::vector<std::string>;

TEST_F(ExpandTest, GuardsChooseTheFirstAlternativeThatHolds) {
    rule("A", "<sg:\x07 B>\x07 D");
    rule("P", "\x07 X<sg:\x07 B<pl:\x07 C");
    treenode* a = with("A", "sg");
    expand_node(a);
    // Text before the first guard always applies; no guard holds and there is no default.
    EXPECT_EQ(std::tuple(daughters(a), expanded("A"), expanded("P")),
              std::tuple(Names{"B"}, Names{"D"}, Names{"X"}));
    purge_tree(a);
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
    EXPECT_EQ(seen.size(), 2U);  // the last alternative is taken as well
}

}  // namespace
