// Transformation bodies as read, the preselection rule, the transformation loop over a tree,
// FLATTEN and the listings.
#include <algorithm>
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
    // A node S whose daughters are written as "A B[sg,past] C": names with optional compounds.
    static treenode* parent_of(const std::string& spec) {
        treenode* s = node("S");
        treenode** slot = &s->son;
        std::size_t at = 0;
        while (at < spec.size()) {
            const std::size_t end = std::min(spec.find(' ', at), spec.size());
            const std::string item = spec.substr(at, end - at);
            at = end + 1;
            if (item.empty()) continue;
            const std::size_t bracket = item.find('[');
            treenode* d = makenode(item.substr(0, bracket).c_str());
            for (const char* r = bracket != std::string::npos ? item.c_str() + bracket : "";
                 *r == '[' || *r == ',';) {
                r = text_to_comp_struct(r + 1, 0);
                append_attr(d->attributes, std::move(comp_attr_register));
            }
            *slot = d;
            slot = &d->sibling;
        }
        return s;
    }
    // The daughters with their printed attributes: "B[pl] A".
    static std::string described(const treenode* n) {
        std::string out;
        for (const treenode* d = n->son; d != nullptr; d = d->sibling) {
            if (!out.empty()) out += ' ';
            out += d->name;
            if (d->attributes) out += "[" + print_attr_list(d->attributes.get()) + "]";
        }
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

TEST_F(SyntaxTransTest, GuardsMatchTheWholeDaughterSequenceWithLazyStars) {
    struct Case {
        const char* alternative;  // guard : right-hand side
        const char* daughters;
        const char* result;  // the daughters afterwards
    };
    const Case cases[] = {
        {"* A * B : 4 2", "A X B", "B A"},
        {"A : 1 1", "A B", "A B"},  // A alone does not match A B
        {"A * : 2 1", "A B", "B A"},
        {"A * : 2 1 2", "A", "A"},      // a trailing star may cover nothing
        {"* B * : 1", "A B C B", "A"},  // the first star takes no more than it must
        {"* B * : 3", "A B B", "B"},
        {"* B * : 3 1 X", "A B C D", "C D A X"},
        {"* : X 1 1", "A B", "X A B A B"},
        {"* : X", "", "X"},  // a node without daughters: a star matches it,
        {": X", "", "X"},    // and so does the empty guard,
        {"A : X", "", ""},   // but nothing else
        {": X", "A", "A"},
        {"A : 7 0 1", "A", "A"},  // elements beyond the guard copy nothing
        {"A[sg] B : 2 1", "A[pl] B", "A[pl] B"},
        {"A[sg] B : 2 1", "A[sg] B", "B A[sg]"},
        {"A[NUMBER] * : 2", "A[pl] B C", "B C"},
        {"A[sg, TENSE] : X", "A[sg]", "A[sg]"},  // every item of the list must be met
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alternative + std::string(" over ") + c.daughters);
        reset_syntax();
        load(std::string("T = TRANSFORMATION ") + c.alternative + " ; %");
        ASSERT_NE(find_transf("T"), nullptr);
        treenode* s = parent_of(c.daughters);
        attach(s, find_transf("T"));
        transform(s);
        EXPECT_EQ(described(s), c.result);
        EXPECT_FALSE(s->transformation);
        purge_tree(s);
    }
    // ROOT is the finished tree while the root table's trees are made, and the one taken
    // before the transformations while ROOT itself is transformed.
    root = node("FINISHED");
    oldroot = node("BEFORE");
    for (const auto& [state, name] : {std::pair{0, "BEFORE"}, std::pair{1, "FINISHED"}}) {
        treestate = state;
        treenode* n = parent_of("A");
        clear_guard_array();
        apply_rule(n, " ROOT 1");
        EXPECT_EQ(described(n), name);
        purge_tree(n);
    }
    treestate = 0;

    // The guard table after a match: where each element began, none after the last.
    reset_syntax();
    load("T = TRANSFORMATION * A * B : 1 ; %");
    treenode* s = parent_of("A X B");
    const treenode* a = s->son;
    clear_guard_array();
    ASSERT_EQ(match_guard(s->son, find_transf("T")->first->guard.c_str()), 1);
    const std::vector<const treenode*> want = {nullptr, a, a, a->sibling, a->sibling->sibling,
                                               nullptr};
    EXPECT_EQ(std::vector<const treenode*>(guard_array.begin(), guard_array.begin() + 6), want);
    purge_tree(s);
}

TEST_F(SyntaxTransTest, PrioritiesAndAttachmentOrderDecideWhichRunsFirst) {
    // Each transformation's guard holds only on the daughters A B, so whichever runs first
    // decides the result: P swaps them, Q and R add a daughter.
    load(
        "P = TRANSFORMATION PRIORITY 3 A B : 2 1 ; %\n"
        "Q = TRANSFORMATION PRIORITY 1 A B : 1 2 C ; %\n"
        "R = TRANSFORMATION PRIORITY 1 A B : 1 2 D ; %\n");
    const std::vector<std::pair<std::vector<const char*>, const char*>> cases = {
        {{"P", "Q"}, "A B C"},                         // 3 then 1: Q first
        {{"Q", "P"}, "A B C"}, {{"R", "Q"}, "A B D"},  // equal: as attached
        {{"Q", "R"}, "A B C"}, {{"P"}, "B A"},
    };
    for (const auto& [attached, result] : cases) {
        treenode* s = parent_of("A B");
        for (const char* name : attached)
            attach(s, find_transf(name));
        transform(s);
        EXPECT_EQ(described(s), result) << attached.front();
        purge_tree(s);
    }
}

TEST_F(SyntaxTransTest, RightHandSidesCopyRemoveAndReplaceAttributes) {
    // The first daughter has a daughter C that shares its attributes, as agreement leaves them.
    struct Case {
        const char* alternative;
        const char* daughters;
        const char* result;
        const char* below;    // C's attributes afterwards
        bool shared = false;  // A and C hold B's very number afterwards
    };
    const Case cases[] = {
        {"* : 1[-TENSE]", "A[past] B[pres] B[sg,past]", "A[past] B[pres] B[sg]", "past"},
        {"A B : 1[2!NUMBER] 2", "A[sg] B[pl]", "A[pl] B[pl]", "pl", true},
        {"A : 1[pl]", "A[sg]", "A[pl]", "pl"},
        {"A * : 1[pl.past]", "A[sg] B[sg]", "A[sg, pl.past]", "sg"},  // several segments: added
        {"A B : 1[2!TENSE]", "A[sg] B[sg]", "A[sg]", "sg"},           // nothing to copy
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alternative);
        reset_syntax();
        load(std::string("T = TRANSFORMATION ") + c.alternative + " ; %");
        treenode* s = parent_of(c.daughters);
        s->son->son = makenode("C");
        s->son->son->attributes = duplicate_attr_list(s->son->attributes.get());
        const int second = s->son->sibling ? s->son->sibling->attributes->first->index : -1;
        attach(s, find_transf("T"));
        transform(s);
        EXPECT_EQ(described(s), c.result);
        ASSERT_NE(s->son->son, nullptr);
        EXPECT_EQ(print_attr_list(s->son->son->attributes.get()), c.below);
        if (c.shared) {
            EXPECT_EQ(s->son->attributes->first->index, second);
            EXPECT_EQ(s->son->son->attributes->first->index, second);
        }
        purge_tree(s);
    }
}

TEST_F(SyntaxTransTest, ANewLeafIsLookedUpWithTheOthersAndRootIsCopied) {
    read_terminals(file("t.tm", "DET N DO_AUX").c_str());
    initdict();
    readdict(file("t.lex",
                  "\"the\" | DET | | 10 | #1 |\n\"dog\" | N | | 10 | #1 |\n"
                  "\"does\" | DO_AUX | NUMBER | 10 | #1 |\n")
                 .c_str());
    load(
        "ROOT = ASK:CL % CL = DET N %\n"
        "ASK = TRANSFORMATION DET N : DO_AUX[sg] 1 2 ; %\n"
        "ANSWER = AGAIN:X % X = N %\n"
        "AGAIN = TRANSFORMATION N : ROOT 1 ; %\n");
    ASSERT_TRUE(messages("ERROR").empty()) << messages("ERROR")[0];
    interpret();
    ASSERT_NE(genSentences[2], nullptr);
    // ANSWER's X copies the ROOT tree, which is not transformed itself while the root table's
    // trees are made; the copy carries ASK and is transformed as part of ANSWER.
    EXPECT_EQ(*genSentences[2], "does the dog dog");
    EXPECT_EQ(shape(rootPtrs[2]->son), "X(ROOT(CL(DO_AUX DET N)) N)");
    EXPECT_EQ(shape(root), "ROOT(CL(DET N))");
    reset_syntax();
    load("ROOT = ASK:CL % CL = DET N %\nASK = TRANSFORMATION DET N : DO_AUX[sg] 1 2 ; %\n");
    interpret();
    ASSERT_NE(genSentences[0], nullptr);
    EXPECT_EQ(*genSentences[0], "does the dog");
    const treenode* aux = root->son->son;
    ASSERT_NE(aux->dictionary, nullptr);
    EXPECT_EQ(aux->dictionary->class_, "DO_AUX");
    EXPECT_EQ(print_attr_list(aux->attributes.get()), "sg");
    EXPECT_EQ(shape(oldroot), "ROOT(CL(DET N))");  // the copy taken before transforming
    EXPECT_TRUE(messages("ERROR").empty());
}

TEST_F(SyntaxTransTest, RunawayTransformationsEndAndEmptyElementsWithAttachmentsAreReported) {
    // Each application makes two new leaves that carry it again.
    load("GROW = TRANSFORMATION * : GROW:X GROW:X ; %\nX = TRANSFORMATION A : 2[sg] 1 ; %\n");
    treenode* s = parent_of("A B");
    attach(s, find_transf("GROW"));
    const long before = nodepool::in_use();
    transform(s);
    EXPECT_EQ(messages("transformation terminated").size(), 1U);
    EXPECT_LT(nodepool::in_use() - before, kTransformNodes * 2);
    purge_tree(s);
    s = parent_of("A");
    attach(s, find_transf("X"));
    transform(s);
    EXPECT_EQ(described(s), "A");
    EXPECT_EQ(messages("attachments of an element that copies nothing").size(), 1U);
    purge_tree(s);
}
