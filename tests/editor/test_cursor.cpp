#include "test_cursor_fixture.hpp"

using Cursor = EditTest;
using V = std::vector<std::string>;
using Cols = std::vector<int>;

TEST_F(Cursor, LeftStopsAtColumnOneRightHasNoLimitBeyondTheLineEnd) {
    load({"abc"});
    EXPECT_EQ(cols({op::kLeft}), Cols{1});
    for (int i = 0; i < 50; ++i)
        press(op::kRight);
    EXPECT_EQ(cols({op::kLeft}), Cols{50});
    EXPECT_EQ(lines(), V{"abc"});
    cur().curcol = kMaxCol;
    EXPECT_EQ(cols({op::kRight}), Cols{kMaxCol});
}

TEST_F(Cursor, DownFromTheLastLineAddsALineAndScrollsFromTheLastRow) {
    load({"one", "two"});
    at(2, 3);
    EXPECT_TRUE(press(op::kDown));
    EXPECT_EQ(cur().lncount, 3);
    EXPECT_EQ(lineno(), 3);
    EXPECT_EQ(cur().curline, 3);
    EXPECT_EQ(col(), 3);  // the column stays on text lines
    EXPECT_EQ(cur().edited, 1);
    EXPECT_EQ(cur().lnptr->object, kObjNew);
    EXPECT_EQ(cur().disln, line(1));

    // Fill the window; the key that moves past the last row scrolls by one line.
    load({"x"});
    for (int i = 1; i < depth; ++i)
        press(op::kDown);
    EXPECT_EQ(cur().disln, line(1));
    EXPECT_EQ(asked(op::kDown), 2);
    EXPECT_EQ(lineno(), depth + 1);
    EXPECT_EQ(cur().disln, line(2));
    expect_sound();
}

TEST_F(Cursor, UpFromTheFirstLineAddsALineShownOnTheTopRow) {
    load({"one", "two"});
    at(2, 2);
    press(op::kUp);
    EXPECT_EQ(lineno(), 1);
    EXPECT_EQ(cur().edited, 0);
    EXPECT_EQ(asked(op::kUp), 3);
    EXPECT_EQ(lines(), (V{"", "one", "two"}));
    EXPECT_EQ(lineno(), 1);
    EXPECT_EQ(cur().disln, line(1));
    EXPECT_EQ(cur().edited, 1);
    // Moving up from the window's first line moves the window with it.
    load({"a", "b", "c"});
    at(3, 1);
    cur().disln = line(3);
    press(op::kUp);
    EXPECT_EQ(cur().disln, line(2));
    EXPECT_EQ(lineno(), 2);
    expect_sound();
}

TEST_F(Cursor, ReturnFollowsItsStyleAndGoesToTheLeftMargin) {
    load({"abc", "def"});
    lmargin = 5;
    at(1, 3);
    EXPECT_EQ(cols({op::kReturn}), Cols{5});
    EXPECT_EQ(lineno(), 2);
    EXPECT_EQ(cur().lncount, 2);

    // Style 0 while inserting opens a line; while typing over it moves down.
    crinsert = 0;
    mode = 2;
    EXPECT_EQ(pressed_at(1, 2, op::kReturn), (V{"abc", "", "def"}));
    EXPECT_EQ(lineno(), 2);
    EXPECT_EQ(col(), 5);
    mode = 1;
    press(op::kReturn);
    EXPECT_EQ(lineno(), 3);
    EXPECT_EQ(cur().lncount, 3);

    // Style 2 pages down from the window's last row and moves one line elsewhere.
    crinsert = 2;
    load({"top"});
    for (int i = 0; i < 40; ++i)
        addline("l" + std::to_string(i));
    pressed_at(depth, 1, op::kReturn);
    EXPECT_EQ(cur().disln, line(depth + 1));
    EXPECT_EQ(lineno(), depth + 1);
    pressed_at(3, 1, op::kReturn);
    EXPECT_EQ(lineno(), 4);
    EXPECT_EQ(cur().disln, line(1));

    // On a record line the cursor goes to column 1.
    view(1);
    load({"ab|cd|", "ef|gh|"});
    line(1)->object = line(2)->object = kObjRecord;
    EXPECT_EQ(cols({op::kReturn}), Cols{1});
    EXPECT_EQ(lineno(), 2);
    expect_sound();
}

TEST_F(Cursor, PagesStopAtTheFileEnds) {
    load({"0"});
    for (int i = 1; i < 50; ++i)
        addline(std::to_string(i));
    at(1, 7);
    press(op::kPageDown);
    EXPECT_EQ(lineno(), depth + 1);
    EXPECT_EQ(cur().disln, cur().lnptr);
    EXPECT_EQ(col(), 7);
    keys({op::kPageDown, op::kPageDown});
    EXPECT_EQ(lineno(), 50);  // the last line on the top row
    press(op::kPageUp);
    EXPECT_EQ(lineno(), 50 - depth);
    keys({op::kPageUp, op::kPageUp});
    EXPECT_EQ(lineno(), 1);
    EXPECT_EQ(col(), 7);
    EXPECT_EQ(cur().lncount, 50);
}

TEST_F(Cursor, FieldMovesOnRecordLines) {
    view(1);
    load({"ab|cd|ef|"});
    line(1)->object = kObjRecord;
    at(1, 7);  // on e; tab is field-down in view 1, and no field follows the last
    EXPECT_EQ(cols({op::kFieldUp, op::kFieldUp, op::kFieldUp, op::kTab, op::kTab, op::kTab}),
              (Cols{4, 1, 1, 4, 7, 7}));
    at(1, 2);
    EXPECT_EQ(cols({op::kFieldUp}), Cols{1});

    // In the template view the vertical keys move by fields, and the cursor never passes the
    // line's last byte.
    view(2);
    at(1, 1);
    EXPECT_EQ(cols({op::kDown, op::kUp}), (Cols{4, 1}));
    for (int i = 0; i < 20; ++i)
        press(op::kRight);
    EXPECT_EQ(col(), 9);
    EXPECT_EQ(cur().lncount, 1);
}

TEST_F(Cursor, TemplateViewGivesNewLinesEmptyFieldsAndRedrawsWholeRecords) {
    view(2);
    numfields = 3;
    load({"a|b|c|"});
    line(1)->object = kObjRecord;
    EXPECT_EQ(asked(op::kPageDown), 1);  // downrec in view 2
    EXPECT_EQ(lines(), (V{"a|b|c|", "|||"}));
    EXPECT_EQ(cur().lnptr->object, kObjRecord);
    press(op::kPageUp);
    EXPECT_EQ(lineno(), 1);
    // A text line does not belong to the template view: the vertical keys do nothing on it.
    line(1)->object = kObjText;
    EXPECT_FALSE(press(op::kDown));
    expect_sound();
}

TEST_F(Cursor, FormulaMovesReduceToColumnStepsAndCursorKinds) {
    view(5);
    load(
        {"ab\xF6"
         "c"});
    line(1)->object = kObjMath;
    at(1, 2);
    EXPECT_EQ(cols({op::kLeft}), Cols{1});
    at(1, 4);
    EXPECT_EQ(cols({op::kLeft}), Cols{1});  // onto the node end: to column 1
    at(1, 4);
    EXPECT_EQ(cols({op::kRight}), Cols{5});
    EXPECT_EQ(asked(op::kRight), 12);  // no further than just past the end
    EXPECT_EQ(col(), 5);

    // Up goes to column 1 with the item cursor, which in column 1 falls back to the text cursor;
    // from the item cursor it gives the text cursor in column 1.
    view(6);
    for (const int kind : {1, 2}) {
        at(1, 3);
        cur().curflag = kind;
        EXPECT_EQ(cols({op::kUp}), Cols{1});
        EXPECT_EQ(cur().curflag, 1);
    }
    view(5);
    press(op::kDown);  // downrec in view 5 moves to a new line
    EXPECT_EQ(lineno(), 2);
    view(6);
    at(1, 3);
    cur().curflag = 2;
    EXPECT_EQ(cols({op::kRight}), Cols{3});  // a node end follows: the item cursor stays
    line(1)->object = kObjMath;
    at(1, 4);
    cur().curflag = 2;
    EXPECT_EQ(cols({op::kRight}), Cols{7});  // beyond the end of the line
    press(op::kDown);                        // downm: back to the text cursor
    EXPECT_EQ(cur().curflag, 1);

    // The table-cell cursor only starts on a table byte and its moves stay inside an empty table.
    load({"x\xF5y"});
    line(1)->object = kObjMath;
    at(1, 1);
    press(op::kGreen);
    EXPECT_EQ(cur().curflag, 1);
    at(1, 2);
    press(op::kGreen);
    EXPECT_EQ(cur().curflag, 3);
    keys({op::kRight, op::kDown});
    EXPECT_EQ(greenx, 0);
    EXPECT_EQ(greeny, 0);
    press(op::kGreen);
    EXPECT_EQ(cur().curflag, 1);

    // The item cursor in column 1 becomes the text cursor after any operation.
    at(1, 1);
    cur().curflag = 2;
    press(op::kLeft);
    EXPECT_EQ(cur().curflag, 1);
    expect_sound();
}
