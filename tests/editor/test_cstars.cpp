// Rectangles between column stars across starred lines.
#include <algorithm>
#include <random>

#include "cstars.hpp"
#include "stars.hpp"
#include "test_cursor_fixture.hpp"

namespace {

constexpr int kStar = 25, kColStar = 83, kCut = 84, kInsertRect = 85, kCopyRect = 86,
              kInsertCols = 87, kOverlay = 88, kBlankRect = 89, kMoveRect = 90, kClearStars = 91;

using V = std::vector<std::string>;

class RectTest : public EditTest {
  protected:
    // Stars lines and columns: a line star on each of `rows`, a column star on each of `cols`.
    static void stars(std::initializer_list<int> rows, std::initializer_list<int> cols) {
        for (int r : rows) {
            at(r, 1);
            press(kStar);
        }
        for (int c : cols) {
            at(1, c);
            press(kColStar);
        }
    }
    static std::string store() { return std::string(rectangle_store()); }
    static V messages(int code, int line_no = 1, int column = 1) {
        V cmds;
        set_command_capture(&cmds);
        pressed_at(line_no, column, code);
        set_command_capture(nullptr);
        V out;
        for (const std::string& c : cmds) {
            if (c.rfind("$me", 0) == 0) out.push_back(c.substr(3));
        }
        return out;
    }
    static const V& sample() {
        static const V lines = {"line one", "abcdEFGhij", "abc", "1234567890", "x",
                                "x",        "x",          "x",   "x",          "tail"};
        return lines;
    }
};

TEST_F(RectTest, CutRectangleGoesIntoAnotherPlaceShiftingTextRight) {
    load(sample());
    stars({2, 4}, {5, 7});
    EXPECT_EQ(pressed_at(9, 3, kCut),
              (V{"line one", "abcdhij", "abc", "1234890", "x", "x", "x", "x", "x", "tail"}));
    EXPECT_EQ(store(), "EFG   567");
    EXPECT_EQ(lineno(), 9);
    EXPECT_EQ(col(), 3);
    // Inserted at line 10, column 1: the file grows by the two rows it lacks.
    EXPECT_EQ(pressed_at(10, 1, kInsertRect), (V{"line one", "abcdhij", "abc", "1234890", "x", "x",
                                                 "x", "x", "x", "EFGtail", "   ", "567"}));
    EXPECT_EQ(cur().lncount, 12);
    EXPECT_EQ(lineno(), 10);
    expect_sound();
    // The cut characters went to the delete ring as well.
    EXPECT_EQ(delbuf[static_cast<std::size_t>(delptr + kDelBufSize - 1) % kDelBufSize], '7');
}

TEST_F(RectTest, ColumnStarsInEitherOrderOneStarOneColumnAThirdReplacesTheFirst) {
    load(sample());
    stars({4}, {7, 5});
    EXPECT_EQ(messages(kBlankRect), V{});
    EXPECT_EQ(store(), "567");
    EXPECT_EQ(lines()[3], "1234   890");
    // Starring a starred column removes it: one column is left.
    stars({}, {5});
    EXPECT_EQ(cur().cstarcount, 1);
    pressed_at(1, 1, kBlankRect);
    EXPECT_EQ(store(), " ");
    EXPECT_EQ(rectangle_cols(), 1);
    // Now 7 and 2 are set; a third star, at 9, takes the place of 7.
    stars({}, {2, 9});
    EXPECT_EQ(cur().cstarcount, 2);
    EXPECT_EQ(std::minmax(cur().cstarA, cur().cstarB), std::minmax(2, 9));
    pressed_at(1, 1, kBlankRect);
    EXPECT_EQ(store(), "234   89");
    // Clearing removes the line stars and the column stars and returns to typing over.
    mode = 2;
    press(kClearStars);
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(cur().starcount + cur().cstarcount + cur().cstarA + cur().cstarB, 0);
    EXPECT_EQ(messages(kCut), V{"No rectangle defined"});
    expect_sound();
}

TEST_F(RectTest, CopyMoveAndOverlayKeepTheRestOfEachLine) {
    struct Case {
        const char* what;
        int code;
        int line_no, column;
        V out;
    };
    const Case cases[] = {
        {"copy inserts at the cursor",
         kCopyRect,
         1,
         3,
         {"liEFGne one", "ab   cdEFGhij", "ab567c", "1234567890", "x", "x", "x", "x", "x", "tail"}},
        {"move overlays and leaves blanks",
         kMoveRect,
         5,
         4,
         {"line one", "abcd   hij", "abc", "1234   890", "x  EFG", "x     ", "x  567", "x", "x",
          "tail"}},
        {"overlay pads short lines",
         kOverlay,
         9,
         6,
         {"line one", "abcdEFGhij", "abc", "1234567890", "x", "x", "x", "x", "x    EFG", "tail    ",
          "     567"}},
    };
    for (const Case& c : cases) {
        load(sample());
        stars({2, 4}, {5, 7});
        if (c.code == kOverlay) {
            pressed_at(1, 1, kBlankRect);
            load(sample());  // the store outlives the text it came from
        }
        EXPECT_EQ(pressed_at(c.line_no, c.column, c.code), c.out) << c.what;
        EXPECT_EQ(lineno(), c.line_no) << c.what;
        expect_sound();
    }
}

TEST_F(RectTest, OneStoreServesEveryCoreFile) {
    load(sample());
    stars({2, 3}, {1, 3});
    pressed_at(1, 1, kCut);
    corenum = 2;
    fill_lines({"first", "second"});
    EXPECT_EQ(pressed_at(2, 4, kInsertRect), (V{"first", "secabcond", "   abc"}));
    expect_sound();
    corenum = 1;
    EXPECT_EQ(lines()[1], "dEFGhij");
}

TEST_F(RectTest, InsertColumnsSkipsLinesThatDoNotReachTheCursor) {
    load({"abcdef", "ab", "abcdefgh  ", "zz"});
    stars({1, 3}, {});
    pushfn("3");
    EXPECT_EQ(pressed_at(1, 4, kInsertCols), (V{"abc   def", "ab", "abc   defgh", "zz"}));
    // No count, or 0, means one column.
    pushfn("0");
    EXPECT_EQ(pressed_at(4, 2, kInsertCols), (V{"a bc   def", "a b", "a bc   defgh", "zz"}));
    expect_sound();
}

TEST_F(RectTest, RefusalsSayWhyAndChangeNothing) {
    load(sample());
    EXPECT_EQ(messages(kInsertRect), V{"No rectangle stored"});
    EXPECT_EQ(messages(kOverlay), V{"No rectangle stored"});
    EXPECT_EQ(messages(kInsertCols), V{"No starred lines defined"});
    for (int code : {kCut, kBlankRect, kCopyRect, kMoveRect})
        EXPECT_EQ(messages(code), V{"No rectangle defined"}) << code;
    stars({}, {5});
    EXPECT_EQ(messages(kCut), V{"No rectangle defined"}) << "a column star without a line star";
    stars({2, 4}, {7});
    pressed_at(1, 1, kBlankRect);
    load(sample());
    // No room in the arena, even after compaction.
    hiaddr = avail + 4;
    for (int code : {kInsertRect, kOverlay})
        EXPECT_EQ(messages(code, 9, 1), V{"Inadequate space for this operation"}) << code;
    hiaddr = kHiAddr;
    // No line records for the rows that must be added.
    linepool::fail_after(0);
    EXPECT_EQ(messages(kInsertRect, 10, 1), V{"Inadequate space for this operation"});
    linepool::fail_after(-1);
    EXPECT_EQ(lines(), sample());
    // A rectangle larger than the whole store is not kept.
    stars({1, 10}, {});
    cur().cstarA = 1;
    cur().cstarB = 1'000'000;
    cur().cstarcount = 2;
    EXPECT_EQ(messages(kCut), V{"Inadequate memory for stored rectangle"});
    EXPECT_EQ(lines(), sample());
    EXPECT_EQ(store(), "EFG   567") << "the stored rectangle survives a failed copy";
    expect_sound();
    // The keys work again once there is room.
    EXPECT_EQ(pressed_at(3, 4, kInsertRect)[2], "abcEFG");
}

TEST_F(RectTest, RandomRectangleWorkKeepsTheStoreSound) {
    std::mt19937 rng(5707);
    const int codes[] = {kStar,       kColStar, kCut,       kInsertRect, kCopyRect,
                         kInsertCols, kOverlay, kBlankRect, kMoveRect,   kClearStars,
                         2,           4,        5,          17,          18,
                         19,          20,       23,         72,          73,
                         74,          33,       34,         75,          76};
    load(sample());
    for (int k = 0; k < 4000; ++k) {
        const int code = codes[rng() % std::size(codes)];
        if (rng() % 5 == 0) cur().curcol = 1 + static_cast<int>(rng() % 30);
        if (rng() % 200 == 0) corenum = static_cast<int>(rng() % 3);
        if (code == kInsertCols) pushfn(rng() % 2 ? "2" : "");
        press(code, static_cast<char>('a' + rng() % 26));
        expect_sound();
        if (HasFailure()) {
            ADD_FAILURE() << "key " << k << " code " << code;
            return;
        }
    }
}

}  // namespace
