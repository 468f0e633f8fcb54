#include "test_cursor_fixture.hpp"

using Rubout = EditTest;
using V = std::vector<std::string>;

TEST_F(Rubout, TextRuboutAtBeforeAndBeyondTheEnd) {
    load({"abc"});
    at(1, 2);
    press(op::kRubout);
    EXPECT_EQ(lines(), V{"ac"});
    EXPECT_EQ(col(), 2);
    at(1, 3);  // just after the last character
    press(op::kRubout);
    EXPECT_EQ(lines(), V{"a"});
    EXPECT_EQ(col(), 2);
    at(1, 7);  // five columns beyond
    press(op::kRubout);
    EXPECT_EQ(lines(), V{"a"});
    EXPECT_EQ(col(), 6);
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
    at(3, 1);
    press(op::kRubout);  // the last line stays
    EXPECT_EQ(lines(), (V{"one", "two", ""}));
    at(3, 4);
    press(op::kRubout);  // empty, not in column 1: the cursor only moves
    EXPECT_EQ(col(), 3);
    EXPECT_EQ(cur().lncount, 3);
    expect_sound();
}

TEST_F(Rubout, RecordRuboutKeepsBarsAndProtectedFields) {
    view(1);
    ftype[2] = 'g';
    load({"ab|cd|ef|"});
    line(1)->object = kObjRecord;
    at(1, 2);
    press(op::kRubout);
    EXPECT_EQ(lines(), V{"a|cd|ef|"});
    EXPECT_EQ(col(), 2);
    press(op::kRubout);  // on a bar: move left
    EXPECT_EQ(lines(), V{"a|cd|ef|"});
    EXPECT_EQ(col(), 1);
    at(1, 4);  // in the protected field
    press(op::kRubout);
    EXPECT_EQ(lines(), V{"a|cd|ef|"});
    EXPECT_EQ(col(), 3);
    press(op::kDelWord);  // rubfield refuses the protected field too
    EXPECT_EQ(lines(), V{"a|cd|ef|"});
    at(1, 7);
    press(op::kDelWord);
    EXPECT_EQ(lines(), V{"a|cd||"});
    EXPECT_EQ(col(), 6);
    // An empty new line in a record view is left alone.
    line(1)->object = kObjRecord;
    expect_sound();
}

TEST_F(Rubout, FormulaRuboutRemovesBytesOrMovesItemsToTheirOwnLine) {
    view(5);
    load(
        {"ab\xF3"
         "cd\xF6"});
    line(1)->object = kObjMath;
    at(1, 1);
    press(op::kRubout);
    EXPECT_EQ(lines(), V{"b\xF3"
                         "cd\xF6"});
    at(1, 5);  // on the node end: left as the formula cursor moves
    EXPECT_EQ(asked(op::kRubout), 1);
    EXPECT_EQ(col(), 4);
    at(1, 9);  // beyond the end
    press(op::kRubout);
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
    at(1, 1);
    press(op::kRubout);
    EXPECT_EQ(lines(), (V{"b\xF3\xF6", "cd"}));
    expect_sound();
}
