// Starred blocks: starring, moving between core files, copying into core file 0.
#include <gtest/gtest.h>

#include <algorithm>

#include "scan_fixture.hpp"
#include "stars.hpp"
#include "terminal.hpp"

namespace {

class StarsTest : public ScanTest {
  protected:
    static void star(const std::vector<int>& lines) {
        for (int n : lines) {
            cur().lnptr = line(n);
            makestars();
        }
    }
    // The block's first and last line numbers, its length and the number of stars.
    static std::tuple<int, int, int, int> block() {
        return {starline('U'), starline('L'), starblocklines(), cur().starcount};
    }
    static bool refused(void (*op)()) {
        const V cmds = screen_of(op);
        return std::count(cmds.begin(), cmds.end(), "$meno stars set in source corefile!") == 1;
    }
};

TEST_F(StarsTest, StarringTogglesAndAThirdStarMovesTheOlder) {
    fill(1, {"1", "2", "3", "4", "5", "6", "7", "8"});
    EXPECT_EQ(block(), std::tuple(1, 200000, 0, 0));
    // Each step's stars, then the block they leave: the same line twice unstars it; a third
    // star takes the place of the older; two stars taken off leave none; the bottom line
    // starred first makes the same block; unstarring one of two leaves one, and the next star
    // takes the freed place.
    const std::pair<std::vector<int>, std::tuple<int, int, int, int>> steps[] = {
        {{4}, {4, 4, 1, 1}},         {{4}, {1, 200000, 0, 0}}, {{3, 7, 5}, {5, 7, 3, 2}},
        {{5, 7}, {1, 200000, 0, 0}}, {{8, 2}, {2, 8, 7, 2}},   {{8}, {2, 2, 1, 1}},
        {{5}, {2, 5, 4, 2}}};
    for (const auto& [lines, want] : steps) {
        star(lines);
        EXPECT_EQ(block(), want) << lines.front();
    }
}

TEST_F(StarsTest, DeleteMovesTheBlockToCoreZeroAndRecoverBringsItElsewhere) {
    fill(1, {"a", "b", "c", "d", "e", "f"});
    star({4, 2});
    cur().lnptr = line(3);  // the cursor inside the block
    cur().disln = line(2);  // and the window's top too
    delete_();
    EXPECT_EQ(lines_of(1), (V{"a", "e", "f"}));
    EXPECT_EQ((std::tuple{cur().lnptr, cur().disln, cur().starcount}),
              (std::tuple{line(1), line(1), 0}));
    EXPECT_EQ(lines_of(0), (V{"", "b", "c", "d"}));
    EXPECT_EQ((std::pair{core[0].starcount, core[0].nextstar}), (std::pair{2, 'B'}));
    open(2, {"x", "y"});
    recover();
    EXPECT_EQ(std::tuple(lines_of(2), lines_of(0)), std::tuple(V{"x", "b", "c", "d", "y"}, V{""}));
    EXPECT_EQ(block(), std::tuple(2, 4, 3, 2));
    expect_chain_sound();
    // A block filling the file leaves one empty line, and goes after core 0's cursor line.
    open(1, {"a", "b"});
    star({2, 1});
    delete_();
    EXPECT_EQ(std::tuple(lines_of(1), cur().lnptr, cur().disln, lines_of(0)),
              std::tuple(V{""}, line(1), line(1), V{"", "a", "b"}));
    expect_chain_sound();
}

TEST_F(StarsTest, CopyPutsAStarredCopyInCoreZero) {
    fill(1, {"one  ", "two", "three", "four"});
    star({2, 4});
    const long before = avail;
    copyop();
    EXPECT_EQ(lines_of(1), (V{"one", "two", "three", "four"}));  // trailing blanks stripped
    EXPECT_EQ(lines_of(0), (V{"", "two", "three", "four"}));
    EXPECT_EQ((std::tuple{cur().starcount, core[0].starcount, avail}),
              (std::tuple{0, 2, before + 12}));
    cur().lnptr = line(3);  // the copy is independent of its source
    cadd('X');
    garbage();
    EXPECT_EQ(std::tuple(lines_of(0), lines_of(1)),
              std::tuple(V{"", "two", "three", "four"}, V{"one", "two", "threeX", "four"}));
    expect_chain_sound();
}

TEST_F(StarsTest, RefusalsAreReported) {
    fill(1, {"alpha", "beta", "gamma"});
    EXPECT_TRUE(refused(delete_));
    EXPECT_TRUE(refused(copyop));
    corenum = 2;
    EXPECT_TRUE(refused(recover));
    corenum = 1;
    star({1, 3});
    hiaddr = avail + 4;  // nothing above the current top may be used
    const long records = linepool::in_use();
    const V cmds = screen_of(copyop);
    hiaddr = kHiAddr;
    EXPECT_EQ(std::count(cmds.begin(), cmds.end(), "$meinadequate free space for block copy"), 1);
    EXPECT_EQ(std::tuple(linepool::in_use(), textbase[avail]), std::tuple(records, kFreeByte));
    linepool::fail_after(2);  // the record pool fails after two further records
    copyop();
    linepool::fail_after(-1);
    EXPECT_EQ((std::pair{core[0].lncount, cur().starcount}), (std::pair{1, 2}));
    expect_chain_sound();
    copyop();
    EXPECT_EQ(lines_of(0), (V{"", "alpha", "beta", "gamma"}));
}

TEST_F(StarsTest, WholeFileMovesToTheEndOfCoreEight) {
    fill(8, {"old"});
    open(3, {"p", "q", "r"});
    star({2});
    gento_moveblock();
    EXPECT_EQ(lines_of(3), (V{""}));
    EXPECT_EQ((std::tuple{cur().starcount, cur().lnptr, cur().disln}),
              (std::tuple{0, cur().header->down, cur().header->down}));
    EXPECT_EQ(lines_of(8), (V{"old", "p", "q", "r"}));
    EXPECT_EQ(core[8].lnptr, core[8].header->down);  // core 8's cursor stays
    expect_chain_sound();
}

}  // namespace
