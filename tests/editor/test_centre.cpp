// Alignment of a line as a block, tab stops and decimal tabs.
#include "centre.hpp"
#include "tabs.hpp"
#include "test_cursor_fixture.hpp"

namespace {

constexpr int kTabSet = 33, kTabKey = 34, kFlushLeft = 72, kFlushRight = 73, kCentre = 74,
              kAlign = 96;

using V = std::vector<std::string>;

class AlignTest : public EditTest {
  protected:
    static std::string blanks(int n) { return std::string(static_cast<std::size_t>(n), ' '); }
};

TEST_F(AlignTest, LinesMoveAsABlockToTheMarginsTheCentreOrACharacter) {
    struct Case {
        const char* what;
        std::string in;
        int lm, rm, key;
        const char* align_on;
        std::string out;
    };
    const Case cases[] = {
        {"centre abc", "abc", 1, 72, kCentre, "", blanks(34) + "abc"},
        {"centre rounds down", blanks(20) + "abc", 1, 10, kCentre, "", blanks(3) + "abc"},
        {"too wide to centre", std::string(80, 'w'), 1, 72, kCentre, "", std::string(80, 'w')},
        {"flush right", "abc  ", 1, 72, kFlushRight, "", blanks(69) + "abc"},
        {"already flush right", blanks(68) + "a  b", 1, 72, kFlushRight, "", blanks(68) + "a  b"},
        {"flush left to the margin", blanks(10) + "te xt", 5, 72, kFlushLeft, "",
         blanks(4) + "te xt"},
        {"flush left never passes column 1", blanks(3) + "x", -4, 72, kFlushLeft, "", "x"},
        {"align the point", "12.5", 1, 40, kAlign, ".", blanks(37) + "12.5"},
        {"align on the first of two", "a.b.c", 1, 10, kAlign, ".", blanks(8) + "a.b.c"},
        {"align on a missing character", "12.5", 1, 40, kAlign, "x", "12.5"},
        {"a blank line stays", blanks(5), 1, 72, kCentre, "", ""},
        {"a shift beyond the store is refused", "abc", 1, 2'000'000'000, kFlushRight, "", "abc"},
    };
    for (const Case& c : cases) {
        lmargin = c.lm;
        rmargin = c.rm;
        load({c.in, "next"});
        at(1, 3);
        if (c.key == kAlign) pushfn(c.align_on);
        press(c.key);
        EXPECT_EQ(lines(), (V{c.out, "next"})) << c.what;
        EXPECT_EQ(col(), 3) << c.what;
        expect_sound();
    }
    EXPECT_EQ(lrcswitch, 2);
}

TEST_F(AlignTest, TabKeyGoesToTheNextStopAndPastTheMarginEveryColumnIsOne) {
    load({"x"});
    at(1, 1);
    EXPECT_EQ(cols({kTabKey, kTabKey}), (std::vector<int>{9, 17}));
    at(1, 70);
    EXPECT_EQ(cols({kTabKey, kTabKey, kTabKey}), (std::vector<int>{72, 73, 74}));
    EXPECT_EQ(dtstate, 1);
    // Left of the left margin there are no stops; the margin itself is one.
    lmargin = 5;
    at(1, 1);
    EXPECT_EQ(cols({kTabKey, kTabKey}), (std::vector<int>{5, 9}));
    // Beyond the table every eighth column is a stop.
    tabs.fill(0);
    lmargin = 1;
    rmargin = 300;
    at(1, 1);
    EXPECT_EQ(cols({kTabKey}), std::vector<int>{152});
    EXPECT_EQ(lines(), V{"x"});
}

TEST_F(AlignTest, TabSetTogglesAStopBetweenTheMarginsOnly) {
    load({""});
    at(1, 20);
    press(kTabSet);
    at(1, 17);
    EXPECT_EQ(cols({kTabKey, kTabKey}), (std::vector<int>{20, 25}));
    press(kTabSet);  // at 25: a default stop, now removed
    at(1, 20);
    press(kTabSet);  // and 20 removed again
    at(1, 17);
    EXPECT_EQ(cols({kTabKey}), std::vector<int>{33});
    // Not at the left margin, the right margin, beyond it, or past the table.
    lmargin = 9;
    rmargin = 200;
    for (int c : {9, 200, 210, 150}) {
        at(1, c);
        press(kTabSet);
    }
    EXPECT_EQ(tabs[9], 1);
    EXPECT_EQ(tabcol(150), 0);
    EXPECT_EQ(tabcol(152), 1);
    EXPECT_EQ(tabcol(210), 1);
    reset_tabs();
    EXPECT_EQ(tabs[25], 1);
    EXPECT_EQ(tabs[20], 0);
}

TEST_F(AlignTest, DecimalTabNumbersEndAtTheTabColumn) {
    dectabflag = 1;
    load({"total"});
    at(1, 20);
    press(kTabSet);
    at(1, 6);
    EXPECT_EQ(cols({kTabKey, kTabKey}), (std::vector<int>{9, 17}));
    press(kTabKey);
    EXPECT_EQ(col(), 20);
    typed("123.45");
    EXPECT_EQ(lines(), V{"total" + blanks(11) + "123.45"});
    EXPECT_EQ(col(), 23);
    EXPECT_EQ(dtstate, 0);
    // Without DTAB the same keys type from the tab column on.
    dectabflag = 0;
    load({"total"});
    at(1, 17);
    press(kTabKey);
    typed("1.5");
    EXPECT_EQ(lines(), V{"total" + blanks(14) + "1.5"});
    expect_sound();
}

}  // namespace
