// Semantic transformations: reading them, the top level of an expression by valences, matching
// by the whole expression or its head, the clauses written into core file 14, and reanalysis.
#include <string>
#include <tuple>
#include <vector>

#include "gento.hpp"
#include "report_fixture.hpp"

class SemTest : public ReportTest {
  protected:
    void SetUp() override {
        ReportTest::SetUp();
        readattr(file("sem.att",
                      "PRED ( 3 head , 2 see , 1 small , a , b , c , child , dog ) "
                      "ROLE ( mod ) %")
                     .c_str());
    }
    void transformations(const std::string& text) {
        curfile.assign(file("sem.smt", text));
        qsmtransf();
    }
    // {normalised expression, top level}, or {"", ""} when top_level failed.
    static std::pair<std::string, std::string> top(const std::string& text) {
        sem_expr e;
        e.original = text;
        if (top_level(e) != 0) return {};
        return {e.original, e.top_level_orig};
    }
    // The first prototype of the transformation that matches, or "none".
    static std::string matched(const std::string& text) {
        sem_expr e;
        e.original = text;
        if (top_level(e) != 0) return "error";
        const sem_trans* t = sem_match(e);
        return t == nullptr ? "none" : t->first->prototype;
    }
    // The lines that `action` writes into core file 14, each ended by "\n".
    template <class Action>
    static std::string core14(Action action) {
        const std::size_t before = lines_of(kPreselectCore).size();
        action();
        std::string out;
        for (std::size_t i = before; i < lines_of(kPreselectCore).size(); ++i)
            out += lines_of(kPreselectCore)[i] + "\n";
        return out;
    }
};

TEST_F(SemTest, TopLevelFollowsTheValences) {
    // "expression/normalised/top level"; without enough arguments, or one that is no
    // attribute, the expression is refused.
    for (const std::string& c :
         split("head(a, b, small(c))/head.a.b.small.c/head|a|b|small.c|;foo(a, b)/foo.a.b/foo|;"
               "see(child[x, y], 0)/see.child[x, y].0/see|child[x, y]|0|;"
               "see(child, dog, a)/see.child.dog.a/see|child|dog|;see(child)//;"
               "see(child, blorp)//;head(a, b, small)//",
               ';')) {
        const std::vector<std::string> f = split(c, '/');
        EXPECT_EQ(top(f[0]), std::pair(f[1], f[2])) << c;
    }
    EXPECT_EQ(count("Attribute not recognized or invalid valence"), 3);
}

TEST_F(SemTest, MatchingByWholeExpressionOrHeadNewestFirst) {
    transformations(
        "see(0, dog) : one %\nsee ( child , 0 ) : two %\n$ small : three %\n"
        "see(PRED, b) : four %\n");
    // "expression=first prototype of the transformation found": the later transformation hides
    // the earlier one; an empty slot in the expression matches too; a type in the pattern stands
    // for its values; arguments beyond the valence still count for the match.
    for (const std::string& c : split("see(child, dog)=two;see(a, dog)=one;see(0, b)=four;"
                                      "see(c, b)=four;small(c)=three;small=three;see(a, b, c)=none;"
                                      "see(a, c)=none;head(a, b, c)=none",
                                      ';'))
        EXPECT_EQ(matched(split(c, '=')[0]), split(c, '=')[1]) << c;
    EXPECT_EQ(sem_trans_list->next->next->next->name, "see.0.dog");
}

TEST_F(SemTest, AnalysisWritesARuleThatTheSyntaxReaderTakes) {
    transformations(
        "$ head : #2:NOUN[#2] , &#4 , #3:NOUN[#3] %\n$ small : mod:ADJ[#2] , "
        "@2:ADJ[mod] %\n$ see : &#2 %\n$ child : &#1 %\n$ dog : &#1 , &#1 %\n");
    EXPECT_EQ(core14([] { analyse_sem_expr("head(a, b, small(c))"); }),
              "PRESELECT = \na:NOUN[a];\nmod:ADJ[c];\nb:NOUN[b]\n%\n");
    // A reanalysis as the last prototype ends the rule from within.
    EXPECT_EQ(core14([] { analyse_sem_expr("small(c[p, q])"); }),
              "PRESELECT = \nmod:ADJ[c[p, q]];\np:ADJ[mod];\nq:ADJ[mod]\n%\n");
    EXPECT_EQ(core14([] { analyse_sem_expr("see(child)"); }),
              "There was a problem processing the semantic expression\n");
    EXPECT_EQ(core14([] { analyse_sem_expr("cat"); }), "No match found for semantic expression\n");
    // A reanalysis that leads back to itself is cut off.
    EXPECT_TRUE(core14([] { analyse_sem_expr("child"); }).starts_with("PRESELECT = \n"));
    EXPECT_EQ(count("Semantic expression reanalysed too deeply"), 1);
    // One that branches at every step stops after a bounded number of them, reported once.
    EXPECT_EQ(core14([] { analyse_sem_expr("dog"); }), "PRESELECT = \n");
    EXPECT_EQ(count("Semantic expression reanalysed too"), 2);
}

TEST_F(SemTest, ReaderReportsAndDropsWhatItCannotUse) {
    std::string name;
    for (int i = 0; i < 1100; ++i)
        name += "n.";
    transformations(": x %\nsee(0, dog) : a:N[x, y] , ( z , b:N %\n$ " + name +
                    " : z %\n$ small : t:N/\"a b\" , u{comment}:N");
    expect_once({"Encountered char ':' instead of semantic transformation.", " is too long",
                 "Encountered char '(' instead of preselection prototype."});
    // Read: the last one (without its '%'), then see(0, dog) with the prototype before the fault.
    std::vector<std::string> read;
    for (const sem_trans* t = sem_trans_list.get(); t != nullptr; t = t->next.get()) {
        read.push_back(std::to_string(t->form) + " " + t->name);
        for (const sem_prot* p = t->first.get(); p != nullptr; p = p->next.get())
            read.back() += " / " + p->prototype;
    }
    EXPECT_EQ(read,
              (std::vector<std::string>{"2 small / t:N/\"a b\" / u:N", "1 see.0.dog / a:N[x,y]"}));
    // Reading another file replaces them all.
    transformations("$ see : z %");
    EXPECT_EQ(std::tuple(sem_trans_list->name, sem_trans_list->next == nullptr),
              std::tuple("see", true));
}
