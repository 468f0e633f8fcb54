// Generation records: compounds and attribute lists, the delay table, indirection lists and trees.
#include <string>
#include <tuple>
#include <vector>

#include "indir_list.hpp"
#include "report_fixture.hpp"

class DataModelTest : public ReportTest {
  protected:
    static comp_attr compound(std::initializer_list<int> indexes) {
        comp_attr c = create_comp_attr();
        for (int i : indexes)
            add_comp_attr(c, i);
        return c;
    }
    // A tree and its siblings as "name(sons)...".
    static std::string shape(const treenode* n) {
        std::string out;
        for (; n != nullptr; n = n->sibling)
            out += n->name + (n->son != nullptr ? "(" + shape(n->son) + ")" : "");
        return out;
    }
    static std::vector<int> indexes(const s_comp_attr* c) {
        std::vector<int> out;
        for (int n = 1; n <= attr_seg_count(c); ++n)
            out.push_back(comp_attr_element(c, n));
        return out;
    }
    using Lists = std::vector<std::vector<int>>;
    static Lists contents(const s_attr_list* l) {
        Lists out;
        for (int n = 1; n <= attr_list_count(l); ++n)
            out.push_back(indexes(attr_list_element(l, n)));
        return out;
    }
};

TEST_F(DataModelTest, CompoundsAndListsCountFromOneAndNeverHoldEqualCompoundsTwice) {
    comp_attr c = compound({4, 7, 9});
    EXPECT_EQ(indexes(c.get()), (std::vector<int>{4, 7, 9}));
    EXPECT_EQ(std::tuple(comp_attr_element(c.get(), 4), comp_attr_element(c.get(), 0)),
              std::tuple(-1, -1));
    comp_attr copy = duplicate_comp_attr(c.get());
    EXPECT_NE(copy.get(), c.get());
    EXPECT_EQ(indexes(copy.get()), indexes(c.get()));
    purge_comp_attr(copy);
    EXPECT_EQ(copy, nullptr);

    attr_list list = create_attr_list();
    append_attr(list, compound({1, 2}));
    append_attr(list, compound({1, 2}));  // equal: released, not added
    append_attr(list, compound({2, 1}));  // order matters
    append_attr(list, compound({1}));
    EXPECT_EQ(contents(list.get()), (Lists{{1, 2}, {2, 1}, {1}}));
    EXPECT_EQ(attr_list_element(list.get(), 4), nullptr);
    EXPECT_EQ(list->attr_count, 2);
    EXPECT_EQ(present_compound(list.get(), compound({2, 1}).get()), 1);
    EXPECT_EQ(present_compound(list.get(), compound({2}).get()), 0);
    EXPECT_EQ(present_compound(list.get(), nullptr), 0);

    attr_list other;
    add_attr_to_list(other, compound({1}));
    add_attr_to_list(other, compound({5, 6}));
    add_attr_to_list(other, compound({5, 6}));
    combine_attr_list(list, other.get());
    EXPECT_EQ(contents(list.get()), (Lists{{1, 2}, {2, 1}, {1}, {5, 6}}));

    // Removal is by identity: an equal compound elsewhere does not count.
    comp_attr stranger = compound({5, 6});
    new_attr_remove(list, stranger.get());
    EXPECT_EQ(attr_list_count(list.get()), 4);
    new_attr_remove(list, attr_list_element(list.get(), 2));
    EXPECT_EQ(contents(list.get()), (Lists{{1, 2}, {1}, {5, 6}}));

    attr_list deep = duplicate_attr_list(list.get());
    EXPECT_NE(attr_list_element(deep.get(), 1), attr_list_element(list.get(), 1));
    EXPECT_EQ(contents(deep.get()), contents(list.get()));
    purge_attr_list(list);
    EXPECT_EQ(std::tuple(attr_list_count(list.get()), attr_list_count(deep.get())),
              std::tuple(0, 3));

    // Long chains are released without recursion.
    comp_attr longc;
    for (int i = 0; i < 200000; ++i) {
        auto s = std::make_unique<s_comp_attr>();
        s->index = i;
        s->another = std::move(longc);
        longc = std::move(s);
    }
    EXPECT_EQ(attr_seg_count(longc.get()), 200000);
    purge_comp_attr(longc);
}

TEST_F(DataModelTest, DelayTableStopsAt4999AndReusesTheLastEntry) {
    for (int i = 0; i < 4999; ++i)
        EXPECT_EQ(new_delay(1, i, 1), i);
    EXPECT_EQ(count("Delay table exceeded"), 0);
    EXPECT_EQ(new_delay(2, 7, 0), 4998);
    EXPECT_EQ(delayptr, 4999);
    EXPECT_EQ(std::tuple(delay_at(4998).class_, delay_at(4998).choice), std::tuple(2, 7));
    expect_once({"Delay table exceeded"});
    EXPECT_EQ(lines_of(kMsgCore).back(), "Delay table exceeded");
    // The table for lexical transformations is separate, with the same limit.
    EXPECT_EQ(lt_new_delay(3, 1, 1), 0);
    EXPECT_EQ(lt_delayptr, 1);
    // Stray indexes land in a scratch entry, never outside the table.
    delay_at(-1).class_ = 99;
    delay_at(kDelaySize).choice = 5;
    EXPECT_EQ(delay_at(kDelaySize).choice, -1);
}

TEST_F(DataModelTest, IndirectionListsCopyDeeply) {
    indir_list list;
    for (int i = 1; i <= 3; ++i) {
        t_indirection ind = create_indir_node();
        ind->fieldnum = i;
        ind->tag = "T" + std::to_string(i);
        ind->attributes = "sg";
        add_to_indir_list(list, std::move(ind));
    }
    EXPECT_EQ(indirect_count(list.get()), 3);
    EXPECT_EQ(indir_list_element(list.get(), 2)->tag, "T2");
    EXPECT_EQ(indir_list_element(list.get(), 4), nullptr);
    indir_list copy = duplicate_indir_list(list.get());
    EXPECT_NE(indir_list_element(copy.get(), 1), indir_list_element(list.get(), 1));
    const s_indirection* third = indir_list_element(copy.get(), 3);
    EXPECT_EQ(std::tuple(third->fieldnum, third->tag, third->attributes),
              std::tuple(3, "T3", "sg"));
    indir_purge_list(list);
    EXPECT_EQ(std::tuple(indirect_count(list.get()), indirect_count(copy.get())), std::tuple(0, 3));
    t_indirection one = duplicate_indirection_node(indir_list_element(copy.get(), 1));
    purge_indirection_node(one);
    EXPECT_EQ(one, nullptr);
}

TEST_F(DataModelTest, NodesCopyWithoutVariantsAndShareTheirLookup) {
    t_dict_lookup lookup;
    transformation* stored = reinterpret_cast<transformation*>(&lookup);  // any address will do
    nodecount = 0;
    treenode* n = makenode("NP");
    EXPECT_EQ(std::tuple(nodecount, n->vf, n->morphed_word), std::tuple(1, -1, ""));
    n->dictionary = &lookup;
    n->index = 4;
    n->vf = 2;
    n->preferredchoice = "b*";
    n->restrictions = "/2=x";
    n->morphed_word = "dogs";
    add_attr_to_list(n->attributes, compound({3}));
    t_indirection ind = create_indir_node();
    ind->tag = "SYN";
    add_to_indir_list(n->indirections, std::move(ind));
    n->transformation = std::make_unique<trans_list_rec>();
    n->transformation->trans = stored;
    n->transformation->next = std::make_unique<trans_list_rec>();
    n->mvar = std::make_unique<morphvar>();

    treenode* c = copy_node(n);
    const auto fields = [](const treenode* t) {
        return std::make_tuple(t->name, t->dictionary, t->index, t->vf, t->preferredchoice,
                               t->restrictions, t->morphed_word);
    };
    EXPECT_EQ(fields(c), fields(n));
    EXPECT_EQ(c->mvar, nullptr);
    EXPECT_EQ(c->son, nullptr);
    EXPECT_NE(c->attributes.get(), n->attributes.get());
    EXPECT_EQ(indexes(attr_list_element(c->attributes.get(), 1)), std::vector<int>{3});
    EXPECT_EQ(indir_list_element(c->indirections.get(), 1)->tag, "SYN");
    ASSERT_NE(c->transformation, nullptr);
    EXPECT_NE(c->transformation.get(), n->transformation.get());
    EXPECT_EQ(c->transformation->trans, stored);
    ASSERT_NE(c->transformation->next, nullptr);
    EXPECT_EQ(c->transformation->next->next, nullptr);
    EXPECT_EQ(copy_node(nullptr), nullptr);
    treenode* unnamed = makenode(nullptr);
    EXPECT_EQ(unnamed->name, "");
    purge_node(unnamed);
    purge_node(c);
    purge_node(n);
    purge_all_trees();
}

TEST_F(DataModelTest, TreesCopyAndReleaseWithOrWithoutTheirSiblings) {
    const long before = nodepool::in_use();
    // a(b(d, e), c) with a sibling s of a
    treenode* a = makenode("a");
    treenode* s = makenode("s");
    a->sibling = s;
    a->son = makenode("b");
    a->son->sibling = makenode("c");
    a->son->son = makenode("d");
    a->son->son->sibling = makenode("e");
    treenode* one = copytree(a);
    EXPECT_EQ(shape(one), "a(b(de)c)");
    treenode* both = copytree2(a);
    EXPECT_EQ(shape(both), "a(b(de)c)s");
    EXPECT_NE(both->son->son, a->son->son);
    EXPECT_EQ(nodepool::in_use(), before + 6 + 5 + 6);

    purge_tree(a);  // its sibling stays
    EXPECT_EQ(s->name, "s");
    EXPECT_EQ(nodepool::in_use(), before + 1 + 5 + 6);
    purge_tree(s);
    purge_tree2(one);
    root = both;
    oldroot = makenode("OLD");
    rootPtrs[20] = copytree2(both);
    rootPtrs[0] = makenode("R0");
    purge_all_trees();
    EXPECT_EQ(root, nullptr);
    EXPECT_EQ(rootPtrs[20], nullptr);
    EXPECT_EQ(nodepool::in_use(), before);

    // A lookup record releases its sequence pattern tree with it.
    {
        t_dict_lookup l;
        l.lspseq = makenode("LSP");
        l.lspseq->son = makenode("x");
    }
    EXPECT_EQ(nodepool::in_use(), before);
}
