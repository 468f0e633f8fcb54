// Reading syntax files: the coded text of each construct, variables and their visibility, the
// two layers, and errors dropping exactly their rule.
#include <string>
#include <vector>

#include "gento_fixture.hpp"
#include "syn_builtIn.hpp"
#include "syn_globals.hpp"
#include "syn_read.hpp"
#include "syn_tran.hpp"

class SyntaxTest : public GentoTest {
  protected:
    void SetUp() override {
        GentoTest::SetUp();
        readattr(file("attrs",
                      "NUMBER ( sg , pl ) PERSON ( first , second , third ) "
                      "GENDER ( masc , fem ) %")
                     .c_str());
    }
    void load(const std::string& content) { read_syntax(file("syn", content).c_str()); }
    static std::string rule(const std::string& name) {
        const char* r = getrule(name);
        return r == nullptr ? std::string("<none>") : std::string(r);
    }
    // Expected coded text: {n} stands for the byte n.
    static std::string code(const std::string& s) {
        std::string out;
        for (std::size_t i = 0; i < s.size(); ++i) {
            const std::size_t close = s.find('}', i);
            if (s[i] == '{' && close != std::string::npos) {
                out += static_cast<char>(std::stoi(s.substr(i + 1, close - i - 1)));
                i = close;
            } else {
                out += s[i];
            }
        }
        return out;
    }
    static std::vector<std::string> errors() { return messages("ERROR"); }
};

TEST_F(SyntaxTest, TheFourExampleRulesAreCodedAsDocumented) {
    load(
        "S = NP VP %\n"
        "A = (B | D | E) %\n"
        "S2 = CHOOSE n : NUMBER ; NP[n] VP[n] %\n"
        "A2 = < sg : B > D %\n");
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(rule("S"), code("{7} NP VP"));
    EXPECT_EQ(rule("A"), code("{7}({3}| B| D| E)"));
    EXPECT_EQ(rule("S2"), code("{7}{6}{1}NUMBER NP[{255}{1}] VP[{255}{1}]"));
    EXPECT_EQ(rule("A2"), code("<sg:{7} B>{7} D"));
    EXPECT_EQ(rule("B"), "<none>");
    EXPECT_EQ(q_stat, 0);
    EXPECT_EQ(messages("Finished reading Syntax Input from file").size(), 1U);
}

TEST_F(SyntaxTest, ChoicesNestAndCountTheirAlternatives) {
    load(
        "A = X (B (C | D) | E (F | G | H | I)) Y %\n"
        "V = INHERIT a, b : NUMBER : PERSON ; CHOOSE c : GENDER.masc ; N[a.b, c] %\n");
    EXPECT_TRUE(errors().empty());
    EXPECT_EQ(rule("A"), code("{7} X({2}| B({2}| C| D)| E({4}| F| G| H| I)) Y"));
    EXPECT_EQ(rule("V"),
              code("{7}{5}{1}NUMBER{5}{2}NUMBER{6}{3}GENDER.masc N[{255}{1}.{255}{2},{255}"
                   "{3}]"));
    // ROOT sets the status the caller tests for a starting rule.
    load("ROOT = S %");
    EXPECT_EQ(q_stat, 2);
}

TEST_F(SyntaxTest, AttachmentsAreCodedAfterTheirDaughter) {
    load(
        "A = T1:T2:N[sg, _pre_ PERSON] /2 = x, \"y z\" /_pre_ NUMBER.pl /\"dog*\" /+15 /$3 "
        "/@4:TAG[!sg] /@5 M %\n"
        "T1 = TRANSFORMATION % T2 = TRANSFORMATION %\n");
    EXPECT_EQ(errors(), std::vector<std::string>{});
    EXPECT_EQ(rule("A"), code("{7} N{8}T1{8}T2[sg,{14}PERSON]/{2}=x,\"y z\"{14}NUMBER.pl\"dog*\""
                              "{19}15{19}-3@{4}:TAG[!sg]@{5} M"));
}

TEST_F(SyntaxTest, SelectClausesAndGuardsWithVariables) {
    load(
        "A = CHOOSE n : NUMBER ; SELECT s : PERSON _pre_ NUMBER ; SELECT t : _pre_ GENDER ; "
        "< sg , (pl | NUMBER) _is_ n : B[s] > C[t] %\n");
    EXPECT_TRUE(errors().empty()) << (errors().empty() ? "" : errors()[0]);
    EXPECT_EQ(rule("A"), code("{7}{6}{1}NUMBER{16}{2}PERSON{14}NUMBER{16}{3}{14}GENDER"
                              "<sg,(pl|NUMBER){17}{255}{1}:{7} B[{255}{2}]>{7} C[{255}{3}]"));
}

TEST_F(SyntaxTest, VariablesOfOneGuardedAlternativeAreNotSeenInTheNext) {
    // The variable chosen before the first guard is seen in every alternative.
    load(
        "A = CHOOSE x : NUMBER ; < sg : CHOOSE y : PERSON ; B[x, y] < pl : C[x] %\n"
        "D = (CHOOSE x : NUMBER ; B[x] | E[x]) %\n"
        "F = < sg : CHOOSE y : PERSON ; B[y] > C[y] %\n"
        "G = H %\n");
    EXPECT_EQ(rule("A"), code("{7}{6}{1}NUMBER<sg:{7}{6}{2}PERSON B[{255}{1},{255}{2}]<pl:{7} "
                              "C[{255}{1}]"));
    EXPECT_EQ(rule("D"), "<none>");
    EXPECT_EQ(rule("F"), "<none>");
    EXPECT_EQ(rule("G"), code("{7} H"));
    const auto e = errors();
    ASSERT_EQ(e.size(), 2U);
    EXPECT_EQ(e[0], "ERROR Syntax Input D Unknown attribute x ");
    EXPECT_EQ(e[1], "ERROR Syntax Input F Unknown attribute y ");
}

TEST_F(SyntaxTest, LayersAndTheLaterRuleOfOneName) {
    load("NP = DET N % NP = PRON % VP = V %");
    EXPECT_EQ(rule("NP"), code("{7} PRON"));
    load("NP = NAME % X = TRANSFORMATION A : A ;");
    EXPECT_EQ(rule("NP"), code("{7} NAME"));
    EXPECT_EQ(rule("VP"), code("{7} V"));
    ASSERT_NE(find_transf("X"), nullptr);
    EXPECT_EQ(find_transf("X")->first->guard, " A");
    EXPECT_EQ(find_transf("X")->first->rule, " A");
    dump_syntax();  // the upper layer only
    EXPECT_EQ(rule("NP"), code("{7} PRON"));
    EXPECT_EQ(find_transf("X"), nullptr);
    ASSERT_NE(find_transf("FLATTEN"), nullptr);
    EXPECT_EQ(find_transf("FLATTEN")->priority, 10);
    dump_syntax();
    EXPECT_EQ(rule("NP"), "<none>");
    EXPECT_FALSE(syntax_stack);
    // The built-ins stay below every layer, and are put there once.
    ASSERT_TRUE(trans_stack);
    EXPECT_EQ(trans_stack->name, "FLATTEN");
    EXPECT_FALSE(trans_stack->next);
    dump_syntax();
    EXPECT_NE(find_transf("FLATTEN"), nullptr);
    load("A = B %");
    load("C = D %");
    int flattens = 0;
    for (const transformation* t = trans_stack.get(); t != nullptr; t = t->next.get())
        flattens += t->name == "FLATTEN" ? 1 : 0;
    EXPECT_EQ(flattens, 1);
    remove_built_in();
    EXPECT_EQ(find_transf("FLATTEN"), nullptr);
    EXPECT_EQ(gInMemory, 0);
}

TEST_F(SyntaxTest, AnErrorDropsOnlyItsRule) {
    load(
        "A = B %\n"
        "C = D | E %\n"
        "F = G %\n"
        "H = I ) J %\n"
        "K = (L %\n"
        "M = N /x = 1 %\n"
        "O = P /3 q %\n"
        "Q = R /3 = , s %\n"
        "S = T:: %\n"
        "U = V[sg %\n"
        "W = X[!sg] Y[-sg] %\n"
        "Z = Z1 /@ %\n"
        "Z2 = Z3 /@2: %\n"
        "Z4 = Z5 /? %\n"
        "Z6 = Z7[/.sg] %\n"
        "Z61 = Z7[sg pl] %\n"
        "Z62 = Z7[sg.] %\n"
        "Z8 = < sg ; : Z9 %\n"
        "LAST = OK %\n"
        "Y1 = Y2 /\"open %\n");
    EXPECT_EQ(rule("A"), code("{7} B"));
    EXPECT_EQ(rule("F"), code("{7} G"));
    EXPECT_EQ(rule("LAST"), code("{7} OK"));
    for (const char* dropped : {"C", "H", "K", "M", "O", "Q", "S", "U", "W", "Z", "Z2", "Z4", "Z6",
                                "Z61", "Z62", "Z8", "Y1"}) {
        EXPECT_EQ(rule(dropped), "<none>") << dropped;
    }
    const std::vector<std::string> want = {
        "ERROR Syntax Input C | appears outside parentheses  ",
        "ERROR Syntax Input H Unmatched )  ",
        "ERROR Syntax Input K There are unmatched ('s  ",
        "ERROR Syntax Input M Missing field number in restriction.  ",
        "ERROR Syntax Input O Expecting equals ['='].  ",
        "ERROR Syntax Input Q Spurious comma in restriction.  ",
        "ERROR Syntax Input S Colon followed by char ':'  ",
        "ERROR Syntax Input S Improper token:  char ':' ",
        "ERROR Syntax Input U Missing ] after attribute list:  token: % ",
        "ERROR Syntax Input W ! not permitted in this context.  ",
        "ERROR Syntax Input W MINUS not permitted in this context.  ",
        "ERROR Syntax Input Z Missing field number in indirection.  ",
        "ERROR Syntax Input Z2 Expecting tag name.  ",
        "ERROR Syntax Input Z4 Improper token follows / :  char '?' ",
        "ERROR Syntax Input Z6 Unexpected char '.' in attribute  ",
        "ERROR Syntax Input Z61 Unexpected identifier: pl in attribute  ",
        "ERROR Syntax Input Z62 Missing compound attribute.  ",
        "ERROR Syntax Input Z8 Encountered char ';' instead of colon.  ",
        "ERROR Syntax Input Y1 Unmatched Quote.  ",
    };
    EXPECT_EQ(errors(), want);
}

TEST_F(SyntaxTest, RuleNamesAndEqualsSigns) {
    load("= A = B % S C % rule X = Y %");
    EXPECT_EQ(rule("A"), code("{7} B"));
    EXPECT_EQ(rule("S"), code("{7} C"));
    EXPECT_EQ(rule("X"), code("{7} Y"));
    const std::vector<std::string> want = {
        "ERROR Syntax Input  Encountered char '=' instead of rule name.  ",
        "ERROR Syntax Input S Rule name must be followed by =.   ",
        "ERROR Syntax Input S Encountered token: RULE instead of rule name.  ",
    };
    EXPECT_EQ(errors(), want);
    EXPECT_TRUE(file_operation.empty());
    EXPECT_TRUE(file_position.empty());
}

TEST_F(SyntaxTest, VariableAndNestingLimits) {
    std::string many = "A = CHOOSE";
    for (int i = 1; i <= 26; ++i)
        many += " v" + std::to_string(i) + (i < 26 ? "," : "");
    many += " : NUMBER ; B % C = D %\n";
    std::string deep = "E = " + std::string(20, '(') + "F" + std::string(20, ')') + " %\n";
    std::string ok = "G = " + std::string(19, '(') + "H" + std::string(19, ')') + " %\n";
    load(many + deep + ok);
    EXPECT_EQ(rule("A"), "<none>");
    EXPECT_EQ(rule("C"), code("{7} D"));
    EXPECT_EQ(rule("E"), "<none>");
    EXPECT_NE(rule("G"), "<none>");
    EXPECT_EQ(messages("Too many variables active.  v26 ").size(), 1U);
    EXPECT_EQ(messages("Choices Nested too deep.").size(), 1U);
}

TEST_F(SyntaxTest, OverlongRulesAreRefusedWithAMessage) {
    // One alternative beyond the alternative limit, and a rule whose alternatives together
    // exceed the whole-rule limit: both are refused, their neighbours kept.
    std::string long_alt = "A =";
    for (int i = 0; i < 2100; ++i)
        long_alt += " NAME" + std::to_string(i % 10);
    std::string long_rule = "B =";
    for (int i = 0; i < 3; ++i) {
        long_rule += " >";
        for (int j = 0; j < 500; ++j)
            long_rule += " WORD" + std::to_string(j % 10);
    }
    load(long_alt + " %\nC = D %\n" + long_rule + " %\nE = F %\n");
    EXPECT_EQ(rule("A"), "<none>");
    EXPECT_EQ(rule("B"), "<none>");
    EXPECT_EQ(rule("C"), code("{7} D"));
    EXPECT_EQ(rule("E"), code("{7} F"));
    EXPECT_EQ(messages("Rule too long.").size(), 2U);
    EXPECT_EQ(messages("ERROR Syntax Input A Rule too long.").size(), 1U);
    EXPECT_EQ(messages("ERROR Syntax Input B Rule too long.").size(), 1U);
}

TEST_F(SyntaxTest, GetidentTakesOneRunOfIdentifierCharacters) {
    const std::string s = "NP_2%x VP";
    const char* p = s.c_str();
    EXPECT_EQ(getident(p), "NP_2%x");
    EXPECT_EQ(*p, ' ');
    EXPECT_EQ(getident(p), "");
    ++p;
    EXPECT_EQ(getident(p), "VP");
    EXPECT_EQ(*p, '\0');
}

TEST_F(SyntaxTest, RestrictionsTagsAndFrequencyValues) {
    load(
        "A = B /2 = x y /3=-x,\"q\" /_pre_ NUMBER/1 = z %\n"
        "C = D /+ (E) %\n"
        "H = I /200 = x %\n"
        "J = K /@128 %\n");
    EXPECT_EQ(rule("A"), code("{7} B/{2}=x y/{3}=-x,\"q\"{14}NUMBER/{1}=z"));
    // A bad frequency value is reported but costs the rule nothing.
    EXPECT_EQ(rule("C"), code("{7} D({1}| E)"));
    EXPECT_EQ(messages("ERROR Syntax Input C Improper token follows + or $:  char '(' ").size(),
              1U);
    // Field bytes above 127 would be read back as negative numbers.
    EXPECT_EQ(rule("H"), "<none>");
    EXPECT_EQ(rule("J"), "<none>");
    EXPECT_EQ(messages("ERROR Syntax Input H Missing field number in restriction.").size(), 1U);
    EXPECT_EQ(messages("ERROR Syntax Input J Missing field number in indirection.").size(), 1U);
}

TEST_F(SyntaxTest, StrayTokensChoiceCountsAndTheReadingStatus) {
    std::string wide = "W = (";
    for (int i = 0; i < kMaxChoiceAlternatives + 1; ++i)
        wide += std::string(i > 0 ? " | " : "") + "X";
    load(
        "A = B ; C RULE %\n"
        "T = TRANSFORMATION A : 1[2NUMBER] ; %\n" +
        wide + ") %\n%include \"missing\"\nROOT = S %\n");
    EXPECT_EQ(rule("A"), "<none>");
    EXPECT_EQ(find_transf("T"), nullptr);
    EXPECT_EQ(rule("W"), "<none>");
    EXPECT_EQ(q_stat, 2);
    const std::vector<std::string> want = {
        "ERROR Syntax Input A Improper token:  char ';' ",
        "ERROR Syntax Input A Improper token:  token: RULE ",
        "ERROR Syntax Input T ! missing  ",
        "ERROR Syntax Input T Missing compound attribute.  ",
        "ERROR Syntax Input W Too many alternatives in a choice.   ",
        "ERROR Syntax Input W unable to open file:  missing ",
    };
    EXPECT_EQ(errors(), want);
    // Without ROOT, a failed inclusion leaves its status.
    load("%include \"missing\"\nA = B %\n");
    EXPECT_EQ(q_stat, 1);
    load("A = B %\n");
    EXPECT_EQ(q_stat, 0);
}
