// The screen-command interpreter and the terminal output: what each command puts on the screen,
// the geometry rule, and the bytes that reach the terminal.
#include <string>

#include "scrout.hpp"
#include "store_fixture.hpp"
#include "sys_linux.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

namespace {

class TermTest : public StoreTest {
  protected:
    void TearDown() override {
        set_output_capture(nullptr);
        utf8_terminal = false;
        StoreTest::TearDown();
    }
    static std::string cells(int row, int from, int n) { return screen_text(row).substr(from, n); }
};

TEST_F(TermTest, GeometryFollowsTheTerminalSize) {
    EXPECT_EQ(setgeometry(30, 100), 1);
    EXPECT_EQ(swidth, 98);
    EXPECT_EQ(rightcol, 98);
    EXPECT_EQ(windowend, 27);
    EXPECT_EQ(depth, 26);
    EXPECT_EQ(helpline, 28);
    EXPECT_EQ(cmdline, 29);
    EXPECT_EQ(shiftc, 79);
    EXPECT_EQ(screen_text(29).size(), 100u);
    EXPECT_EQ(setgeometry(30, 100), 0) << "same size: nothing changed";

    pshift = 59;
    EXPECT_EQ(setgeometry(24, 80), 1);
    EXPECT_EQ(pshift, 0);
    EXPECT_EQ(shiftc, 59);

    // A terminal too narrow for the overlap still shifts by at least one column, and the
    // geometry never drops below one text row.
    setgeometry(2, 5);
    EXPECT_GE(shiftc, 1);
    EXPECT_GE(depth, 1);
    EXPECT_GT(helpline, windowend);
    pltransmit("$p5,100000");
    EXPECT_LE(textcol, swidth + 1);
    // A terminal that claims an absurd size gets a bounded screen.
    setgeometry(65535, 65535);
    EXPECT_LE(cmdline, 499);
    EXPECT_LE(swidth, 998);
    EXPECT_EQ(static_cast<int>(screen_text(cmdline).size()), swidth + 2);
}

TEST_F(TermTest, TextCursorWrapsAtTheRightEdge) {
    pltransmit("$p5,200");
    EXPECT_EQ(textline, 7);
    EXPECT_EQ(textcol, 44);
    pltransmit("$p3,79");
    EXPECT_EQ(textline, 3);
    EXPECT_EQ(textcol, 79);
    pltransmit("$p3,80");
    EXPECT_EQ(textline, 4);
    EXPECT_EQ(textcol, 2);
    // The last text row does not advance; huge columns neither hang nor overflow.
    pltransmit("$p20,300");
    EXPECT_EQ(textline, helpline - 1);
    EXPECT_EQ(textcol, 66);
    pltransmit("$p21,2000000000");
    EXPECT_EQ(textline, 21);
    EXPECT_LE(textcol, 79);
    EXPECT_GE(textcol, 2);
    pltransmit("$+");
    EXPECT_EQ(screen_cursor_row(), 21);
    EXPECT_EQ(screen_cursor_col(), textcol);

    setgeometry(30, 100);
    pltransmit("$p5,200");
    EXPECT_EQ(textline, 7);
    EXPECT_EQ(textcol, 4);
}

TEST_F(TermTest, TextRowsFlagsAndRuns) {
    pltransmit("$TL7," + std::string(78, 'x'));
    pltransmit("$TF7,*+");
    EXPECT_EQ(screen_text(7), "*+" + std::string(78, 'x'));
    pltransmit("$TL7,short");
    EXPECT_EQ(screen_text(7), "*+short" + std::string(73, ' ')) << "rest of the row cleared";
    pltransmit("$TL7");
    EXPECT_EQ(screen_text(7), "*+" + std::string(78, ' ')) << "flag columns stay";

    pltransmit("$TR3,2,5,ab");
    EXPECT_EQ(cells(3, 2, 6), "ab^^^ ");
    // Runs wrap to column 2 of the next row, but not past the last text row.
    pltransmit("$TR10,76,7,abcdefg");
    EXPECT_EQ(cells(10, 76, 4), "abcd");
    EXPECT_EQ(cells(11, 2, 4), "efg ");
    pltransmit("$TR21,78,5,xyz");
    EXPECT_EQ(cells(21, 78, 2), "xy");
    EXPECT_EQ(cells(21, 2, 4), "z^^ ");
    EXPECT_EQ(cells(22, 0, 4), "    ");
    // A huge count neither hangs nor writes outside the text zone.
    pltransmit("$TR20,2,2000000000,");
    EXPECT_EQ(cells(21, 2, 78), std::string(78, '^'));
    EXPECT_EQ(cells(22, 0, 4), "    ");

    pltransmit("$Tfab");
    EXPECT_EQ(cells(2, 0, 2), "ab");
    pltransmit("$Tx");
    for (int row = 2; row <= 21; ++row)
        EXPECT_EQ(screen_text(row), std::string(80, ' '));
    EXPECT_EQ(cells(22, 0, 1), " ");
}

TEST_F(TermTest, StatusFieldsAndLabels) {
    pltransmit("$W");
    EXPECT_EQ(cells(0, 0, 80),
              "  Core:   (     ,     )                          Lines:        View: " +
                  std::string(11, ' '));
    EXPECT_EQ(cells(23, 0, 10), "Expecting ");
    pltransmit("$mw 1");
    pltransmit("$mr    1");
    pltransmit("$mc   12");
    pltransmit("$ml3");
    pltransmit("$mvTEXT    ");
    pltransmit("$mmCommand ");
    EXPECT_EQ(cells(0, 0, 80),
              "  Core: 1 (    1,   12)                          Lines: 3      View:  TEXT      ");
    EXPECT_EQ(cells(23, 0, 19), "Expecting Command  ");

    pltransmit("$mnhome/user/a-very-long-directory/notes.txt");
    EXPECT_EQ(cells(0, 26, 20), "/notes.txt          ");
    pltransmit("$mn/a/extraordinarily-long-name.txt");
    EXPECT_EQ(cells(0, 26, 21), "/extraordinarily-lon ") << "cut to 20";
    pltransmit("$mnplain");
    EXPECT_EQ(cells(0, 26, 20), "plain               ");

    pltransmit("$mhSaving...");
    EXPECT_EQ(screen_text(22), "------Saving..." + std::string(65, '-'));
    pltransmit("$mh");
    EXPECT_EQ(screen_text(22), std::string(80, '-'));
    pltransmit("$mt..<..!..>");
    EXPECT_EQ(cells(1, 0, 13), "  ..<..!..>  ");
    // Commands of other front ends and unknown letters do nothing.
    const std::string before = screen_text(0);
    for (const char* c : {"$e+", "$e-", "$u", "$L", "$l 3", "$t 4", "$mU###", "$mz1", "$Tq", "$Cq",
                          "$", "", "$TR", "$TF", "$m"}) {
        pltransmit(c);
    }
    EXPECT_EQ(screen_text(0), before);
}

TEST_F(TermTest, CommandLineKeepsItsShadow) {
    pltransmit("$Cx");
    for (char c : std::string("FE"))
        putcmdlett(c);
    pltransmit("$CLnotes");
    EXPECT_EQ(cmdlen, 7);
    EXPECT_EQ(cells(23, 19, 8), "FEnotes ");
    EXPECT_EQ(shadow_ptr, 2);
    EXPECT_EQ(std::string(shadow_cmdline.data(), 2), "FE");
    backspace();
    EXPECT_EQ(cmdlen, 6);
    EXPECT_EQ(shadow_ptr, 1);
    EXPECT_EQ(cells(23, 19, 8), "FEnote  ");
    pltransmit("$C+");
    EXPECT_EQ(screen_cursor_col(), 25);
    // The shadow never grows past its size, nor below empty.
    for (int i = 0; i < 500; ++i)
        putcmdlett('x');
    EXPECT_EQ(shadow_ptr, kShadowCmdLen);
    for (int i = 0; i < 600; ++i)
        backspace();
    EXPECT_EQ(shadow_ptr, 0);
    EXPECT_EQ(cmdlen, 0);
    pltransmit("$Cx");
    EXPECT_EQ(cells(23, 19, 61), std::string(61, ' '));
}

TEST_F(TermTest, NothingIsShownWhileInvisible) {
    std::string bytes;
    ASSERT_TRUE(load_terminfo("xterm"));
    set_output_capture(&bytes);
    screen_refresh();
    bytes.clear();
    visible = 0;
    for (const char* c : {"$X", "$W", "$TL3,hello", "$mhhelp", "$b", "$Cx", "$CLabc", "$Tx",
                          "$TR3,2,5,ab", "$c!"}) {
        pltransmit(c);
    }
    putstring("error", 'e');
    screen_refresh();
    EXPECT_EQ(bytes, "");
    for (int r = 0; r < 24; ++r)
        EXPECT_EQ(screen_text(r), std::string(80, ' '));
    pltransmit("$p4,10");
    EXPECT_EQ(textline, 0) << "the text cursor is not moved either";
}

TEST_F(TermTest, OnlyChangesReachTheTerminal) {
    std::string bytes;
    ASSERT_TRUE(load_terminfo("xterm"));
    set_output_capture(&bytes);
    pltransmit("$X");
    pltransmit("$TL5,hello world");
    pltransmit("$p5,4");
    pltransmit("$+");
    screen_refresh();
    EXPECT_NE(bytes.find("\x1b[H\x1b[2J"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("hello world"), std::string::npos);

    bytes.clear();
    screen_refresh();
    EXPECT_EQ(bytes, "") << "nothing changed, nothing sent";

    // Overtyping at the cursor: the character, no cursor movement.
    pltransmit("$cJ");
    pltransmit("$p5,5");
    pltransmit("$+");
    screen_refresh();
    EXPECT_EQ(bytes, "J");

    // Redrawing a row with the same text sends nothing; a shorter text clears the rest.
    bytes.clear();
    pltransmit("$TL5,heJlo world");
    pltransmit("$+");
    screen_refresh();
    EXPECT_EQ(bytes, "");
    pltransmit("$TL5,he");
    pltransmit("$+");
    screen_refresh();
    EXPECT_EQ(bytes, "\b\x1b[K ") << "back one, clear from column 4, then on to the cursor";

    // Control characters in messages never reach the terminal as controls.
    bytes.clear();
    pltransmit("$mh\x1b]0;evil\x07\x9b");
    screen_refresh();
    EXPECT_NE(bytes.find("~]0;evil~~"), std::string::npos) << bytes;
    EXPECT_EQ(bytes.find('\x07'), std::string::npos);
    EXPECT_EQ(bytes.find('\x9b'), std::string::npos);
    EXPECT_EQ(screen_text(22).substr(6, 8), "\x1b]0;evil");
}

TEST_F(TermTest, Vt100WrapModeAndUtf8Output) {
    std::string bytes;
    ASSERT_TRUE(load_terminfo("vt100"));
    set_output_capture(&bytes);
    termnum = 4;
    physterm();
    EXPECT_EQ(bytes.rfind("\x1b[?7l", 0), 0u) << "wrap off first";
    bytes.clear();
    reseterm();
    EXPECT_EQ(bytes.rfind("\x1b[?8l\x1b[?7h", 0), 0u);
    termnum = 9;
    bytes.clear();
    physterm();
    reseterm();
    EXPECT_EQ(bytes.find("?7"), std::string::npos);

    // Characters above 127: one byte each on an 8-bit terminal, UTF-8 on a UTF-8 terminal, and
    // the box-drawing characters only on UTF-8.
    pltransmit("$X");
    std::string cmd = "$TL4,\xe9";
    append_screen_char(cmd, 0x2500);
    pltransmit(cmd);
    EXPECT_EQ(screen_row(4)[2], U'\u00e9');
    EXPECT_EQ(screen_row(4)[3], U'\u2500');
    bytes.clear();
    screen_refresh();
    EXPECT_NE(bytes.find("\xe9?"), std::string::npos);
    utf8_terminal = true;
    screen_forget();
    bytes.clear();
    screen_refresh();
    EXPECT_NE(bytes.find("\xc3\xa9\xe2\x94\x80"), std::string::npos);
}

TEST_F(TermTest, MessagesWaitForAnAnswer) {
    pushfn("\x7f");
    EXPECT_EQ(diserr("Bad Name"), 2);
    EXPECT_EQ(del, 2);
    EXPECT_EQ(screen_text(22), std::string(80, '-')) << "the message is gone afterwards";

    std::vector<std::string> cmds;
    set_command_capture(&cmds);
    pushfn("xy\r");
    EXPECT_EQ(diserr("Not Found"), 1);
    EXPECT_EQ(del, 1);
    ASSERT_GE(cmds.size(), 3u);
    EXPECT_EQ(cmds[0], "$meNot Found");
    EXPECT_EQ(cmds[1], "$e+");
    EXPECT_EQ(cmds[2], "$e-");
    set_command_capture(nullptr);

    // With nothing shown the wait still happens.
    visible = 0;
    pushfn("a\rz");
    EXPECT_EQ(diserr("hidden"), 1);
    fetchchar();
    EXPECT_EQ(holdch, 'z') << "the wait ended at the Return";
    visible = 1;

    progress("Working");
    EXPECT_EQ(bhelp, 1);
    EXPECT_EQ(screen_text(22).substr(6, 7), "Working");
    clearhelp();
    EXPECT_EQ(bhelp, 0);
    EXPECT_EQ(screen_text(22), std::string(80, '-'));

    // Characters go through the output table.
    pltransmit("$p3,5");
    putch('\x01');
    putch(173);
    EXPECT_EQ(cells(3, 5, 2), "~-");
}

}  // namespace
