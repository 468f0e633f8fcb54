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

TEST_F(SyntaxTest, EachConstructIsCodedAsDocumented) {
    // Each rule's name is the first word of its source.
    const std::pair<const char*, const char*> rows[] = {
        {"S = NP VP %", "{7} NP VP"},
        {"A = (B | D | E) %", "{7}({3}| B| D| E)"},
        {"S2 = CHOOSE n : NUMBER ; NP[n] VP[n] %", "{7}{6}{1}NUMBER NP[{255}{1}] VP[{255}{1}]"},
        {"A2 = < sg : B > D %", "<sg:{7} B>{7} D"},
        {"A3 = X (B (C | D) | E (F | G | H | I)) Y %",
         "{7} X({2}| B({2}| C| D)| E({4}| F| G| H| I)) Y"},
        {"V = INHERIT a, b : NUMBER : PERSON ; CHOOSE c : GENDER.masc ; N[a.b, c] %",
         "{7}{5}{1}NUMBER{5}{2}NUMBER{6}{3}GENDER.masc N[{255}{1}.{255}{2},{255}{3}]"},
        // Attachments are coded after their daughter.
        {"A4 = T1:T2:N[sg, _pre_ PERSON] /2 = x, \"y z\" /_pre_ NUMBER.pl /\"dog*\" /+15 /$3 "
         "/@4:TAG[!sg] /@5 M %",
         "{7} N{8}T1{8}T2[sg,{14}PERSON]/{2}=x,\"y z\"{14}NUMBER.pl\"dog*\"{19}15{19}-3@{4}:TAG["
         "!sg]@{5} M"},
        {"A5 = CHOOSE n : NUMBER ; SELECT s : PERSON _pre_ NUMBER ; SELECT t : _pre_ GENDER ; < "
         "sg , (pl | NUMBER) _is_ n : B[s] > C[t] %",
         "{7}{6}{1}NUMBER{16}{2}PERSON{14}NUMBER{16}{3}{14}GENDER<sg,(pl|NUMBER){17}{255}{1}:{7} "
         "B[{255}{2}]>{7} C[{255}{3}]"},
        // A variable chosen before the first guard is seen in every alternative.
        {"A6 = CHOOSE x : NUMBER ; < sg : CHOOSE y : PERSON ; B[x, y] < pl : C[x] %",
         "{7}{6}{1}NUMBER<sg:{7}{6}{2}PERSON B[{255}{1},{255}{2}]<pl:{7} C[{255}{1}]"},
        {"A7 = B /2 = x y /3=-x,\"q\" /_pre_ NUMBER/1 = z %",
         "{7} B/{2}=x y/{3}=-x,\"q\"{14}NUMBER/{1}=z"},
    };
    std::string source;
    for (const auto& [src, coded] : rows)
        source += std::string(src) + "\n";
    load(source + "T1 = TRANSFORMATION % T2 = TRANSFORMATION %\n");
    EXPECT_EQ(errors(), std::vector<std::string>{});
    for (const auto& [src, coded] : rows) {
        const std::string s = src;
        EXPECT_EQ(rule(s.substr(0, s.find(' '))), code(coded)) << src;
    }
    EXPECT_EQ(rule("B"), "<none>");
    EXPECT_EQ(q_stat, 0);
    EXPECT_EQ(messages("Finished reading Syntax Input from file").size(), 1U);
}

TEST_F(SyntaxTest, AnErrorDropsOnlyItsRule) {
    std::string wide = "W1 = (X";
    for (int i = 0; i < kMaxChoiceAlternatives; ++i)
        wide += " | X";
    // Each rule that is dropped, with the reports it gives, in order. Variables of one guarded
    // alternative are not seen in the next; field bytes above 127 would be read back as negative.
    const std::vector<std::pair<std::string, std::vector<const char*>>> dropped = {
        {"C = D | E %", {"| appears outside parentheses  "}},
        {"H = I ) J %", {"Unmatched )  "}},
        {"K = (L %", {"There are unmatched ('s  "}},
        {"M = N /x = 1 %", {"Missing field number in restriction.  "}},
        {"O = P /3 q %", {"Expecting equals ['='].  "}},
        {"Q = R /3 = , s %", {"Spurious comma in restriction.  "}},
        {"S1 = T:: %", {"Colon followed by char ':'  ", "Improper token:  char ':' "}},
        {"U = V[sg %", {"Missing ] after attribute list:  token: % "}},
        {"W = X[!sg] Y[-sg] %",
         {"! not permitted in this context.  ", "MINUS not permitted in this context.  "}},
        {"Z = Z1 /@ %", {"Missing field number in indirection.  "}},
        {"Z2 = Z3 /@2: %", {"Expecting tag name.  "}},
        {"Z4 = Z5 /? %", {"Improper token follows / :  char '?' "}},
        {"Z6 = Z7[/.sg] %", {"Unexpected char '.' in attribute  "}},
        {"Z61 = Z7[sg pl] %", {"Unexpected identifier: pl in attribute  "}},
        {"Z62 = Z7[sg.] %", {"Missing compound attribute.  "}},
        {"Z8 = < sg ; : Z9 %", {"Encountered char ';' instead of colon.  "}},
        {"D = (CHOOSE x : NUMBER ; B[x] | E[x]) %", {"Unknown attribute x "}},
        {"F1 = < sg : CHOOSE y : PERSON ; B[y] > C[y] %", {"Unknown attribute y "}},
        {"H1 = I /200 = x %", {"Missing field number in restriction.  "}},
        {"J1 = K /@128 %", {"Missing field number in indirection.  "}},
        {"A2 = B ; C RULE %", {"Improper token:  char ';' ", "Improper token:  token: RULE "}},
        {"T = TRANSFORMATION A : 1[2NUMBER] ; %", {"! missing  ", "Missing compound attribute.  "}},
        {wide + ") %\n%include \"missing\"",
         {"Too many alternatives in a choice.   ", "unable to open file:  missing "}},
        {"Y1 = Y2 /\"open %", {"Unmatched Quote.  "}},
    };
    // A bad frequency value costs its rule nothing.
    std::string source =
        "= A = B % S C % rule X = Y %\nC1 = D /+ (E) %\nC2 = D /+x E /$7 %\nROOT = S %\n";
    std::vector<std::string> want = {" Encountered char '=' instead of rule name.  ",
                                     "S Rule name must be followed by =.   ",
                                     "S Encountered token: RULE instead of rule name.  ",
                                     "C1 Improper token follows + or $:  char '(' ",
                                     "C2 Improper token follows + or $:  identifier: x "};
    for (const auto& [text, reports] : dropped) {
        source += text + "\n";
        for (const char* r : reports)
            want.push_back(text.substr(0, text.find(' ')) + " " + r);
    }
    load(source);
    for (std::string& w : want)
        w = "ERROR Syntax Input " + w;
    EXPECT_EQ(errors(), want);
    for (const auto& [text, reports] : dropped)
        EXPECT_EQ(rule(text.substr(0, text.find(' '))), "<none>") << text;
    EXPECT_EQ(find_transf("T"), nullptr);
    for (const auto& [name, coded] : {std::pair{"A", "{7} B"},
                                      {"S", "{7} C"},
                                      {"X", "{7} Y"},
                                      {"C1", "{7} D({1}| E)"},
                                      {"C2", "{7} D E{19}-7"},
                                      {"ROOT", "{7} S"}})
        EXPECT_EQ(rule(name), code(coded)) << name;
    EXPECT_TRUE(file_operation.empty() && file_position.empty());
    // ROOT sets the status the caller tests for a starting rule; without it a failed inclusion
    // leaves its status.
    EXPECT_EQ(q_stat, 2);
    load("%include \"missing\"\nA = B %\n");
    EXPECT_EQ(q_stat, 1);
    load("A = B %\n");
    EXPECT_EQ(q_stat, 0);
}

TEST_F(SyntaxTest, LayersAndTheLaterRuleOfOneName) {
    load("NP = DET N % NP = PRON % VP = V %");
    load("NP = NAME % X = TRANSFORMATION A : A ;");
    EXPECT_EQ(rule("NP") + rule("VP"), code("{7} NAME{7} V"));
    ASSERT_NE(find_transf("X"), nullptr);
    EXPECT_EQ(find_transf("X")->first->guard + find_transf("X")->first->rule, " A A");
    dump_syntax();  // the upper layer only
    EXPECT_EQ(std::tuple(rule("NP"), find_transf("X")), std::tuple(code("{7} PRON"), nullptr));
    dump_syntax();
    EXPECT_EQ(std::tuple(rule("NP"), bool(syntax_stack)), std::tuple("<none>", false));
    // The built-ins stay below every layer, and are put there once.
    dump_syntax();
    load("A = B %");
    load("C = D %");
    int flattens = 0;
    for (const transformation* t = trans_stack.get(); t != nullptr; t = t->next.get())
        flattens += t->name == "FLATTEN" ? 1 : 0;
    ASSERT_NE(find_transf("FLATTEN"), nullptr);
    EXPECT_EQ(std::tuple(flattens, find_transf("FLATTEN")->priority), std::tuple(1, 10));
    remove_built_in();
    EXPECT_EQ(std::tuple(find_transf("FLATTEN"), gInMemory), std::tuple(nullptr, 0));
}

TEST_F(SyntaxTest, VariableNestingAndLengthLimitsAreRefusedWithAMessage) {
    // 25 variables and 19 nested choices pass, one more does not; one alternative beyond the
    // length limit, and a rule whose alternatives together exceed the whole-rule limit.
    const auto vars = [](const std::string& name, int n) {
        std::string r = name + " = CHOOSE";
        for (int i = 1; i <= n; ++i)
            r += " v" + std::to_string(i) + (i < n ? "," : " : NUMBER ; B %\n");
        return r;
    };
    const auto nest = [](const std::string& name, int n) {
        return name + " = " + std::string(n, '(') + "F" + std::string(n, ')') + " %\n";
    };
    std::string long_alt = "L1 =", long_rule = "L2 =";
    for (int i = 0; i < 2100; ++i)
        long_alt += " NAME" + std::to_string(i % 10);
    for (int i = 0; i < 1500; ++i)
        long_rule += (i % 500 == 0 ? " > WORD" : " WORD") + std::to_string(i % 10);
    load(vars("A", 26) + vars("A1", 25) + nest("E", 20) + nest("G", 19) + long_alt +
         " %\nI = J %\n" + long_rule + " %\nK = L %\n");
    for (const char* dropped : {"A", "E", "L1", "L2"})
        EXPECT_EQ(rule(dropped), "<none>") << dropped;
    for (const char* kept : {"A1", "G", "I", "K"})
        EXPECT_NE(rule(kept), "<none>") << kept;
    EXPECT_EQ(errors(),
              (std::vector<std::string>{"ERROR Syntax Input A Too many variables active.  v26 ",
                                        "ERROR Syntax Input E Choices Nested too deep.   ",
                                        "ERROR Syntax Input E Unmatched )  ",
                                        "ERROR Syntax Input L1 Rule too long.   ",
                                        "ERROR Syntax Input L2 Rule too long.  (the whole rule "
                                        "exceeds 8191 bytes) "}));
}
