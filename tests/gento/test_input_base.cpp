// The rule-file reader: tokens, keywords, comments, quotes, macros, inclusion and its reports.
#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "report_fixture.hpp"

using Tokens = std::vector<std::string>;

class ReaderTest : public ReportTest {};

TEST_F(ReaderTest, KeywordsMatchExactlyAndPunctuationSeparates) {
    const auto t = tokens(file("k",
                               "Rule RULE rule _AND_ _and_ _lsp_ select %define\n"
                               "x,y a{comment}b % %% _rhs_ _in_ _is_ %INCLUDE_not\n"));
    EXPECT_EQ(t, (Tokens{"identifier: Rule", "token: RULE", "token: RULE", "identifier: _AND_",
                         "token: PRIORITY", "token: PRIORITY", "token: SELECT", "identifier: x",
                         "char ','", "identifier: y", "identifier: a", "identifier: b", "token: %",
                         "identifier: %%", "token: _makes_", "token: _pre_", "token: _is_",
                         "identifier: %INCLUDE_not"}));
    // %define on a line of its own defines nothing and delivers nothing.
    EXPECT_EQ(str2tok(), 0);
    EXPECT_EQ(count("ERROR"), 0);
}

TEST_F(ReaderTest, LongIdentifiersKeepTheirFirst39CharactersAndAreReportedOnce) {
    const std::string longname(45, 'q');
    file_operation = "lexicon input";
    // A megabyte-long name is reported once, like a 45-character one; so is each long name.
    const auto t = tokens(
        file("t", longname + " " + std::string(39, 'r') + " " + std::string(1 << 20, 's') + "\n"));
    const std::string id = "identifier: ", cut = "ERROR lexicon input  identifier truncated:  ";
    EXPECT_EQ(t, (Tokens{id + std::string(39, 'q'), id + std::string(39, 'r'),
                         id + std::string(39, 's')}));
    EXPECT_EQ(messages("identifier truncated"),
              (Tokens{cut + std::string(39, 'q') + " ", cut + std::string(39, 's') + " "}));
}

TEST_F(ReaderTest, OneReadingWritesAtMostAHundredReportsAndCountsTheRest) {
    // A stray brace per character: every one warns and is delivered.
    file_operation = "syntax";
    const auto t = tokens(file("b", std::string(5000, '}') + " x\n"));
    EXPECT_EQ(std::tuple(t.size(), t.back()), std::tuple(5001UL, std::string("identifier: x")));
    EXPECT_EQ(count("warning: } outside quotes/comments"), 100);
    // The reading's own closing line is there, and then how many reports were left out.
    const std::vector<std::string> all = lines_of(kMsgCore);
    ASSERT_GE(all.size(), 2U);
    EXPECT_EQ(all[all.size() - 2].rfind("Finished reading syntax from file", 0), 0U);
    EXPECT_EQ(all.back(), "syntax: 4900 further reports of this reading left out");
    // The next reading starts with a fresh allowance.
    tokens(file("c", "}}\n"));
    EXPECT_EQ(std::tuple(count("warning: } outside"), count("left out")), std::tuple(102, 1));
    // Reports from outside a reading (generation) are not capped by it.
    for (int i = 0; i < 150; ++i)
        q_err("later", "", "");
    EXPECT_EQ(count("ERROR syntax  later"), 150);
}

TEST_F(ReaderTest, MessagesNeverFillTheTextStore) {
    // Core file 1 holds almost all the store: messages stop short of the top, with one line
    // saying so, and the store is not full, so the user can still type.
    const long filled = hiaddr - 130000;
    while (avail < filled)
        addline(std::string(static_cast<std::size_t>(std::min(60000L, filled - avail)), 'x'));
    int written = 0;
    for (int i = 0; i < 2000; ++i)
        written += q_msg(std::string(100, 'm')) ? 1 : 0;
    EXPECT_GT(written, 100);
    EXPECT_LT(written, 400);
    EXPECT_EQ(std::tuple(count("Text store nearly full: further lines dropped"), full),
              std::tuple(1, 0));
    EXPECT_LT(avail, hiaddr - 99000);
    // Once room is made the messages come again.
    clrfile();
    EXPECT_TRUE(q_msg("again") && lines_of(kMsgCore).back() == "again");
}

TEST_F(ReaderTest, CommentsStrayBracesAndUnterminatedTextWarn) {
    file_operation = "syntax";
    const std::string c299 = "{" + std::string(299, 'c') + "}";
    const std::string c300 = "{" + std::string(300, 'c') + "}";
    const auto t = tokens(file("c", c299 + " a " + c300 + " b {x|y{z} } c\n"));
    EXPECT_EQ(t, (Tokens{"identifier: a", "identifier: b", "char '}'", "identifier: c"}));
    expect_once({"very long comment", "syntax warning: | within comments",
                 "syntax warning: { within comments", "syntax warning: } outside quotes/comments"});
    // A quote or comment still open at the end of the file ends there.
    file_operation = "x";
    EXPECT_EQ(tokens(file("u", "a \"bc")),
              (Tokens{"identifier: a", "quote", "char 'b'", "char 'c'"}));
    EXPECT_EQ(tokens(file("v", "a {bc")), (Tokens{"identifier: a"}));
    expect_once({"x warning: EOF within quotes", "x warning: EOF within comments"});
}

TEST_F(ReaderTest, QuotedTextIsOneTokenPerCharacterAndLineEndsDependOnTheMode) {
    EXPECT_EQ(tokens(file("q", "\"ab c\"\n")),
              (Tokens{"quote", "char 'a'", "char 'b'", "char ' '", "char 'c'", "quote"}));
    // Without line ends the quote goes on across the line end, which is dropped silently.
    const std::string two = file("q2", "\"a\nb\" x\n");
    EXPECT_EQ(tokens(two, 0), (Tokens{"quote", "char 'a'", "char 'b'", "quote", "identifier: x"}));
    // With line ends the line end closes the quote, with a warning. The second double quote then
    // opens a quote that the next line end closes.
    EXPECT_EQ(tokens(two, 1), (Tokens{"quote", "char 'a'", "linefeed", "identifier: b", "quote",
                                      "char ' '", "char 'x'", "linefeed"}));
    EXPECT_EQ(count("warning: new line within quotes"), 2);
    // Tabs and CRs inside quotes are dropped with a warning; braces stay, with a warning.
    EXPECT_EQ(tokens(file("q3", "\"\t{\r\"")), (Tokens{"quote", "char '{'", "quote"}));
    expect_once({"warning: tab within quotes", "warning: CR within quotes"});
    // Control bytes are never delivered: they would pass for keyword codes.
    EXPECT_EQ(tokens(file("ctl", "a\007b \"c\022\"\001")),
              (Tokens{"identifier: a", "identifier: b", "quote", "char 'c'", "quote"}));
    // They are shown by number in the warnings, NUL too, never raw.
    EXPECT_EQ(tokens(file("nul", std::string("a\0b", 3))),
              (Tokens{"identifier: a", "identifier: b"}));
    expect_once({"warning: {7} outside quotes/comments", "warning: {18} within quotes",
                 "warning: {0} outside quotes/comments"});
    for (const std::string& l : lines_of(kMsgCore))
        EXPECT_EQ(std::count_if(l.begin(), l.end(), [](char c) { return c > 0 && c < 32; }), 0);
    // 79 characters pass; 80 are very long.
    tokens(file("q4", "\"" + std::string(79, 'x') + "\" \"" + std::string(80, 'y') + "\""));
    EXPECT_EQ(count("very long quoted string"), 1);
}

TEST_F(ReaderTest, MacrosExpandAfterTheReferenceEndsAndOutliveAnIncludedFile) {
    const auto t = tokens(file("m",
                               "%define GREET hello there\r\n"
                               "%GREET,\n"
                               "%GREET x\n"
                               "%define GREET bye\n"
                               "%define TWICE %GREET %GREET\n"
                               "(%TWICE)\n"
                               "%UNKNOWN\n"));
    EXPECT_EQ(t, (Tokens{"char ','", "identifier: hello", "identifier: there", "identifier: hello",
                         "identifier: there", "identifier: x", "char '('", "char ')'",
                         "identifier: bye", "identifier: bye", "identifier: %UNKNOWN"}));
    // Macros defined in an included file outlive it.
    file("defs", "%define N sg\n");
    openfile(file("main", "%include \"" + dir_ + "/defs\"\n%N\n").c_str(), 0);
    EXPECT_EQ(std::string(tok2str(q_peep())), "identifier: sg");
    EXPECT_STREQ(macrosearch("N"), "sg");
    EXPECT_EQ(macrosearch("M"), nullptr);
    // The dictionary is released when the reading ends.
    EXPECT_EQ(tokens(file("again", "%N\n")), (Tokens{"identifier: %N"}));
}

TEST_F(ReaderTest, MacroNestingStopsAtTwentyAndSelfReferenceEnds) {
    // Each level expands into three references to itself: without a limit on the expanded text
    // this would run for billions of tokens.
    set_macro_budget(1 << 20);
    openfile(file("m", "%define A x %A %A %A\n%A\n").c_str(), 0);
    long xs = 0;
    for (; q_peep() == kTokIdent; q_next()) {
        if (std::string(identbuf.data()) == "x") ++xs;
    }
    EXPECT_EQ(q_peep(), kTokEof);
    // Each expansion gives one x and costs its 10 characters and one more.
    EXPECT_EQ(xs, (1 << 20) / 11);
    EXPECT_EQ(count("too many macro expansions:  A"), 1);
    // A chain of macros, each referring to the next before an empty comment: 20 expansions
    // may be active at once, so from M20 on the innermost reference is dropped.
    std::string chain = "%define M0 deep\n";
    for (int i = 1; i <= 20; ++i) {
        chain += "%define M" + std::to_string(i) + " %M" + std::to_string(i - 1) + " {}\n";
    }
    EXPECT_EQ(tokens(file("chain", chain + "%M19 . %M20\n")),
              (Tokens{"identifier: deep", "char '.'"}));
}

TEST_F(ReaderTest, IncludesNestFiveDeepAndFailuresAreReported) {
    file_operation = "test";
    for (int i = 1; i <= 6; ++i) {
        const std::string n = std::to_string(i), next = dir_ + "/f" + std::to_string(i + 1);
        file("f" + n, "in" + n + "\n%include \"" + next + "\"\nout" + n + "\n");
    }
    file("f7", "never\n");
    q_stat = 0;
    Tokens want;
    for (const char* way : {"in", "out"})
        for (int i = 1; i <= 6; ++i)
            want.push_back("identifier: " + std::string(way) +
                           std::to_string(way[0] == 'i' ? i : 7 - i));
    EXPECT_EQ(tokens(dir_ + "/f1"), want);
    EXPECT_EQ(std::tuple(count("inclusion depth too great"), q_stat), std::tuple(1, 1));
    const auto done = messages("Finished reading test from file");
    ASSERT_EQ(done.size(), 6U);
    EXPECT_EQ(done[0] + done[5], "Finished reading test from file '" + dir_ +
                                     "/f6' [3 lines.]Finished reading test from file '" + dir_ +
                                     "/f1' [3 lines.]");

    q_stat = 0;
    EXPECT_EQ(tokens(file("g", "a %include\"" + dir_ + "/nothere\" b\n")),
              (Tokens{"identifier: a", "identifier: b"}));
    EXPECT_EQ(std::tuple(count("unable to open file:  " + dir_ + "/nothere"), q_stat),
              std::tuple(1, 1));
    // An %include whose name never closes reports and ends the file cleanly.
    EXPECT_EQ(tokens(file("h", "a %include \"unterminated")), (Tokens{"identifier: a"}));
    EXPECT_EQ(open_file_count(), 0);
}

TEST_F(ReaderTest, EndOfInputIsStickyAndLinesAreCounted) {
    file_operation = "lexicon input";
    openfile(file("ten", "a\n%define X y\nb\n\n\n\n\n\n%define Z w\nc\n").c_str(), 1);
    int lineends = 0;
    while (q_peep() != kTokEof) {
        if (q_peep() == kTokLineEnd) ++lineends;
        q_next();
    }
    EXPECT_EQ(lineends, 8);  // the two %define lines deliver no line end
    q_next();
    EXPECT_EQ(q_peep(), kTokEof);
    expect_once({"Finished reading lexicon input from file '" + dir_ + "/ten' [10 lines.]"});
    // A byte 255 ends the file there.
    EXPECT_EQ(tokens(file("ff", "a b\xff c d\n")), (Tokens{"identifier: a", "identifier: b"}));
    // A file that cannot be opened gives the end of input at once.
    EXPECT_FALSE(openfile((dir_ + "/missing").c_str(), 0));
    EXPECT_EQ(q_peep(), kTokEof);
}

TEST_F(ReaderTest, TestInputListsEveryTokenInTheMessageFile) {
    testinput(file("t", "RULE x, \"y\"\n").c_str());
    const auto all = lines_of(kMsgCore);
    const std::vector<std::string> want = {"token: RULE", "identifier: x", "char ','", "quote",
                                           "char 'y'",    "quote",         "linefeed"};
    EXPECT_NE(std::search(all.begin(), all.end(), want.begin(), want.end()), all.end());
    EXPECT_EQ(all.back(), "end of input");
    expect_once({"Finished reading test input from file '" + dir_ + "/t' [1 lines.]"});
    EXPECT_TRUE(file_operation.empty());
}

TEST_F(ReaderTest, MessagesAppendToTheMessageFileAndFollowItsWindow) {
    corenum = kMsgCore;
    const int before = cur().lncount;
    for (int i = 0; i < 30; ++i)
        q_msg("line " + std::to_string(i));
    EXPECT_EQ(std::tuple(cur().lncount, text(cur().lnptr), cur().curcol, redisplay),
              std::tuple(before + 30, "line 29", 1, 1));
    EXPECT_EQ(cur().lnptr, cur().header->up);
    EXPECT_LT(distance(cur().disln, cur().lnptr), depth) << "the last line stays in the window";
    // Into another core file; the current one is restored and not redrawn.
    corenum = 1;
    redisplay = 0;
    EXPECT_TRUE(q_line(15, 0, "report"));
    EXPECT_EQ(std::tuple(corenum, redisplay, text(core[15].header->up)),
              std::tuple(1, 0, "report"));
    EXPECT_FALSE(q_line(20, 0, "nowhere"));
    // When the store is full even after compaction, the line is refused, not half written.
    corenum = 3;
    allocln(kObjNew, 0);
    while (avail <= hiaddr)
        cadd('f');
    corenum = 1;
    const int lines = core[kMsgCore].lncount;
    EXPECT_FALSE(q_msg("this does not fit"));
    EXPECT_EQ(core[kMsgCore].lncount, lines);
}

TEST_F(ReaderTest, Utf8RuleFilesAreReadAsLatin1AndCharactersBeyondItAreReported) {
    file_operation = "test";
    // The same words in UTF-8 and in Latin-1, and an included file in the other set.
    file("inc", "\xE9l\xE8ve\n");
    const Tokens want = {"identifier: caf\xE9", "identifier: \xEEle", "char '\xAB'",
                         "identifier: \xE9l\xE8ve"};
    const std::string include = "%include \"" + dir_ + "/inc\"\n";
    for (const std::string& text :
         {std::string("caf\xC3\xA9 \xC3\xAEle \xC2\xAB\n"), std::string("caf\xE9 \xEEle \xAB\n"),
          std::string("\xEF\xBB\xBF"
                      "caf\xC3\xA9 \xC3\xAEle \xC2\xAB\n")})
        EXPECT_EQ(tokens(file("u", text + include)), want);
    EXPECT_EQ(count("ERROR"), 0);

    // A character Latin-1 lacks: the file is not read, and the report names file, line and
    // character; an including file goes on after it.
    const std::string euro = file("euro", "a\nb \xE2\x82\xAC\n");
    q_stat = 0;
    EXPECT_EQ(tokens(file("outer", "x %include \"" + euro + "\" y\n")),
              (Tokens{"identifier: x", "identifier: y"}));
    expect_once(
        {"ERROR test  file " + euro + ", line 2: U+20AC has no Latin-1 form; file not read"});
    EXPECT_EQ(q_stat, 1);
    EXPECT_TRUE(tokens(euro).empty());
}
