// Find, scan and change: the units, the pattern matcher's control codes, counting, testing and
// replacing.
#include <gtest/gtest.h>

#include "scan_fixture.hpp"
#include "stars.hpp"

namespace {

TEST_F(ScanTest, EachUnitFindsItsNextOccurrence) {
    fill(1, {"The cat sat.", "on the mat. The dog", "ran off! Then", "The end"});
    // From where a find starts, where it goes, then where finding again goes (line 0: not found,
    // the cursor stays). Words are tested at their starts only; "Then" begins a sentence.
    // clang-format off
    const std::tuple<int, const char*, int, int, int, int, int, int> finds[] = {
        {kUnitChar, "the", 1, 1, 2, 4, 0, 0},     {kUnitWord, "The ", 1, 2, 2, 13, 4, 1},
        {kUnitLine, "The", 1, 2, 4, 1, 0, 0},     {kUnitSent, "The", 1, 2, 2, 13, 3, 10},
        {kUnitUp, "cat", 4, 1, 1, 5, 0, 0},       {kUnitChar, "zebra", 2, 3, 0, 0, 0, 0}};
    // clang-format on
    for (const auto& [unit, pattern, from_line, from_col, to_line, to_col, next_line, next_col] :
         finds) {
        at(from_line, from_col);
        mode = 0;
        findunit(unit, pattern);
        const bool found = to_line != 0, again = next_line != 0;
        EXPECT_EQ(std::tuple(vl_result[0], line_no(), cur().curcol, mode),
                  std::tuple(found, found ? to_line : from_line, found ? to_col : from_col, 1))
            << pattern;
        if (!found) continue;
        resfind();  // one character on
        EXPECT_EQ(std::tuple(vl_result[0], line_no(), cur().curcol),
                  std::tuple(again, again ? next_line : to_line, again ? next_col : to_col))
            << pattern;
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

// A blank is no wildcard; {N} negates (twice is none), other codes are ignored, {A} tries 19
// characters on and no more; the scan cursor stays.
TEST_F(ScanTest, ControlCodesOfThePattern) {
    fill(1, {"x y", "cat", std::string(19, 'a') + "b", std::string(20, 'a') + "b", "w"});
    const std::tuple<int, int, const char*, int> cases[] = {
        {1, 1, "\016x", 0},   {1, 2, "\016x", 1},   {1, 3, "\016\016x", 0},
        {2, 1, "c\002at", 1}, {3, 1, "\001b", 1},   {4, 1, "\001b", 0},
        {4, 2, "\001b", 1},   {2, 1, "cat\003", 1}, {1, 1, "xzy", 0}};
    for (const auto& [ln, col, pattern, matched] : cases) {
        at(ln, col);
        setptr();
        EXPECT_EQ(match(pattern), matched) << ln << ":" << col;
        EXPECT_EQ(std::tuple(lp, cp), std::tuple(line(ln), col));
    }
    at(5, 1);
    findunit(kUnitChar, "\016w");
    EXPECT_EQ(std::tuple(vl_result[0], cur().curcol), std::tuple(1, 2));  // the line end after w
}

TEST_F(ScanTest, WordsAndSentencesStepOverDelimiters) {
    using Stops = std::vector<std::pair<int, int>>;
    fill(1, {"one, two;three", "", "  four. Five? six"});
    for (const auto& [step, want] :
         {std::pair{&nextword, Stops{{1, 1}, {1, 6}, {1, 10}, {3, 3}, {3, 9}, {3, 15}}},
          {&nextsent, Stops{{1, 1}, {3, 9}, {3, 15}}}}) {
        at(1, 1);
        setptr();
        Stops stops;
        for (; peepc() != kEndOfFile && stops.size() < 9; step())
            stops.emplace_back(distance(cur().header, lp), cp);
        step();  // stays at the end
        EXPECT_EQ(std::tuple(stops, peepc()), std::tuple(want, kEndOfFile));
    }
}

void change_all(const std::string& from, const std::string& to) {
    scanpattern.assign(from);
    targetstring.assign(to);
    change();
}

TEST_F(ScanTest, ChangeReplacesEveryLaterOccurrence) {
    // From the cursor's place: longer, shorter, equal and empty replacements; a replacement
    // that holds the pattern is not replaced again; no occurrence changes nothing.
    const std::tuple<V, int, const char*, const char*, V, int> steps[] = {
        {{"ab ab"}, 1, "ab", "xyz", {"xyz xyz"}, 8},
        {{"one two one", "none", "one"}, 2, "one", "1", {"one two 1", "n1", "1"}, 2},
        {{"0ne tw0 1", "n1"}, 1, "1", "", {"0ne tw0 ", "n"}, 2},
        {{"aaa"}, 1, "a", "aa", {"aaaaaa"}, 7},
        {{"aaa"}, 2, "q", "z", {"aaa"}, 2},
    };
    for (const auto& [before, col, from, to, after, end_col] : steps) {
        fill(1, before);
        at(1, col);
        cur().edited = 0;
        change_all(from, to);
        EXPECT_EQ(std::tuple(lines_of(1), cur().curcol, cur().edited),
                  std::tuple(after, end_col, before == after ? 0 : 1))
            << from;
    }
    expect_chain_sound();
}

// Each line is either untouched or fully changed up to where room ran out, nothing half
// written; a replacement that cannot be completed is taken back, with the delete ring as it was.
TEST_F(ScanTest, ChangeStopsCleanlyWhenTheStoreIsFull) {
    const std::string as = "a a a a a a a a a a a a a a a a a a a a a a a a";
    fill(1, {"x", as, as});
    while (avail < kTextSize - 100)
        cadd('y');
    at(2, 1);
    change_all("a", "bbbbbbbbbb");
    EXPECT_EQ(std::tuple(full, text(line(2)).substr(0, 11)), std::tuple(1, "bbbbbbbbbb "));
    for (int n = 2; n <= 3; ++n) {
        std::string t = text(line(n));
        for (std::size_t i; (i = t.find("bbbbbbbbbb")) != std::string::npos;)
            t.replace(i, 10, "a");
        EXPECT_EQ(t, as) << text(line(n));
    }
    expect_chain_sound();

    fill(1, {"ab"});
    full = 0;
    while (avail < kTextSize - 5)
        cadd('y');
    const std::string before = text(line(1));
    at(1, 1);
    delbuf.fill('Q');
    delptr = 7;
    change_all("a", "bbbbbbbbbb");
    EXPECT_EQ(std::tuple(full, text(line(1)), delptr), std::tuple(1, before, 7));
    EXPECT_EQ(std::string(delbuf.begin(), delbuf.end()), std::string(kDelBufSize, 'Q'));
}

}  // namespace
