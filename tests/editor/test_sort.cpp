// SORT and SKEY: the range, text and record keys, the weightings, the state after a sort and the
// abort request.
#include <gtest/gtest.h>

#include <algorithm>

#include "command_fixture.hpp"
#include "sort.hpp"
#include "stars.hpp"

namespace {

using V = std::vector<std::string>;

V split(std::string_view s) {  // lines split at '/'
    V out(1);
    for (char ch : s)
        ch == '/' ? void(out.emplace_back()) : out.back().push_back(ch);
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
        for (LINE* l = cur().header->down; l != cur().header; l = l->down)
            if (l->object != kObjNew) l->object = object;
        cur().viewtype = object == kObjRecord ? 1 : 0;
        cur().curcol = col;
        run("SO", params);
        expect_chain_sound();
        return texts();
    }
};

TEST_F(SortTest, KeysRunFromTheCursorColumnToTheKeyLengthOrAreTheFieldUnderTheCursor) {
    const std::tuple<const char*, int, const char*, const char*> cases[] = {
        // Lines without a key come first, in their old order.
        {"ab/cherry//a/banana/ac", 3, "0", "ab//a/ac/cherry/banana"},
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
        // nothing.
        {"d/c/b/a", 1, "0|15|2|3", "d/b/c/a"},
        {"d/c/b/a", 1, "0|15|9|12", "d/c/b/a"},
        {"d/c/b/a", 1, "0|15|3|2", "d/c/b/a"},
        {"d/c/b/a", 1, "0|0", "d/c/b/a"}};
    for (const auto& [in, col, params, out] : cases)
        EXPECT_EQ(sorted(in, col, params), split(out)) << in << " " << params;
    // A line of another object ends the range, and one first sorts nothing; views other than
    // text and records sort nothing.
    SetUp();
    fill_lines(split("pear/apple/fig/bean/zest/corn"));
    line(4)->object = kObjRecord;
    const V after = split("apple/fig/pear/bean/zest/corn");
    for (const auto& [view, params] : {std::pair{0, "0"}, {0, "0|15|4"}, {3, "1"}}) {
        cur().viewtype = view;
        run("SO", params);
        EXPECT_EQ(texts(), after);
    }
    // Records: the whole field under the cursor, an empty field first; the key length does not
    // apply; a line without that field sorts as an empty one.
    EXPECT_EQ(sorted("smith|40|/|12|/smithson|7|/adams|40|/|3|/jones", 1, "0|2", kObjRecord),
              split("|12|/|3|/adams|40|/jones/smith|40|/smithson|7|"));
    cur().lnptr = line(3);  // "adams|40|": the second field, descending
    cur().curcol = 7;
    run("SO", "1");
    EXPECT_EQ(texts(), split("smithson|7|/adams|40|/smith|40|/|3|/|12|/jones"));
}

TEST_F(SortTest, SkeyChoosesHowCharactersWeighAndTheChoiceStays) {
    // 1: capital, small and accented forms alike, '_' as a blank; 2: capitals first, unaccented
    // small letters all alike, then by accent; 0: the bytes.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"1", "\xE9t\xE9/Ete/abc/ETE/zed/a_c/a c", "a_c/a c/abc/\xE9t\xE9/Ete/ETE/zed"},
        {"2", "mot/\xE0la/cat/Zed/\xE9t\xE9/\xE8t\xE9", "Zed/mot/cat/\xE9t\xE9/\xE0la/\xE8t\xE9"},
        {"0", "mot/\xE0la/cat/Zed/\xE9t\xE9", "Zed/cat/mot/\xE0la/\xE9t\xE9"}};
    for (const auto& [table, in, out] : cases) {
        run("SK", table);
        EXPECT_EQ(sorted(in, 1, "0"), split(out)) << table;
    }
}

TEST_F(SortTest, AfterASortTheCursorIsOnTheRangesFirstLineNoStarsAreLeftAndAbortsAreHeard) {
    fill_lines(split("top/c/a/b"));
    for (int n : {4, 3}) {
        cur().lnptr = line(n);
        makestars();
    }
    cur().curcol = 1;
    typed("SO", "0|15|2|4");
    commands[cmdptr].checker();
    cur().curcol = 7;  // the key column is the one the command was typed at
    sort();
    EXPECT_EQ(texts(), split("top/a/b/c"));
    EXPECT_EQ((std::tuple{cur().lnptr, cur().disln, cur().curcol, cur().starcount, cur().edited}),
              (std::tuple{line(2), line(2), 1, 0, 1}));
    // A request left from before a sort is cleared when it starts; one made part way stops it
    // with every line still there once.
    V lines;
    for (int i = 0; i < 300; ++i)
        lines.push_back(std::to_string((i * 7919) % 1000));
    for (const long stop : {-1L, 200L}) {
        SetUp();
        fill_lines(lines);
        abortreq = 1;
        sort_abort_after(stop);
        EXPECT_EQ(sortlines(0, 15, 1, 200000, 1), 300);
        expect_chain_sound();
        V got = texts();
        EXPECT_EQ(std::is_sorted(got.begin(), got.end()), stop < 0);
        std::sort(got.begin(), got.end());
        EXPECT_TRUE(std::is_permutation(got.begin(), got.end(), lines.begin()));
    }
}

}  // namespace
