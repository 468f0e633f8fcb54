// Starred blocks: starring, moving between core files, copying into core file 0.
#include <gtest/gtest.h>

#include <algorithm>

#include "scan_fixture.hpp"
#include "stars.hpp"
#include "terminal.hpp"

namespace {

// The scan fixture's core-file helpers serve here too.
class StarsTest : public ScanTest {
  protected:
    // Stars the given lines in turn.
    static void star(std::initializer_list<int> lines) {
        for (int n : lines) {
            cur().lnptr = line(n);
            makestars();
        }
    }
    // The block's first and last line numbers and its length.
    static void expect_block(int upper, int lower, int count) {
        EXPECT_EQ(starline('U'), upper);
        EXPECT_EQ(starline('L'), lower);
        EXPECT_EQ(starblocklines(), count);
    }
};

TEST_F(StarsTest, StarringTogglesAndAThirdStarMovesTheOlder) {
    fill(1, {"1", "2", "3", "4", "5", "6", "7", "8"});
    expect_block(1, 200000, 0);
    star({4});
    expect_block(4, 4, 1);
    star({4});  // the same line again: unstarred
    EXPECT_EQ(cur().starcount, 0);
    EXPECT_EQ(starblocklines(), 0);
    star({3, 7, 5});  // 5 takes the place of 3
    expect_block(5, 7, 3);
    star({5, 7});  // two stars taken off leave none, however many were made
    EXPECT_EQ(cur().starcount, 0);
    star({5, 7});
    clrstars();
    star({8, 2});  // bottom line starred first: the same block
    expect_block(2, 8, 7);
    star({8});  // unstarring one of two leaves a one-line block
    expect_block(2, 2, 1);
    star({5});  // and the next star takes the freed place
    expect_block(2, 5, 4);
}

TEST_F(StarsTest, DeleteMovesTheBlockToCoreZeroAndRecoverBringsItElsewhere) {
    fill(1, {"a", "b", "c", "d", "e", "f"});
    star({4, 2});
    cur().lnptr = line(3);  // the cursor inside the block
    cur().disln = line(2);  // and the window's top too
    delete_();
    EXPECT_EQ(lines_of(1), (V{"a", "e", "f"}));
    EXPECT_EQ(cur().lnptr, line(1));  // the line above the block
    EXPECT_EQ(cur().disln, line(1));
    EXPECT_EQ(cur().starcount, 0);
    EXPECT_EQ(lines_of(0), (V{"", "b", "c", "d"}));
    EXPECT_EQ(core[0].starcount, 2);
    EXPECT_EQ(core[0].nextstar, 'B');

    open(2, {"x", "y"});
    recover();
    EXPECT_EQ(lines_of(2), (V{"x", "b", "c", "d", "y"}));
    EXPECT_EQ(lines_of(0), (V{""}));
    EXPECT_EQ(core[0].starcount, 0);
    expect_block(2, 4, 3);
    // The moved lines are still edited in place in their new file, and survive compaction.
    cur().lnptr = line(3);
    cadd('!');
    garbage();
    EXPECT_EQ(lines_of(2), (V{"x", "b", "c!", "d", "y"}));
    EXPECT_EQ(lines_of(1), (V{"a", "e", "f"}));
    expect_chain_sound();
}

TEST_F(StarsTest, BlockAtTheTopOrFillingTheFile) {
    fill(1, {"a", "b", "c"});
    star({1});
    delete_();
    EXPECT_EQ(lines_of(1), (V{"b", "c"}));
    EXPECT_EQ(cur().lnptr, line(1));  // no line above: the new first line
    EXPECT_EQ(core[0].starcount, 1);
    star({2, 1});
    delete_();
    EXPECT_EQ(lines_of(1), V{""});  // one empty line is left
    EXPECT_EQ(cur().lnptr, cur().header->down);
    EXPECT_EQ(cur().disln, cur().lnptr);
    EXPECT_EQ(lines_of(0), (V{"", "b", "c", "a"}));  // each block after core 0's cursor line
    expect_chain_sound();
    // Nothing starred: nothing moves.
    delete_();
    recover();  // core 0's block is b, c
    EXPECT_EQ(lines_of(1), (V{"", "b", "c"}));
    recover();  // core 0 has no stars any more
    EXPECT_EQ(lines_of(1), (V{"", "b", "c"}));
    EXPECT_EQ(lines_of(0), (V{"", "a"}));
    // Recovering inside core file 0 itself moves its block after its cursor.
    corenum = 0;
    star({2});
    cur().lnptr = line(1);
    recover();
    EXPECT_EQ(lines_of(0), (V{"", "a"}));
    expect_chain_sound();
}

TEST_F(StarsTest, CopyPutsAStarredCopyInCoreZero) {
    fill(1, {"one  ", "two", "three", "four"});
    star({2, 4});
    const long before = avail;
    copyop();
    EXPECT_EQ(lines_of(1), (V{"one", "two", "three", "four"}));  // trailing blanks stripped
    EXPECT_EQ(cur().starcount, 0);
    EXPECT_EQ(lines_of(0), (V{"", "two", "three", "four"}));
    EXPECT_EQ(core[0].starcount, 2);
    EXPECT_EQ(avail, before + 12);
    // The copy is independent of its source.
    cur().lnptr = line(3);
    cadd('X');
    EXPECT_EQ(lines_of(0), (V{"", "two", "three", "four"}));
    garbage();
    EXPECT_EQ(lines_of(0), (V{"", "two", "three", "four"}));
    EXPECT_EQ(lines_of(1), (V{"one", "two", "threeX", "four"}));
    expect_chain_sound();
    // Copying without stars changes nothing.
    copyop();
    EXPECT_EQ(core[0].lncount, 4);
}

TEST_F(StarsTest, RefusalsAreReported) {
    fill(1, {"alpha", "beta", "gamma"});
    V cmds = screen_of([] {
        delete_();
        copyop();
        corenum = 2;
        recover();
    });
    EXPECT_EQ(std::count(cmds.begin(), cmds.end(), "$meno stars set in source corefile!"), 3);
    corenum = 1;
    star({1, 3});
    // The arena: nothing above the current top may be used.
    hiaddr = avail + 4;
    const long records = linepool::in_use();
    cmds = screen_of(copyop);
    hiaddr = kHiAddr;
    EXPECT_NE(std::find(cmds.begin(), cmds.end(), "$meinadequate free space for block copy"),
              cmds.end());
    EXPECT_EQ(linepool::in_use(), records);
    for (long i = avail; i < avail + 20; ++i)
        ASSERT_EQ(textbase[i], kFreeByte) << i;
    // The record pool: it fails after two further records, before and after compaction.
    linepool::fail_after(2);
    copyop();
    linepool::fail_after(-1);
    EXPECT_EQ(core[0].lncount, 1);
    EXPECT_EQ(cur().starcount, 2);  // nothing changed
    expect_chain_sound();
    copyop();
    EXPECT_EQ(lines_of(0), (V{"", "alpha", "beta", "gamma"}));
    expect_chain_sound();
    // A star that is not in the file is dropped rather than followed.
    star({1});
    cur().starB = core[2].header->down;
    cur().starcount = 2;
    delete_();
    EXPECT_EQ(cur().starcount, 0);
    EXPECT_EQ(lines_of(1), (V{"alpha", "beta", "gamma"}));
    EXPECT_EQ(starblocklines(), 0);
}

TEST_F(StarsTest, WholeFileMovesToTheEndOfCoreEight) {
    fill(8, {"old"});
    open(3, {"p", "q", "r"});
    star({2});
    gento_moveblock();
    EXPECT_EQ(lines_of(3), (V{""}));
    EXPECT_EQ(cur().starcount, 0);
    EXPECT_EQ(cur().lnptr, cur().header->down);
    EXPECT_EQ(cur().disln, cur().lnptr);
    EXPECT_EQ(lines_of(8), (V{"old", "p", "q", "r"}));
    EXPECT_EQ(core[8].lnptr, core[8].header->down);  // core 8's cursor stays
    expect_chain_sound();
    corenum = 8;
    gento_moveblock();  // onto itself: nothing happens
    EXPECT_EQ(lines_of(8), (V{"old", "p", "q", "r"}));
}

}  // namespace
