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
        ASSERT_EQ(std::tuple(one.size(), names.size()), std::tuple(1UL, 2UL));
        EXPECT_EQ(names[1], "Z");  // what follows the choice is always there
        ++flat[one[0]];
        ++nested[names[0]];
    }
    for (const auto& [seen, name, share] : {std::tuple{&flat, "B", 2},
                                            {&flat, "D", 2},
                                            {&nested, "B", 2},
                                            {&nested, "C", 4},
                                            {&nested, "E", 4}})
        EXPECT_NEAR((*seen)[name], runs / share, runs / 20) << name;
}

TEST_F(ExpandTest, ChooseSharesOneUndecidedValueBetweenDaughters) {
    rule("S", "\x07\x06\x01NUMBER NP[\xff\x01] VP[\xff\x01]");
    std::map<int, int> seen;
    for (int i = 0; i < 200; ++i) {
        treenode* s = expand("S");
        ASSERT_EQ(daughters(s), (std::vector<std::string>{"NP", "VP"}));
        const s_comp_attr* np = attr_list_element(s->son->attributes.get(), 1);
        const s_comp_attr* vp = attr_list_element(s->son->sibling->attributes.get(), 1);
        ASSERT_TRUE(np != nullptr && vp != nullptr);
        EXPECT_EQ(std::tuple(attr_seg_count(np), vp->index, delayed[np->index].fixed),
                  std::tuple(1, np->index, 0));
        make_all_choices();
        EXPECT_EQ(print_comp_attr(np), print_comp_attr(vp));
        ++seen[delayed[np->index].choice];
        purge_tree(s);
        delayptr = 0;
    }
    EXPECT_GT(std::min(seen[1], seen[2]), 50);  // both values of NUMBER come up
}

TEST_F(ExpandTest, InheritTakesTheParentsValueOrAnUndecidedOne) {
    rule("S", "\x07\x05\x01NUMBER NP[\xff\x01] VP[\xff\x01.third]");
    treenode* s = with("S", "pl");
    const int parent_index = attr_list_element(s->attributes.get(), 1)->index;
    expand_node(s);
    const s_comp_attr* np = attr_list_element(s->son->attributes.get(), 1);
    ASSERT_NE(np, nullptr);
    EXPECT_EQ(np->index, parent_index);  // the very delay entry: it agrees with the parent
    EXPECT_EQ(print_comp_attr(np) + " " +
                  print_comp_attr(attr_list_element(s->son->sibling->attributes.get(), 1)),
              "pl pl.third");
    purge_tree(s);

    treenode* bare = expand("S");
    const s_comp_attr* undecided = attr_list_element(bare->son->attributes.get(), 1);
    ASSERT_NE(undecided, nullptr);
    EXPECT_EQ(std::tuple(print_comp_attr(undecided), delayed[undecided->index].fixed,
                         attr_list_element(bare->son->sibling->attributes.get(), 1)->index),
              std::tuple("NUMBER", 0, undecided->index));
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
    EXPECT_EQ(std::tuple(messages("cf expansion terminated").size(), cf_limit_reported),
              std::tuple(1UL, 1));
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
    const treenode *n = s->son, *m = n->sibling, *adj = m->sibling, *r = adj->sibling;
    EXPECT_EQ(n->restrictions, "?|a,b|");
    EXPECT_EQ(std::tuple(m->preferredchoice, m->vf), std::tuple(std::string("d*g"), -3));
    ASSERT_EQ(indirect_count(adj->indirections.get()), 1);
    const s_indirection* ind = indir_list_element(adj->indirections.get(), 1);
    EXPECT_EQ(std::tuple(ind->fieldnum, ind->tag, ind->attributes), std::tuple(5, "SYN", "sg]"));
    // A mandated word and a frequency after a restriction are attachments of their own.
    EXPECT_EQ(std::tuple(r->restrictions, r->preferredchoice, r->vf), std::tuple("x|", "dog", 12));
    EXPECT_EQ(print_attr_list(r->sibling->attributes.get()), "sg.third, pl");
    purge_tree(s);
}

TEST_F(ExpandTest, PreselectedWordsAndTagsReachDaughters) {
    pre_rule* subj = clause("subj.pl", "\"dogs\"|N|");
    rule("S",
         "\x07 N\x0esubj.pl X\x0e"
         "adj Y[\x0esubj.pl] Z[NUMBER\x0esubj.pl]");
    treenode* s = expand("S");
    ASSERT_EQ(daughters(s), (std::vector<std::string>{"N", "X", "Y", "Z"}));
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
    for (const char* said : {"No preselection token in SELECT clause",
                             "Preselection:  Matching PST has no right-hand side:  obj",
                             "Preselection:  No matching PST:  adj"})
        EXPECT_EQ(messages(said).size(), 1U) << said;
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
