// Find and scan: the units, the pattern matcher's control codes, counting and testing.
#include <gtest/gtest.h>

#include <map>

#include "scan_fixture.hpp"
#include "stars.hpp"

namespace {

TEST_F(ScanTest, EachUnitFindsItsNextOccurrence) {
    fill(1, {"The cat sat.", "on the mat. The dog", "ran off! Then", "The end"});
    // From where a find starts, where it goes, then where finding again goes; line 0: nothing
    // found, the cursor stays and the result is 0. Char finds lower case only; words are tested
    // at their starts only, so "Then" is not a start of "The "; "Then" begins the sentence after
    // "off!".
    // clang-format off
    const std::tuple<int, const char*, int, int, int, int, int, int> finds[] = {
        {kUnitChar, "the", 1, 1, 2, 4, 0, 0},     {kUnitWord, "The ", 1, 2, 2, 13, 4, 1},
        {kUnitLine, "The", 1, 2, 4, 1, 0, 0},     {kUnitSent, "The", 1, 2, 2, 13, 3, 10},
        {kUnitUp, "cat", 4, 1, 1, 5, 0, 0},       {kUnitChar, "zebra", 2, 3, 0, 0, 0, 0}};
    // clang-format on
    for (const auto& [unit, pattern, from_line, from_col, to_line, to_col, next_line, next_col] :
         finds) {
        SCOPED_TRACE(pattern);
        at(from_line, from_col);
        mode = 0;
        findunit(unit, pattern);
        const bool found = to_line != 0, again = next_line != 0;
        EXPECT_EQ(std::tuple(vl_result[0], line_no(), cur().curcol),
                  std::tuple(found, found ? to_line : from_line, found ? to_col : from_col));
        if (!found) continue;
        EXPECT_EQ(mode, 1);
        resfind();  // one character on
        EXPECT_EQ(std::tuple(vl_result[0], line_no(), cur().curcol),
                  std::tuple(again, again ? next_line : to_line, again ? next_col : to_col));
    }
    // Counting from the cursor (words count "Then" too), and testing at the cursor.
    // clang-format off
    const std::tuple<int, const char*, int, int, bool, int> counts[] = {
        {kUnitChar, "The", 1, 1, true, 4},   {kUnitWord, "The", 1, 1, true, 4},
        {kUnitWord, "The ", 1, 1, true, 3},  {kUnitWord, "The ", 1, 1, false, 1},
        {kUnitWord, "The ", 1, 2, false, 0}, {kUnitUp, "The ", 4, 7, true, 3}};
    // clang-format on
    for (const auto& [unit, pattern, ln, col, count, result] : counts) {
        at(ln, col);
        scanunit = unit;
        scanpattern.assign(pattern);
        count ? resnumber() : rescheck();
        EXPECT_EQ(vl_result[0], result) << unit << " " << pattern << " " << count;
    }
}

// The codes the random test below leaves out: {N} negates (twice is no negation), other control
// codes are ignored, {A} tries nineteen characters on and no more, and nothing matches past the
// end of the file. The matcher leaves the scanning cursor where it was.
TEST_F(ScanTest, ControlCodesOfThePattern) {
    fill(1, {"xy", "cat", std::string(19, 'a') + "b", std::string(20, 'a') + "b", "w"});
    const std::tuple<int, int, const char*, int> cases[] = {
        {1, 1, "\016x", 0}, {1, 2, "\016x", 1}, {1, 3, "\016\016x", 0}, {2, 1, "c\002at", 1},
        {3, 1, "\001b", 1}, {4, 1, "\001b", 0}, {4, 2, "\001b", 1},     {2, 1, "cat\003", 1}};
    for (const auto& [ln, col, pattern, matched] : cases) {
        EXPECT_EQ(match_here(ln, col, pattern), matched) << ln << ":" << col;
        EXPECT_EQ(std::tuple(lp, cp), std::tuple(line(ln), col));
    }
    at(5, 2);
    setptr();
    nextc();
    EXPECT_EQ(std::tuple(peepc(), match("\003"), match("\001w")), std::tuple(kEndOfFile, 0, 0));
    at(5, 1);
    findunit(kUnitChar, "\016w");
    EXPECT_EQ(std::tuple(vl_result[0], cur().curcol), std::tuple(1, 2));  // the line end after w
}

TEST_F(ScanTest, PatternsOfManySkipsGiveTheirAnswerQuickly) {
    // Several skipping codes in a row try exponentially many ways; each still gets its answer.
    std::string w = "\027";
    for (int i = 0; i < 7; ++i)
        w += "a\027";
    const std::string q = "Q\001\001\001\001z";
    const std::tuple<std::vector<std::string>, std::string, int> cases[] = {
        {{"Q" + std::string(76, 'a') + "z"}, q, 1},
        {{"Q" + std::string(77, 'a') + "z"}, q, 0},
        {{std::string(600, 'a') + "b"}, w + "b", 1},
        {{std::string(600, 'a'), "b"}, w + "b", 0},  // the line end ends the word
        {{std::string(3000, 'a') + "c"}, "a\027\027\027\027\027b", 0},
    };
    for (const auto& [text, pattern, matched] : cases) {
        fill(1, text);
        EXPECT_EQ(match_here(1, 1, pattern), matched) << text[0].size() << " " << pattern.size();
    }
    // Finding tries every place of a long line: what fails at one place serves the others.
    for (const auto& [text, found] :
         {std::pair{V{std::string(20000, 'a'), "b"}, 0}, {V{std::string(20000, 'a') + "b"}, 1}}) {
        fill(1, text);
        findunit(kUnitChar, w + "b");
        EXPECT_EQ(std::tuple(vl_result[0], line_no(), cur().curcol), std::tuple(found, 1, 1));
    }
}

// The matcher's answers as the pattern codes define them, worked out over a plain string (10 a
// line end, 4 the end of the file) without any limit on the tries; `seen` keeps the answers
// from each place and pattern position, which makes long cases cheap.
int reference_match(const std::string& pat, std::size_t pi, const std::string& t, std::size_t i,
                    std::map<std::pair<std::size_t, std::size_t>, int>& seen) {
    const auto known = seen.find({pi, i});
    if (known != seen.end()) return known->second;
    const std::size_t pi0 = pi, i0 = i;
    int result = 1;
    const auto delim = [](char c) { return c == ' ' || c == '\n' || c == ',' || c == '\004'; };
    const auto at = [&t](std::size_t k) { return k < t.size() ? t[k] : '\004'; };
    for (; pi < pat.size() && result == 1; ++pi) {
        const char c = pat[pi];
        if (static_cast<unsigned char>(c) >= ' ') {
            result = at(i) == c ? 1 : 0;
            ++i;
        } else if (c == '\003') {
            result = i < t.size() ? 1 : 0;
            ++i;
        } else if (c == '\005') {
            result = delim(at(i)) ? 1 : 0;
            while (i < t.size() && delim(at(i)))
                ++i;
        } else if (c == '\001' || c == '\027') {
            result = 0;
            for (int k = 0; c == '\027' || k < 20; ++k, ++i) {
                if (pi + 1 >= pat.size()) {
                    result = 1;
                    break;
                }
                const char n = pat[pi + 1];
                if ((static_cast<unsigned char>(n) < ' ' || at(i) == n) &&
                    reference_match(pat, pi + 1, t, i, seen) == 1) {
                    result = 1;
                    break;
                }
                if (i >= t.size() || (c == '\027' && delim(at(i)))) break;
            }
            break;
        }
    }
    seen[{pi0, i0}] = result;
    return result;
}

TEST_F(ScanTest, RandomPatternsMatchAsTheCodesDefine) {
    // Texts and patterns checked against the codes' definition: short ones, and long ones with
    // many skips, which take the remembering path.
    std::uint32_t r = 12345;
    const auto next = [&r](std::uint32_t n) {
        r = r * 1103515245u + 12345u;
        return (r >> 16) % n;
    };
    const std::string letters = "ab ,";
    const std::string codes[] = {"a", "b", " ", "\001", "\027", "\003", "\005"};
    int hits = 0;
    for (int round = 0; round < 700; ++round) {
        const bool big = round >= 600;
        std::string line1, line2, pattern;
        for (std::uint32_t k = next(big ? 300 : 30); k > 0; --k)
            line1 += big ? 'a' : letters[next(4)];
        if (big && !line1.empty()) line1[next(static_cast<std::uint32_t>(line1.size()))] = 'b';
        for (std::uint32_t k = next(8); k > 0; --k)
            line2 += letters[next(4)];
        // Long ones: skips over a run of a's with one b somewhere, ending in the b.
        for (std::uint32_t k = 1 + next(big ? 12 : 9); k > 0; --k)
            pattern += big ? codes[next(5) < 4 ? 3 : 4] : codes[next(7)];
        if (big) pattern += "b";
        fill(1, {line1, line2});
        const std::string whole = line1 + "\n" + line2 + "\n";
        std::map<std::pair<std::size_t, std::size_t>, int> seen;
        for (std::size_t col = 1; col <= line1.size() + 1; col += big ? 17 : 3) {
            hits += reference_match(pattern, 0, whole, col - 1, seen);
            EXPECT_EQ(match_here(1, static_cast<int>(col), pattern),
                      reference_match(pattern, 0, whole, col - 1, seen))
                << "[" << line1 << "|" << line2 << "] col " << col << " pattern " << pattern.size();
        }
    }
    EXPECT_GT(hits, 400);  // the cases are not all failures
}

TEST_F(ScanTest, WordsAndSentencesStepOverDelimiters) {
    fill(1, {"one, two;three", "", "  four. Five? six"});
    for (const auto step : {nextword, nextsent}) {
        at(1, 1);
        setptr();
        std::vector<std::pair<int, int>> stops;
        for (; peepc() != kEndOfFile && stops.size() < 9; step())
            stops.emplace_back(distance(cur().header, lp), cp);
        step();  // stays at the end
        EXPECT_EQ(peepc(), kEndOfFile);
        EXPECT_EQ(stops,
                  (step == nextword ? std::vector<std::pair<int, int>>{{1, 1},
                                                                       {1, 6},
                                                                       {1, 10},
                                                                       {3, 3},
                                                                       {3, 9},
                                                                       {3, 15}}
                                    : std::vector<std::pair<int, int>>{{1, 1}, {3, 9}, {3, 15}}));
    }
}

TEST_F(ScanTest, StatisticsOfWordAndSentenceLengths) {
    fill(1, {"I am."});
    fill(7, {"earlier"});
    scantext();
    EXPECT_EQ(lines_of(7), (V{"earlier", "Word length table", "  1     1", "  2     1", "***",
                              "Sentence length table", "  2     1", "***"}));
    // Long words and sentences count in the last cell; the end of the file ends the last ones.
    std::string text;
    for (int i = 0; i < 120; ++i)
        text += "w ";
    open(2, {text + std::string(25, 'x')});
    scantext();
    EXPECT_EQ(std::tuple(wordlen[1], wordlen[20], sentlen[100]), std::tuple(120, 1, 1));
    // An empty core file 7 gets the tables from its first line.
    fill(7, {""});
    scantext();
    EXPECT_EQ(lines_of(7).front(), "Word length table");
}

TEST_F(ScanTest, WholeLinePatternsCaptureTheirWildcards) {
    fill(1, {"name: Bob", "age: 7 years", "age: none"});
    at(1, 3);
    findunit(kUnitPattern, "age: * years");
    EXPECT_EQ(std::tuple(vl_result[0], line_no(), wildtext(1)), std::tuple(1, 2, "7"));
    resfind();
    EXPECT_EQ(vl_result[0], 0);
    scanpattern.assign("age: *");
    at(1, 1);
    resnumber();
    EXPECT_EQ(vl_result[0], 2);
    at(3, 4);
    rescheck();  // the whole line, wherever the cursor stands in it
    EXPECT_EQ(std::tuple(vl_result[0], wildtext(1)), std::tuple(1, std::string("none")));
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
            EXPECT_EQ(std::tuple(line_no(), cur().curcol), std::tuple(2, 11));
        }
    }
    at(1, 1);
    scantext();                // counts on to the real end
    EXPECT_EQ(wordlen[4], 3);  // last, word, here
}

// Through the edit loop, as the keys run them: the status line's line number follows the cursor.
TEST_F(ScanTest, TheFindKeyAndMovingAWholeFileKeepTheStatusLineNumber) {
    fill(1, {"one", "two", "three cat", "four"});
    cur().curline = 1;
    scanunit = kUnitChar;
    scanpattern.assign("cat");
    ASSERT_TRUE(dispatch(31));  // ESC n
    EXPECT_EQ(std::tuple(line_no(), cur().curline), std::tuple(3, 3));
    at(4, 2);  // operation 100 moves every line to core file 8
    cur().curline = 4;
    ASSERT_TRUE(dispatch(100));
    EXPECT_EQ(std::tuple(lines_of(1), cur().curline), std::tuple(V{""}, 1));
}

}  // namespace
