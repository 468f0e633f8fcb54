// The pieces of a generation: leaf threads, filling lookup entries from leaves, post-morphology,
// the release of lookups and results, and the sentence texts.
#include <string>
#include <vector>

#include "expand_fixture.hpp"
#include "syn_misc.hpp"

namespace {

class DriverPartsTest : public ExpandFixture {
  protected:
    static std::string post(const std::string& in) {
        sentbuf.assign_cut(in);
        postmorph();
        return std::string(sentbuf2.view());
    }
};

TEST_F(DriverPartsTest, PostMorphologyJoinsAndCapitalises) {
    EXPECT_EQ(post("the dog ^s bark"), "the dogs bark");
    EXPECT_EQ(post("` dog"), "Dog");
    EXPECT_EQ(post("`  ^ok then"), "Ok then");
    EXPECT_EQ(post("a   ^^b"), "ab");
    EXPECT_EQ(post("` \xe9t\xe9 ` \xf7 ` 9"), "\xc9t\xe9 \xf7 9");  // no capital for the sign
    EXPECT_EQ(post("x ^"), "x");
    EXPECT_EQ(post(""), "");
}

TEST_F(DriverPartsTest, ThreadChainsTheLeavesInOrder) {
    treenode *det = node("DET"), *n = node("N"), *v = node("V"), *adv = node("ADV");
    treenode* s = node("S", {node("NP", {det, n}), node("VP", {v}), adv});
    s->sibling = makenode("OUTSIDE");  // not part of the tree
    thread(s);
    EXPECT_EQ(s->right, det);
    EXPECT_EQ(det->left, nullptr);
    EXPECT_EQ(det->right, n);
    EXPECT_EQ(n->left, det);
    EXPECT_EQ(n->right, v);
    EXPECT_EQ(v->right, adv);
    EXPECT_EQ(adv->left, v);
    EXPECT_EQ(adv->right, nullptr);
    purge_tree2(s);

    // A tree that is one leaf does not point at itself.
    treenode* lone = makenode("ROOT");
    thread(lone);
    EXPECT_EQ(lone->right, nullptr);
    fill_all_words(lone, 0);  // ends
    purge_tree(lone);
}

TEST_F(DriverPartsTest, FillWordCopiesWhatTheLeafKnowsIntoItsEntry) {
    treenode* leaf = with("N", "pl");
    terminal_node(leaf);
    leaf->vf = -2;
    leaf->preferredchoice = "d*";
    leaf->restrictions = "?|x|";
    t_indirection ind = create_indir_node();
    ind->fieldnum = 1;
    add_to_indir_list(leaf->indirections, std::move(ind));
    t_dict_lookup& d = *leaf->dictionary;
    d.fields = "a|?|?|z|";
    fill_word(leaf);
    EXPECT_EQ(d.pointed_at, 1);
    EXPECT_EQ(d.vf, -2);
    EXPECT_EQ(d.class_, "N");
    EXPECT_EQ(d.preferredchoice, "d*");
    EXPECT_EQ(print_attr_list(d.attributes.get()), "pl");
    EXPECT_EQ(leaf->restrictions, "\"*\"|x|");
    EXPECT_EQ(d.fields, "a,\"*\"|x|?|z|");
    // Filling again adds no second equal compound and keeps what the entry has.
    leaf->vf = 5;
    leaf->preferredchoice = "c*";
    fill_word(leaf);
    EXPECT_EQ(print_attr_list(d.attributes.get()), "pl");
    EXPECT_EQ(d.vf, -2);
    EXPECT_EQ(d.preferredchoice, "d*");
    purge_tree(leaf);

    // Filling every leaf skips the entries below the index.
    treenode *a = node("A"), *b = node("B"), *s = node("S", {a, b});
    terminal_node(a);
    terminal_node(b);
    thread(s);
    fill_all_words(s, b->index);  // a has the entry just below
    EXPECT_EQ(a->dictionary->pointed_at, 0);
    EXPECT_EQ(b->dictionary->pointed_at, 1);
    EXPECT_EQ(b->dictionary->class_, "B");
    purge_tree(s);
}

TEST_F(DriverPartsTest, PurgeLookupsReleasesDownToTheBarrier) {
    for (int i = 0; i < 5; ++i) {
        treenode* n = makenode("N");
        terminal_node(n);
        fill_word(n);
        n->dictionary->fields = "x|";
        purge_node(n);
    }
    ASSERT_EQ(d_table_count, 5);
    purgelookups(2);
    EXPECT_EQ(d_table_count, 2);
    EXPECT_EQ(dict_table[1].class_, "N");
    for (int i = 2; i < 5; ++i) {
        const t_dict_lookup& d = dict_table[static_cast<std::size_t>(i)];
        EXPECT_TRUE(d.class_.empty() && d.fields.empty() && d.pointed_at == 0) << i;
    }
    purgelookups(7);  // above the count: nothing to do
    EXPECT_EQ(d_table_count, 2);
    purgelookups(-3);
    EXPECT_EQ(d_table_count, 0);
}

TEST_F(DriverPartsTest, ClearingKeepsOrDropsTheGlobalPreselection) {
    pre_rule* global = clause("subj", "\"dog\"|N|");
    globalpre_list = global;
    global_barrier = d_table_count;
    new_delay(1, 1, 1);
    global_delayptr = delayptr;
    clause("obj", "\"cat\"|N|");
    new_delay(1, 2, 1);
    root = makenode("ROOT");
    genSentences[0] = std::make_unique<std::string>("old");
    const int global_count = global_barrier;

    clear_SE_PRE(0);
    EXPECT_EQ(root, nullptr);
    EXPECT_EQ(genSentences[0], nullptr);
    EXPECT_EQ(preselect_list.get(), global);
    EXPECT_EQ(d_table_count, global_count);
    EXPECT_EQ(delayptr, global_delayptr);

    clear_GP();
    EXPECT_EQ(preselect_list, nullptr);
    EXPECT_EQ(globalpre_list, nullptr);
    EXPECT_EQ(d_table_count, 0);
    EXPECT_EQ(delayptr, 0);
    EXPECT_EQ(global_barrier, 0);
    EXPECT_EQ(global_delayptr, 0);
}

TEST_F(DriverPartsTest, SentenceToCoreAppendsExistingSentences) {
    genSentences[3] = std::make_unique<std::string>("the dog barks");
    const std::size_t before = lines_of(5).size();
    sentence_to_core(3, 5);
    ASSERT_EQ(lines_of(5).size(), before + 1);
    EXPECT_EQ(lines_of(5).back(), "the dog barks");
    sentence_to_core(4, 5);
    sentence_to_core(99, 5);
    sentence_to_core(-1, 5);
    EXPECT_EQ(lines_of(5).size(), before + 1);
}

}  // namespace
