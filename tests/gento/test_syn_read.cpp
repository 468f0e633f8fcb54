// Reading syntax files: the coded text of each construct, variables and their visibility, the
// later of two rules of one name, and errors dropping exactly their rule.

#include "gento_fixture.hpp"

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
    static std::string code(std::string s) {
        for (std::size_t i; (i = s.find('{')) != std::string::npos;)
            s.replace(i, s.find('}', i) - i + 1, 1, static_cast<char>(std::stoi(s.substr(i + 1))));
        return s;
    }
};

TEST_F(SyntaxTest, EachConstructIsCodedAsDocumented) {
    const std::pair<const char*, const char*> rows[] = {
        {"S = NP VP %", "{7} NP VP"},
        {"A = (B | D | E) %", "{7}({3}| B| D| E)"},
        {"S2 = CHOOSE n : NUMBER ; NP[n] VP[n] %", "{7}{6}{1}NUMBER NP[{255}{1}] VP[{255}{1}]"},
        {"A2 = < sg : B > D %", "<sg:{7} B>{7} D"},
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
    };
    std::string source;
    for (const auto& [src, coded] : rows)
        source += std::string(src) + "\n";
    load(source + "T1 = TRANSFORMATION % T2 = TRANSFORMATION %\nLATE = X %\nLATE = Y %\n");
    EXPECT_EQ(messages("ERROR"), std::vector<std::string>{});
    for (const auto& [src, coded] : rows) {
        const std::string s = src;
        EXPECT_EQ(rule(s.substr(0, s.find(' '))), code(coded)) << src;
    }
    EXPECT_EQ(std::tuple(rule("B"), rule("LATE"), q_stat), std::tuple("<none>", code("{7} Y"), 0));
}

TEST_F(SyntaxTest, AnErrorDropsOnlyItsRule) {
    std::string wide = "W1 = (X";
    for (int i = 0; i < kMaxChoiceAlternatives; ++i)
        wide += " | X";
    // Each rule that is dropped, with the reports it gives, in order. Variables of one guarded
    // alternative are not seen in the next; field bytes above 127 would be read back as negative.
    // clang-format off
    const std::vector<std::pair<std::string, std::vector<const char*>>> dropped = {
        {"C = D | E %", {"| appears outside parentheses  "}}, {"H = I ) J %", {"Unmatched )  "}},
        {"K = (L %", {"There are unmatched ('s  "}},
        {"U = V[sg %", {"Missing ] after attribute list:  token: % "}},
        {"M = N /x = 1 %", {"Missing field number in restriction.  "}},
        {"S1 = T:: %", {"Colon followed by char ':'  ", "Improper token:  char ':' "}},
        {"W = X[!sg] Y[-sg] %",
         {"! not permitted in this context.  ", "MINUS not permitted in this context.  "}},
        {"D = (CHOOSE x : NUMBER ; B[x] | E[x]) %", {"Unknown attribute x "}},
        {"F1 = < sg : CHOOSE y : PERSON ; B[y] > C[y] %", {"Unknown attribute y "}},
        {"H1 = I /200 = x %", {"Missing field number in restriction.  "}},
        {"J1 = K /@128 %", {"Missing field number in indirection.  "}},
        {"T = TRANSFORMATION A : 1[2NUMBER] ; %", {"! missing  ", "Missing compound attribute.  "}},
        {wide + ") %\n%include \"missing\"",
         {"Too many alternatives in a choice.   ", "unable to open file:  missing "}},
        {"Y1 = Y2 /\"open %", {"Unmatched Quote.  "}}};
    // clang-format on
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
    EXPECT_EQ(messages("ERROR"), want);
    for (const auto& [text, reports] : dropped)
        EXPECT_EQ(rule(text.substr(0, text.find(' '))), "<none>") << text;
    EXPECT_EQ(find_transf("T"), nullptr);
    // clang-format off
    for (const auto& [name, coded] : {std::pair{"A", "{7} B"}, {"S", "{7} C"}, {"X", "{7} Y"},
                                      {"C1", "{7} D({1}| E)"}, {"C2", "{7} D E{19}-7"},
                                      {"ROOT", "{7} S"}})
        // clang-format on
        EXPECT_EQ(rule(name), code(coded)) << name;
    // ROOT sets the status the caller tests for a starting rule; without it a failed inclusion
    // leaves its status.
    EXPECT_EQ(std::tuple(q_stat, file_operation, file_position), std::tuple(2, "", ""));
    load("%include \"missing\"\nA = B %\n");
    EXPECT_EQ(q_stat, 1);
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
    EXPECT_EQ(messages("ERROR"),
              (std::vector<std::string>{"ERROR Syntax Input A Too many variables active.  v26 ",
                                        "ERROR Syntax Input E Choices Nested too deep.   ",
                                        "ERROR Syntax Input E Unmatched )  ",
                                        "ERROR Syntax Input L1 Rule too long.   ",
                                        "ERROR Syntax Input L2 Rule too long.  (the whole rule "
                                        "exceeds 8191 bytes) "}));
}
