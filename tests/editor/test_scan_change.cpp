// CHANGE: every later occurrence replaced, longer, shorter, with control codes, and a full store.
#include <gtest/gtest.h>

#include <algorithm>

#include "scan_fixture.hpp"

namespace {

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
        EXPECT_EQ(lines_of(1), after) << from;
        EXPECT_EQ(cur().curcol, end_col) << from << " (after the last replacement)";
        EXPECT_EQ(cur().edited, before == after ? 0 : 1) << from;
    }
    expect_chain_sound();
}

TEST_F(ScanTest, ChangeWithControlCodesReplacesTheMatchedSpan) {
    fill(1, {"cat cot coast", "c", "t ct"});
    change_all("c\027t", "dog");  // c{W}t: within a word
    EXPECT_EQ(lines_of(1), (V{"dog dog dog", "c", "t dog"}));
    // A match that runs into the next line is passed over, and the user is told how many were;
    // a pattern that matches nothing at all, or a negated one, changes nothing.
    fill(1, {"ab", "cd ab", "b", "c"});
    const std::tuple<const char*, const char*, V, const char*> steps[] = {
        {"b\003c", "X", {"ab", "cd ab", "b", "c"}, "2 matches run over a line end: not changed"},
        {"d\005a", "X", {"ab", "cXb", "b", "c"}, nullptr},
        {"a\003", "X", {"X", "cXb", "b", "c"}, nullptr},
        {"\002", "Z", {"X", "cXb", "b", "c"}, nullptr},
        {"\016X", "Z", {"X", "cXb", "b", "c"}, nullptr},
    };
    for (const auto& [from, to, result, told] : steps) {
        at(1, 1);
        const std::string pattern = from, replacement = to;
        const V shown = screen_of([&] { change_all(pattern, replacement); });
        EXPECT_EQ(lines_of(1), result) << from;
        const bool said = std::find_if(shown.begin(), shown.end(), [](const std::string& c) {
                              return c.find("over a line end") != std::string::npos;
                          }) != shown.end();
        EXPECT_EQ(said, told != nullptr) << from;
        if (told != nullptr) {
            EXPECT_NE(std::find(shown.begin(), shown.end(), std::string("$me") + told),
                      shown.end());
        }
    }
    EXPECT_EQ(del, 2);
}

// Each line is either untouched or fully changed up to where room ran out, nothing half
// written; a replacement that cannot be completed is taken back, with the delete ring as it was.
// A long hemmed-in line takes back freed bytes before the store is called full.
TEST_F(ScanTest, ChangeStopsCleanlyWhenTheStoreIsFull) {
    const std::string as = "a a a a a a a a a a a a a a a a a a a a a a a a";
    fill(1, {"x", as, as});
    while (avail < kTextSize - 100)
        cadd('y');
    at(2, 1);
    change_all("a", "bbbbbbbbbb");
    EXPECT_EQ(full, 1);
    EXPECT_EQ(text(line(2)).substr(0, 11), "bbbbbbbbbb ");  // there was room for one
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

    const std::string a(600000, 'a');
    fill(1, {a + "ab", "end", std::string(3000000, 'c')});
    cur().lnptr = line(3);
    removeline();
    ASSERT_GT(avail + static_cast<long>(a.size()), kTextSize);
    at(1, 1);
    change_all("ab", "abc");
    EXPECT_EQ(std::tuple(full, lines_of(1)), std::tuple(0, V{a + "abc", "end"}));
    expect_chain_sound();
}

}  // namespace
