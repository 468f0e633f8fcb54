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
    static std::vector<std::string> sent(F f) {
        std::vector<std::string> cmds;
        set_command_capture(&cmds);
        f();
        set_command_capture(nullptr);
        return cmds;
    }
    static std::vector<std::string> drawn(int code) {
        return sent([code] { draw(code); });
    }
    static void draw(int code) {
        redisplay = code;
        display();
    }
    static std::string row(int r) { return screen_text(r); }
    static std::string flags(int r) { return row(r).substr(0, 2); }
    // The flag columns of rows `from` to `to`.
    static std::vector<std::string> flags(int from, int to) {
        std::vector<std::string> out;
        for (int r = from; r <= to; ++r)
            out.push_back(flags(r));
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
        EXPECT_EQ(pshift, shift) << column;
        EXPECT_EQ(rightcol, right) << column;
    }

    // A shift redraws the ruler and the whole zone, even when asked for less; while invisible
    // only the numbers move.
    cur().curcol = 100;
    const std::vector<std::string> cmds = drawn(4);
    ASSERT_FALSE(cmds.empty());
    EXPECT_EQ(cmds[0].substr(0, 3), "$mt");
    EXPECT_EQ(cmds[0].size(), 3u + 78u);
    visible = 0;
    cur().curcol = 1;
    draw(1);
    EXPECT_EQ(pshift, 0);
    visible = 1;

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
    EXPECT_EQ(flags(2, 5), (std::vector<std::string>{" +", "* ", "\\r", "  "}));
    EXPECT_EQ(row(2).substr(2), std::string(78, 'a'));
    EXPECT_EQ(row(3).substr(2, 6), "short ");
    EXPECT_EQ(row(4).substr(2, 12), "record|line|");
    for (int r = 6; r <= windowend; ++r)
        EXPECT_EQ(row(r), std::string(80, ' ')) << r;

    // Shifted: '-' on both columns unless starred or not text; a line shorter than the shift is
    // blank.
    cur().curcol = 90;
    draw(0);
    EXPECT_EQ(pshift, 59);
    EXPECT_EQ(flags(2, 4), (std::vector<std::string>{"--", "*-", "\\r"}));
    EXPECT_EQ(row(2).substr(2, 42), std::string(41, 'a') + " ");
    EXPECT_EQ(row(3).substr(2), std::string(78, ' '));
    EXPECT_EQ(row(5).substr(2, 12), std::string(11, 'b') + " ");
}

TEST_F(DisplayTest, PartialRedrawsTouchOnlyTheirRows) {
    fill({"one", "two", "three", "four"});
    draw(1);
    cur().lnptr = line(3);
    using C = std::vector<std::string>;
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
    EXPECT_EQ(flags(2), "  ");
    // No field past the end of the line.
    EXPECT_EQ(row(3).substr(2, 30), "abc^^   toolo   x^^^^         ");

    // The cursor in the second field: field number, start and length, and its screen place.
    cur().curcol = 7;
    discur();
    EXPECT_EQ(std::tuple(fieldnum, recptr, fieldsiz), std::tuple(2, line(1)->index + 4, 12));
    EXPECT_EQ(std::pair(textline, textcol), std::pair(frow[2], fcol[2] + 2));

    // Star flag and a line that may not be edited in this view: every field shows '^'.
    cur().starA = line(1);
    draw(9);
    EXPECT_EQ(flags(2), "* ");
    line(1)->object = kObjText;
    draw(1);
    EXPECT_EQ(row(2).substr(2, 6), "abc|to");
    EXPECT_EQ(row(3).substr(2, 6), "^^^^^ ");
    EXPECT_EQ(row(4).substr(26, 6), "^^^^^ ") << "all ten fields of the template";
    discur();
    EXPECT_EQ(std::pair(textline, textcol), std::pair(2, 1));

    // A field wider than any screen command is cut, not overrun.
    line(1)->object = kObjRecord;
    maxfieldlen[1] = 100000;
    draw(7);
    cur().curcol = 1;
    draw(7);
    EXPECT_EQ(row(3).substr(2, 4), "abc^");
}

TEST_F(DisplayTest, StatusLineSendsOnlyWhatChanged) {
    fill({"a", "b"});
    cur().filname.assign("docs/letters/notes.txt");
    gendis();
    EXPECT_EQ(row(0).substr(0, 79),
              "  Core: 1 (    1,    1)   /notes.txt             Lines: 2      View:  TEXT     ");
    EXPECT_EQ(row(1).substr(0, 12), "  <.......!.");
    EXPECT_EQ(row(1)[73], '>');
    EXPECT_EQ(row(22), std::string(80, '-'));
    EXPECT_EQ(row(23).substr(0, 19), "Expecting Typing   ");

    // Only what changed is sent, and a status shown once is not sent again.
    using C = std::vector<std::string>;
    EXPECT_EQ(sent(putstats), C{});
    cur().curcol = 12;
    EXPECT_EQ(sent(putstats), C{"$mc   12"});
    // Numbers of more than five digits keep to the field: no digit is left standing when a
    // shorter one follows.
    for (const auto& [col, shown] : {std::pair{99999, "99999"}, std::pair{100000, " 100k"},
                                     std::pair{4000001, "4000k"}, std::pair{12, "   12"}}) {
        cur().curcol = col;
        putstats();
        EXPECT_EQ(row(0).substr(0, 24), std::string("  Core: 1 (    1,") + shown + ") ") << col;
    }
    cur().curline = 123456789;
    EXPECT_EQ(sent(putstats), C{"$mr 123M"});
    cur().curline = 1;
    putstats();
    full = 1;
    EXPECT_EQ(sent([] {
                  putstats();
                  putstats();
              }),
              C{"$mvFULL    "});
    full = 0;
    EXPECT_EQ(sent(putstats), C{"$mvTEXT    "});

    // Margins, tab stops and column stars on the ruler; the stop at column 1 lies left of the
    // margin, where the tab key never stops.
    lmargin = 5;
    rmargin = 20;
    cur().cstarA = 3;
    prtabs();
    EXPECT_EQ(row(1).substr(2, 24), "..*.<...!.......!..>....");
    lmargin = rmargin = 10;
    prtabs();
    EXPECT_EQ(row(1).substr(2 + 9, 1), "+");
}

TEST_F(DisplayTest, WholeScreenRedrawKeepsTheTypedCommand) {
    fill({"text"});
    mode = 0;
    pltransmit("$Cx");
    putcmdlett('F');
    putcmdlett('E');
    gendis();
    EXPECT_EQ(row(23).substr(0, 22), "Expecting Command  FE ");
    EXPECT_EQ(row(2).substr(0, 7), "  text ");
    EXPECT_EQ(cmdlen, 2);
}

TEST_F(DisplayTest, ResultsOnTheHelpLine) {
    numstack[ni] = 1.5e10;
    draw(11);
    EXPECT_EQ(row(22).substr(6, 11), "FP 1.5'+10-");
    fperror = kFpOverflow;
    draw(11);
    EXPECT_EQ(row(22).substr(6, 18), "FP Overflow Error-");
    EXPECT_EQ(fperror, kFpFine) << "shown once, then cleared";
    fperror = kFpSyntax;
    putfloat();
    EXPECT_EQ(row(22).substr(6, 15), "FP Syntax Error");

    vl_result[0] = 42;
    putresult();
    EXPECT_EQ(row(22).substr(6, 7), "RES 42-");

    pushfn("\x7f");
    using C = std::vector<std::string>;
    EXPECT_EQ(sent([] { putbool("AC", "B"); }), (C{"$mbERR AC", "$mbCH B"}));
    EXPECT_EQ(sent([] { putbool("", "AB"); }), C{"$mbCH AB"});
}

// After a resize or a return from elsewhere the whole screen is drawn again at the terminal's size
// and the terminal's cursor is where the user had it: on the text, on the command line, or after a
// message that still waits for its answer.
TEST_F(DisplayTest, RedrawPutsTheCursorBackAndShowsTheLock) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 30; ++i)
        lines.push_back("line " + std::to_string(i));
    fill(lines);
    for (int i = 0; i < 4; ++i)
        cur().lnptr = cur().lnptr->down;
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
        {12, 40, [] { txtcur(); }, -1, -1},
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
        EXPECT_EQ(screen_cursor_row(), c.row >= 0 ? c.row : windowtop + 4)
            << c.rows << "x" << c.cols;
        EXPECT_EQ(screen_cursor_col(), c.col >= 0 ? c.col : 4) << c.rows << "x" << c.cols;
        EXPECT_EQ(row(0).substr(0, 7), "  Core:");
        EXPECT_EQ(screen_text(c.rows - 1).substr(0, 10), "Expecting ");
    }
    EXPECT_EQ(row(10).substr(0, 15), "------Not Found") << "the waiting message is shown again";
    EXPECT_EQ(row(6).substr(0, 8), "  line 5");

    // The upper-case lock: marked in the help line's rule while on, whatever the line shows.
    transb = 1;
    putstats();
    EXPECT_EQ(row(10).substr(0, 15), "-CAPS-Not Found");
    putstring("", 'h');
    EXPECT_EQ(row(10).substr(0, 8), "-CAPS---");
    gendis();
    EXPECT_EQ(row(10).substr(0, 8), "-CAPS---");
    transb = 0;
    putstats();
    EXPECT_EQ(row(10), std::string(40, '-'));
}

}  // namespace
