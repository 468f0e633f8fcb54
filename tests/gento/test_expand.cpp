// Expansion of coded rule texts into generation trees: choices, variables, guards, daughters and
// their attachments, and the node limit.
#include <map>
#include <string>
#include <vector>

#include "expand_fixture.hpp"

namespace {

using ExpandTest = ExpandFixture;

TEST_F(ExpandTest, ChoicesAreUniformAtEveryLevel) {
    rule("A", "\x07(\x02| B| D)");
    rule("N", "\x07(\x02| B|(\x02| C| E)) Z");
    std::map<std::string, int> flat, nested;
    const int runs = 4000;
    for (int i = 0; i < runs; ++i) {
        const std::vector<std::string> one = expanded("A"), names = expanded("N");
        ASSERT_EQ(one.size(), 1U);
        ++flat[one[0]];
        ASSERT_EQ(names.size(), 2U);
        EXPECT_EQ(names[1], "Z");  // what follows the choice is always there
        ++nested[names[0]];
    }
    EXPECT_NEAR(flat["B"], runs / 2, runs / 20);
    EXPECT_NEAR(flat["D"], runs / 2, runs / 20);
    EXPECT_NEAR(nested["B"], runs / 2, runs / 20);
    EXPECT_NEAR(nested["C"], runs / 4, runs / 20);
    EXPECT_NEAR(nested["E"], runs / 4, runs / 20);
}

TEST_F(ExpandTest, ChooseSharesOneUndecidedValueBetweenDaughters) {
    rule("S", "\x07\x06\x01NUMBER NP[\xff\x01] VP[\xff\x01]");
    std::map<int, int> seen;
    for (int i = 0; i < 200; ++i) {
        treenode* s = expand("S");
        ASSERT_EQ(daughters(s), (std::vector<std::string>{"NP", "VP"}));
        const s_comp_attr* np = attr_list_element(s->son->attributes.get(), 1);
        const s_comp_attr* vp = attr_list_element(s->son->sibling->attributes.get(), 1);
        ASSERT_NE(np, nullptr);
        ASSERT_NE(vp, nullptr);
        EXPECT_EQ(attr_seg_count(np), 1);
        EXPECT_EQ(np->index, vp->index);
        EXPECT_EQ(delayed[static_cast<std::size_t>(np->index)].fixed, 0);
        make_all_choices();
        const int value = delayed[static_cast<std::size_t>(np->index)].choice;
        EXPECT_EQ(print_comp_attr(np), print_comp_attr(vp));
        ++seen[value];
        purge_tree(s);
        delayptr = 0;
    }
    EXPECT_EQ(seen.size(), 2U);  // both values of NUMBER come up
    EXPECT_GT(seen[1], 50);
    EXPECT_GT(seen[2], 50);
}

TEST_F(ExpandTest, InheritTakesTheParentsValueOrAnUndecidedOne) {
    rule("S", "\x07\x05\x01NUMBER NP[\xff\x01] VP[\xff\x01.third]");
    treenode* s = with("S", "pl");
    const int parent_index = attr_list_element(s->attributes.get(), 1)->index;
    expand_node(s);
    const s_comp_attr* np = attr_list_element(s->son->attributes.get(), 1);
    ASSERT_NE(np, nullptr);
    EXPECT_EQ(np->index, parent_index);  // the very delay entry: it agrees with the parent
    EXPECT_EQ(print_comp_attr(np), "pl");
    EXPECT_EQ(print_comp_attr(attr_list_element(s->son->sibling->attributes.get(), 1)), "pl.third");
    purge_tree(s);

    treenode* bare = expand("S");
    const s_comp_attr* undecided = attr_list_element(bare->son->attributes.get(), 1);
    ASSERT_NE(undecided, nullptr);
    EXPECT_EQ(print_comp_attr(undecided), "NUMBER");
    EXPECT_EQ(delayed[static_cast<std::size_t>(undecided->index)].fixed, 0);
    EXPECT_EQ(attr_list_element(bare->son->sibling->attributes.get(), 1)->index, undecided->index);
    purge_tree(bare);
    // Variables live for one application of one rule.
    for (const comp_attr& v : variable_table)
        EXPECT_EQ(v, nullptr);
}

TEST_F(ExpandTest, GuardsChooseTheFirstAlternativeThatHolds) {
    rule("A", "<sg:\x07 B>\x07 D");
    rule("P", "\x07 X<sg:\x07 B<pl:\x07 C");
    treenode* a = with("A", "sg");
    expand_node(a);
    EXPECT_EQ(daughters(a), std::vector<std::string>{"B"});
    purge_tree(a);
    EXPECT_EQ(expanded("A"), std::vector<std::string>{"D"});
    // Text before the first guard always applies; no guard holds and there is no default.
    EXPECT_EQ(expanded("P"), std::vector<std::string>{"X"});

    rule("Q", "<sg:\x07 B");
    treenode* q = expand("Q");
    EXPECT_EQ(q->son, nullptr);
    ASSERT_NE(q->dictionary, nullptr);  // a leaf with its lookup entry
    EXPECT_EQ(q->index, d_table_count - 1);
    purge_tree(q);
}

TEST_F(ExpandTest, NodeLimitStopsEveryLaterNodeAndSaysSoOnce) {
    rule("A", "\x07 A A");
    nodecount = 0;
    treenode* a = makenode("A");
    expand_tree(a);
    // Every leaf of this tree is a node that met the limit; one line says so.
    EXPECT_GT(leaf_count(a), 100);
    EXPECT_EQ(messages("cf expansion terminated").size(), 1U);
    EXPECT_EQ(cf_limit_reported, 1);
    EXPECT_GT(nodecount, kNodeLimit);
    EXPECT_LT(nodecount, kNodeLimit + 4);
    purge_tree(a);

    // The abort request stops at once.
    abortreq = 1;
    nodecount = 0;
    treenode* b = expand("A");
    EXPECT_EQ(b->son, nullptr);
    purge_tree(b);
}

TEST_F(ExpandTest, DaughterAttachments) {
    rule("S",
         "\x07 N/\x02=a/\x02=b M\"d*g\"\x13-3 ADJ@\x05:SYN[sg] R/\x01=x\"dog\"\x13"
         "12 "
         "T[sg.third,pl]");
    treenode* s = expand("S");
    ASSERT_EQ(daughters(s), (std::vector<std::string>{"N", "M", "ADJ", "R", "T"}));
    const treenode* n = s->son;
    EXPECT_EQ(n->restrictions, "?|a,b|");
    const treenode* m = n->sibling;
    EXPECT_EQ(m->preferredchoice, "d*g");
    EXPECT_EQ(m->vf, -3);
    const treenode* adj = m->sibling;
    ASSERT_EQ(indirect_count(adj->indirections.get()), 1);
    const s_indirection* ind = indir_list_element(adj->indirections.get(), 1);
    EXPECT_EQ(ind->fieldnum, 5);
    EXPECT_EQ(ind->tag, "SYN");
    EXPECT_EQ(ind->attributes, "sg]");
    // A mandated word and a frequency after a restriction are attachments of their own.
    const treenode* r = adj->sibling;
    EXPECT_EQ(r->restrictions, "x|");
    EXPECT_EQ(r->preferredchoice, "dog");
    EXPECT_EQ(r->vf, 12);
    const treenode* t = r->sibling;
    EXPECT_EQ(print_attr_list(t->attributes.get()), "sg.third, pl");
    purge_tree(s);
}

TEST_F(ExpandTest, PreselectedWordsAndTagsReachDaughters) {
    pre_rule* subj = clause("subj.pl", "\"dogs\"|N|");
    rule("S",
         "\x07 N\x0esubj.pl X\x0e"
         "adj Y[\x0esubj.pl] Z[NUMBER\x0esubj.pl]");
    treenode* s = expand("S");
    ASSERT_EQ(daughters(s), (std::vector<std::string>{"N", "X", "Y", "Z"}));
    const treenode* n = s->son;
    EXPECT_EQ(n->dictionary, subj->RHS->dictionary);  // shares the preselected word
    EXPECT_EQ(n->index, subj->RHS->index);
    const treenode* x = n->sibling;
    EXPECT_NE(x->dictionary, subj->RHS->dictionary);
    EXPECT_EQ(messages("Preselection:  No matching PST:  adj").size(), 1U);
    const treenode* y = x->sibling;
    EXPECT_EQ(print_attr_list(y->attributes.get()), "subj.pl");
    const treenode* z = y->sibling;
    EXPECT_EQ(print_attr_list(z->attributes.get()), "pl");  // as the preselected word has it
    purge_tree(s);
}

TEST_F(ExpandTest, SelectBindsAVariableToAPreselection) {
    clause("subj.pl", "\"dogs\"|N|");
    clause("obj", nullptr);
    rule("S", "\x07\x10\x01\x0esubj.pl\x10\x02NUMBER\x0esubj.pl N[\xff\x01] V[\xff\x02]");
    treenode* s = expand("S");
    EXPECT_EQ(print_attr_list(s->son->attributes.get()), "subj.pl");
    EXPECT_EQ(print_attr_list(s->son->sibling->attributes.get()), "pl");
    purge_tree(s);

    rule("E",
         "\x07\x10\x01NUMBER\x10\x02NUMBER\x0eobj\x10\x03\x0e"
         "adj N[\xff\x01]");
    treenode* e = expand("E");
    EXPECT_EQ(messages("No preselection token in SELECT clause").size(), 1U);
    EXPECT_EQ(messages("Preselection:  PST has no lexical entry").size(), 0U);
    EXPECT_EQ(messages("Preselection:  Matching PST has no right-hand side:  obj").size(), 1U);
    EXPECT_EQ(messages("Preselection:  No matching PST:  adj").size(), 1U);
    EXPECT_EQ(e->son->attributes, nullptr);
    purge_tree(e);
}

TEST_F(ExpandTest, RootDaughterIsACopyOfTheFinishedRootWhileRootRowsAreBuilt) {
    rule("ROOT", "\x07 NP VP");
    rule("QUESTION", "\x07 ROOT Q");
    root = expand("ROOT");
    treestate = 1;
    treenode* q = makenode("QUESTION");
    expand_tree(q);
    EXPECT_EQ(shape(q), "QUESTION(ROOT(NP VP) Q)");
    EXPECT_NE(q->son, root);
    purge_tree(q);
    treestate = 0;
    treenode* again = makenode("QUESTION");
    expand_tree(again);
    EXPECT_EQ(shape(again), "QUESTION(ROOT(NP VP) Q)");  // expanded anew
    EXPECT_NE(again->son->son, root->son);
    purge_tree(again);
}

TEST_F(ExpandTest, ScanningSkipsQuotedTextsListsAndFieldBytes) {
    // Field byte 124 is a bar, 41 a closing parenthesis: neither ends an alternative.
    rule("A", "\x07(\x02| B/|=\"x|y\"[sg] C| D/)=a)");
    std::map<std::string, int> seen;
    for (int i = 0; i < 100; ++i) {
        const std::vector<std::string> names = expanded("A");
        ASSERT_FALSE(names.empty());
        using Names = std::vector<std::string>;
        EXPECT_EQ(names, (names[0] == "B" ? Names{"B", "C"} : Names{"D"}));
        ++seen[names[0]];
    }
    EXPECT_EQ(seen.size(), 2U);
}

TEST_F(ExpandTest, BrokenCodedTextsEndSafely) {
    for (const char* text :
         {"\x07(", "\x07(\x05|", "\x07|", "\x07)", "<", "<sg", ">", "\x07\x05", "\x07\x06\x01",
          "\x07\x10", "\x07 N/", "\x07 N@", "\x07 N[", "\x07 N\"", "\x07 N\x13", "\x07 N\x0e",
          "\x07 (\x02| B)", "\x07\x05\x63NUMBER N[\xff\x63]"}) {
        rule("X", text);
        treenode* x = expand("X");
        for (const std::string& name : daughters(x))
            EXPECT_FALSE(name.empty()) << text;
        EXPECT_TRUE(x->son != nullptr || x->dictionary != nullptr) << text;
        purge_tree(x);
    }
}

TEST_F(ExpandTest, TransformationsNamedInARuleFileGoWithTheirDaughter) {
    syntax("S = NP FLATTEN:V NOSUCH:W %\n");
    treenode* s = expand("S");
    ASSERT_EQ(daughters(s), (std::vector<std::string>{"NP", "V", "W"}));
    const treenode* v = s->son->sibling;
    ASSERT_NE(v->transformation, nullptr);
    EXPECT_EQ(v->transformation->trans->name, "FLATTEN");
    EXPECT_EQ(v->sibling->transformation, nullptr);
    EXPECT_EQ(messages(" - Bad Transformation Name:  NOSUCH").size(), 1U);
    purge_tree(s);
}

}  // namespace
