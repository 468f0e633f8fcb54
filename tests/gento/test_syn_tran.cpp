// Transformation bodies as read, the transformation loop over a tree, and FLATTEN.
#include <algorithm>
#include <string>
#include <vector>

#include "report_fixture.hpp"
#include "syn_builtIn.hpp"
#include "syn_globals.hpp"
#include "syn_read.hpp"
#include "syn_tran.hpp"

class SyntaxTransTest : public ReportTest {
  protected:
    void SetUp() override {
        ReportTest::SetUp();
        readattr(file("attrs", "NUMBER ( sg , pl ) TENSE ( past , pres ) %").c_str());
    }
    void load(const std::string& content) { read_syntax(file("syn", content).c_str()); }
    // A node S whose daughters are written as "A B[sg,past] C": names with optional compounds.
    static treenode* parent_of(const std::string& spec) {
        treenode* s = node("S");
        treenode** slot = &s->son;
        for (const std::string& item : split(spec, ' ')) {
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
    // The daughters of S after the named transformations (space-separated) ran on it; `rules`,
    // when given, replace the loaded ones, and `inner` gives the first daughter daughters of its
    // own.
    std::string run(const std::vector<std::string>& rules, const std::string& names,
                    const std::string& daughters, const std::string& inner = "") {
        if (!rules.empty()) reset_syntax();
        for (const std::string& r : rules)
            load(r);
        treenode* s = parent_of(daughters);
        if (!inner.empty()) {
            treenode* sons = parent_of(inner);
            std::swap(s->son->son, sons->son);
            purge_tree(sons);
        }
        for (const std::string& name : split(names, ' ')) {
            EXPECT_NE(find_transf(name), nullptr) << name;
            attach(s, find_transf(name));
        }
        transform(s);
        EXPECT_FALSE(s->transformation);
        const std::string out = described(s);
        purge_tree(s);
        return out;
    }
};

TEST_F(SyntaxTransTest, TransformationsAndTheirFaultsAreRead) {
    // A '%' right after a right-hand side closes the alternative, so T runs on into the text
    // that follows and is refused there; the rule after that is read normally.
    load(
        "SWAP = TRANSFORMATION PRIORITY 3 * A * B [sg] : 4 2[-TENSE] DO_AUX[2!NUMBER] ; "
        "A : ROOT /\"x\" ; %\n"
        "P0 = TRANSFORMATION PRIORITY 0 : ; %\nPN = TRANSFORMATION PRIORITY : ; %\n"
        "BIG = TRANSFORMATION PRIORITY 5000 : ; %\nBAD = TRANSFORMATION A B X ; %\n"
        "T = TRANSFORMATION A : B %\nLOST = X %\nKEPT = Y %\n");
    const transformation* swap = find_transf("SWAP");
    ASSERT_NE(swap, nullptr);
    EXPECT_EQ(
        std::tuple(swap->priority, printable_code(swap->first->guard),
                   printable_code(swap->first->rule), printable_code(swap->first->next->rule)),
        std::tuple(3, "* A* B[sg]", " 4 2[-TENSE] DO_AUX[!{2}NUMBER]", " ROOT\"x\""));
    // Priorities: 0 or none is 5, too high is the highest.
    EXPECT_EQ(std::tuple(find_transf("P0")->priority, find_transf("PN")->priority,
                         find_transf("BIG")->priority),
              std::tuple(5, 5, kMaxPriority));
    EXPECT_EQ(std::tuple(find_transf("BAD"), find_transf("T"), getrule("LOST")),
              std::tuple(nullptr, nullptr, nullptr));
    expect_once(
        {"ERROR Syntax Input BAD Expecting Colon.", "ERROR Syntax Input T Expecting Colon."});
    EXPECT_EQ(std::string(getrule("KEPT")), "\x07 Y");
}

TEST_F(SyntaxTransTest, GuardsMatchTheWholeDaughterSequenceWithLazyStars) {
    // "guard : right-hand side|daughters|the daughters afterwards"
    // A alone does not match A B; a trailing star may cover nothing; the first star takes no
    // more than it must; a node without daughters matches a star and the empty guard only;
    // elements beyond the guard copy nothing; every item of an attribute list must be met.
    const char* const cases =
        "* A * B : 4 2|A X B|B A;A : 1 1|A B|A B;A * : 2 1 2|A|A;* B * : 1|A B C B|A;"
        "* B * : 3 1 X|A B C D|C D A X;* : X 1 1|A B|X A B A B;* : X||X;: X||X;A : X||;: X|A|A;"
        "A : 7 0 1|A|A;A[sg] B : 2 1|A[pl] B|A[pl] B;A[sg] B : 2 1|A[sg] B|B A[sg];"
        "A[NUMBER] * : 2|A[pl] B C|B C;A[sg, TENSE] : X|A[sg]|A[sg]";
    for (const std::string& c : split(cases, ';')) {
        const std::vector<std::string> f = split(c, '|');
        EXPECT_EQ(run({"T = TRANSFORMATION " + f[0] + " ; %"}, "T", f[1]), f[2]) << c;
    }
}

TEST_F(SyntaxTransTest, PrioritiesAndAttachmentOrderDecideWhichRunsFirst) {
    // Each guard holds only on the daughters A B, so whichever runs first decides the result:
    // P swaps them, Q and R add a daughter. FLATTEN (priority 10) runs after F (priority 5),
    // whose guard holds only before the tree is flat.
    const std::vector<std::string> rules = {
        "P = TRANSFORMATION PRIORITY 3 A B : 2 1 ; % Q = TRANSFORMATION PRIORITY 1 A B : 1 2 C ; "
        "%\n"
        "R = TRANSFORMATION PRIORITY 1 A B : 1 2 D ; % F = TRANSFORMATION PRIORITY 5 NP V : 2 1 ; "
        "%"};
    // "attached|daughters|the first one's daughters|result": 3 then 1, Q first; of equal
    // priority as attached.
    for (const std::string& c : split("P Q|A B||A B C;Q P|A B||A B C;R Q|A B||A B D;Q R|A B||A B C;"
                                      "P|A B||B A;FLATTEN F|NP V|A B|V A B;FLATTEN|NP V|A B|A B V",
                                      ';')) {
        const std::vector<std::string> f = split(c, '|');
        EXPECT_EQ(run(rules, f[0], f[1], f[2]), f[3]) << c;
    }
}

TEST_F(SyntaxTransTest, RightHandSidesCopyRemoveAndReplaceAttributes) {
    // The first daughter has a daughter C that shares its attributes, as agreement leaves them.
    // {alternative, daughters, result, C's attributes afterwards, A and C hold B's number}
    const std::tuple<const char*, const char*, const char*, const char*, bool> cases[] = {
        {"* : 1[-TENSE]", "A[past] B[pres] B[sg,past]", "A[past] B[pres] B[sg]", "past", false},
        {"A B : 1[2!NUMBER] 2", "A[sg] B[pl]", "A[pl] B[pl]", "pl", true},
        {"A : 1[pl]", "A[sg]", "A[pl]", "pl", false},
        {"A * : 1[pl.past]", "A[sg] B[sg]", "A[sg, pl.past]", "sg", false},  // several segments
        {"A B : 1[2!TENSE]", "A[sg] B[sg]", "A[sg]", "sg", false},           // nothing to copy
    };
    for (const auto& [alternative, daughters, result, below, shared] : cases) {
        SCOPED_TRACE(alternative);
        reset_syntax();
        load(std::string("T = TRANSFORMATION ") + alternative + " ; %");
        treenode* s = parent_of(daughters);
        s->son->son = makenode("C");
        s->son->son->attributes = duplicate_attr_list(s->son->attributes.get());
        const int second = s->son->sibling ? s->son->sibling->attributes->first->index : -1;
        attach(s, find_transf("T"));
        transform(s);
        EXPECT_EQ(described(s), result);
        ASSERT_NE(s->son->son, nullptr);
        EXPECT_EQ(print_attr_list(s->son->son->attributes.get()), below);
        if (shared) {
            EXPECT_EQ(
                std::tuple(s->son->attributes->first->index, s->son->son->attributes->first->index),
                std::tuple(second, second));
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
    const std::string ask =
        "ROOT = ASK:CL % CL = DET N %\n"
        "ASK = TRANSFORMATION DET N : DO_AUX[sg] 1 2 ; %\n";
    load(ask + "ANSWER = AGAIN:X % X = N %\nAGAIN = TRANSFORMATION N : ROOT 1 ; %\n");
    interpret();
    // ANSWER's X copies the ROOT tree, which is not transformed itself while the root table's
    // trees are made; the copy carries ASK and is transformed as part of ANSWER.
    ASSERT_NE(genSentences[2], nullptr);
    EXPECT_EQ(std::tuple(*genSentences[2], shape(rootPtrs[2]->son), shape(root)),
              std::tuple("does the dog dog", "X(ROOT(CL(DO_AUX DET N)) N)", "ROOT(CL(DET N))"));
    reset_syntax();
    load(ask);
    interpret();
    ASSERT_NE(genSentences[0], nullptr);
    // The new leaf is looked up with its attributes; the copy taken before transforming stays.
    EXPECT_EQ(std::tuple(*genSentences[0], print_attr_list(root->son->son->attributes.get()),
                         shape(oldroot)),
              std::tuple("does the dog", "sg", "ROOT(CL(DET N))"));
    EXPECT_TRUE(messages("ERROR").empty());
}

TEST_F(SyntaxTransTest, RunawayTransformationsEndAndEmptyElementsWithAttachmentsAreReported) {
    // Each application makes two new leaves that carry it again.
    load("GROW = TRANSFORMATION * : GROW:X GROW:X ; %\nX = TRANSFORMATION A : 2[sg] 1 ; %\n");
    treenode* s = parent_of("A B");
    attach(s, find_transf("GROW"));
    const long before = nodepool::in_use();
    transform(s);
    expect_once({"transformation terminated"});
    EXPECT_LT(nodepool::in_use() - before, kTransformNodes * 2);
    purge_tree(s);
    EXPECT_EQ(run({}, "X", "A"), "A");
    expect_once({"attachments of an element that copies nothing"});
}
