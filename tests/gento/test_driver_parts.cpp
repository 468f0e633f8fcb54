// The pieces of a generation: post-morphology, and what clearing between generations keeps of
// the global preselection.
#include <string>
#include <tuple>

#include "expand_fixture.hpp"
#include "report_fixture.hpp"
#include "syn_misc.hpp"

namespace {

using DriverPartsTest = ExpandFixture;

TEST_F(DriverPartsTest, PostMorphologyJoinsAndCapitalises) {
    // "text=sentence": ^ glues, ` capitalises the next word (not a sign or a digit).
    for (const std::string& c : split("the dog ^s bark=the dogs bark;` dog=Dog;`  ^ok then=Ok then;"
                                      "a   ^^b=ab;` \xe9t\xe9 ` \xf7 ` 9=\xc9t\xe9 \xf7 9;x ^=x;=",
                                      ';')) {
        const std::string in = split(c, '=')[0], out = split(c, '=')[1];
        sentbuf.assign_cut(in);
        postmorph();
        EXPECT_EQ(sentbuf2.view(), out) << in;
    }
}

TEST_F(DriverPartsTest, ClearingKeepsTheGlobalPreselectionUntilItGoesItself) {
    pre_rule* global = clause("subj", "\"dog\"|N|");
    globalpre_list = global;
    global_barrier = d_table_count;
    new_delay(1, 1, 1);
    global_delayptr = delayptr;
    clause("obj", "\"cat\"|N|");
    clause("verb", nullptr);
    new_delay(1, 2, 1);
    root = makenode("ROOT");
    genSentences[0] = std::make_unique<std::string>("old");
    const long nodes = nodepool::in_use();

    clear_SE_PRE(0);  // before each generation
    EXPECT_EQ(std::tuple(root, genSentences[0].get(), preselect_list.get()),
              std::tuple(nullptr, nullptr, global));
    EXPECT_EQ(std::tuple(d_table_count, delayptr), std::tuple(global_barrier, global_delayptr));
    EXPECT_EQ(nodepool::in_use(), nodes - 2);  // ROOT and the clause's terminal
    clear_GP();
    EXPECT_EQ(std::tuple(preselect_list.get(), globalpre_list, d_table_count, delayptr),
              std::tuple(nullptr, nullptr, 0, 0));
    EXPECT_EQ(std::tuple(global_barrier, global_delayptr), std::tuple(0, 0));
}

TEST_F(DriverPartsTest, GenerationsKeepTheGloballyPreselectedWords) {
    // The global clause's word is drawn once, from three candidates; generations without a
    // preselection of their own use it, and never look it up again.
    read_terminals(file("t.tm", "N").c_str());
    initdict();
    readdict(file("t.lex", "\"dog\"|N||10|#1|\n\"cat\"|N||10|#1|\n\"emu\"|N||10|#1|\n").c_str());
    syntax("PRESELECT = subj : N %\nROOT = N/_pre_ subj %\n");
    global_preselect();
    reset_syntax();
    syntax("ROOT = N/_pre_ subj N/_pre_ subj %\n");
    ASSERT_NE(globalpre_list, nullptr);
    const std::string word = std::string(globalpre_list->RHS->dictionary->dictionary).substr(1, 3);
    for (int i = 0; i < 20; ++i) {
        interpret();
        ASSERT_NE(genSentences[0], nullptr);
        EXPECT_EQ(*genSentences[0], word + " " + word) << i;
    }
}

}  // namespace
