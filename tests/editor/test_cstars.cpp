// Columns: a line aligned as a block, tab stops and decimal tabs, and rectangles between column
// stars across starred lines.
#include "centre.hpp"
#include "cstars.hpp"
#include "stars.hpp"
#include "tabs.hpp"
#include "test_cursor_fixture.hpp"

namespace {

constexpr int kTabSet = 33, kTabKey = 34, kFlushLeft = 72, kFlushRight = 73, kCentre = 74,
              kAlign = 96;
using Cols = std::vector<int>;
std::string blanks(int n) {
    return std::string(static_cast<std::size_t>(n), ' ');
}
constexpr int kStar = 25, kColStar = 83, kCut = 84, kInsertRect = 85, kCopyRect = 86,
              kInsertCols = 87, kOverlay = 88, kBlankRect = 89, kMoveRect = 90, kClearStars = 91;
using V = std::vector<std::string>;
V split(std::string_view s) {  // lines split at '/'
    V out(1);
    for (char ch : s)
        ch == '/' ? void(out.emplace_back()) : out.back().push_back(ch);
    return out;
}
const V kSample = split("line one/abcdEFGhij/abc/1234567890/x/x/x/x/x/tail");

class RectTest : public EditTest {
  protected:
    // A line star on each of `rows`, then a column star on each of `cols`, in that order.
    static void stars(std::initializer_list<int> rows, std::initializer_list<int> cols) {
        for (int r : rows)
            pressed_at(r, 1, kStar);
        for (int c : cols)
            pressed_at(1, c, kColStar);
    }
    static std::string store() { return std::string(rectangle_store()); }
    // The messages a key gives with the cursor at (line_no, column).
    static V messages(int code, int line_no = 1, int column = 1) {
        V cmds, out;
        set_command_capture(&cmds);
        pressed_at(line_no, column, code);
        set_command_capture(nullptr);
        for (const std::string& c : cmds) {
            if (c.rfind("$me", 0) == 0) out.push_back(c.substr(3));
        }
        return out;
    }
};

TEST_F(RectTest, CutRectangleGoesIntoAnotherPlace) {
    load(kSample);
    stars({2, 4}, {7, 5});  // right to left: the same rectangle
    EXPECT_EQ(pressed_at(9, 3, kCut), split("line one/abcdhij/abc/1234890/x/x/x/x/x/tail"));
    EXPECT_EQ(std::tuple(store(), delbuf[std::size_t(delptr + kDelBufSize - 1) % kDelBufSize],
                         lineno(), col()),
              std::tuple("EFG   567", '7', 9, 3));
    // Inserted at line 10, column 1: text moves right and the file grows by the rows it lacks.
    EXPECT_EQ(pressed_at(10, 1, kInsertRect),
              split("line one/abcdhij/abc/1234890/x/x/x/x/x/EFGtail/   /567"));
    EXPECT_EQ(lineno(), 10);
    expect_sound();
}

TEST_F(RectTest, ColumnStarsToggleAndAThirdReplacesTheFirst) {
    load(kSample);
    stars({4}, {5, 7, 5});  // the second star at 5 removes the first: one column, 7
    pressed_at(1, 1, kBlankRect);
    EXPECT_EQ(std::tuple(cur().cstarcount, store()), std::tuple(1, std::string("7")));
    EXPECT_EQ(lines()[3], "123456 890");
    stars({}, {2, 9});  // 7 and 2 set; 9 takes the place of 7
    pressed_at(1, 1, kBlankRect);
    EXPECT_EQ(std::tuple(cur().cstarcount, store()), std::tuple(2, std::string("23456 89")));
    press(kClearStars);  // the line and column stars go
    EXPECT_EQ(messages(kCut), V{"No rectangle defined"});
    EXPECT_EQ(messages(kInsertCols), V{"No starred lines defined"});
    // Insert-columns skips lines that do not reach the cursor; no count, or 0, is one column.
    load({"abcdef", "ab", "abcdefgh  ", "zz"});
    stars({1, 3}, {});
    pushfn("3");
    EXPECT_EQ(pressed_at(1, 4, kInsertCols), (V{"abc   def", "ab", "abc   defgh", "zz"}));
    pushfn("0");
    EXPECT_EQ(pressed_at(4, 2, kInsertCols), (V{"a bc   def", "a b", "a bc   defgh", "zz"}));
    expect_sound();
}

TEST_F(RectTest, CopyMoveAndOverlayKeepTheRestOfEachLine) {
    // Short lines are padded.
    const std::tuple<int, int, int, const char*> cases[] = {
        {kCopyRect, 1, 3, "liEFGne one/ab   cdEFGhij/ab567c/1234567890/x/x/x/x/x/tail"},
        {kMoveRect, 5, 4, "line one/abcd   hij/abc/1234   890/x  EFG/x     /x  567/x/x/tail"},
        {kOverlay, 9, 6, "line one/abcdEFGhij/abc/1234567890/x/x/x/x/x    EFG/tail    /     567"}};
    for (const auto& [code, line_no, column, want] : cases) {
        load(kSample);
        stars({2, 4}, {5, 7});
        if (code == kOverlay) {
            pressed_at(1, 1, kBlankRect);
            load(kSample);  // the store outlives the text it came from
        }
        EXPECT_EQ(pressed_at(line_no, column, code), split(want)) << code;
        EXPECT_EQ(lineno(), line_no);
        expect_sound();
    }
}

TEST_F(RectTest, RefusalsSayWhyAndChangeNothing) {
    load(kSample);
    for (int code : {kInsertRect, kOverlay})
        EXPECT_EQ(messages(code), V{"No rectangle stored"}) << code;
    for (int code : {kCut, kBlankRect, kCopyRect, kMoveRect})
        EXPECT_EQ(messages(code), V{"No rectangle defined"}) << code;
    stars({}, {5});
    EXPECT_EQ(messages(kCut), V{"No rectangle defined"}) << "a column star without a line star";
    stars({2, 4}, {7});
    pressed_at(1, 1, kBlankRect);
    load(kSample);
    // No room in the arena even after compaction.
    hiaddr = avail + 4;
    for (int code : {kInsertRect, kOverlay})
        EXPECT_EQ(messages(code, 9, 1), V{"Inadequate space for this operation"}) << code;
    hiaddr = kHiAddr;
    // A rectangle larger than the whole store is not kept, and the stored one survives.
    stars({1, 10}, {});
    cur().cstarA = 1;
    cur().cstarB = 1'000'000;
    cur().cstarcount = 2;
    EXPECT_EQ(messages(kCut), V{"Inadequate memory for stored rectangle"});
    EXPECT_EQ(lines(), kSample);
    EXPECT_EQ(store(), "EFG   567");
    expect_sound();
}

using AlignTest = EditTest;

TEST_F(AlignTest, LinesMoveAsABlockToTheMarginsTheCentreOrACharacter) {
    const std::tuple<std::string, int, int, int, const char*, std::string> cases[] = {
        {"abc", 1, 72, kCentre, "", blanks(34) + "abc"},
        {blanks(20) + "abc", 1, 10, kCentre, "", blanks(3) + "abc"},  // rounded down
        {std::string(80, 'w'), 1, 72, kCentre, "", std::string(80, 'w')},
        {"abc  ", 1, 72, kFlushRight, "", blanks(69) + "abc"},
        {blanks(68) + "a  b", 1, 72, kFlushRight, "", blanks(68) + "a  b"},
        {blanks(10) + "te xt", 5, 72, kFlushLeft, "", blanks(4) + "te xt"},
        {blanks(3) + "x", -4, 72, kFlushLeft, "", "x"},  // never left of column 1
        {"12.5", 1, 40, kAlign, ".", blanks(37) + "12.5"},
        {"a.b.c", 1, 10, kAlign, ".", blanks(8) + "a.b.c"},  // the first point
        {"12.5", 1, 40, kAlign, "x", "12.5"},
        {blanks(5), 1, 72, kCentre, "", ""},
        {"abc", 1, 2'000'000'000, kFlushRight, "", "abc"}  // beyond the store: refused
    };
    for (const auto& [in, lm, rm, key, on, out] : cases) {
        std::tie(lmargin, rmargin) = std::tuple(lm, rm);
        load({in, "next"});
        at(1, 3);
        if (key == kAlign) pushfn(on);
        press(key);
        EXPECT_EQ(std::tuple(lines(), col()), std::tuple(V{out, "next"}, 3)) << in << " " << key;
        expect_sound();
    }
}

TEST_F(AlignTest, TabKeyGoesToTheNextStopAndTabSetTogglesOneBetweenTheMargins) {
    load({"x"});  // a stop of our own at 20; then it and the default one at 25 taken away
    pressed_at(1, 20, kTabSet);
    at(1, 17);
    EXPECT_EQ(cols({kTabKey, kTabKey}), (Cols{20, 25}));
    pressed_at(1, 25, kTabSet);
    pressed_at(1, 20, kTabSet);
    at(1, 17);
    EXPECT_EQ(cols({kTabKey}), Cols{33});
    // At the left margin, at or beyond the right margin and past the table the key does nothing.
    std::tie(lmargin, rmargin) = std::tuple(9, 200);
    for (int c : {9, 200, 210, 150})
        pressed_at(1, c, kTabSet);
    at(1, 145);
    EXPECT_EQ(cols({kTabKey, kTabKey}), (Cols{152, 160}));  // beyond the table: every eighth
    std::tie(lmargin, rmargin) = std::tuple(1, 72);
    at(1, 1);
    EXPECT_EQ(cols({kTabKey}), Cols{9});
    EXPECT_EQ(lines(), V{"x"});
}

TEST_F(AlignTest, DecimalTabNumbersEndAtTheTabColumn) {
    dectabflag = 1;
    load({"total"});
    pressed_at(1, 20, kTabSet);
    at(1, 6);
    EXPECT_EQ(cols({kTabKey, kTabKey, kTabKey}), (Cols{9, 17, 20}));
    typed("123.45");
    EXPECT_EQ(std::tuple(lines(), col()), std::tuple(V{"total" + blanks(11) + "123.45"}, 23));
    dectabflag = 0;  // without DTAB the same keys type from the tab column on
    load({"total"});
    at(1, 17);
    press(kTabKey);
    typed("1.5");
    EXPECT_EQ(lines(), V{"total" + blanks(14) + "1.5"});
    expect_sound();
}

}  // namespace
