// CHANGE: every later occurrence replaced, longer, shorter, with control codes, and a full store.
#include <gtest/gtest.h>

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
    at(1, 2);
    change_all("one", "1");
    EXPECT_EQ(lines_of(1), (V{"one two 1", "n1", "1"}));
    at(1, 1);
    change_all("o", "0");
    EXPECT_EQ(lines_of(1), (V{"0ne tw0 1", "n1", "1"}));
    at(1, 1);
    change_all("1", "");
    EXPECT_EQ(lines_of(1), (V{"0ne tw0 ", "n", ""}));
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
    change_all("c\x17t", "dog");  // c{W}t: within a word
    EXPECT_EQ(lines_of(1), (V{"dog dog dog", "c", "t dog"}));
    // A match that runs into the next line is passed over.
    fill(1, {"ab", "cd ab"});
    change_all(
        "b\x03"
        "c",
        "X");
    EXPECT_EQ(lines_of(1), (V{"ab", "cd ab"}));
    change_all("a\x03", "X");
    EXPECT_EQ(lines_of(1), (V{"X", "cd X"}));
    // A pattern that matches nothing at all, or a negated one, changes nothing.
    change_all("\x02", "Z");
    EXPECT_EQ(lines_of(1), (V{"X", "cd X"}));
    change_all(
        "\x0e"
        "X",
        "Z");
    EXPECT_EQ(lines_of(1), (V{"X", "cd X"}));
    EXPECT_EQ(del, 2);
}

TEST_F(ScanTest, ChangeStopsCleanlyWhenTheStoreIsFull) {
    // A long first line fills most of the arena; every change needs room above it.
    const std::string as = "a a a a a a a a a a a a a a a a a a a a a a a a";
    fill(1, {"x", as, as});
    at(1, 1);
    while (avail < kTextSize - 100)
        cadd('y');
    at(2, 1);
    change_all("a", "bbbbbbbbbb");
    EXPECT_EQ(full, 1);
    // Each line is either untouched or fully changed up to the point where room ran out, with
    // nothing half written.
    for (int n = 2; n <= 3; ++n) {
        const std::string t = text(line(n));
        std::string rebuilt;
        for (std::size_t i = 0; i < t.size(); ++i) {
            if (t.compare(i, 10, "bbbbbbbbbb") == 0) {
                rebuilt += 'a';
                i += 9;
            } else {
                rebuilt += t[i];
            }
        }
        EXPECT_EQ(rebuilt, as) << t;
    }
    EXPECT_EQ(text(line(2)).substr(0, 11), "bbbbbbbbbb ");  // there was room for one
    expect_chain_sound();
}

}  // namespace
