#include "test_cursor_fixture.hpp"

using Cursor = EditTest;
using Cols = std::vector<int>;
using std::tuple;

TEST_F(Cursor, VerticalMovesPastTheEndsAddLinesAndScrollTheWindow) {
    load({"one", "two"});
    at(2, 3);
    EXPECT_TRUE(press(op::kDown));
    EXPECT_EQ(tuple(pos(), cur().lncount, cur().curline, cur().edited, cur().lnptr->object),
              tuple(tuple(3, 3), 3, 3, 1, kObjNew));
    EXPECT_EQ(cur().disln, line(1));
    // The key that moves past the window's last row scrolls by one line, not before.
    load({"x"});
    for (int i = 1; i < depth; ++i)
        press(op::kDown);
    EXPECT_EQ(cur().disln, line(1));
    EXPECT_EQ(asked(op::kDown), 2);
    EXPECT_EQ(tuple(lineno(), cur().disln), tuple(depth + 1, line(2)));

    load({"one", "two"});
    at(2, 2);
    press(op::kUp);
    EXPECT_EQ(tuple(lineno(), cur().edited), tuple(1, 0));
    EXPECT_EQ(asked(op::kUp), 3);
    EXPECT_EQ(tuple(texts(), lineno(), cur().edited, cur().disln),
              tuple(V{"", "one", "two"}, 1, 1, line(1)));
    // Moving up from the window's first line moves the window with it.
    load({"a", "b", "c"});
    at(3, 1);
    cur().disln = line(3);
    press(op::kUp);
    EXPECT_EQ(tuple(cur().disln, lineno()), tuple(line(2), 2));
    expect_sound();
}

TEST_F(Cursor, ReturnFollowsItsStyleAndGoesToTheLeftMargin) {
    load({"abc", "def"});
    lmargin = 5;
    at(1, 3);
    press(op::kReturn);
    EXPECT_EQ(tuple(pos(), cur().lncount), tuple(tuple(2, 5), 2));
    // Style 0 while inserting opens a line; while typing over it moves down.
    crinsert = 0;
    mode = 2;
    EXPECT_EQ(pressed_at(1, 2, op::kReturn), (V{"abc", "", "def"}));
    EXPECT_EQ(pos(), tuple(2, 5));
    mode = 1;
    press(op::kReturn);
    EXPECT_EQ(tuple(lineno(), cur().lncount), tuple(3, 3));
    // Style 2 pages down from the window's last row and moves one line elsewhere.
    crinsert = 2;
    load(V(41, "l"));
    pressed_at(depth, 1, op::kReturn);
    EXPECT_EQ(tuple(cur().disln, lineno()), tuple(line(depth + 1), depth + 1));
    pressed_at(3, 1, op::kReturn);
    EXPECT_EQ(tuple(cur().disln, lineno()), tuple(line(1), 4));
    // On a record line the cursor goes to column 1.
    view(1);
    load({"ab|cd|", "ef|gh|"}, kObjRecord, {1, 2});
    press(op::kReturn);
    EXPECT_EQ(pos(), tuple(2, 1));
    expect_sound();
}

TEST_F(Cursor, PagesStopAtTheFileEnds) {
    load(V(50, "x"));
    at(1, 7);
    press(op::kPageDown);
    EXPECT_EQ(tuple(pos(), cur().disln), tuple(tuple(depth + 1, 7), cur().lnptr));
    const std::tuple<int, int> steps[] = {{op::kPageDown, 2 * depth + 1},
                                          {op::kPageDown, 50},
                                          {op::kPageUp, 50 - depth},
                                          {op::kPageUp, 50 - 2 * depth},
                                          {op::kPageUp, 1}};
    for (const auto& [code, want] : steps) {
        press(code);
        EXPECT_EQ(lineno(), want) << code;
    }
    EXPECT_EQ(tuple(col(), cur().lncount), tuple(7, 50));
}

TEST_F(Cursor, RecordAndTemplateViewsMoveByFields) {
    view(1);
    load({"ab|cd|ef|"}, kObjRecord, {1});
    at(1, 7);  // tab is field-down in view 1, and no field follows the last
    EXPECT_EQ(cols({op::kFieldUp, op::kFieldUp, op::kFieldUp, op::kTab, op::kTab, op::kTab}),
              (Cols{4, 1, 1, 4, 7, 7}));
    at(1, 2);
    EXPECT_EQ(cols({op::kFieldUp}), Cols{1});
    // In the template view the vertical keys move by fields, never past the line's last byte.
    view(2);
    at(1, 1);
    EXPECT_EQ(cols({op::kDown, op::kUp}), (Cols{4, 1}));
    for (int i = 0; i < 20; ++i)
        press(op::kRight);
    EXPECT_EQ(col(), 9);
    // Page down gives a new record with empty fields.
    numfields = 3;
    load({"a|b|c|"}, kObjRecord, {1});
    EXPECT_EQ(asked(op::kPageDown), 1);
    EXPECT_EQ(tuple(texts(), cur().lnptr->object), tuple(V{"a|b|c|", "|||"}, kObjRecord));
    press(op::kPageUp);
    EXPECT_EQ(lineno(), 1);
    // A text line does not belong to the template view: the vertical keys do nothing on it.
    line(1)->object = kObjText;
    EXPECT_FALSE(press(op::kDown));
    expect_sound();
}
