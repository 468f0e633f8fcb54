// The display of core files: the horizontal shift, the flag columns and the status line, checked
// on the screen model the commands draw.

#include "display.hpp"
#include "scan_fixture.hpp"
#include "tabs.hpp"
#include "templates.hpp"

namespace {

using C = std::vector<std::string>;

class DisplayTest : public ScanTest {
  protected:
    void SetUp() override {
        ScanTest::SetUp();
        reset_display();
        reset_fieldtable();
        tabs.fill(0);  // the ruler shows the start-up tab stops, whatever an earlier test left
        for (std::size_t c = 1; c < tabs.size(); c += 8)
            tabs[c] = 1;
    }
    static void draw(int code) {
        redisplay = code;
        display();
    }
    static std::string row(int r) { return screen_text(r); }
    static std::string flags(int from, int to) {
        std::string out;
        for (int r = from; r <= to; ++r)
            out += row(r).substr(0, 2);
        return out;
    }
};

TEST_F(DisplayTest, HorizontalShiftKeepsTheOverlapInView) {
    fill_lines({std::string(200, 'x')});
    // The cursor's column, then the shift and the window's right column it leads to.
    const std::array<int, 3> moves[] = {
        {79, 59, 137}, {137, 59, 137}, {150, 118, 196}, {59, 0, 78}};
    for (const auto& [column, shift, right] : moves) {
        cur().curcol = column;
        draw(0);
        EXPECT_EQ(std::tuple(pshift, rightcol), std::tuple(shift, right)) << column;
    }

    // A silly column on a narrow window does not hang the rule.
    setgeometry(24, 21);
    cur().curcol = 2'000'000'000;
    draw(0);
    EXPECT_TRUE(rightcol >= cur().curcol && pshift == rightcol - swidth) << rightcol;
}

TEST_F(DisplayTest, FlagsTellWhatIsOffScreenAndWhatKindALineIs) {
    fill_lines({std::string(100, 'a'), "short", "record|line|", std::string(70, 'b')});
    line(3)->object = kObjRecord;
    cur().starA = line(2);
    draw(1);
    EXPECT_EQ(flags(2, 5), " +* \\r  ");
    EXPECT_EQ(row(2).substr(2) + row(3).substr(2, 6) + row(4).substr(2, 12),
              std::string(78, 'a') + "short record|line|");
    EXPECT_EQ(row(windowend), std::string(80, ' '));

    // Shifted: '-' on both columns unless starred or not text; a shorter line is blank.
    cur().curcol = 90;
    draw(0);
    EXPECT_EQ(pshift, 59);
    EXPECT_EQ(flags(2, 4), "--*-\\r");
    EXPECT_EQ(row(2).substr(2, 42) + row(3).substr(2) + row(5).substr(2, 12),
              std::string(41, 'a') + std::string(79, ' ') + std::string(11, 'b') + " ");
}

TEST_F(DisplayTest, TheStatusLineSendsOnlyWhatChanged) {
    fill_lines({"a", "b"});
    cur().filname.assign("docs/letters/notes.txt");
    mode = 0;
    pltransmit("$Cx");
    putcmdlett('F');
    putcmdlett('E');
    gendis();
    EXPECT_EQ(row(0).substr(0, 79),
              "  Core: 1 (    1,    1)   /notes.txt             Lines: 2      View:  TEXT     ");
    EXPECT_EQ(row(23).substr(0, 22), "Expecting Command  FE ") << "the typed command is kept";
    EXPECT_EQ(screen_of(putstats), C{});
    cur().curcol = 12;
    EXPECT_EQ(screen_of(putstats), C{"$mc   12"});
    // More than five digits keep to the field, and no digit is left standing after them.
    for (const auto& [col, shown] :
         {std::pair{99999, "99999"}, {100000, " 100k"}, {4000001, "4000k"}, {12, "   12"}}) {
        cur().curcol = col;
        putstats();
        EXPECT_EQ(row(0).substr(11, 12), std::string("    1,") + shown + ")") << col;
    }
    cur().curline = 123456789;
    EXPECT_EQ(screen_of(putstats), C{"$mr 123M"});
    full = 1;
    EXPECT_EQ(screen_of([] {
                  putstats();
                  putstats();
              }),
              C{"$mvFULL    "});
    full = 0;
    EXPECT_EQ(screen_of(putstats), C{"$mvTEXT    "});
}

}  // namespace
