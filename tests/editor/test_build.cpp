// Typing, the delete ring and rubout in every kind of line.
#include "reformat.hpp"
#include "test_cursor_fixture.hpp"

using std::tuple;

class Build : public EditTest {
  protected:
    // The lines after a step, and the column the cursor is left in.
    static tuple<V, int> at_col(V after) { return {std::move(after), col()}; }
};

TEST_F(Build, TypingOverAndInsertingPadBeyondTheEnd) {
    load({"abc"});
    EXPECT_EQ(typed("X", 1, 10), V{"abc      X"});
    EXPECT_EQ(tuple(col(), cur().edited), tuple(11, 1));
    EXPECT_EQ(typed("yz", 1, 2), V{"ayz      X"});
    press(op::kInMode);
    EXPECT_EQ(at_col(typed("12", 1, 1)), tuple(V{"12ayz      X"}, 3));
    EXPECT_EQ(typed("!", 1, 15), V{"12ayz      X  !"});
    // Inserting at the right margin still inserts; a line followed by another line's bytes moves
    // to grow, and its old bytes are freed.
    rmargin = 10;
    load({"aaaaaaaaa", "second"});
    EXPECT_EQ(at_col(typed("bc", 1, 5)), tuple(V{"aaaabcaaaaa", "second"}, 7));
    // A new empty line takes its first character at the top of the arena.
    load({"", "next"});
    EXPECT_EQ(typed("q"), (V{"q", "next"}));
    EXPECT_EQ(line(1)->object, kObjText);
    expect_sound();
}

TEST_F(Build, AutomaticWrapHandsTheParagraphToReformat) {
    autowrapflag = 1;
    rmargin = 20;
    load({"alpha beta gamma del", "", "other"});
    at(1, 21);
    EXPECT_EQ(asked(op::kLetter, 't'), 1);
    // The word that ran past the margin moved down and the cursor stands after the last
    // character typed, so typing goes on there.
    EXPECT_EQ(texts(), (V{"alpha beta gamma", "delt", "", "other"}));
    EXPECT_EQ(pos(), tuple(2, 5));
    EXPECT_EQ(typed("a")[1], "delta");
    EXPECT_EQ(core[0].lncount, 2) << "the old line went to core file 0";
    // Typing in core file 0 itself wraps the same way, without keeping the old line there.
    corenum = 0;
    fill_lines({"alpha beta gamma del"});
    EXPECT_EQ(typed("ta", 1, 21), (V{"alpha beta gamma", "delta", "alpha beta gamma delt"}));
    // A blank typed past the margin does not wrap.
    load({std::string(21, 'x')});
    at(1, 22);
    EXPECT_EQ(asked(op::kPunct, ' '), 4);
    EXPECT_EQ(cur().lncount, 1);
    expect_sound();
}

TEST_F(Build, RecordFieldsAcceptWhatTheirTypeAllowsAndNeverOverflow) {
    view(1);
    for (const auto& [f, t] : {tuple(1, 'j'), {2, 'b'}, {3, 'i'}, {4, 'g'}, {5, 'f'}})
        ftype[f] = t;
    load({"|||||"}, kObjRecord, {1});
    mode = 2;
    // Each row is typed into the next field: digits; lower-case y and n; a sign and digits; a
    // protected field; letters and digits.
    const std::pair<const char*, const char*> fields[] = {{"a1Y2", "12|||||"},
                                                          {"Yxny", "12|ny||||"},
                                                          {"-a7.", "12|ny|-7|||"},
                                                          {"abc", "12|ny|-7|||"},
                                                          {"Ok1-\xE9|", "12|ny|-7||Ok1|"}};
    for (const auto& [keys, want] : fields) {
        if (keys != fields[0].first) press(op::kTab);
        EXPECT_EQ(typed(keys), V{want}) << keys;
    }
    // A full field drops its last character when inserting and refuses at its end.
    reset_fieldtable();
    load({"abcde|xy|"}, kObjRecord, {1});
    EXPECT_EQ(typed("Z", 1, 2), V{"aZbcd|xy|"});
    EXPECT_EQ(at_col(typed("Q", 1, 6)), tuple(V{"aZbcd|xy|"}, 6)) << "the bar of a full field";
    EXPECT_EQ(typed("z", 1, 9), V{"aZbcd|xyz|"}) << "on the bar of a field with room";
    mode = 1;
    EXPECT_EQ(typed("12", 1, 1), V{"12bcd|xyz|"}) << "typing over never grows the field";
    expect_sound();
}

TEST_F(Build, DeleteRingTypesBackCharactersWordsAndFields) {
    load({"abcdef"});
    at(1, 3);
    keys({op::kRubout, op::kRubout});
    EXPECT_EQ(texts(), V{"abef"});
    keys({op::kRecChar, op::kRecChar});
    EXPECT_EQ(tuple(texts(), col(), mode), tuple(V{"abcdef"}, 3, 1));
    // Copying puts characters in the ring without changing the line; beyond the end a blank.
    load({"xy"});
    EXPECT_EQ(cols({op::kCopy, op::kCopy, op::kCopy}), (std::vector<int>{2, 3, 4}));
    at(1, 1);
    keys({op::kRecChar, op::kRecChar, op::kRecChar});
    EXPECT_EQ(texts(), V{"xy xy"});
    // Fields: deleted, then recovered in place; copied and typed into another.
    view(1);
    load({"ab|cd|"}, kObjRecord, {1});
    EXPECT_EQ(at_col(pressed_at(1, 5, op::kDelWord)), tuple(V{"ab||"}, 4));
    press(op::kRecWord);
    EXPECT_EQ(texts(), V{"ab|cd|"});
    EXPECT_EQ(pressed_at(1, 1, op::kRepLine), V{"ab|cd|"});
    EXPECT_EQ(pressed_at(1, 6, op::kRecWord), V{"ab|cdab|"});
    expect_sound();
}

TEST_F(Build, NewLinesTakeTheObjectOfTheView) {
    numfields = 4;
    view(1);
    load({"a|b|c|d|"}, kObjRecord, {1});
    press(op::kNewLine);
    EXPECT_EQ(tuple(text(cur().lnptr), cur().lnptr->object), tuple("||||", kObjRecord));
    view(4);
    press(op::kNewLine);
    EXPECT_EQ(tuple(cur().lnptr->object, cur().lnptr->length, cur().curflag),
              tuple(kObjPicture, 0, 1));
    view(0);
    EXPECT_TRUE(press(op::kNewLine) && cur().lnptr->object == kObjNew);
    expect_sound();
}

TEST_F(Build, FormulaTypingInsertsNodesAndJoinsLines) {
    view(5);
    load({"ab"});
    EXPECT_EQ(at_col(typed("X", 1, 2)), tuple(V{"aX"}, 3));  // typing over
    mode = 2;
    EXPECT_EQ(typed("!", 1, 2), V{"a\xF8\xF3\xF3\xF6X"});
    EXPECT_EQ(tuple(line(1)->object, col()), tuple(kObjMath, 3));
    mode = 1;
    press(op::kMathNode, static_cast<char>(0xE6));  // the key's own byte selects the node
    EXPECT_EQ(texts()[0], "a\xF8\xFD\xF3\xF6\xF3\xF3\xF6X");
    // On a node end typing inserts instead of overwriting; the table-cell cursor types nothing.
    load({"q\xF6"}, kObjMath, {1});
    EXPECT_EQ(typed("z", 1, 2), V{"qz\xF6"});
    cur().curflag = 3;
    EXPECT_EQ(typed("w"), V{"qz\xF6"});
    cur().curflag = 1;
    // The next text line moves into the formula at the cursor; with no next line nothing does.
    load({"f(x)", "+1", "end"});
    EXPECT_EQ(pressed_at(1, 3, op::kRecMath), (V{"f(+1x)", "end"}));
    EXPECT_EQ(pressed_at(2, 1, op::kRecMath), (V{"f(+1x)", "end"}));
    expect_sound();
}

TEST_F(Build, RuboutInTextLines) {
    // In the line, just after its last character, and five columns beyond it.
    load({"abc"});
    for (const auto& [from, want, to] : {tuple(2, "ac", 2), {3, "a", 2}, {7, "a", 6}}) {
        EXPECT_EQ(at_col(pressed_at(1, from, op::kRubout)), tuple(V{want}, to)) << from;
    }
    EXPECT_EQ(delbuf[static_cast<std::size_t>((delptr + kDelBufSize - 1) % kDelBufSize)], 'c');
    // Empty lines (blanks only count as empty) go in column 1, except the last.
    load({"one", "   ", "", "two", ""});
    at(2, 1);
    cur().disln = line(2);
    EXPECT_EQ(asked(op::kRubout), 6);
    EXPECT_EQ(texts(), (V{"one", "", "two", ""}));
    EXPECT_EQ(tuple(lineno(), cur().disln), tuple(2, cur().lnptr));
    press(op::kRubout);
    EXPECT_EQ(pressed_at(3, 1, op::kRubout), (V{"one", "two", ""})) << "the last line stays";
    EXPECT_EQ(at_col(pressed_at(3, 4, op::kRubout)), tuple(V{"one", "two", ""}, 3)) << "column 4";
    expect_sound();
}

TEST_F(Build, RuboutInRecordsAndFormulas) {
    view(1);
    ftype[2] = 'g';
    load({"ab|cd|ef|"}, kObjRecord, {1});
    EXPECT_EQ(pressed_at(1, 2, op::kRubout), V{"a|cd|ef|"});
    EXPECT_EQ(cols({op::kRubout}), std::vector<int>{1});  // on a bar: move left
    EXPECT_EQ(at_col(pressed_at(1, 4, op::kRubout)), tuple(V{"a|cd|ef|"}, 3)) << "protected";
    press(op::kDelWord);  // rubfield refuses the protected field too
    EXPECT_EQ(texts(), V{"a|cd|ef|"});
    EXPECT_EQ(at_col(pressed_at(1, 7, op::kDelWord)), tuple(V{"a|cd||"}, 6));

    view(5);
    load({"ab\363cd\366"}, kObjMath, {1});
    EXPECT_EQ(pressed_at(1, 1, op::kRubout), V{"b\363cd\366"});
    at(1, 5);  // on the node end: left as the formula cursor moves
    EXPECT_EQ(asked(op::kRubout), 1);
    EXPECT_EQ(col(), 4);
    pressed_at(1, 9, op::kRubout);  // beyond the end
    EXPECT_EQ(col(), 8);
    // With the item cursor the item under it moves, not deleted, to a new formula line below.
    view(6);
    at(1, 3);
    cur().curflag = 2;
    const int ring = delptr;
    press(op::kRubout);
    EXPECT_EQ(texts(), (V{"b\xF3\xF6", "cd"}));
    EXPECT_EQ(tuple(line(2)->object, cur().lnptr, delptr), tuple(kObjMath, line(1), ring));
    cur().curflag = 3;  // the table-cell cursor removes nothing
    EXPECT_EQ(pressed_at(1, 1, op::kRubout), (V{"b\xF3\xF6", "cd"}));
    expect_sound();
}
