// Transformation bodies as read, the preselection rule, the transformation loop over a tree,
// FLATTEN and the listings.
#include <string>
#include <vector>

#include "gento_fixture.hpp"
#include "syn_builtIn.hpp"
#include "syn_globals.hpp"
#include "syn_read.hpp"
#include "syn_tran.hpp"

class SyntaxTransTest : public GentoTest {
  protected:
    void SetUp() override {
        GentoTest::SetUp();
        readattr(file("attrs", "NUMBER ( sg , pl ) TENSE ( past , pres ) %").c_str());
    }
    void load(const std::string& content) { read_syntax(file("syn", content).c_str()); }
    static std::vector<std::string> alternatives(const transformation* t) {
        std::vector<std::string> out;
        for (const sub_trans* s = t->first.get(); s != nullptr; s = s->next.get())
            out.push_back(printable_code(s->guard) + " => " + printable_code(s->rule));
        return out;
    }
    static void attach(treenode* n, transformation* t) {
        trans_list* at = &n->transformation;
        while (*at)
            at = &(*at)->next;
        *at = std::make_unique<trans_list_rec>();
        (*at)->trans = t;
    }
};

TEST_F(SyntaxTransTest, TransformationBodiesKeepTheirAlternativesInOrder) {
    // A '%' right after a right-hand side closes the alternative, so T runs on into the text
    // that follows and is refused there; the rule after that is read normally.
    load(
        "SWAP = TRANSFORMATION PRIORITY 3 * A * B [sg] : 4 2[-TENSE] DO_AUX[2!NUMBER] ; "
        "A : ROOT /\"x\" ; %\n"
        "P0 = TRANSFORMATION PRIORITY 0 : ; %\n"
        "PN = TRANSFORMATION PRIORITY : ; %\n"
        "BIG = TRANSFORMATION PRIORITY 5000 : ; %\n"
        "BAD = TRANSFORMATION A B X ; %\n"
        "NEXT = N %\n"
        "T = TRANSFORMATION A : B %\nLOST = X %\nKEPT = Y %\n");
    transformation* swap = find_transf("SWAP");
    ASSERT_NE(swap, nullptr);
    EXPECT_EQ(swap->priority, 3);
    EXPECT_EQ(swap->functionPtr, nullptr);
    const std::vector<std::string> want = {
        "* A* B[sg] =>  4 2[-TENSE] DO_AUX[!{2}NUMBER]",
        " A =>  ROOT\"x\"",
    };
    EXPECT_EQ(alternatives(swap), want);
    ASSERT_NE(find_transf("P0"), nullptr);
    EXPECT_EQ(find_transf("P0")->priority, 5);
    EXPECT_EQ(find_transf("PN")->priority, 5);
    EXPECT_EQ(find_transf("BIG")->priority, kMaxPriority);
    EXPECT_EQ(messages("Expecting Transformation Priority.").size(), 2U);
    EXPECT_EQ(find_transf("BAD"), nullptr);
    EXPECT_EQ(find_transf("T"), nullptr);
    EXPECT_EQ(messages("ERROR Syntax Input BAD Expecting Colon.").size(), 1U);
    EXPECT_EQ(messages("ERROR Syntax Input T Expecting Colon.").size(), 1U);
    EXPECT_STREQ(getrule("NEXT"), "\x07 N");
    EXPECT_EQ(getrule("LOST"), nullptr);
    EXPECT_STREQ(getrule("KEPT"), "\x07 Y");
}

TEST_F(SyntaxTransTest, PreselectionClausesAndTheirErrors) {
    load(
        "PRESELECT = NUMBER.sg : NOUN[sg] /2 = \"a\" ; TENSE : VERB[bogus] ; NUMBER ; TENSE.past "
        ": ADJ %\n"
        "S = A %\n");
    const char* r = getrule("PRESELECT");
    ASSERT_NE(r, nullptr);
    // The faulty right-hand side is left out, its clause kept.
    EXPECT_EQ(printable_code(r), "NUMBER.sg: NOUN[sg]/{2}=\"a\";TENSE:;NUMBER;TENSE.past: ADJ");
    EXPECT_EQ(messages("ERROR Syntax Input PRESELECT Unknown attribute bogus ").size(), 1U);
    // A clause without ';' before the next one abandons the rule silently; a bad tag with a
    // message.
    load("PRESELECT = NUMBER : NOUN TENSE : VERB %\nT = U %\n");
    EXPECT_EQ(printable_code(getrule("PRESELECT")), printable_code(r));
    load("PRESELECT = nonsense : NOUN %\n");
    EXPECT_EQ(messages("ERROR Syntax Input PRESELECT Unknown attribute nonsense ").size(), 1U);
    EXPECT_EQ(printable_code(getrule("PRESELECT")), printable_code(r));
}

TEST_F(SyntaxTransTest, TheLowestPriorityRunsFirstAndWrittenOnesAreTakenOff) {
    load(
        "P = TRANSFORMATION PRIORITY 3 * : 1 ; % Q = TRANSFORMATION PRIORITY 1 * : 1 ; %\n"
        "R = TRANSFORMATION PRIORITY 1 * : 1 ; %\n");
    treenode* n = node("S");
    attach(n, find_transf("P"));
    attach(n, find_transf("Q"));
    attach(n, find_transf("R"));
    EXPECT_EQ(find_low_priority(n)->name, "Q");
    removeTrans(n, find_transf("Q"));
    EXPECT_EQ(find_low_priority(n)->name, "R");
    removeTrans(n, find_transf("R"));
    EXPECT_EQ(find_low_priority(n)->name, "P");
    attach(n, find_transf("Q"));
    transform(n);
    EXPECT_FALSE(n->transformation);
    EXPECT_EQ(find_low_priority(n), nullptr);
    purge_tree(n);
}

TEST_F(SyntaxTransTest, FlattenLeavesTheLeavesInOrderAndRunsBeforeTheDaughters) {
    add_built_in();
    treenode* det = node("DET");
    det->morphed_word = "the";
    treenode* t = node("S", {node("NP", {det, node("NOUN")}), node("VP", {node("VERB")})});
    attach(t, find_transf("FLATTEN"));
    // A leaf's own transformation list travels with its copy.
    attach(det, find_transf("FLATTEN"));
    const long before = nodepool::in_use();
    transform(t);
    EXPECT_EQ(shape(t), "S(DET NOUN VERB)");
    EXPECT_EQ(t->son->morphed_word, "the");
    EXPECT_FALSE(t->transformation);
    EXPECT_FALSE(t->son->transformation);       // transformed after its parent, as a daughter
    EXPECT_EQ(nodepool::in_use(), before - 2);  // NP and VP released
    // A node without daughters is unchanged.
    treenode* leaf = node("X");
    flatten(leaf);
    EXPECT_EQ(shape(leaf), "X");
    flatten(nullptr);
    purge_tree(t);
    purge_tree(leaf);
}

TEST_F(SyntaxTransTest, ListingsShowEveryRecordWithCodesMadeVisible) {
    load("S = CHOOSE n : NUMBER ; NP[n] % X = TRANSFORMATION A : B ; %");
    EXPECT_EQ(added_by(print_cf),
              (std::vector<std::string>{"S", " rule: {7}{6}{1}NUMBER NP[{255}{1}]: ", "%%%%%"}));
    EXPECT_EQ(added_by(print_transf),
              (std::vector<std::string>{"X", " first RHS:  B", "%%%%%", "FLATTEN"}));
}
