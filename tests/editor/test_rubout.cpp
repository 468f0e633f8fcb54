#include "test_cursor_fixture.hpp"

using Rubout = EditTest;
using V = std::vector<std::string>;

TEST_F(Rubout, TextRuboutAtBeforeAndBeyondTheEnd) {
    load({"abc"});
    // In the line, just after its last character, and five columns beyond it.
    const struct {
        int at;
        const char* want;
        int col;
    } rows[] = {{2, "ac", 2}, {3, "a", 2}, {7, "a", 6}};
    for (const auto& r : rows) {
        EXPECT_EQ(pressed_at(1, r.at, op::kRubout), V{r.want}) << r.at;
        EXPECT_EQ(col(), r.col) << r.at;
    }
    EXPECT_EQ(delbuf[static_cast<std::size_t>((delptr + kDelBufSize - 1) % kDelBufSize)], 'c');
    expect_sound();
}

TEST_F(Rubout, EmptyLinesGoExceptTheLast) {
    load({"one", "   ", "", "two", ""});
    at(2, 1);
    cur().disln = line(2);
    EXPECT_EQ(asked(op::kRubout), 6);  // a line of blanks counts as empty
    EXPECT_EQ(lines(), (V{"one", "", "two", ""}));
    EXPECT_EQ(lineno(), 2);
    EXPECT_EQ(cur().disln, cur().lnptr);
    press(op::kRubout);
    EXPECT_EQ(lines(), (V{"one", "two", ""}));
    EXPECT_EQ(pressed_at(3, 1, op::kRubout), (V{"one", "two", ""})) << "the last line stays";
    pressed_at(3, 4, op::kRubout);  // empty, not in column 1: the cursor only moves
    EXPECT_EQ(col(), 3);
    EXPECT_EQ(cur().lncount, 3);
    expect_sound();
}

TEST_F(Rubout, RecordRuboutKeepsBarsAndProtectedFields) {
    view(1);
    ftype[2] = 'g';
    load({"ab|cd|ef|"});
    line(1)->object = kObjRecord;
    EXPECT_EQ(pressed_at(1, 2, op::kRubout), V{"a|cd|ef|"});
    EXPECT_EQ(col(), 2);
    press(op::kRubout);  // on a bar: move left
    EXPECT_EQ(col(), 1);
    EXPECT_EQ(pressed_at(1, 4, op::kRubout), V{"a|cd|ef|"}) << "in the protected field";
    EXPECT_EQ(col(), 3);
    press(op::kDelWord);  // rubfield refuses the protected field too
    EXPECT_EQ(lines(), V{"a|cd|ef|"});
    EXPECT_EQ(pressed_at(1, 7, op::kDelWord), V{"a|cd||"});
    EXPECT_EQ(col(), 6);
    expect_sound();
}

TEST_F(Rubout, FormulaRuboutRemovesBytesOrMovesItemsToTheirOwnLine) {
    view(5);
    load(
        {"ab\xF3"
         "cd\xF6"});
    line(1)->object = kObjMath;
    EXPECT_EQ(pressed_at(1, 1, op::kRubout), V{"b\xF3"
                                               "cd\xF6"});
    at(1, 5);  // on the node end: left as the formula cursor moves
    EXPECT_EQ(asked(op::kRubout), 1);
    EXPECT_EQ(col(), 4);
    pressed_at(1, 9, op::kRubout);  // beyond the end
    EXPECT_EQ(col(), 8);
    // With the item cursor the item under it moves to a new formula line below.
    view(6);
    at(1, 3);
    cur().curflag = 2;
    const int ring = delptr;
    press(op::kRubout);
    EXPECT_EQ(lines(), (V{"b\xF3\xF6", "cd"}));
    EXPECT_EQ(line(2)->object, kObjMath);
    EXPECT_EQ(cur().lnptr, line(1));
    EXPECT_EQ(delptr, ring);  // moved, not deleted
    // The table-cell cursor removes nothing.
    cur().curflag = 3;
    EXPECT_EQ(pressed_at(1, 1, op::kRubout), (V{"b\xF3\xF6", "cd"}));
    expect_sound();
}
