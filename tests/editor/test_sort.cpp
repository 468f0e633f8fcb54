// SORT and SKEY: the range, text and record keys, the weightings, the state after a sort, the
// abort request, and random files against a plain reference sort.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

#include "command_fixture.hpp"
#include "sort.hpp"
#include "stars.hpp"

// Every allocation of the test program is counted, so a test can tell that the sort makes none.
// Every form is replaced, as the sanitizer's own forms would not pair with these. (The replacements
// pair malloc with free; g++ sees the two through inlining and mistakes them.)
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

using V = std::vector<std::string>;

// Lines split at '/'.
V split(std::string_view s) {
    V out(1);
    for (char ch : s) {
        if (ch == '/') {
            out.emplace_back();
        } else {
            out.back().push_back(ch);
        }
    }
    return out;
}

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
    // A fresh store holding `text`, sorted by SORT typed with `params` at column `col`.
    V sorted(std::string_view text, int col, std::string_view params, int object = kObjText) {
        const int table = sorttable;  // SKEY's choice stays for later sorts
        SetUp();
        sorttable = table;
        fill_lines(split(text));
        for (LINE* l = cur().header->down; l != cur().header; l = l->down) {
            if (l->object != kObjNew) l->object = object;
        }
        cur().viewtype = object == kObjRecord ? 1 : 0;
        cur().curcol = col;
        run("SO", params);
        expect_chain_sound();  // both directions of the list, and every line once
        return texts();
    }
};

TEST_F(SortTest, KeysRunFromTheCursorColumnToTheKeyLengthOrAreTheFieldUnderTheCursor) {
    struct Case {
        const char* in;
        int col;
        const char* params;
        const char* out;
    } const cases[] = {
        // Lines without a key come first, in their old order.
        {"cherry/ab//a/banana/ac", 3, "0", "ab//a/ac/cherry/banana"},
        // Key length 15 from column 1: later columns do not count; from 5, columns 5 to 15 do.
        {"aaaaaaaaaaaaaaaZ/aaaaaaaaaaaaaaaA/aaaaaaaaaaaaaab", 1, "0|15",
         "aaaaaaaaaaaaaaaZ/aaaaaaaaaaaaaaaA/aaaaaaaaaaaaaab"},
        {"zzzzb/aaaac/mmmma/qqqqaxxxxxxxxxxZ/rrrraxxxxxxxxxxA", 5, "0|15",
         "mmmma/qqqqaxxxxxxxxxxZ/rrrraxxxxxxxxxxA/zzzzb/aaaac"},
        {"abcd/abc/ab/abd", 1, "0", "ab/abc/abcd/abd"},     // the shorter of equal prefixes first
        {"b/a/c/b/a/c/b", 1, "1", "c/c/b/b/b/a/a"},         // descending
        {"x1z/y2a/z1a/w3a", 3, "0|-1", "z1a/y2a/w3a/x1z"},  // backwards from the key column
        {"xxxxxb/yyyyya/zzzzzb", 6, "0|3", "yyyyya/xxxxxb/zzzzzb"},  // the column past the length
        {"b/B/a/A", 1, "0", "A/B/a/b"},
        // Ranges count from 1; a start past the end, an empty range and a key length of 0 sort
        // nothing; a line of another object ends the range, and one first sorts nothing.
        {"d/c/b/a", 1, "0|15|2|3", "d/b/c/a"},
        {"d/c/b/a", 1, "0|15|9|12", "d/c/b/a"},
        {"d/c/b/a", 1, "0|15|3|2", "d/c/b/a"},
        {"d/c/b/a", 1, "0|0", "d/c/b/a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sorted(c.in, c.col, c.params), split(c.out)) << c.in << " " << c.params;
    SetUp();
    fill_lines(split("pear/apple/fig/bean/zest/corn"));
    line(4)->object = kObjRecord;
    run("SO", "0");
    EXPECT_EQ(texts(), split("apple/fig/pear/bean/zest/corn"));
    cur().lnptr = line(4);  // a record first in the text view
    run("SO", "0|15|4");
    EXPECT_EQ(texts(), split("apple/fig/pear/bean/zest/corn"));
    cur().viewtype = 3;  // views other than text and records sort nothing
    run("SO", "1");
    EXPECT_EQ(texts(), split("apple/fig/pear/bean/zest/corn"));

    // Records: the whole field under the cursor, an empty field first; the key length does not
    // apply; a line without that field sorts as an empty one.
    const char* recs = "smith|40|/|12|/smithson|7|/adams|40|/|3|/jones";
    EXPECT_EQ(sorted(recs, 1, "0|2", kObjRecord),
              split("|12|/|3|/adams|40|/jones/smith|40|/smithson|7|"));
    cur().lnptr = line(3);  // "adams|40|": the second field, descending
    cur().curcol = 7;
    run("SO", "1");
    EXPECT_EQ(texts(), split("smithson|7|/adams|40|/smith|40|/|3|/|12|/jones"));
    EXPECT_EQ(sorted("b|/a|/c|", 1, "0", kObjRecord), split("a|/b|/c|"));
}

TEST_F(SortTest, SkeyChoosesHowCharactersWeighAndTheChoiceStays) {
    // Capital, small and accented forms weigh alike; '_' weighs as a blank.
    run("SK", "1");
    EXPECT_EQ(sorted("\xE9t\xE9/Ete/abc/ETE/zed/a_c/a c", 1, "0"),
              split("a_c/a c/abc/\xE9t\xE9/Ete/ETE/zed"));
    // Accent classes: capitals first, unaccented small letters all alike, then by accent.
    run("SK", "2");
    EXPECT_EQ(sorted("mot/\xE0la/cat/Zed/\xE9t\xE9/\xE8t\xE9", 1, "0"),
              split("Zed/mot/cat/\xE9t\xE9/\xE0la/\xE8t\xE9"));
    run("SK", "0");
    EXPECT_EQ(sorted("mot/\xE0la/cat/Zed/\xE9t\xE9", 1, "0"),
              split("Zed/cat/mot/\xE0la/\xE9t\xE9"));
}

TEST_F(SortTest, AfterASortTheCursorIsOnTheRangesFirstLineAndNoStarsAreLeft) {
    fill_lines(split("top/c/a/b"));
    cur().lnptr = line(4);
    makestars();
    cur().lnptr = line(3);
    makestars();
    cur().curcol = 1;
    typed("SO", "0|15|2|4");
    commands[cmdptr].checker();
    cur().curcol = 7;  // the key column is the one the command was typed at
    sort();
    EXPECT_EQ(texts(), split("top/a/b/c"));
    EXPECT_EQ(cur().lnptr, line(2));
    EXPECT_EQ(cur().disln, line(2));
    EXPECT_EQ(cur().curcol, 1);
    EXPECT_EQ(cur().starcount, 0);
    EXPECT_EQ(cur().edited, 1);
}

TEST_F(SortTest, TheSortAllocatesNothingAndAnAbortLeavesASoundList) {
    V lines;
    std::mt19937 rng(7);
    for (int i = 0; i < 3000; ++i)
        lines.push_back(std::to_string(rng() % 100000));
    V want = lines;
    std::stable_sort(want.begin(), want.end());
    for (const long abort_after : {-1L, 2000L}) {
        SetUp();
        fill_lines(lines);
        abortreq = 1;  // a request left from before the sort is cleared when it starts
        sort_abort_after(abort_after);
        const long before = allocations.load();
        EXPECT_EQ(sortlines(0, 15, 1, 200000, 1), 3000);
        EXPECT_EQ(allocations.load(), before);
        expect_chain_sound();
        V got = texts();
        EXPECT_EQ(got == want, abort_after < 0);  // stopped part way, and still a permutation
        std::sort(got.begin(), got.end());
        EXPECT_EQ(got, want);
        EXPECT_EQ(cur().lnptr, line(1));
    }
}

TEST_F(SortTest, RandomFilesSortIntoTheKeyOrderOfAReferenceSort) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 60 && !HasFailure(); ++round) {
        SetUp();
        const int count = 1 + static_cast<int>(rng() % 400), col = 1 + static_cast<int>(rng() % 4);
        const int len = col + static_cast<int>(rng() % 12), dir = static_cast<int>(rng() % 2);
        V lines;
        for (int i = 0; i < count; ++i) {
            lines.emplace_back();
            for (int n = static_cast<int>(rng() % 14); n > 0; --n)
                lines.back().push_back("ab cAB~\xE9z"[rng() % 9]);
        }
        fill_lines(lines);
        ASSERT_EQ(sortlines(dir, len, 1, 200000, col), count);
        // The reference key: columns col to len as unsigned bytes; a line shorter than col has
        // none and sorts before every line with one.
        auto key = [&](const std::string& s) {
            const auto n = static_cast<int>(s.size());
            return std::vector<unsigned char>(s.begin() + std::min(col - 1, n),
                                              s.begin() + std::min(len, n));
        };
        V want = lines;
        std::stable_sort(want.begin(), want.end(), [&](const std::string& a, const std::string& b) {
            return dir == 0 ? key(a) < key(b) : key(b) < key(a);
        });
        const V got = texts();
        V got_sorted = got;
        std::sort(got_sorted.begin(), got_sorted.end());
        std::sort(lines.begin(), lines.end());
        EXPECT_EQ(got_sorted, lines) << "not a permutation, round " << round;
        for (std::size_t i = 0; i < got.size(); ++i)
            ASSERT_EQ(key(got[i]), key(want[i])) << "round " << round << " line " << i;
        expect_chain_sound();
    }
}

}  // namespace
