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

// Lines without a key, and records without the field, sort first.
TEST_F(SortTest, LinesWithoutAKeyAndEmptyFieldsSortFirst) {
    EXPECT_EQ(sorted("ab/cherry//a/banana/ac", 3, "0"), split("ab//a/ac/cherry/banana"));
    EXPECT_EQ(sorted("smith|40|/|12|/smithson|7|/adams|40|/|3|/jones", 1, "0|2", kObjRecord),
              split("|12|/|3|/adams|40|/jones/smith|40|/smithson|7|"));
}
