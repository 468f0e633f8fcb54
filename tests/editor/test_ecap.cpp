#include "stars.hpp"
#include "test_cursor_fixture.hpp"

using LineOps = EditTest;
using V = std::vector<std::string>;

TEST_F(LineOps, LineEndsMarginsAndDeletingToTheEnd) {
    load({"abc   "});
    at(1, 2);
    press(op::kEndLine);
    EXPECT_EQ(col(), 4);
    EXPECT_EQ(lines(), V{"abc"});
    press(op::kBegLine);
    EXPECT_EQ(col(), 1);
    at(1, 2);
    EXPECT_EQ(asked(op::kDeLine), 6);
    EXPECT_EQ(lines(), V{"a"});
    press(op::kRecChar);
    EXPECT_EQ(lines(), V{"ac"});
    at(1, 9);
    press(op::kDeLine);
    EXPECT_EQ(lines(), V{"ac"});

    at(1, 30);
    press(op::kMaRight);
    EXPECT_EQ(rmargin, 30);
    at(1, 5);
    press(op::kMarLeft);
    EXPECT_EQ(lmargin, 5);
    at(1, 40);
    press(op::kMarLeft);  // beyond the right margin: refused
    EXPECT_EQ(lmargin, 5);
    at(1, 3);
    press(op::kMaRight);  // left of the left margin: refused
    EXPECT_EQ(rmargin, 30);
}

TEST_F(LineOps, SplitAndJoinKeepBlanksAndHandleEmptyLines) {
    load({"hello world", "after"});
    at(1, 7);
    press(op::kSplit);
    EXPECT_EQ(lines(), (V{"hello ", "world", "after"}));
    EXPECT_EQ(lineno(), 2);
    EXPECT_EQ(col(), 1);
    EXPECT_EQ(cur().curline, 2);
    // At or beyond the end: an empty new line.
    at(3, 9);
    press(op::kSplit);
    EXPECT_EQ(lines(), (V{"hello ", "world", "after", ""}));
    EXPECT_EQ(cur().lnptr->object, kObjNew);
    // Split while inserting: the tail is typed into the empty new line all the same.
    mode = 2;
    at(2, 3);
    press(op::kSplit);
    EXPECT_EQ(lines(), (V{"hello ", "wo", "rld", "after", ""}));
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
    EXPECT_EQ(col(), 7);
    EXPECT_EQ(cur().starA, nullptr);
    EXPECT_EQ(cur().lncount, 2);
    EXPECT_EQ(cur().edited, 1);
    at(2, 1);
    press(op::kJoin);  // the last line
    EXPECT_EQ(lines(), (V{"abcdef", "g"}));
    // Split then join gives the line back, less the blank that ended its first part.
    load({"split me here"});
    at(1, 7);
    press(op::kSplit);
    press(op::kUp);
    press(op::kJoin);
    EXPECT_EQ(lines(), V{"splitme here"});
    EXPECT_EQ(col(), 13);
    garbage();
    EXPECT_EQ(avail, cur().charcount);
    expect_sound();
}

TEST_F(LineOps, RepeatingTheLineAbove) {
    load({"abcdef", "xy"});
    at(2, 2);
    press(op::kRepChar);
    EXPECT_EQ(lines()[1], "xb");
    EXPECT_EQ(col(), 3);
    press(op::kRepLine);
    EXPECT_EQ(lines()[1], "xbcdef");
    EXPECT_EQ(col(), 7);
    press(op::kRepChar);  // the line above is shorter: a blank
    EXPECT_EQ(lines()[1], "xbcdef ");
    at(1, 1);
    press(op::kRepChar);  // nothing on the first line
    EXPECT_EQ(lines()[0], "abcdef");
    expect_sound();
}

TEST_F(LineOps, WordDeletionAndWordJumps) {
    load({"one two three"});
    at(1, 6);  // on w
    press(op::kDelWord);
    EXPECT_EQ(lines(), V{"one three"});
    EXPECT_EQ(col(), 5);
    press(op::kRecWord);
    EXPECT_EQ(lines(), V{"one two three"});
    // From inside a word to the start of the next.
    at(1, 2);
    press(op::kDelWordEnd);
    EXPECT_EQ(lines(), V{"otwo three"});
    // Not on a word character: nothing.
    load({"a, b"});
    at(1, 2);
    press(op::kDelWord);
    EXPECT_EQ(lines(), V{"a, b"});

    load({"first second", "  third, fourth", "fifth"});
    press(op::kNextWord);
    EXPECT_EQ(col(), 7);
    press(op::kNextWord);
    EXPECT_EQ(lineno(), 2);
    EXPECT_EQ(col(), 3);
    press(op::kNextWord);
    EXPECT_EQ(col(), 10);
    press(op::kPrevWord);
    EXPECT_EQ(col(), 3);
    press(op::kPrevWord);
    EXPECT_EQ(lineno(), 1);
    EXPECT_EQ(col(), 7);
    press(op::kPrevWord);
    EXPECT_EQ(col(), 1);
    press(op::kPrevWord);  // the top of the file
    EXPECT_EQ(lineno(), 1);
    EXPECT_EQ(col(), 1);
    // Back to the start of the previous run of non-separators.
    load({"  (x) word"});
    at(1, 8);
    press(op::kPrevWord);
    EXPECT_EQ(col(), 3);
    // At the top, a line that does not start with a word goes on to the next word.
    load({"(x) word"});
    at(1, 6);
    press(op::kPrevWord);
    EXPECT_EQ(col(), 5);
    // Over blanks, over the number, and one step more.
    load({"  -12.5 left"});
    press(op::kNextNum);
    EXPECT_EQ(col(), 9);
    EXPECT_EQ(cur().lncount, 1);
    expect_sound();
}

TEST_F(LineOps, FlipChangesCaseAndCyclesAccents) {
    load({"eA1\xE9\xE7"});
    press(op::kFlip);
    press(op::kFlip);
    press(op::kFlip);
    EXPECT_EQ(lines(), V{"Ea1\xE9\xE7"});
    EXPECT_EQ(col(), 4);
    press(op::kFlip);
    EXPECT_EQ(lines(), V{"Ea1\xEA\xE7"});
    EXPECT_EQ(col(), 4);  // stays on an accented letter
    press(op::kFlip);
    press(op::kFlip);
    EXPECT_EQ(static_cast<unsigned char>(lines()[0][3]), 0xC8);  // round to the capital
    at(1, 5);
    press(op::kFlip);
    EXPECT_EQ(static_cast<unsigned char>(lines()[0][4]), 0xC7);
    at(1, 9);
    press(op::kFlip);  // beyond the end: nothing
    EXPECT_EQ(lines()[0].size(), 5u);
    // Every accent ring returns to where it started, and the table is a permutation.
    std::array<int, 256> seen{};
    for (int b = 0; b < 256; ++b)
        seen[flip[b]] += 1;
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(seen[b], 1) << b;
    for (int b : {0xC0, 0xC8, 0xCC, 0xD2, 0xD9, 0xC7, 0x71}) {
        int x = flip[b], steps = 1;
        while (x != b && steps < 20)
            x = flip[x], ++steps;
        EXPECT_EQ(x, b);
        EXPECT_LE(steps, 12);
    }
    EXPECT_EQ(flip[0xE5], 0xC0);
    EXPECT_EQ(flip[0xD5], 0xD6);
    EXPECT_EQ(flip[0xFC], 0xD9);
    EXPECT_EQ(flip[0xD7], 0xD7);  // the multiplication sign is no letter
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
    EXPECT_EQ(cur().viewtype, 3);
    EXPECT_EQ(cureditmask, 8);
    at(1, 3);
    press(op::kRight);
    press(op::kRight);
    EXPECT_EQ(asked(op::kDown), 20);
    const std::string first = lines()[0];
    ASSERT_EQ(first.size(), 5u);
    EXPECT_EQ(first.substr(2), "\x10\x14\x19");  // 16, 20, 25
    EXPECT_EQ(lines()[1], "    \x0F");           // 15 below the last
    EXPECT_EQ(cur().edited, 1);
    // Up and left close a box; erase mode takes arms away.
    press(op::kLeft);
    press(op::kLeft);
    press(op::kUp);
    EXPECT_EQ(lines()[0].substr(2), "\x1A\x14\x19");  // right+down, left+right, left+down
    EXPECT_EQ(lines()[1].substr(2), "\x18\x14\x17");  // up+right, left+right, left+up
    press(op::kRubout);                               // erase mode in view 3
    press(op::kRight);
    EXPECT_EQ(lines()[0].substr(2), "\x11\x10\x19");  // down, right
    press(op::kLdEnter);                              // back to drawing
    press(op::kReturn);                               // leaves line drawing
    EXPECT_EQ(cur().viewtype, 0);
    EXPECT_EQ(cureditmask, 1);
    // Arms and bytes are inverse tables.
    for (int arms = 1; arms < 16; ++arms)
        EXPECT_EQ(stubs[asc[arms] - kFirstDrawing], arms);
    EXPECT_EQ(stubs[19 - kFirstDrawing], 0);
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
