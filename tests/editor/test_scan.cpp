// Find and scan: the units, the pattern matcher's control codes, counting and testing.
#include <gtest/gtest.h>

#include "scan_fixture.hpp"

namespace {

TEST_F(ScanTest, EachUnitFindsItsNextOccurrence) {
    fill(1, {"The cat sat.", "on the mat. The dog", "ran off! Then", "The end"});
    // char: the next "the", lower case only
    at(1, 1);
    mode = 0;
    findunit(kUnitChar, "the");
    EXPECT_EQ(vl_result[0], 1);
    EXPECT_EQ(line_no(), 2);
    EXPECT_EQ(cur().curcol, 4);
    EXPECT_EQ(mode, 1);
    resfind();  // one character on: there is no other
    EXPECT_EQ(vl_result[0], 0);
    EXPECT_EQ(line_no(), 2);
    EXPECT_EQ(cur().curcol, 4);
    // word: tested at word starts only, so "Then" in line 3 is not a start of "The " ...
    at(1, 2);
    findunit(kUnitWord, "The ");
    EXPECT_EQ(vl_result[0], 1);
    EXPECT_EQ(line_no(), 2);
    EXPECT_EQ(cur().curcol, 13);
    resfind();
    EXPECT_EQ(line_no(), 4);
    EXPECT_EQ(cur().curcol, 1);
    // line: the next line that begins with The
    at(1, 2);
    findunit(kUnitLine, "The");
    EXPECT_EQ(line_no(), 4);
    // sentence: "The dog ran off!" starts in line 2
    at(1, 2);
    findunit(kUnitSent, "The");
    EXPECT_EQ(line_no(), 2);
    EXPECT_EQ(cur().curcol, 13);
    resfind();
    EXPECT_EQ(line_no(), 3);  // "Then" begins the sentence after "off!"
    EXPECT_EQ(cur().curcol, 10);
    // up: backwards from the last line
    at(4, 1);
    findunit(kUnitUp, "cat");
    EXPECT_EQ(line_no(), 1);
    EXPECT_EQ(cur().curcol, 5);
    // Nothing found: the cursor stays and the result is 0.
    at(2, 3);
    findunit(kUnitChar, "zebra");
    EXPECT_EQ(vl_result[0], 0);
    EXPECT_EQ(line_no(), 2);
    EXPECT_EQ(cur().curcol, 3);
    // Counting from the cursor and testing at the cursor.
    at(1, 1);
    scanunit = kUnitChar;
    scanpattern.assign("The");
    resnumber();
    EXPECT_EQ(vl_result[0], 4);
    scanunit = kUnitWord;
    resnumber();
    EXPECT_EQ(vl_result[0], 4);  // Then too
    scanpattern.assign("The ");
    resnumber();
    EXPECT_EQ(vl_result[0], 3);
    rescheck();
    EXPECT_EQ(vl_result[0], 1);
    at(1, 2);
    rescheck();
    EXPECT_EQ(vl_result[0], 0);
    scanunit = kUnitUp;
    at(4, 7);
    resnumber();
    EXPECT_EQ(vl_result[0], 3);
}

TEST_F(ScanTest, ControlCodesOfThePattern) {
    fill(1, {"aaab", std::string(20, 'a') + "b", "apple a pe", "xy", "cat", "dog , ;  end", "w"});
    EXPECT_EQ(match_here(1, 1,
                         "\x01"
                         "b"),
              1);  // {A}b
    EXPECT_EQ(match_here(2, 1,
                         "\x01"
                         "b"),
              0);  // twenty a's are too many
    EXPECT_EQ(match_here(2, 2,
                         "\x01"
                         "b"),
              1);  // nineteen are not
    EXPECT_EQ(match_here(1, 1,
                         "a\x01"
                         "ab"),
              1);  // tried at each place of the next character
    EXPECT_EQ(match_here(3, 1,
                         "a\x17"
                         "e"),
              1);  // a{W}e: apple
    EXPECT_EQ(match_here(3, 7,
                         "a\x17"
                         "e"),
              0);  // a, blank, p, e: the blank stops it
    EXPECT_EQ(match_here(3, 1,
                         "a\x17"
                         "le"),
              1);
    EXPECT_EQ(match_here(3, 1, "a\x17"), 1);  // at the end: matches at once
    EXPECT_EQ(match_here(4, 1,
                         "\x0e"
                         "x"),
              0);  // {N}x
    EXPECT_EQ(match_here(4, 2,
                         "\x0e"
                         "x"),
              1);
    EXPECT_EQ(match_here(4, 3,
                         "\x0e"
                         "\x0e"
                         "x"),
              0);                              // twice negated
    EXPECT_EQ(match_here(5, 1, "ca\x03"), 1);  // {C}
    EXPECT_EQ(match_here(5, 1,
                         "cat\x03"
                         "do"),
              1);  // the line end is a character
    EXPECT_EQ(match_here(6, 1,
                         "dog\x05"
                         "end"),
              1);                              // {E}: a run of delimiters
    EXPECT_EQ(match_here(6, 1, "do\x05"), 0);  // none at all
    EXPECT_EQ(match_here(5, 1,
                         "cat\x05"
                         "dog"),
              1);  // a line end is one
    EXPECT_EQ(match_here(5, 1,
                         "c\x02"
                         "at"),
              1);  // other control codes are ignored
    // The matcher leaves the scanning cursor where it was.
    at(3, 1);
    setptr();
    match(
        "a\x17"
        "e");
    EXPECT_EQ(lp, line(3));
    EXPECT_EQ(cp, 1);
    // Nothing matches past the end of the file, not even {C} or a negation's target.
    at(7, 2);
    setptr();
    nextc();
    EXPECT_EQ(peepc(), kEndOfFile);
    EXPECT_EQ(match("\x03"), 0);
    EXPECT_EQ(match("\x01"
                    "w"),
              0);
    at(7, 1);
    findunit(kUnitChar,
             "\x0e"
             "w");
    EXPECT_EQ(vl_result[0], 1);  // the line end after w
    EXPECT_EQ(cur().curcol, 2);
}

TEST_F(ScanTest, PathologicalPatternsEndWithoutAMatch) {
    fill(1, {std::string(600, 'a'), "b"});
    const std::string pattern =
        "\x17"
        "a\x17"
        "a\x17"
        "a\x17"
        "a\x17"
        "a\x17"
        "a\x17"
        "a\x17"
        "b";
    at(1, 1);
    findunit(kUnitChar, pattern);
    EXPECT_EQ(vl_result[0], 0);
    EXPECT_EQ(line_no(), 1);
}

TEST_F(ScanTest, WordsAndSentencesStepOverDelimiters) {
    fill(1, {"one, two;three", "", "  four. Five? six"});
    at(1, 1);
    setptr();
    const std::vector<std::pair<int, int>> words = {{1, 6}, {1, 10}, {3, 3}, {3, 9}, {3, 15}};
    for (const auto& [l, c] : words) {
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
    text += std::string(25, 'x');
    fill(2, {text});
    corenum = 2;
    at(1, 1);
    scantext();
    EXPECT_EQ(wordlen[1], 120);
    EXPECT_EQ(wordlen[20], 1);
    EXPECT_EQ(sentlen[100], 1);
    // An empty core file 7 gets the tables from its first line.
    corenum = 3;
    fill(3, {"Yes."});
    core[7].lnptr = core[7].header->down;
    corenum = 7;
    clrfile();
    corenum = 3;
    at(1, 1);
    scantext();
    EXPECT_EQ(lines_of(7).front(), "Word length table");
    expect_chain_sound();
}

}  // namespace

namespace {

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

}  // namespace

namespace {

TEST_F(ScanTest, BytesThatReadLikeEndsDoNotStopTheScan) {
    // Bytes 4 and 10 inside a line read like the ends of file and line; every unit still moves
    // on past them to the real end.
    fill(1, {std::string("a\x04 b\x04\x04.c\n d"), "last word here"});
    for (int unit : {kUnitWord, kUnitSent, kUnitCheck}) {
        at(1, 1);
        scanunit = unit;
        scanpattern.assign(unit == kUnitCheck ? "1" : "here");
        resnumber();
        EXPECT_EQ(vl_result[0], unit == kUnitCheck ? 0 : (unit == kUnitWord ? 1 : 0)) << unit;
        findunit(unit, "here");
    }
    at(1, 1);
    findunit(kUnitWord, "here");
    EXPECT_EQ(line_no(), 2);
    EXPECT_EQ(cur().curcol, 11);
    at(1, 1);
    scantext();                // counts on to the real end
    EXPECT_EQ(wordlen[4], 3);  // last, word, here
}

}  // namespace
