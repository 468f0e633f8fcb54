#include "float.hpp"
#include "scrin.hpp"
#include "stars.hpp"
#include "terminal.hpp"
#include "test_cursor_fixture.hpp"

using LineOps = EditTest;
using V = std::vector<std::string>;
using Cols = std::vector<int>;

TEST_F(LineOps, LineEndsMarginsAndDeletingToTheEnd) {
    load({"abc   "});
    at(1, 2);
    EXPECT_EQ(cols({op::kEndLine, op::kBegLine}), (Cols{4, 1}));
    EXPECT_EQ(lines(), V{"abc"});
    at(1, 2);
    EXPECT_EQ(asked(op::kDeLine), 6);
    EXPECT_EQ(lines(), V{"a"});
    press(op::kRecChar);
    EXPECT_EQ(lines(), V{"ac"});
    EXPECT_EQ(pressed_at(1, 9, op::kDeLine), V{"ac"});

    // A left margin beyond the right one, or a right margin left of the left one, is refused.
    const std::tuple<int, int, int, int> margins[] = {{30, op::kMaRight, 1, 30},
                                                      {5, op::kMarLeft, 5, 30},
                                                      {40, op::kMarLeft, 5, 30},
                                                      {3, op::kMaRight, 5, 30}};
    for (const auto& [column, code, left, right] : margins) {
        pressed_at(1, column, code);
        EXPECT_EQ(std::tuple(lmargin, rmargin), std::tuple(left, right)) << column;
    }
}

TEST_F(LineOps, SplitAndJoinKeepBlanksAndHandleEmptyLines) {
    load({"hello world", "after"});
    EXPECT_EQ(pressed_at(1, 7, op::kSplit), (V{"hello ", "world", "after"}));
    EXPECT_EQ(std::tuple(lineno(), col(), cur().curline), std::tuple(2, 1, 2));
    // At or beyond the end: an empty new line.
    EXPECT_EQ(pressed_at(3, 9, op::kSplit), (V{"hello ", "world", "after", ""}));
    EXPECT_EQ(cur().lnptr->object, kObjNew);
    // Split while inserting: the tail is typed into the empty new line all the same.
    mode = 2;
    EXPECT_EQ(pressed_at(2, 3, op::kSplit), (V{"hello ", "wo", "rld", "after", ""}));
    mode = 1;

    // Joining removes an empty new line below.
    load({"abc", "", "def"});
    EXPECT_EQ(asked(op::kJoin), 1);
    EXPECT_EQ(lines(), (V{"abc", "def"}));
    // Trailing blanks go before the next line's text is appended; the cursor ends after it.
    load({"abc   ", "def", "g"});
    cur().starA = line(2);
    cur().starcount = 1;
    cur().nextstar = 'B';
    press(op::kJoin);
    EXPECT_EQ(lines(), (V{"abcdef", "g"}));
    EXPECT_EQ(std::tuple(col(), cur().starA, cur().lncount, cur().edited),
              std::tuple(7, nullptr, 2, 1));
    EXPECT_EQ(pressed_at(2, 1, op::kJoin), (V{"abcdef", "g"})) << "the last line";
    garbage();
    EXPECT_EQ(avail, cur().charcount);
    expect_sound();
}

TEST_F(LineOps, RepeatingTheLineAbove) {
    load({"abcdef", "xy"});
    at(2, 2);
    // A character, the rest of the line, then a blank where the line above is shorter.
    EXPECT_EQ(cols({op::kRepChar, op::kRepLine, op::kRepChar}), (Cols{3, 7, 8}));
    EXPECT_EQ(lines()[1], "xbcdef ");
    EXPECT_EQ(pressed_at(1, 1, op::kRepChar)[0], "abcdef") << "nothing above the first line";
    expect_sound();
}

TEST_F(LineOps, WordDeletionAndWordJumps) {
    load({"one two three"});
    EXPECT_EQ(pressed_at(1, 6, op::kDelWord), V{"one three"});  // on w
    EXPECT_EQ(col(), 5);
    press(op::kRecWord);
    EXPECT_EQ(lines(), V{"one two three"});
    // From inside a word to the start of the next.
    EXPECT_EQ(pressed_at(1, 2, op::kDelWordEnd), V{"otwo three"});
    // Not on a word character: nothing.
    load({"a, b"});
    EXPECT_EQ(pressed_at(1, 2, op::kDelWord), V{"a, b"});

    // Next word over lines and punctuation, back again, and no further than the top.
    load({"first second", "  third, fourth", "fifth"});
    const std::tuple<int, int, int> jumps[] = {
        {op::kNextWord, 1, 7}, {op::kNextWord, 2, 3}, {op::kNextWord, 2, 10}, {op::kPrevWord, 2, 3},
        {op::kPrevWord, 1, 7}, {op::kPrevWord, 1, 1}, {op::kPrevWord, 1, 1}};
    for (const auto& [code, ln, c] : jumps) {
        press(code);
        EXPECT_EQ(std::tuple(lineno(), col()), std::tuple(ln, c));
    }
    // Back to the start of the previous run of non-separators.
    load({"  (x) word"});
    pressed_at(1, 8, op::kPrevWord);
    EXPECT_EQ(col(), 3);
    // At the top, a line that does not start with a word goes on to the next word.
    load({"(x) word"});
    pressed_at(1, 6, op::kPrevWord);
    EXPECT_EQ(col(), 5);
    // Over blanks, over the number, and one step more.
    load({"  -12.5 left"});
    EXPECT_EQ(cols({op::kNextNum}), Cols{9});
    EXPECT_EQ(cur().lncount, 1);
    expect_sound();
}

TEST_F(LineOps, FlipChangesCaseAndCyclesAccents) {
    load({"eA1\xE9\xE7"});
    // Accented letters cycle in place; the cursor stays on them.
    EXPECT_EQ(cols({op::kFlip, op::kFlip, op::kFlip, op::kFlip}), (Cols{2, 3, 4, 4}));
    EXPECT_EQ(lines(), V{"Ea1\xEA\xE7"});
    keys({op::kFlip, op::kFlip});
    EXPECT_EQ(static_cast<unsigned char>(lines()[0][3]), 0xC8);  // round to the capital
    EXPECT_EQ(static_cast<unsigned char>(pressed_at(1, 5, op::kFlip)[0][4]), 0xC7);
    EXPECT_EQ(pressed_at(1, 9, op::kFlip)[0].size(), 5u) << "beyond the end: nothing";
    // The multiplication sign is no letter: it stays; each ring closes on itself.
    load({"\xD7\xE5"});
    EXPECT_EQ(pressed_at(1, 1, op::kFlip), V{"\xD7\xE5"});
    EXPECT_EQ(static_cast<unsigned char>(pressed_at(1, 2, op::kFlip)[0][1]), 0xC0);
}

TEST_F(LineOps, ManyNewLinesFollowTheCursorLine) {
    load({"a", "b"});
    pushfn("3\r");
    EXPECT_EQ(asked(op::kManyLines), 6);
    EXPECT_EQ(lines(), (V{"a", "", "", "", "b"}));
    EXPECT_EQ(lineno(), 1);
    pushfn("x");  // no number typed: one line
    press(op::kManyLines);
    EXPECT_EQ(cur().lncount, 6);
    pushfn("999999999\r");  // bounded
    press(op::kManyLines);
    EXPECT_EQ(cur().lncount, 6 + kMaxNewLines);
    expect_sound();
}

TEST_F(LineOps, LineDrawingMakesTheBoxBytes) {
    load({""});
    press(op::kLdEnter);
    EXPECT_EQ(std::tuple(cur().viewtype, cureditmask), std::tuple(3, 8));
    at(1, 3);
    keys({op::kRight, op::kRight});
    EXPECT_EQ(asked(op::kDown), 20);
    const std::string first = lines()[0];
    ASSERT_EQ(first.size(), 5u);
    EXPECT_EQ(first.substr(2), "\x10\x14\x19");  // 16, 20, 25
    EXPECT_EQ(lines()[1], "    \x0F");           // 15 below the last
    EXPECT_EQ(cur().edited, 1);
    // Up and left close a box; erase mode takes arms away.
    keys({op::kLeft, op::kLeft, op::kUp});
    EXPECT_EQ(lines()[0].substr(2), "\x1A\x14\x19");  // right+down, left+right, left+down
    EXPECT_EQ(lines()[1].substr(2), "\x18\x14\x17");  // up+right, left+right, left+up
    keys({op::kRubout, op::kRight});                  // rubout is erase mode in view 3
    EXPECT_EQ(lines()[0].substr(2), "\x11\x10\x19");  // down, right
    keys({op::kLdEnter, op::kReturn});                // back to drawing, then out of line drawing
    EXPECT_EQ(std::tuple(cur().viewtype, cureditmask), std::tuple(0, 1));
    // A full store draws nothing.
    view(3);
    full = 1;
    const auto before = lines();
    ldright();
    ldup();
    EXPECT_EQ(lines(), before);
    full = 0;
    expect_sound();
}

TEST_F(LineOps, KeysThatTypeForTheUserEchoWhatIsStoredAndMarkTheFileEdited) {
    // The echo of a character typed at the end of a line is the character stored, not the byte
    // of the key that typed it; and every key that changes the text marks the file, so that
    // GOODBYE asks before the change is lost.
    std::vector<std::string> screen;
    set_command_capture(&screen);
    auto echoes = [&screen] {
        std::string out;
        for (const std::string& c : screen) {
            if (c.rfind("$c", 0) == 0 && c.size() == 3) out += c[2];
        }
        screen.clear();
        return out;
    };
    load({"abcdef", "xy"});
    at(2, 3);
    press(op::kRepChar, '\x1b');  // the line above, at the end of this one
    EXPECT_EQ(std::tuple(lines()[1], echoes(), cur().edited), std::tuple("xyc", "c", 1));

    load({"ab"});
    at(1, 3);
    press(op::kRubout);  // takes back the b
    press(op::kRecChar, '\x15');
    EXPECT_EQ(std::tuple(lines()[0], echoes()), std::tuple(std::string("ab"), std::string("b")));

    load({"ab"});
    pressed_at(1, 1, op::kFlip);
    EXPECT_EQ(std::tuple(lines()[0], cur().edited), std::tuple(std::string("Ab"), 1));
    load({"1"});
    pressed_at(1, 1, op::kFlip);  // a digit has no other case: nothing changed
    EXPECT_EQ(cur().edited, 0);

    // A wildcard capture typed back (41), and the register's value typed (52).
    load({"key=value", ""});
    ASSERT_EQ(unify("*=*", line(1)->index, '\0', 9), 1);
    copywild("*=*");
    at(2, 1);
    pushfn("2\r");
    press(41);
    EXPECT_EQ(std::tuple(lines()[1], cur().edited), std::tuple(std::string("value"), 1));
    load({""});
    fpformat(42.0);
    press(52);
    EXPECT_EQ(std::tuple(lines()[0], cur().edited), std::tuple(std::string("42"), 1));
    set_command_capture(nullptr);
}
