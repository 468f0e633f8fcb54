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
    fill(1, {"ab ab"});
    change_all("ab", "xyz");
    EXPECT_EQ(lines_of(1), (V{"xyz xyz"}));
    EXPECT_EQ(line_no(), 1);
    EXPECT_EQ(cur().curcol, 8);  // after the last replacement
    EXPECT_EQ(redisplay, 1);
    // Shorter, equal and empty replacements; only what follows the cursor changes.
    fill(1, {"one two one", "none", "one"});
    const struct {
        int col;
        const char *from, *to;
        V result;
    } steps[] = {
        {2, "one", "1", {"one two 1", "n1", "1"}},
        {1, "o", "0", {"0ne tw0 1", "n1", "1"}},
        {1, "1", "", {"0ne tw0 ", "n", ""}},
    };
    for (const auto& s : steps) {
        at(1, s.col);
        change_all(s.from, s.to);
        EXPECT_EQ(lines_of(1), s.result) << s.from;
    }
    // A replacement that holds the pattern is not replaced again.
    fill(1, {"aaa"});
    change_all("a", "aa");
    EXPECT_EQ(lines_of(1), (V{"aaaaaa"}));
    EXPECT_EQ(cur().edited, 1) << "a changed file is marked edited";
    // No occurrence: nothing changes and the cursor stays.
    cur().edited = 0;
    at(1, 3);
    change_all("q", "z");
    EXPECT_EQ(lines_of(1), (V{"aaaaaa"}));
    EXPECT_EQ(cur().curcol, 3);
    EXPECT_EQ(cur().edited, 0);
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

TEST_F(ScanTest, ChangeStopsCleanlyWhenTheStoreIsFull) {
    // A long first line fills most of the arena; every change needs room above it.
    const std::string as = "a a a a a a a a a a a a a a a a a a a a a a a a";
    fill(1, {"x", as, as});
    while (avail < kTextSize - 100)
        cadd('y');
    at(2, 1);
    change_all("a", "bbbbbbbbbb");
    EXPECT_EQ(full, 1);
    // Each line is either untouched or fully changed up to the point where room ran out, with
    // nothing half written.
    EXPECT_EQ(text(line(2)).substr(0, 11), "bbbbbbbbbb ");  // there was room for one
    for (int n = 2; n <= 3; ++n) {
        std::string t = text(line(n));
        for (std::size_t i; (i = t.find("bbbbbbbbbb")) != std::string::npos;)
            t.replace(i, 10, "a");
        EXPECT_EQ(t, as) << text(line(n));
    }
    expect_chain_sound();

    // Room for five of the nine blanks a replacement needs: they are taken back, the line is as
    // it was, and what the user deleted stays in the delete ring.
    fill(1, {"ab"});
    full = 0;
    while (avail < kTextSize - 5)
        cadd('y');
    const std::string before = text(line(1));
    at(1, 1);
    delbuf.fill('Q');
    delptr = 7;
    change_all("a", "bbbbbbbbbb");
    EXPECT_EQ(full, 1);
    EXPECT_EQ(text(line(1)), before);
    EXPECT_EQ(std::string(delbuf.begin(), delbuf.end()), std::string(kDelBufSize, 'Q'));
    EXPECT_EQ(delptr, 7);
}

TEST_F(ScanTest, ChangeUsesFreedBytesBeforeTheStoreIsCalledFull) {
    // The line to change is long and hemmed in, and most of the arena above it is freed bytes.
    const std::string a(600000, 'a');
    fill(1, {a + "ab", "end", std::string(3000000, 'c')});
    cur().lnptr = line(3);
    removeline();
    ASSERT_GT(avail + static_cast<long>(a.size()), kTextSize);
    at(1, 1);
    change_all("ab", "abc");
    EXPECT_EQ(full, 0);
    EXPECT_EQ(lines_of(1), (V{a + "abc", "end"}));
    expect_chain_sound();
}

}  // namespace
