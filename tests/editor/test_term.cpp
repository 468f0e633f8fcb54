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
    struct Shown {
        std::string cmd;  // empty: nothing sent
        int row, from;
        std::string want;
    };
    // Sends each command and checks the cells that follow on the row.
    static void expect_shown(std::initializer_list<Shown> rows) {
        for (const Shown& r : rows) {
            if (!r.cmd.empty()) pltransmit(r.cmd);
            EXPECT_EQ(cells(r.row, r.from, static_cast<int>(r.want.size())), r.want) << r.cmd;
        }
    }
    // Terminal output goes to `bytes_` from now on.
    void capture(const char* term) {
        ASSERT_TRUE(load_terminfo(term));
        set_output_capture(&bytes_);
    }
    // The bytes that `f` sends to the terminal.
    template <class F>
    std::string emitted(F f) {
        bytes_.clear();
        f();
        return bytes_;
    }
    // The bytes that reach the terminal when the screen is refreshed after the commands.
    std::string refreshed(std::initializer_list<std::string> cmds = {}) {
        return emitted([&] {
            send(cmds);
            screen_refresh();
        });
    }
    std::string bytes_;
    static std::array<int, 7> geometry() {
        return {swidth, rightcol, windowend, depth, helpline, cmdline, shiftc};
    }
    static void send(std::initializer_list<std::string> cmds) {
        for (const std::string& c : cmds)
            pltransmit(c);
    }
};

TEST_F(TermTest, GeometryFollowsTheTerminalSize) {
    EXPECT_EQ(setgeometry(30, 100), 1);
    // Width, right column, window end, depth, help line, command line, shift.
    EXPECT_EQ(geometry(), (std::array{98, 98, 27, 26, 28, 29, 79}));
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

// The last text row does not advance; huge columns neither hang nor overflow.
TEST_F(TermTest, TextCursorWrapsAtTheRightEdge) {
    const struct {
        const char* cmd;
        int line, col;
    } moves[] = {{"$p5,200", 7, 44},
                 {"$p3,79", 3, 79},
                 {"$p3,80", 4, 2},
                 {"$p20,300", 21, 66},
                 {"$p21,2000000000", 21, -1}};
    for (const auto& m : moves) {
        pltransmit(m.cmd);
        EXPECT_EQ(textline, m.line) << m.cmd;
        if (m.col > 0) {
            EXPECT_EQ(textcol, m.col) << m.cmd;
        }
    }
    EXPECT_EQ(helpline - 1, 21);
    EXPECT_LE(textcol, 79);
    EXPECT_GE(textcol, 2);
    pltransmit("$+");
    EXPECT_EQ(screen_cursor_row(), 21);
    EXPECT_EQ(screen_cursor_col(), textcol);

    setgeometry(30, 100);
    pltransmit("$p5,200");
    EXPECT_EQ(std::pair(textline, textcol), std::pair(7, 4));
}

TEST_F(TermTest, TextRowsFlagsAndRuns) {
    const std::string x78(78, 'x');
    expect_shown({{"$TL7," + x78, 7, 2, x78},
                  {"$TF7,*+", 7, 0, "*+" + x78},
                  {"$TL7,short", 7, 0, "*+short" + std::string(73, ' ')},  // the rest cleared
                  {"$TL7", 7, 0, "*+" + std::string(78, ' ')},             // the flag columns stay
                  {"$TR3,2,5,ab", 3, 2, "ab^^^ "},
                  // Runs wrap to column 2 of the next row, but not past the last text row.
                  {"$TR10,76,7,abcdefg", 10, 76, "abcd"},
                  {"", 11, 2, "efg "},
                  {"$TR21,78,5,xyz", 21, 78, "xy"},
                  {"", 21, 2, "z^^ "},
                  {"", 22, 0, "    "},
                  // A huge count neither hangs nor writes outside the text zone.
                  {"$TR20,2,2000000000,", 21, 2, std::string(78, '^')},
                  {"", 22, 0, "    "},
                  {"$Tfab", 2, 0, "ab"}});
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
    send({"$mw 1", "$mr    1", "$mc   12", "$ml3", "$mvTEXT    ", "$mmCommand "});
    EXPECT_EQ(cells(0, 0, 80),
              "  Core: 1 (    1,   12)                          Lines: 3      View:  TEXT      ");
    EXPECT_EQ(cells(23, 0, 19), "Expecting Command  ");

    expect_shown({{"$mnhome/user/a-very-long-directory/notes.txt", 0, 26, "/notes.txt          "},
                  {"$mn/a/extraordinarily-long-name.txt", 0, 26, "/extraordinarily-lon "},  // cut
                  {"$mnplain", 0, 26, "plain               "},
                  {"$mhSaving...", 22, 0, "------Saving..." + std::string(65, '-')},
                  {"$mh", 22, 0, std::string(80, '-')},
                  {"$mt..<..!..>", 1, 0, "  ..<..!..>  "}});
    // Commands of other front ends and unknown letters do nothing.
    const std::string before = screen_text(0);
    send({"$e+", "$e-", "$u", "$L", "$l 3", "$t 4", "$mU###", "$mz1", "$Tq", "$Cq", "$", "", "$TR",
          "$TF", "$m"});
    EXPECT_EQ(screen_text(0), before);
}

TEST_F(TermTest, CommandLineKeepsItsShadow) {
    pltransmit("$Cx");
    for (char c : std::string("FE"))
        putcmdlett(c);
    pltransmit("$CLnotes");
    EXPECT_EQ(std::pair(cmdlen, shadow_ptr), std::pair(7, 2));
    EXPECT_EQ(cells(23, 19, 8), "FEnotes ");
    EXPECT_EQ(std::string(shadow_cmdline.data(), 2), "FE");
    backspace();
    EXPECT_EQ(std::pair(cmdlen, shadow_ptr), std::pair(6, 1));
    EXPECT_EQ(cells(23, 19, 8), "FEnote  ");
    pltransmit("$C+");
    EXPECT_EQ(screen_cursor_col(), 25);
    // The shadow never grows past its size, nor below empty.
    for (int i = 0; i < 500; ++i)
        putcmdlett('x');
    EXPECT_EQ(shadow_ptr, kShadowCmdLen);
    for (int i = 0; i < 600; ++i)
        backspace();
    EXPECT_EQ(std::pair(cmdlen, shadow_ptr), std::pair(0, 0));
    pltransmit("$Cx");
    EXPECT_EQ(cells(23, 19, 61), std::string(61, ' '));
}

TEST_F(TermTest, NothingIsShownWhileInvisible) {
    capture("xterm");
    screen_refresh();
    visible = 0;
    EXPECT_EQ(emitted([] {
                  send({"$X", "$W", "$TL3,hello", "$mhhelp", "$b", "$Cx", "$CLabc", "$Tx",
                        "$TR3,2,5,ab", "$c!"});
                  putstring("error", 'e');
                  screen_refresh();
              }),
              "");
    for (int r = 0; r < 24; ++r)
        EXPECT_EQ(screen_text(r), std::string(80, ' '));
    pltransmit("$p4,10");
    EXPECT_EQ(textline, 0) << "the text cursor is not moved either";
}

TEST_F(TermTest, OnlyChangesReachTheTerminal) {
    capture("xterm");
    const std::string first = refreshed({"$X", "$TL5,hello world", "$p5,4", "$+"});
    EXPECT_NE(first.find("\x1b[H\x1b[2J"), std::string::npos) << first;
    EXPECT_NE(first.find("hello world"), std::string::npos);
    EXPECT_EQ(refreshed(), "") << "nothing changed, nothing sent";
    EXPECT_EQ(refreshed({"$cJ", "$p5,5", "$+"}), "J") << "overtyping: no cursor movement";
    // Redrawing a row with the same text sends nothing; a shorter text clears the rest: back one,
    // clear from column 4, then on to the cursor.
    EXPECT_EQ(refreshed({"$TL5,heJlo world", "$+"}), "");
    EXPECT_EQ(refreshed({"$TL5,he", "$+"}), "\b\x1b[K ");

    // Control characters in messages never reach the terminal as controls.
    const std::string shown = refreshed({"$mh\x1b]0;evil\x07\x9b"});
    EXPECT_NE(shown.find("~]0;evil~~"), std::string::npos) << shown;
    EXPECT_EQ(shown.find('\x07'), std::string::npos);
    EXPECT_EQ(shown.find('\x9b'), std::string::npos);
    EXPECT_EQ(screen_text(22).substr(6, 8), "\x1b]0;evil");
}

TEST_F(TermTest, Vt100WrapModeAndUtf8Output) {
    capture("vt100");
    termnum = 4;
    EXPECT_EQ(emitted(physterm).rfind("\x1b[?7l", 0), 0u) << "wrap off first";
    EXPECT_EQ(emitted(reseterm).rfind("\x1b[?8l\x1b[?7h", 0), 0u);
    termnum = 9;
    EXPECT_EQ(emitted([] {
                  physterm();
                  reseterm();
              }).find("?7"),
              std::string::npos);

    // Characters above 127: one byte each on an 8-bit terminal, UTF-8 on a UTF-8 terminal, and
    // the box-drawing characters only on UTF-8.
    pltransmit("$X");
    std::string cmd = "$TL4,\xe9";
    append_screen_char(cmd, 0x2500);
    pltransmit(cmd);
    EXPECT_EQ(screen_row(4)[2], U'\u00e9');
    EXPECT_EQ(screen_row(4)[3], U'\u2500');
    EXPECT_NE(refreshed().find("\xe9?"), std::string::npos);
    utf8_terminal = true;
    screen_forget();
    EXPECT_NE(refreshed().find("\xc3\xa9\xe2\x94\x80"), std::string::npos);
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
    EXPECT_EQ(std::vector(cmds.begin(), cmds.begin() + 3),
              (std::vector<std::string>{"$meNot Found", "$e+", "$e-"}));
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
