// The display of core files: the horizontal shift, the flag columns, record fields, the status
// and ruler lines, and where the cursor goes, checked on the screen model the commands draw.
#include <string>
#include <vector>

#include "display.hpp"
#include "float.hpp"
#include "scrin.hpp"
#include "scrout.hpp"
#include "store_fixture.hpp"
#include "tabs.hpp"
#include "templates.hpp"
#include "terminal.hpp"

namespace {

using C = std::vector<std::string>;

class DisplayTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        reset_display();
        reset_fieldtable();
        reset_float();
        // The ruler shows the start-up tab stops, whatever an earlier test left.
        tabs.fill(0);
        for (std::size_t c = 1; c < tabs.size(); c += 8)
            tabs[c] = 1;
    }
    void TearDown() override {
        set_command_capture(nullptr);
        StoreTest::TearDown();
    }
    // Replaces core file 1's text by `lines`, cursor on the first line, window from the top.
    static void fill(const std::vector<std::string>& lines) {
        clrfile();
        fill_lines(lines);
    }
    // The screen commands that `f` sends.
    template <class F>
    static C sent(F f) {
        C cmds;
        set_command_capture(&cmds);
        f();
        set_command_capture(nullptr);
        return cmds;
    }
    static C drawn(int code) {
        return sent([code] { draw(code); });
    }
    static void draw(int code) {
        redisplay = code;
        display();
    }
    static std::string row(int r) { return screen_text(r); }
    // The flag columns of rows `from` to `to`, one after the other.
    static std::string flags(int from, int to) {
        std::string out;
        for (int r = from; r <= to; ++r)
            out += row(r).substr(0, 2);
        return out;
    }
};

TEST_F(DisplayTest, HorizontalShiftKeepsTheOverlapInView) {
    fill({std::string(200, 'x')});
    // The cursor's column, then the shift and the window's right column it leads to.
    const std::array<int, 3> moves[] = {
        {79, 59, 137}, {137, 59, 137}, {150, 118, 196}, {59, 0, 78}};
    for (const auto& [column, shift, right] : moves) {
        cur().curcol = column;
        draw(0);
        EXPECT_EQ(std::tuple(pshift, rightcol), std::tuple(shift, right)) << column;
    }

    // A shift redraws the ruler and the whole zone, even when asked for less.
    cur().curcol = 100;
    const C cmds = drawn(4);
    ASSERT_FALSE(cmds.empty());
    EXPECT_EQ(std::tuple(cmds[0].substr(0, 3), cmds[0].size()),
              std::tuple(std::string("$mt"), 81UL));

    // A silly column on a narrow window does not hang the rule.
    setgeometry(24, 21);
    cur().curcol = 2'000'000'000;
    draw(0);
    EXPECT_GE(rightcol, cur().curcol);
    EXPECT_EQ(pshift, rightcol - swidth);
}

TEST_F(DisplayTest, FlagsTellWhatIsOffScreenAndWhatKindALineIs) {
    fill({std::string(100, 'a'), "short", "record|line|", std::string(70, 'b')});
    line(3)->object = kObjRecord;
    cur().starA = line(2);
    draw(1);
    EXPECT_EQ(flags(2, 5), " +* \\r  ");
    EXPECT_EQ(row(2).substr(2) + row(3).substr(2, 6) + row(4).substr(2, 12),
              std::string(78, 'a') + "short record|line|");
    EXPECT_EQ(row(windowend), std::string(80, ' '));

    // Shifted: '-' on both columns unless starred or not text; a line shorter than the shift is
    // blank.
    cur().curcol = 90;
    draw(0);
    EXPECT_EQ(pshift, 59);
    EXPECT_EQ(flags(2, 4), "--*-\\r");
    EXPECT_EQ(row(2).substr(2, 42) + row(3).substr(2) + row(5).substr(2, 12),
              std::string(41, 'a') + std::string(79, ' ') + std::string(11, 'b') + " ");
}

TEST_F(DisplayTest, PartialRedrawsTouchOnlyTheirRows) {
    fill({"one", "two", "three", "four"});
    draw(1);
    cur().lnptr = line(3);
    EXPECT_EQ(drawn(5), (C{"$TF4,  ", "$TL4,three"}));
    EXPECT_EQ(drawn(9), (C{"$TF4,  "}));
    EXPECT_EQ(drawn(20), (C{"$TF4,  ", "$TL4,three", "$TF3,  ", "$TL3,two"}));
    EXPECT_EQ(drawn(21), (C{"$TF4,  ", "$TL4,three", "$TF5,  ", "$TL5,four"}));
    const C rest = drawn(6);
    EXPECT_EQ(rest.size(), 2u * (windowend - 4 + 1));
    EXPECT_EQ(rest.back(), "$TL" + std::to_string(windowend));
    pltransmit("$p4,2");
    holdch = 'T';
    EXPECT_EQ(drawn(4), (C{"$cT"}));
    EXPECT_EQ(row(4).substr(2, 5), "Three");
    EXPECT_TRUE(sent([] {
                    draw(12);
                    draw(0);
                }).empty());
    EXPECT_EQ(redisplay, 0);
}

TEST_F(DisplayTest, RecordFieldsArePaddedAndCut) {
    fill({"abc|toolongvalue|x|"});
    line(1)->object = kObjRecord;
    cur().viewtype = 2;
    cureditmask = editmask[2];
    draw(1);
    cur().curcol = 7;
    discur();
    // No field past the end of the line; the cursor's field: number, start, length and place.
    EXPECT_EQ(flags(2, 3), "    ");
    EXPECT_EQ(row(3).substr(2, 30), "abc^^   toolo   x^^^^         ");
    EXPECT_EQ(std::tuple(fieldnum, recptr, fieldsiz), std::tuple(2, line(1)->index + 4, 12));
    EXPECT_EQ(std::tuple(textline, textcol), std::tuple(frow[2], fcol[2] + 2));
    // Star flag; a line not editable in this view shows '^' in all ten fields of the template.
    cur().starA = line(1);
    draw(9);
    EXPECT_EQ(flags(2, 2), "* ");
    line(1)->object = kObjText;
    draw(1);
    EXPECT_EQ(row(2).substr(2, 6) + row(3).substr(2, 6) + row(4).substr(26, 6),
              "abc|to^^^^^ ^^^^^ ");
    discur();
    EXPECT_EQ(std::tuple(textline, textcol), std::tuple(2, 1));
    // A field wider than any screen command is cut, not overrun.
    line(1)->object = kObjRecord;
    maxfieldlen[1] = 100000;
    cur().curcol = 1;
    draw(7);
    EXPECT_EQ(row(3).substr(2, 4), "abc^");
}

TEST_F(DisplayTest, StatusAndRulerLinesSendOnlyWhatChanged) {
    fill({"a", "b"});
    cur().filname.assign("docs/letters/notes.txt");
    mode = 0;
    pltransmit("$Cx");
    putcmdlett('F');
    putcmdlett('E');
    gendis();
    EXPECT_EQ(row(0).substr(0, 79),
              "  Core: 1 (    1,    1)   /notes.txt             Lines: 2      View:  TEXT     ");
    EXPECT_EQ(row(1).substr(0, 12) + row(1)[73], "  <.......!.>");
    EXPECT_EQ(row(22), std::string(80, '-'));
    EXPECT_EQ(row(23).substr(0, 22), "Expecting Command  FE ") << "the typed command is kept";
    EXPECT_EQ(sent(putstats), C{});
    cur().curcol = 12;
    EXPECT_EQ(sent(putstats), C{"$mc   12"});
    // More than five digits keep to the field, and no digit is left standing after them.
    for (const auto& [col, shown] :
         {std::pair{99999, "99999"}, {100000, " 100k"}, {4000001, "4000k"}, {12, "   12"}}) {
        cur().curcol = col;
        putstats();
        EXPECT_EQ(row(0).substr(11, 12), std::string("    1,") + shown + ")") << col;
    }
    cur().curline = 123456789;
    EXPECT_EQ(sent(putstats), C{"$mr 123M"});
    cur().curline = 7;
    EXPECT_EQ(sent(putstats), C{"$mr    7"});
    full = 1;
    EXPECT_EQ(sent([] {
                  putstats();
                  putstats();
              }),
              C{"$mvFULL    "});
    full = 0;
    EXPECT_EQ(sent(putstats), C{"$mvTEXT    "});
    // Margins, tab stops and column stars on the ruler.
    lmargin = 5;
    rmargin = 20;
    cur().cstarA = 3;
    prtabs();
    EXPECT_EQ(row(1).substr(2, 24), "..*.<...!.......!..>....");
    lmargin = rmargin = 10;
    prtabs();
    EXPECT_EQ(row(1)[11], '+');
}

// After a resize or a return from elsewhere the whole screen is drawn again at the terminal's size
// and the terminal's cursor is where the user had it: on the text, on the command line, or after a
// message that still waits for its answer.
TEST_F(DisplayTest, RedrawPutsTheCursorBackAndShowsTheLock) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 30; ++i)
        lines.push_back("line " + std::to_string(i));
    fill(lines);
    cur().lnptr = line(5);
    cur().curcol = 3;
    const struct {
        int rows, cols;
        void (*place)();
        int row, col;  // -1: the text cursor's screen place
    } cases[] = {
        {24, 80, [] { txtcur(); }, -1, -1},
        {30, 100,
         [] {
             pltransmit("$Cx");
             pltransmit("$CLFE");
             cmdcur();
         },
         29, 21},
        {12, 40, [] { putstring("Not Found", 'e'); }, 10, 15},
    };
    for (const auto& c : cases) {
        gendis();
        discur();
        c.place();
        screen_refresh();
        setgeometry(c.rows, c.cols);
        pltransmit("$p0,0");  // what the redraw finds must not matter
        redraw_screen();
        EXPECT_EQ(screen_cursor_row(), c.row >= 0 ? c.row : windowtop + 4) << c.rows;
        EXPECT_EQ(screen_cursor_col(), c.col >= 0 ? c.col : 4) << c.rows;
        EXPECT_EQ(row(0).substr(0, 7) + screen_text(c.rows - 1).substr(0, 10), "  Core:Expecting ");
    }
    EXPECT_EQ(row(10).substr(0, 15), "------Not Found") << "the waiting message is shown again";
    EXPECT_EQ(row(6).substr(0, 8), "  line 5");
    // The upper-case lock: marked in the help line's rule while on, whatever the line shows.
    transb = 1;
    putstats();
    EXPECT_EQ(row(10).substr(0, 15), "-CAPS-Not Found");
    putstring("", 'h');
    gendis();
    EXPECT_EQ(row(10).substr(0, 8), "-CAPS---");
    transb = 0;
    putstats();
    EXPECT_EQ(row(10), std::string(40, '-'));
}

}  // namespace
