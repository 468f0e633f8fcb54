// SORT and SKEY: the range, the text and record keys, the weightings, the state after a sort, the
// abort request, and a comparison with a plain reference sort on random files.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "command_fixture.hpp"
#include "sort.hpp"
#include "stars.hpp"
#include "syn_cf.hpp"

// Every allocation of the test program is counted, so a test can tell that the sort makes none.
// (The replacements pair malloc with free; g++ sees the two through inlining and mistakes them.)
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
namespace {
std::atomic<long> allocations{0};
}  // namespace

namespace {
void* counted(std::size_t n) noexcept {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(n == 0 ? 1 : n);
}
}  // namespace

// Every form but the aligned ones, which keep their own pair, so that whatever is allocated here
// is given back here.
void* operator new(std::size_t n) {
    if (void* p = counted(n)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
    if (void* p = counted(n)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    return counted(n);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    return counted(n);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

namespace {

class SortTest : public CommandTest {
  protected:
    void SetUp() override {
        CommandTest::SetUp();
        reset_sort();
        abortreq = 0;
    }
    void TearDown() override {
        reset_sort();
        abortreq = 0;
        CommandTest::TearDown();
    }

    // Types SORT with `params` at the cursor column `col`.
    static void sort_at(int col, std::string_view params) {
        cur().curcol = col;
        run("SO", params);
    }
    static void records(const std::vector<std::string>& texts) {
        fill_lines(texts);
        for (LINE* l = cur().header->down; l != cur().header; l = l->down)
            l->object = kObjRecord;
        cur().viewtype = 1;
    }
    // Both directions of the list agree and hold every line once.
    static void expect_list_sound() {
        const COREFILE& cf = cur();
        int n = 0;
        for (const LINE* l = cf.header->down; l != cf.header && n <= cf.lncount; l = l->down) {
            EXPECT_EQ(l->down->up, l);
            EXPECT_EQ(l->up->down, l);
            ++n;
        }
        EXPECT_EQ(n, cf.lncount);
    }
};

TEST_F(SortTest, TheRangeStopsAtLinesTheViewDoesNotSort) {
    fill_lines({"pear", "apple", "fig"});
    line(1)->object = kObjRecord;  // a record first in the text view: nothing is sorted
    sort_at(1, "0");
    EXPECT_EQ(texts(), (std::vector<std::string>{"pear", "apple", "fig"}));
    EXPECT_EQ(cur().edited, 0);

    // A range that meets a line of another object ends before it.
    SetUp();
    fill_lines({"pear", "apple", "fig", "bean", "zest", "corn"});
    line(4)->object = kObjRecord;
    sort_at(1, "0");
    EXPECT_EQ(texts(), (std::vector<std::string>{"apple", "fig", "pear", "bean", "zest", "corn"}));

    // The line range counts from 1; a start past the end, an empty range and a key length of 0
    // leave the file alone.
    SetUp();
    fill_lines({"d", "c", "b", "a"});
    sort_at(1, "0|15|2|3");
    EXPECT_EQ(texts(), (std::vector<std::string>{"d", "b", "c", "a"}));
    for (const char* unchanged : {"0|15|9|12", "0|15|3|2", "0|0"}) {
        sort_at(1, unchanged);
        EXPECT_EQ(texts(), (std::vector<std::string>{"d", "b", "c", "a"})) << unchanged;
    }
    // Views other than text and records sort nothing.
    cur().viewtype = 3;
    sort_at(1, "0");
    EXPECT_EQ(texts(), (std::vector<std::string>{"d", "b", "c", "a"}));
}

TEST_F(SortTest, AfterASortTheCursorIsOnTheRangesFirstLineAndNoStarsAreLeft) {
    fill_lines({"top", "c", "a", "b"});
    cur().lnptr = line(4);
    makestars();
    cur().lnptr = line(3);
    makestars();
    cur().curcol = 1;
    typed("SO", "0|15|2|4");
    commands[cmdptr].checker();
    cur().curcol = 7;  // the key column is the one the command was typed at
    sort();
    EXPECT_EQ(texts(), (std::vector<std::string>{"top", "a", "b", "c"}));
    EXPECT_EQ(cur().lnptr, line(2));
    EXPECT_EQ(cur().disln, line(2));
    EXPECT_EQ(cur().curcol, 1);
    EXPECT_EQ(cur().starA, nullptr);
    EXPECT_EQ(cur().starB, nullptr);
    EXPECT_EQ(cur().starcount, 0);
    EXPECT_EQ(cur().edited, 1);
    EXPECT_EQ(redisplay, 1);
}

TEST_F(SortTest, TextKeysRunFromTheCursorColumnToTheKeyLength) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        int col;
        const char* params;
        std::vector<std::string> sorted;
    };
    const std::string a15(15, 'a'), a14(14, 'a'), x10(10, 'x');
    const std::vector<Case> cases = {
        {"lines without a key come first, in their old order",
         {"cherry", "ab", "", "a", "banana", "ac"},
         3,
         "0",
         {"ab", "", "a", "ac", "cherry", "banana"}},
        {"15 columns from column 1: later columns do not count",
         {a15 + "Z", a15 + "A", a14 + "b"},
         1,
         "0|15",
         {a15 + "Z", a15 + "A", a14 + "b"}},
        {"from column 5 only columns 5 to 15 count",
         {"zzzzb", "aaaac", "mmmma", "qqqqa" + x10 + "Z", "rrrra" + x10 + "A"},
         5,
         "0|15",
         {"mmmma", "qqqqa" + x10 + "Z", "rrrra" + x10 + "A", "zzzzb", "aaaac"}},
        {"the shorter of two equal prefixes first",
         {"abcd", "abc", "ab", "abd"},
         1,
         "0",
         {"ab", "abc", "abcd", "abd"}},
        {"descending keeps duplicates together",
         {"b", "a", "c", "b", "a", "c", "b"},
         1,
         "1",
         {"c", "c", "b", "b", "b", "a", "a"}},
        {"a negative length compares backwards from the key column",
         {"x1z", "y2a", "z1a", "w3a"},
         3,
         "0|-1",
         {"z1a", "y2a", "w3a", "x1z"}},
        {"with the key column past the key length one character counts",
         {"xxxxxb", "yyyyya", "zzzzzb"},
         6,
         "0|3",
         {"yyyyya", "xxxxxb", "zzzzzb"}},
        {"upper case before lower case in raw byte order",
         {"b", "B", "a", "A"},
         1,
         "0",
         {"A", "B", "a", "b"}},
    };
    for (const Case& c : cases) {
        SetUp();
        fill_lines(c.lines);
        sort_at(c.col, c.params);
        EXPECT_EQ(texts(), c.sorted) << c.what;
        expect_list_sound();
    }
}

TEST_F(SortTest, SkeyChoosesHowCharactersWeigh) {
    run("SK", "1");
    EXPECT_EQ(sorttable, 1);
    // Capital, small and accented forms of a letter weigh alike; '_' weighs as a blank.
    EXPECT_EQ(sortweight(1, 'E'), sortweight(1, 'e'));
    EXPECT_EQ(sortweight(1, 0xC9), sortweight(1, 'e'));  // É
    EXPECT_EQ(sortweight(1, 0xE7), 'c');                 // ç
    EXPECT_EQ(sortweight(1, '_'), ' ');
    EXPECT_EQ(sortweight(1, 0xE6), 127);  // æ has no base letter
    EXPECT_EQ(sortweight(1, 7), 127);
    fill_lines({"\xE9t\xE9", "Ete", "abc", "ETE", "zed"});
    sort_at(1, "0");
    EXPECT_EQ(texts(), (std::vector<std::string>{"abc", "\xE9t\xE9", "Ete", "ETE", "zed"}));

    // Accent classes: unaccented small letters all weigh alike, capitals before them, accented
    // letters after by their accent.
    SetUp();
    run("SK", "2");
    EXPECT_EQ(sortweight(2, 'q'), sortweight(2, 'b'));
    EXPECT_LT(sortweight(2, 'Q'), sortweight(2, 'q'));
    EXPECT_LT(sortweight(2, 0xE9), sortweight(2, 0xE8));  // é before è
    EXPECT_EQ(sortweight(2, 0xE7), 10);
    fill_lines({"mot", "\xE0la", "cat", "Zed", "\xE9t\xE9"});
    sort_at(1, "0");
    EXPECT_EQ(texts(), (std::vector<std::string>{"Zed", "mot", "cat", "\xE9t\xE9", "\xE0la"}));
    // The choice stays for later sorts until SKEY changes it.
    EXPECT_EQ(sorttable, 2);
    run("SK", "0");
    sort_at(1, "0");
    EXPECT_EQ(texts(), (std::vector<std::string>{"Zed", "cat", "mot", "\xE0la", "\xE9t\xE9"}));
}

TEST_F(SortTest, RecordsSortByTheWholeFieldUnderTheCursor) {
    records({"smith|40|", "|12|", "smithson|7|", "adams|40|", "|3|", "jones"});
    sort_at(1, "0|2");  // the key length does not apply to fields
    EXPECT_EQ(texts(), (std::vector<std::string>{"|12|", "|3|", "adams|40|", "jones", "smith|40|",
                                                 "smithson|7|"}));
    // The field under the cursor on the cursor line is the key: the second one here, descending.
    // A line without that field sorts as an empty field.
    cur().lnptr = line(3);
    sort_at(7, "1");
    EXPECT_EQ(texts(), (std::vector<std::string>{"smithson|7|", "adams|40|", "smith|40|", "|3|",
                                                 "|12|", "jones"}));
    // Text lines in a record view end the range; view 2 sorts records as view 1 does.
    SetUp();
    records({"b|", "a|", "c|"});
    cur().viewtype = 2;
    line(3)->object = kObjText;
    sort_at(1, "0");
    EXPECT_EQ(texts(), (std::vector<std::string>{"a|", "b|", "c|"}));
}

TEST_F(SortTest, TheSortAllocatesNothingAndAnAbortLeavesASoundList) {
    std::vector<std::string> lines;
    std::mt19937 rng(7);
    for (int i = 0; i < 3000; ++i)
        lines.push_back(std::to_string(rng() % 100000));
    fill_lines(lines);
    abortreq = 1;  // a request left from before the sort is cleared when it starts
    const long before = allocations.load();
    EXPECT_EQ(sortlines(0, 15, 1, 200000, 1), 3000);
    EXPECT_EQ(allocations.load(), before);
    std::vector<std::string> sorted = lines;
    std::stable_sort(sorted.begin(), sorted.end());
    EXPECT_EQ(texts(), sorted);

    // An abort request part way stops both passes; the list stays whole and the cursor goes to
    // the range's first line as after any sort. A request left from before is cleared first.
    SetUp();
    fill_lines(lines);
    abortreq = 1;
    sort_abort_after(2000);
    EXPECT_EQ(sortlines(0, 15, 1, 200000, 1), 3000);
    expect_list_sound();
    std::vector<std::string> partly = texts();
    EXPECT_NE(partly, sorted);
    std::sort(partly.begin(), partly.end());
    EXPECT_EQ(partly, sorted);
    EXPECT_EQ(cur().lnptr, line(1));
    EXPECT_EQ(cur().curcol, 1);
}

// Random files sorted by SORT give the order of a plain reference sort on the same key.
TEST_F(SortTest, RandomFilesSortIntoTheKeyOrderOfAReferenceSort) {
    std::mt19937 rng(2024);
    auto word = [&rng](int len) {
        std::string s;
        for (int i = 0; i < len; ++i)
            s.push_back(static_cast<char>("ab cAB~\xE9z"[rng() % 9]));
        return s;
    };
    // The key the reference compares: columns col to len of the line, then, within the key
    // length, a line that ends earlier sorts first.
    struct Key {
        std::string text;
        bool empty;
    };
    for (int round = 0; round < 60; ++round) {
        SetUp();
        const int count = 1 + static_cast<int>(rng() % 400);
        const int col = 1 + static_cast<int>(rng() % 4);
        const int len = col + static_cast<int>(rng() % 12);
        const int dir = static_cast<int>(rng() % 2);
        std::vector<std::string> lines;
        for (int i = 0; i < count; ++i)
            lines.push_back(word(static_cast<int>(rng() % 14)));
        fill_lines(lines);
        ASSERT_EQ(sortlines(dir, len, 1, 200000, col), count);
        auto key = [&](const std::string& s) {
            if (static_cast<int>(s.size()) < col) return Key{"", true};
            return Key{s.substr(static_cast<std::size_t>(col - 1),
                                static_cast<std::size_t>(len - col + 1)),
                       false};
        };
        auto less = [&](const std::string& a, const std::string& b) {
            const Key ka = key(a), kb = key(b);
            if (ka.empty || kb.empty) return ka.empty && !kb.empty;
            return std::lexicographical_compare(
                ka.text.begin(), ka.text.end(), kb.text.begin(), kb.text.end(), [](char x, char y) {
                    return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
                });
        };
        std::vector<std::string> want = lines;
        if (dir == 0) {
            std::stable_sort(want.begin(), want.end(), less);
        } else {
            std::stable_sort(
                want.begin(), want.end(),
                [&](const std::string& a, const std::string& b) { return less(b, a); });
        }
        const std::vector<std::string> got = texts();
        ASSERT_EQ(got.size(), want.size());
        std::vector<std::string> got_sorted = got, lines_sorted = lines;
        std::sort(got_sorted.begin(), got_sorted.end());
        std::sort(lines_sorted.begin(), lines_sorted.end());
        EXPECT_EQ(got_sorted, lines_sorted) << "not a permutation, round " << round;
        for (std::size_t i = 0; i < got.size(); ++i) {
            const Key kg = key(got[i]), kw = key(want[i]);
            ASSERT_EQ(kg.empty, kw.empty) << "round " << round << " line " << i;
            ASSERT_EQ(kg.text, kw.text) << "round " << round << " line " << i << " col " << col
                                        << " len " << len << " dir " << dir;
        }
        expect_list_sound();
    }
}

}  // namespace
