// The rule-file reader: tokens, keywords, comments, quotes, macros, inclusion and its reports.
#include <algorithm>

#include "report_fixture.hpp"

using Tokens = std::vector<std::string>;
using ReaderTest = ReportTest;

TEST_F(ReaderTest, KeywordsPunctuationAndLongIdentifiers) {
    EXPECT_EQ(
        tokens(file("k",
                    "Rule RULE rule _AND_ _and_ _lsp_ select %define\n"
                    "x,y a{comment}b % %% _rhs_ _in_ _is_ %INCLUDE_not\n")),
        (Tokens{"identifier: Rule", "token: RULE", "token: RULE", "identifier: _AND_",
                "token: PRIORITY", "token: PRIORITY", "token: SELECT", "identifier: x", "char ','",
                "identifier: y", "identifier: a", "identifier: b", "token: %", "identifier: %%",
                "token: _makes_", "token: _pre_", "token: _is_", "identifier: %INCLUDE_not"}));
    EXPECT_EQ(count("ERROR"), 0);
    // A name keeps its first 39 characters; each long one, even a megabyte long, is reported once.
    file_operation = "lexicon input";
    const std::string id = "identifier: ", cut = "ERROR lexicon input  identifier truncated:  ";
    EXPECT_EQ(
        tokens(file("t", std::string(45, 'q') + " " + std::string(39, 'r') + " " +
                             std::string(1 << 20, 's') + "\n")),
        (Tokens{id + std::string(39, 'q'), id + std::string(39, 'r'), id + std::string(39, 's')}));
    EXPECT_EQ(messages("identifier truncated"),
              (Tokens{cut + std::string(39, 'q') + " ", cut + std::string(39, 's') + " "}));
}

TEST_F(ReaderTest, OneReadingWritesAtMostAHundredReportsAndMessagesNeverFillTheStore) {
    file_operation = "syntax";
    const auto t = tokens(file("b", std::string(5000, '}') + " x\n"));
    EXPECT_EQ(std::tuple(t.size(), t.back()), std::tuple(5001UL, std::string("identifier: x")));
    EXPECT_EQ(count("warning: } outside quotes/comments"), 100);
    const std::vector<std::string> all = lines_of(kMsgCore);
    EXPECT_EQ(
        all[all.size() - 2].substr(0, 33) + all.back(),
        "Finished reading syntax from filesyntax: 4900 further reports of this reading left out");
    tokens(file("c", "}}\n"));  // a fresh allowance
    EXPECT_EQ(std::tuple(count("warning: } outside"), count("left out")), std::tuple(102, 1));
    for (int i = 0; i < 150; ++i)  // reports from outside a reading are not capped by it
        q_err("later", "", "");
    EXPECT_EQ(count("ERROR syntax  later"), 150);

    // With the store nearly full, messages stop short of its top, saying so once; then resume.
    clrfile();
    const long filled = hiaddr - 130000;
    while (avail < filled)
        addline(std::string(static_cast<std::size_t>(std::min(60000L, filled - avail)), 'x'));
    int written = 0;
    for (int i = 0; i < 2000; ++i)
        written += q_msg(std::string(100, 'm')) ? 1 : 0;
    EXPECT_TRUE(written > 100 && written < 400) << written;
    EXPECT_EQ(std::tuple(count("Text store nearly full: further lines dropped"), full),
              std::tuple(1, 0));
    EXPECT_LT(avail, hiaddr - 99000);
    clrfile();
    EXPECT_TRUE(q_msg("again") && lines_of(kMsgCore).back() == "again");
}

TEST_F(ReaderTest, CommentsQuotesAndControlBytes) {
    file_operation = "x";
    EXPECT_EQ(tokens(file("c", "{" + std::string(300, 'c') + "} b {x|y{z} } c\n")),
              (Tokens{"identifier: b", "char '}'", "identifier: c"}));
    expect_once({"very long comment", "x warning: | within comments",
                 "x warning: { within comments", "x warning: } outside quotes/comments"});
    EXPECT_EQ(tokens(file("u", "a \"bc")),
              (Tokens{"identifier: a", "quote", "char 'b'", "char 'c'"}));
    EXPECT_EQ(tokens(file("v", "a {bc")), (Tokens{"identifier: a"}));
    expect_once({"x warning: EOF within quotes", "x warning: EOF within comments"});
    // Without line ends a quote goes on across the line end; with them the line end closes it.
    const std::string two = file("q2", "\"a\nb\" x\n");
    EXPECT_EQ(tokens(two, 0), (Tokens{"quote", "char 'a'", "char 'b'", "quote", "identifier: x"}));
    EXPECT_EQ(tokens(two, 1), (Tokens{"quote", "char 'a'", "linefeed", "identifier: b", "quote",
                                      "char ' '", "char 'x'", "linefeed"}));
    EXPECT_EQ(count("warning: new line within quotes"), 2);
    EXPECT_EQ(tokens(file("q3", "\"\t{\r\"")), (Tokens{"quote", "char '{'", "quote"}));
    // Control bytes would pass for keyword codes: never delivered, shown by number, never raw.
    EXPECT_EQ(
        tokens(file("ctl", std::string("a\007b \"c\022\"\001\0d", 11))),
        (Tokens{"identifier: a", "identifier: b", "quote", "char 'c'", "quote", "identifier: d"}));
    expect_once({"warning: tab within quotes", "warning: CR within quotes",
                 "warning: {7} outside quotes/comments", "warning: {18} within quotes",
                 "warning: {0} outside quotes/comments"});
    for (const std::string& l : lines_of(kMsgCore))
        EXPECT_EQ(std::count_if(l.begin(), l.end(), [](char c) { return c > 0 && c < 32; }), 0);
    tokens(file("q4", "\"" + std::string(79, 'x') + "\" \"" + std::string(80, 'y') + "\""));
    EXPECT_EQ(count("very long quoted string"), 1);
}

TEST_F(ReaderTest, MacrosExpandNestAtMostTwentyDeepAndOutliveAnIncludedFile) {
    EXPECT_EQ(tokens(file("m",
                          "%define GREET hello there\r\n%GREET,\n%GREET x\n%define GREET bye\n"
                          "%define TWICE %GREET %GREET\n(%TWICE)\n%UNKNOWN\n")),
              (Tokens{"char ','", "identifier: hello", "identifier: there", "identifier: hello",
                      "identifier: there", "identifier: x", "char '('", "char ')'",
                      "identifier: bye", "identifier: bye", "identifier: %UNKNOWN"}));
    file("defs", "%define N sg\n");
    openfile(file("main", "%include \"" + dir_ + "/defs\"\n%N\n").c_str(), 0);
    EXPECT_EQ(std::string(tok2str(q_peep())), "identifier: sg");
    EXPECT_EQ(tokens(file("again", "%N\n")), (Tokens{"identifier: %N"})) << "released at the end";
    // Each level expands into three references to itself: the budget on expanded text ends it.
    set_macro_budget(1 << 20);
    openfile(file("m", "%define A x %A %A %A\n%A\n").c_str(), 0);
    long xs = 0;
    for (; q_peep() == kTokIdent; q_next())
        xs += std::string(identbuf.data()) == "x" ? 1 : 0;
    EXPECT_EQ(std::tuple(q_peep(), xs), std::tuple(kTokEof, (1L << 20) / 11));
    EXPECT_EQ(count("too many macro expansions:  A"), 1);
    // 20 expansions may be active at once: from M20 on the innermost reference is dropped.
    std::string chain = "%define M0 deep\n";
    for (int i = 1; i <= 20; ++i)
        chain += "%define M" + std::to_string(i) + " %M" + std::to_string(i - 1) + " {}\n";
    EXPECT_EQ(tokens(file("chain", chain + "%M19 . %M20\n")),
              (Tokens{"identifier: deep", "char '.'"}));
}

TEST_F(ReaderTest, IncludesNestFiveDeepAndFailuresAreReported) {
    file_operation = "test";
    Tokens want(12);
    for (int i = 1; i <= 6; ++i) {
        const std::string n = std::to_string(i), next = dir_ + "/f" + std::to_string(i + 1);
        file("f" + n, "in" + n + "\n%include \"" + next + "\"\nout" + n + "\n");
        want[i - 1] = "identifier: in" + n;
        want[12 - i] = "identifier: out" + n;
    }
    file("f7", "never\n");
    q_stat = 0;
    EXPECT_EQ(tokens(dir_ + "/f1"), want);
    EXPECT_EQ(std::tuple(count("inclusion depth too great"), q_stat), std::tuple(1, 1));
    EXPECT_EQ(count("Finished reading test from file"), 6);
    q_stat = 0;
    EXPECT_EQ(tokens(file("g", "a %include\"" + dir_ + "/nothere\" b\n")),
              (Tokens{"identifier: a", "identifier: b"}));
    EXPECT_EQ(std::tuple(count("unable to open file:  " + dir_ + "/nothere"), q_stat),
              std::tuple(1, 1));
    EXPECT_EQ(tokens(file("h", "a %include \"unterminated")), (Tokens{"identifier: a"}));
    EXPECT_EQ(open_file_count(), 0);
    // A byte 255 ends the file; a file that cannot be opened gives the end of input at once.
    EXPECT_EQ(tokens(file("ff", "a b\xff c d\n")), (Tokens{"identifier: a", "identifier: b"}));
    EXPECT_FALSE(openfile((dir_ + "/missing").c_str(), 0));
    q_next();
    EXPECT_EQ(q_peep(), kTokEof);
}
