// Alignment of a line as a block, tab stops and decimal tabs.
#include "centre.hpp"
#include "tabs.hpp"
#include "test_cursor_fixture.hpp"

namespace {

constexpr int kTabSet = 33, kTabKey = 34, kFlushLeft = 72, kFlushRight = 73, kCentre = 74,
              kAlign = 96;
using V = std::vector<std::string>;
using Cols = std::vector<int>;
std::string blanks(int n) {
    return std::string(static_cast<std::size_t>(n), ' ');
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
        {"abc", 1, 2'000'000'000, kFlushRight, "", "abc"},  // beyond the store: refused
    };
    for (const auto& [in, lm, rm, key, on, out] : cases) {
        lmargin = lm;
        rmargin = rm;
        load({in, "next"});
        at(1, 3);
        if (key == kAlign) pushfn(on);
        press(key);
        EXPECT_EQ(lines(), (V{out, "next"})) << in << " " << key;
        EXPECT_EQ(col(), 3);
        expect_sound();
    }
}

TEST_F(AlignTest, TabKeyGoesToTheNextStopAndTabSetTogglesOneBetweenTheMargins) {
    load({"x"});
    at(1, 70);  // past the right margin every column is a stop
    EXPECT_EQ(cols({kTabKey, kTabKey, kTabKey}), (Cols{72, 73, 74}));
    lmargin = 5;  // no stops left of the left margin; the margin itself is one
    at(1, 1);
    EXPECT_EQ(cols({kTabKey, kTabKey}), (Cols{5, 9}));
    lmargin = 1;  // a stop of our own at 20; then it and the default one at 25 taken away
    pressed_at(1, 20, kTabSet);
    at(1, 17);
    EXPECT_EQ(cols({kTabKey, kTabKey}), (Cols{20, 25}));
    pressed_at(1, 25, kTabSet);
    pressed_at(1, 20, kTabSet);
    at(1, 17);
    EXPECT_EQ(cols({kTabKey}), Cols{33});
    // At the left margin, at or beyond the right margin and past the table the key does nothing.
    lmargin = 9;
    rmargin = 200;
    for (int c : {9, 200, 210, 150})
        pressed_at(1, c, kTabSet);
    at(1, 145);
    EXPECT_EQ(cols({kTabKey, kTabKey}), (Cols{152, 160}));  // beyond the table: every eighth
    lmargin = 1;
    rmargin = 72;
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
    EXPECT_EQ(lines(), V{"total" + blanks(11) + "123.45"});
    EXPECT_EQ(col(), 23);
    dectabflag = 0;  // without DTAB the same keys type from the tab column on
    load({"total"});
    at(1, 17);
    press(kTabKey);
    typed("1.5");
    EXPECT_EQ(lines(), V{"total" + blanks(14) + "1.5"});
    expect_sound();
}

}  // namespace
