#include <algorithm>

#include "stars.hpp"
#include "store_fixture.hpp"
#include "utilptr.hpp"

using V = std::vector<std::string>;

// A hemmed-in line moves to the top of the arena when it grows (0xFF is text as well as the free
// mark); every pointer follows it and compaction returns the dead record to the pool.
TEST_F(StoreTest, AHemmedInLineMovesAndNeverGrowsIntoTheNext) {
    const std::string y(1, '\xff');
    fill_lines({"a" + y, y + "b"});
    LINE* first = line(1);
    cur().starA = cur().disln = lp = first;
    const long pooled = linepool::in_use();
    cadd('c');
    LINE* moved = line(1);
    EXPECT_TRUE(moved != first && first->object == kObjDead);
    EXPECT_EQ(texts(), (V{"a" + y + "c", y + "b"}));
    EXPECT_EQ(std::string(textbase.begin(), textbase.begin() + 2), std::string(2, kFreeByte));
    for (const LINE* l : {cur().lnptr, cur().disln, cur().starA, lp, cur().header->down})
        EXPECT_EQ(l, moved);
    garbage();
    EXPECT_EQ(linepool::in_use(), pooled);
    EXPECT_EQ(std::tuple(moved->index, avail), std::tuple(2L, 5L));
    expect_chain_sound();
}

TEST_F(StoreTest, RemovingTheStarredOrTopLineLeavesNoDanglingPointer) {
    fill_lines({"a", "b", "c"});
    cur().lnptr = cur().starA = cur().disln = line(2);
    cur().starcount = 1;
    cur().nextstar = 'B';
    removeline();
    EXPECT_EQ(std::tuple(cur().starA, cur().starcount, cur().nextstar, cur().disln, texts()),
              std::tuple(nullptr, 0, 'A', line(2), V{"a", "c"}));
}

// No spare record, or no byte left: the store is full, what does not fit is refused and leaves
// the line as it was, and the store recovers once room is made.
TEST_F(StoreTest, AFullStoreRefusesWhatDoesNotFitAndRecovers) {
    fill_lines({"a"});
    linepool::fail_after(0);
    ASSERT_NE(allocln(kObjNew, 0), nullptr) << "the spare record is still handed out";
    EXPECT_EQ(allocln(kObjNew, 0), nullptr);
    EXPECT_EQ(reserve, nullptr);
    garbage();
    EXPECT_EQ(full, 1);
    cur().lnptr = line(1);
    EXPECT_TRUE(cadd('b')) << "a line still grows without a spare record";
    EXPECT_EQ(texts(), (V{"ab", ""}));
    expect_chain_sound();
    linepool::fail_after(-1);
    garbage();
    EXPECT_TRUE(full == 0 && reserve != nullptr);

    while (avail < kTextSize - 2)  // a run takes what fits and refuses the rest
        cadd('x');
    EXPECT_FALSE(cadd_text("yz!"));
    EXPECT_EQ(text(line(1)).substr(text(line(1)).size() - 3), "xyz");
    EXPECT_FALSE(cadd('y'));
    EXPECT_EQ(allocln(kObjNew, 5), nullptr);
    LINE* fresh = allocln(kObjNew, 0);
    full = 0;
    EXPECT_FALSE(cadd('z'));
    EXPECT_EQ(std::tuple(fresh->object, full), std::tuple(kObjNew, 1))
        << "a refused line stays new";
    expect_chain_sound();
}

// While the store is full, keys that need room are refused and keys that free room still act.
TEST_F(StoreTest, AFullStoreRefusesOnlyTheKeysThatNeedRoom) {
    fill_lines({"abc", "def"});
    cur().curcol = 3;
    full = 1;
    const bool new_line = dispatch(10), copied = dispatch(11), lines = cur().lncount == 2;
    EXPECT_EQ(std::tuple(new_line, copied, lines, dispatch(5)),
              std::tuple(false, false, true, true));
    EXPECT_EQ(texts(), (V{"ab", "def"}));  // new line and copying refused, rubout acts
    full = 0;
    EXPECT_TRUE(dispatch(10) && cur().lncount == 3);
}
