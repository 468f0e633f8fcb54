// Find and scan: the units, the pattern matcher's control codes, counting and testing.
#include <gtest/gtest.h>

#include "scan_fixture.hpp"

namespace {

TEST_F(ScanTest, EachUnitFindsItsNextOccurrence) {
    fill(1, {"The cat sat.", "on the mat. The dog", "ran off! Then", "The end"});
    // Where a find from a position goes, then where finding again goes; line 0: nothing found,
    // the cursor stays and the result is 0.
    const struct {
        int unit;
        const char* pattern;
        int from_line, from_col, line, col, next_line, next_col;
    } finds[] = {
        {kUnitChar, "the", 1, 1, 2, 4, 0, 0},  // lower case only, and no other
        // Words are tested at their starts only, so "Then" is not a start of "The ".
        {kUnitWord, "The ", 1, 2, 2, 13, 4, 1},
        {kUnitLine, "The", 1, 2, 4, 1, 0, 0},
        {kUnitSent, "The", 1, 2, 2, 13, 3, 10},  // "Then" begins the sentence after "off!"
        {kUnitUp, "cat", 4, 1, 1, 5, 0, 0},
        {kUnitChar, "zebra", 2, 3, 0, 0, 0, 0},
    };
    for (const auto& f : finds) {
        SCOPED_TRACE(f.pattern);
        at(f.from_line, f.from_col);
        mode = 0;
        findunit(f.unit, f.pattern);
        EXPECT_EQ(vl_result[0], f.line != 0);
        EXPECT_EQ(line_no(), f.line != 0 ? f.line : f.from_line);
        EXPECT_EQ(cur().curcol, f.line != 0 ? f.col : f.from_col);
        if (f.line == 0) continue;
        EXPECT_EQ(mode, 1);
        resfind();  // one character on
        EXPECT_EQ(vl_result[0], f.next_line != 0);
        EXPECT_EQ(line_no(), f.next_line != 0 ? f.next_line : f.line);
        EXPECT_EQ(cur().curcol, f.next_line != 0 ? f.next_col : f.col);
    }
    // Counting from the cursor and testing at the cursor.
    const struct {
        int unit;
        const char* pattern;
        int line, col;
        bool count;
        int result;
    } counts[] = {
        {kUnitChar, "The", 1, 1, true, 4},   {kUnitWord, "The", 1, 1, true, 4},  // Then too
        {kUnitWord, "The ", 1, 1, true, 3},  {kUnitWord, "The ", 1, 1, false, 1},
        {kUnitWord, "The ", 1, 2, false, 0}, {kUnitUp, "The ", 4, 7, true, 3},
    };
    for (const auto& c : counts) {
        at(c.line, c.col);
        scanunit = c.unit;
        scanpattern.assign(c.pattern);
        c.count ? resnumber() : rescheck();
        EXPECT_EQ(vl_result[0], c.result) << c.unit << " " << c.pattern << " " << c.count;
    }
}

TEST_F(ScanTest, ControlCodesOfThePattern) {
    fill(1, {"aaab", std::string(20, 'a') + "b", "apple a pe", "xy", "cat", "dog , ;  end", "w"});
    // Codes: 1 {A} a run of the next character, 23 {W} a run within a word, 14 {N} not the
    // next, 3 {C} any character, 5 {E} a run of delimiters.
    const struct {
        int line, col;
        const char* pattern;
        int matched;
    } cases[] = {
        {1, 1, "\001b", 1},      {2, 1, "\001b", 0},  // twenty a's are too many
        {2, 2, "\001b", 1},                           // nineteen are not
        {1, 1, "a\001ab", 1},                         // tried at each place of the next character
        {3, 1, "a\027e", 1},                          // apple
        {3, 7, "a\027e", 0},                          // a, blank, p, e: the blank stops it
        {3, 1, "a\027le", 1},    {3, 1, "a\027", 1},  // at the end: matches at once
        {4, 1, "\016x", 0},      {4, 2, "\016x", 1},     {4, 3, "\016\016x", 0},  // twice negated
        {5, 1, "ca\003", 1},     {5, 1, "cat\003do", 1},  // the line end is a character
        {6, 1, "dog\005end", 1}, {6, 1, "do\005", 0},     // none at all
        {5, 1, "cat\005dog", 1},                          // a line end is one
        {5, 1, "c\002at", 1},                             // other control codes are ignored
    };
    for (const auto& c : cases) {
        EXPECT_EQ(match_here(c.line, c.col, c.pattern), c.matched) << c.line << ":" << c.col;
        // The matcher leaves the scanning cursor where it was.
        EXPECT_EQ(lp, line(c.line));
        EXPECT_EQ(cp, c.col);
    }
    // Nothing matches past the end of the file, not even {C} or a negation's target.
    at(7, 2);
    setptr();
    nextc();
    EXPECT_EQ(peepc(), kEndOfFile);
    EXPECT_EQ(match("\003"), 0);
    EXPECT_EQ(match("\001w"), 0);
    at(7, 1);
    findunit(kUnitChar, "\016w");
    EXPECT_EQ(vl_result[0], 1);  // the line end after w
    EXPECT_EQ(cur().curcol, 2);
}

TEST_F(ScanTest, PathologicalPatternsEndWithoutAMatch) {
    fill(1, {std::string(600, 'a'), "b"});
    std::string pattern = "\027";
    for (int i = 0; i < 7; ++i)
        pattern += "a\027";
    at(1, 1);
    findunit(kUnitChar, pattern + "b");
    EXPECT_EQ(vl_result[0], 0);
    EXPECT_EQ(line_no(), 1);
}

TEST_F(ScanTest, WordsAndSentencesStepOverDelimiters) {
    fill(1, {"one, two;three", "", "  four. Five? six"});
    at(1, 1);
    setptr();
    for (const auto& [l, c] : {std::pair{1, 6}, {1, 10}, {3, 3}, {3, 9}, {3, 15}}) {
        nextword();
        EXPECT_EQ(lp, line(l));
        EXPECT_EQ(cp, c);
    }
    nextword();
    EXPECT_EQ(peepc(), kEndOfFile);
    nextword();  // stays at the end
    EXPECT_EQ(peepc(), kEndOfFile);
    at(1, 1);
    setptr();
    nextsent();
    EXPECT_EQ(lp, line(3));
    EXPECT_EQ(cp, 9);
    nextsent();
    EXPECT_EQ(cp, 15);
    nextsent();
    EXPECT_EQ(peepc(), kEndOfFile);
}

TEST_F(ScanTest, StatisticsOfWordAndSentenceLengths) {
    fill(1, {"I am."});
    fill(7, {"earlier"});
    at(1, 1);
    scantext();
    EXPECT_EQ(wordlen[1], 1);
    EXPECT_EQ(wordlen[2], 1);
    EXPECT_EQ(sentlen[2], 1);
    EXPECT_EQ(lines_of(7), (V{"earlier", "Word length table", "  1     1", "  2     1", "***",
                              "Sentence length table", "  2     1", "***"}));
    // Long words and sentences count in the last cell; the end of the file ends the last ones.
    std::string text;
    for (int i = 0; i < 120; ++i)
        text += "w ";
    fill(2, {text + std::string(25, 'x')});
    corenum = 2;
    at(1, 1);
    scantext();
    EXPECT_EQ(wordlen[1], 120);
    EXPECT_EQ(wordlen[20], 1);
    EXPECT_EQ(sentlen[100], 1);
    // An empty core file 7 gets the tables from its first line.
    fill(3, {"Yes."});
    corenum = 7;
    clrfile();
    corenum = 3;
    at(1, 1);
    scantext();
    EXPECT_EQ(lines_of(7).front(), "Word length table");
    expect_chain_sound();
}

TEST_F(ScanTest, WholeLinePatternsCaptureTheirWildcards) {
    fill(1, {"name: Bob", "age: 7 years", "age: none"});
    at(1, 3);
    findunit(kUnitPattern, "age: * years");
    EXPECT_EQ(vl_result[0], 1);
    EXPECT_EQ(line_no(), 2);
    EXPECT_EQ(wildtext(1), "7");
    resfind();
    EXPECT_EQ(vl_result[0], 0);
    scanpattern.assign("age: *");
    at(1, 1);
    resnumber();
    EXPECT_EQ(vl_result[0], 2);
    at(3, 4);
    rescheck();  // the whole line, wherever the cursor stands in it
    EXPECT_EQ(vl_result[0], 1);
    EXPECT_EQ(wildtext(1), "none");
}

TEST_F(ScanTest, BytesThatReadLikeEndsDoNotStopTheScan) {
    // Bytes 4 and 10 inside a line read like the ends of file and line; every unit still moves
    // on past them to the real end.
    fill(1, {std::string("a\x04 b\x04\x04.c\n d"), "last word here"});
    for (const auto& [unit, count] : {std::pair{kUnitWord, 1}, {kUnitSent, 0}, {kUnitCheck, 0}}) {
        const char* pattern = unit == kUnitCheck ? "1" : "here";
        at(1, 1);
        scanunit = unit;
        scanpattern.assign(pattern);
        resnumber();
        EXPECT_EQ(vl_result[0], count) << unit;
        at(1, 1);
        findunit(unit, pattern);
        EXPECT_EQ(vl_result[0], count) << unit;
        if (count != 0) {
            EXPECT_EQ(line_no(), 2);
            EXPECT_EQ(cur().curcol, 11);
        }
    }
    at(1, 1);
    scantext();                // counts on to the real end
    EXPECT_EQ(wordlen[4], 3);  // last, word, here
}

}  // namespace
