// Starred blocks: starring, moving between core files, copying into core file 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "stars.hpp"
#include "store_fixture.hpp"
#include "terminal.hpp"

namespace {

class StarsTest : public StoreTest {
  protected:
    // Fills the current core file with the given lines; the cursor ends on the first.
    static void fill(const std::vector<std::string>& texts) { fill_lines(texts); }
    static std::vector<std::string> lines_of(int n) {
        std::vector<std::string> out;
        const COREFILE& cf = core[n];
        for (const LINE* l = cf.header->down; l != cf.header; l = l->down)
            out.push_back(text(l));
        return out;
    }
    static void star_line(int n) {
        cur().lnptr = line(n);
        makestars();
    }
    using V = std::vector<std::string>;
};

TEST_F(StarsTest, StarringTogglesAndAThirdStarMovesTheOlder) {
    fill({"1", "2", "3", "4", "5", "6", "7", "8"});
    EXPECT_EQ(starline('U'), 1);
    EXPECT_EQ(starline('L'), 200000);
    EXPECT_EQ(starblocklines(), 0);
    star_line(4);
    EXPECT_EQ(starblocklines(), 1);
    EXPECT_EQ(starline('U'), 4);
    EXPECT_EQ(starline('L'), 4);
    star_line(4);  // the same line again: unstarred
    EXPECT_EQ(cur().starcount, 0);
    EXPECT_EQ(starblocklines(), 0);
    star_line(3);
    star_line(7);
    star_line(5);
    EXPECT_EQ(cur().starcount, 2);
    EXPECT_EQ(cur().starA, line(5));
    EXPECT_EQ(cur().starB, line(7));
    EXPECT_EQ(starline('U'), 5);
    EXPECT_EQ(starline('L'), 7);
    EXPECT_EQ(starblocklines(), 3);
    EXPECT_EQ(redisplay, 10);
    // Bottom line starred first: the same block.
    clrstars();
    star_line(8);
    star_line(2);
    EXPECT_EQ(starline('U'), 2);
    EXPECT_EQ(starline('L'), 8);
    EXPECT_EQ(starblocklines(), 7);
    // Unstarring one of two leaves a one-line block.
    star_line(8);
    EXPECT_EQ(starblocklines(), 1);
    EXPECT_EQ(starline('L'), 2);
}

TEST_F(StarsTest, DeleteMovesTheBlockToCoreZeroAndRecoverBringsItElsewhere) {
    fill({"a", "b", "c", "d", "e", "f"});
    star_line(4);
    star_line(2);
    cur().lnptr = line(3);  // the cursor inside the block
    cur().disln = line(2);  // and the window's top too
    delete_();
    EXPECT_EQ(lines_of(1), (V{"a", "e", "f"}));
    EXPECT_EQ(cur().lnptr, line(1));  // the line above the block
    EXPECT_EQ(cur().disln, line(1));
    EXPECT_EQ(cur().starcount, 0);
    EXPECT_EQ(lines_of(0), (V{"", "b", "c", "d"}));
    EXPECT_EQ(core[0].starcount, 2);
    EXPECT_EQ(text(core[0].starA), "d");
    EXPECT_EQ(text(core[0].starB), "b");
    EXPECT_EQ(core[0].nextstar, 'B');
    expect_chain_sound();

    corenum = 2;
    fill({"x", "y"});
    cur().lnptr = line(1);
    recover();
    EXPECT_EQ(lines_of(2), (V{"x", "b", "c", "d", "y"}));
    EXPECT_EQ(lines_of(0), (V{""}));
    EXPECT_EQ(core[0].starcount, 0);
    EXPECT_EQ(cur().starcount, 2);
    EXPECT_EQ(starline('U'), 2);
    EXPECT_EQ(starline('L'), 4);
    expect_chain_sound();
    // The moved lines are still edited in place in their new file, and survive compaction.
    cur().lnptr = line(3);
    cadd('!');
    garbage();
    EXPECT_EQ(lines_of(2), (V{"x", "b", "c!", "d", "y"}));
    EXPECT_EQ(lines_of(1), (V{"a", "e", "f"}));
    expect_chain_sound();
}

TEST_F(StarsTest, BlockAtTheTopOrFillingTheFile) {
    fill({"a", "b", "c"});
    star_line(1);
    cur().lnptr = line(1);
    delete_();
    EXPECT_EQ(lines_of(1), (V{"b", "c"}));
    EXPECT_EQ(cur().lnptr, line(1));  // no line above: the new first line
    EXPECT_EQ(core[0].starcount, 1);
    EXPECT_EQ(text(core[0].starA), "a");
    EXPECT_EQ(core[0].starB, nullptr);
    star_line(2);
    star_line(1);
    delete_();
    ASSERT_EQ(cur().lncount, 1);  // one empty line is left
    EXPECT_EQ(cur().header->down->length, 0);
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
    star_line(2);
    cur().lnptr = line(1);
    recover();
    EXPECT_EQ(lines_of(0), (V{"", "a"}));
    expect_chain_sound();
}

TEST_F(StarsTest, CopyPutsAStarredCopyInCoreZero) {
    fill({"one  ", "two", "three", "four"});
    star_line(2);
    star_line(4);
    const long before = avail;
    copyop();
    EXPECT_EQ(lines_of(1), (V{"one", "two", "three", "four"}));  // trailing blanks stripped
    EXPECT_EQ(cur().starcount, 0);
    EXPECT_EQ(lines_of(0), (V{"", "two", "three", "four"}));
    EXPECT_EQ(text(core[0].starA), "four");
    EXPECT_EQ(text(core[0].starB), "two");
    EXPECT_EQ(avail, before + 12);
    expect_chain_sound();
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

TEST_F(StarsTest, CopyRefusesWhenSpaceOrRecordsRunOut) {
    fill({"alpha", "beta", "gamma"});
    star_line(1);
    star_line(3);
    // The arena: nothing above the current top may be used.
    hiaddr = avail + 4;
    const long records = linepool::in_use();
    copyop();
    EXPECT_EQ(core[0].lncount, 1);
    EXPECT_EQ(cur().starcount, 2);  // nothing changed
    EXPECT_EQ(linepool::in_use(), records);
    for (long i = avail; i < avail + 20; ++i)
        ASSERT_EQ(textbase[i], kFreeByte) << i;
    hiaddr = kHiAddr;
    // The record pool: it fails after two further records, before and after compaction.
    linepool::fail_after(2);
    copyop();
    EXPECT_EQ(core[0].lncount, 1);
    EXPECT_EQ(cur().starcount, 2);
    expect_chain_sound();
    linepool::fail_after(-1);
    copyop();
    EXPECT_EQ(lines_of(0), (V{"", "alpha", "beta", "gamma"}));
    expect_chain_sound();
}

TEST_F(StarsTest, WholeFileMovesToTheEndOfCoreEight) {
    corenum = 8;
    fill({"old"});
    corenum = 3;
    fill({"p", "q", "r"});
    star_line(2);
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

namespace {

TEST_F(StarsTest, RefusalsAreReported) {
    fill({"a", "b"});
    std::vector<std::string> cmds;
    set_command_capture(&cmds);
    delete_();
    copyop();
    corenum = 2;
    recover();
    set_command_capture(nullptr);
    int refusals = 0;
    for (const std::string& c : cmds)
        refusals += c == "$meno stars set in source corefile!";
    EXPECT_EQ(refusals, 3);
    corenum = 1;
    star_line(1);
    hiaddr = avail;
    set_command_capture(&cmds);
    copyop();
    set_command_capture(nullptr);
    hiaddr = kHiAddr;
    EXPECT_NE(std::find(cmds.begin(), cmds.end(), "$meinadequate free space for block copy"),
              cmds.end());
    // A star that is not in the file is dropped rather than followed.
    corenum = 1;
    clrstars();
    star_line(1);
    cur().starB = core[2].header->down;
    cur().starcount = 2;
    delete_();
    EXPECT_EQ(cur().starcount, 0);
    EXPECT_EQ(lines_of(1), (V{"a", "b"}));
    EXPECT_EQ(starblocklines(), 0);
}

}  // namespace
