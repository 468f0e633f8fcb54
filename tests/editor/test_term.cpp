// The screen-command interpreter and the terminal output: what each command puts on the screen,
// the geometry rule, progress messages, and the bytes that reach the terminal.
#include <chrono>
#include <string>

#include "scrout.hpp"
#include "store_fixture.hpp"
#include "sys_linux.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

namespace {

using std::pair;
using std::tuple;

class TermTest : public StoreTest {
  protected:
    void TearDown() override {
        set_output_capture(nullptr);
        utf8_terminal = false;
        StoreTest::TearDown();
    }
    static std::string cells(int row, int from, int n) { return screen_text(row).substr(from, n); }
    // Sends each command (none when empty) and checks the cells that follow on the row.
    static void expect_shown(
        std::initializer_list<tuple<std::string, int, int, std::string>> rows) {
        for (const auto& [cmd, row, from, want] : rows) {
            if (!cmd.empty()) pltransmit(cmd);
            EXPECT_EQ(cells(row, from, static_cast<int>(want.size())), want) << cmd;
        }
    }
    // Terminal output goes to `bytes_` from now on.
    void capture(const char* term) {
        ASSERT_TRUE(load_terminfo(term));
        set_output_capture(&bytes_);
    }
    // The bytes that reach the terminal from `f` and a refresh after it.
    template <class F = void (*)()>
    std::string sent(F f = [] {}) {
        bytes_.clear();
        f();
        screen_refresh();
        return bytes_;
    }
    std::string refreshed(std::initializer_list<std::string> cmds = {}) {
        return sent([&] { send(cmds); });
    }
    static void send(std::initializer_list<std::string> cmds) {
        for (const std::string& c : cmds)
            pltransmit(c);
    }
    std::string bytes_;
};

TEST_F(TermTest, GeometryAndTheTextCursorFollowTheTerminalSize) {
    EXPECT_EQ(setgeometry(30, 100), 1);
    EXPECT_EQ(tuple(swidth, rightcol, windowend, depth, helpline, cmdline, shiftc),
              tuple(98, 98, 27, 26, 28, 29, 79));
    EXPECT_EQ(screen_text(29).size(), 100u);
    EXPECT_EQ(setgeometry(30, 100), 0) << "same size: nothing changed";
    pltransmit("$p5,200");  // the text cursor wraps at the right edge
    EXPECT_EQ(tuple(textline, textcol), tuple(7, 4));
    pshift = 59;
    EXPECT_EQ(setgeometry(24, 80), 1);
    EXPECT_EQ(tuple(pshift, shiftc), tuple(0, 59));
    // On the last text row the cursor does not advance; huge columns neither hang nor overflow.
    for (const auto& [cmd, line, col] : {tuple("$p3,80", 4, 2), {"$p20,300", 21, 66}}) {
        pltransmit(cmd);
        EXPECT_EQ(tuple(textline, textcol), tuple(line, col)) << cmd;
    }
    send({"$p21,2000000000", "$+"});
    EXPECT_EQ(tuple(screen_cursor_row(), screen_cursor_col() >= 2, screen_cursor_col() <= 79),
              tuple(21, true, true));
    // Too narrow for the overlap still shifts by a column, and there is always a text row.
    setgeometry(2, 5);
    EXPECT_TRUE(shiftc >= 1 && depth >= 1 && helpline > windowend);
    pltransmit("$p5,100000");
    EXPECT_LE(textcol, swidth + 1);
    // A terminal that claims an absurd size gets a bounded screen.
    setgeometry(65535, 65535);
    EXPECT_TRUE(cmdline <= 499 && swidth <= 998);
    EXPECT_EQ(static_cast<int>(screen_text(cmdline).size()), swidth + 2);
}

TEST_F(TermTest, TextRowsStatusFieldsAndLabels) {
    const std::string x78(78, 'x'), blanks(78, ' ');
    expect_shown({{"$TL7," + x78, 7, 2, x78},
                  {"$TF7,*+", 7, 0, "*+" + x78},
                  {"$TL7,short", 7, 0, "*+short" + blanks.substr(5)},  // the rest cleared
                  {"$TL7", 7, 0, "*+" + blanks},                       // the flag columns stay
                  // Runs wrap to column 2 of the next row, but not past the last text row.
                  {"$TR10,76,7,abcdefg", 10, 76, "abcd"},
                  {"", 11, 2, "efg "},
                  {"$TR21,78,5,xyz", 21, 78, "xy"},
                  {"", 21, 2, "z^^ "},
                  // A huge count neither hangs nor writes outside the text zone.
                  {"$TR20,2,2000000000,", 21, 2, std::string(78, '^')},
                  {"", 22, 0, "    "},
                  {"$mnhome/user/a-very-long-directory/notes.txt", 0, 26, "/notes.txt          "},
                  {"$mn/a/extraordinarily-long-name.txt", 0, 26, "/extraordinarily-lon "},  // cut
                  {"$mhSaving...", 22, 0, "------Saving..." + std::string(65, '-')},
                  {"$mt..<..!..>", 1, 0, "  ..<..!..>  "}});
    send({"$W", "$mw 1", "$mr    1", "$mc   12", "$ml3", "$mvTEXT    ", "$mmCommand ", "$mnplain"});
    EXPECT_EQ(cells(0, 0, 80), "  Core: 1 (    1,   12)   plain" + std::string(18, ' ') +
                                   "Lines: 3      View:  TEXT      ");
    EXPECT_EQ(cells(23, 0, 19), "Expecting Command  ");
    pltransmit("$Tx");
    for (int row = 2; row <= 21; ++row)
        EXPECT_EQ(screen_text(row), std::string(80, ' '));
    EXPECT_EQ(cells(22, 0, 15), "------Saving...");
}

TEST_F(TermTest, CommandLineKeepsItsShadowWithinBounds) {
    send({"$Cx"});
    for (const char c : {'F', 'E'})
        putcmdlett(c);
    send({"$CLnotes"});
    EXPECT_EQ(tuple(cmdlen, shadow_ptr, cells(23, 19, 8), std::string(shadow_cmdline.data(), 2)),
              tuple(7, 2, "FEnotes ", "FE"));
    backspace();
    EXPECT_EQ(tuple(cmdlen, shadow_ptr, cells(23, 19, 8)), tuple(6, 1, "FEnote  "));
    for (int i = 0; i < 500; ++i)
        putcmdlett('x');
    const int most = shadow_ptr;
    for (int i = 0; i < 600; ++i)
        backspace();
    EXPECT_EQ(tuple(most, cmdlen, shadow_ptr), tuple(kShadowCmdLen, 0, 0));
}

TEST_F(TermTest, OnlyVisibleChangesReachTheTerminal) {
    capture("xterm");
    const std::string first = refreshed({"$X", "$TL5,hello world", "$p5,4", "$+"});
    EXPECT_NE(first.find("\x1b[H\x1b[2J"), std::string::npos) << first;
    EXPECT_NE(first.find("hello world"), std::string::npos);
    EXPECT_EQ(refreshed(), "") << "nothing changed, nothing sent";
    EXPECT_EQ(refreshed({"$cJ", "$p5,5", "$+"}), "J") << "overtyping: no cursor movement";
    // The same text sends nothing; a shorter text: back one, clear from column 4, on to the cursor.
    EXPECT_EQ(refreshed({"$TL5,heJlo world", "$+"}), "");
    EXPECT_EQ(refreshed({"$TL5,he", "$+"}), "\b\x1b[K ");
    // Control characters in messages never reach the terminal as controls.
    const std::string shown = refreshed({"$mh\x1b]0;evil\x07\x9b"});
    EXPECT_NE(shown.find("~]0;evil~~"), std::string::npos) << shown;
    EXPECT_EQ(shown.find_first_of("\x07\x9b"), std::string::npos);
    EXPECT_EQ(screen_text(22).substr(6, 8), "\x1b]0;evil");
    // Nothing at all while invisible, nor is the text cursor moved.
    visible = 0;
    EXPECT_EQ(sent([] {
                  putstring("error", 'e');
                  send({"$X", "$W", "$TL3,hi", "$mhhelp", "$b", "$Cx", "$CLabc", "$TR3,2,5,ab",
                        "$c!", "$p4,10"});
              }),
              "");
    EXPECT_EQ(tuple(screen_text(3), textline), tuple(std::string(80, ' '), 5));
}

TEST_F(TermTest, MessagesWaitForAnAnswer) {
    std::vector<std::string> cmds;
    set_command_capture(&cmds);
    pushfn("xy\r");
    EXPECT_EQ((tuple{diserr("Not Found"), del}), tuple(1, 1));
    set_command_capture(nullptr);
    cmds.resize(3);
    EXPECT_EQ(cmds, (std::vector<std::string>{"$meNot Found", "$e+", "$e-"}));
    pushfn("\x7f");
    EXPECT_EQ((tuple{diserr("Bad Name"), del}), tuple(2, 2));
    EXPECT_EQ(screen_text(22), std::string(80, '-')) << "the message is gone afterwards";
    // With nothing shown the wait still happens, and ends at the Return.
    visible = 0;
    pushfn("a\rz");
    EXPECT_EQ(diserr("hidden"), 1);
    fetchchar();
    EXPECT_EQ(holdch, 'z');
}

// A burst of progress messages costs one terminal update, and the help line still shows the
// latest one to anything that looks at the screen.
TEST_F(TermTest, ProgressBurstsAreSentOnceAndTheLatestIsShown) {
    capture("xterm");
    refreshed({"$X"});
    set_progress_gap(std::chrono::milliseconds(3'600'000));  // nothing here is "long after"
    bytes_.clear();
    progress("Expanding Root");
    EXPECT_NE(bytes_.find("Expanding Root"), std::string::npos) << "the first one goes at once";
    bytes_.clear();
    progress("Transforming Root");
    progress("Post Morphology");
    EXPECT_EQ(bytes_, "") << "the burst waits for the next refresh";
    EXPECT_EQ(tuple(bhelp, cells(22, 6, 24)), tuple(1, "Post Morphology---------"));
    const std::string burst = refreshed();
    EXPECT_NE(burst.find("Post Morphology"), std::string::npos);
    EXPECT_EQ(burst.find("Transforming"), std::string::npos) << "a replaced message is never sent";
    // Later screen work draws over an owed message, which is then never sent.
    const std::string drawn = sent([] {
        progress("Processing Indirections");
        diserr("Lexicon not found");  // draws on the help line and waits for Return
    });
    EXPECT_EQ(drawn.find("Processing"), std::string::npos);
    EXPECT_NE(drawn.find("Lexicon not found"), std::string::npos);
    clearhelp();
    EXPECT_EQ(tuple(bhelp, screen_text(22)), tuple(0, std::string(80, '-')));
}

}  // namespace
