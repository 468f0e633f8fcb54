#include "reformat.hpp"
#include "test_cursor_fixture.hpp"

using Build = EditTest;
using V = std::vector<std::string>;

TEST_F(Build, TypingOverPadsBeyondTheEndAndInsertingOpensAGap) {
    load({"abc"});
    EXPECT_EQ(typed_at(1, 10, "X"), V{"abc      X"});
    EXPECT_EQ(col(), 11);
    EXPECT_EQ(cur().edited, 1);
    EXPECT_EQ(typed_at(1, 2, "yz"), V{"ayz      X"});
    press(op::kInMode);
    EXPECT_EQ(mode, 2);
    EXPECT_EQ(typed_at(1, 1, "12"), V{"12ayz      X"});
    EXPECT_EQ(col(), 3);
    // Inserting beyond the end pads just as typing over does.
    EXPECT_EQ(typed_at(1, 15, "!"), V{"12ayz      X  !"});
    // A new empty line takes its first character at the top of the arena.
    load({"", "next"});
    typed("q");
    EXPECT_EQ(lines(), (V{"q", "next"}));
    EXPECT_EQ(line(1)->object, kObjText);
    expect_sound();
}

TEST_F(Build, InsertingAtTheRightMarginStillInserts) {
    rmargin = 10;
    load({repeat('a', 9)});
    mode = 2;
    EXPECT_EQ(typed_at(1, 5, "b"), V{"aaaabaaaaa"});
    typed("c");
    EXPECT_EQ(lines(), V{"aaaabcaaaaa"});
    EXPECT_EQ(col(), 7);
    // A line followed by another line's bytes moves to grow, and its old bytes are freed.
    load({"first", "second"});
    mode = 2;
    EXPECT_EQ(typed_at(1, 3, "XY"), (V{"fiXYrst", "second"}));
    expect_sound();
}

TEST_F(Build, AutomaticWrapHandsTheParagraphToReformatAndKeepsTheCursorAfterTheText) {
    autowrapflag = 1;
    rmargin = 20;
    load({"alpha beta gamma del", "", "other"});
    at(1, 21);
    EXPECT_EQ(asked(op::kLetter, 't'), 1);
    // The word that ran past the margin moved down; the marker line is gone again and the cursor
    // stands after the last character typed, so typing goes on there.
    EXPECT_EQ(lines(), (V{"alpha beta gamma", "delt", "", "other"}));
    EXPECT_EQ(lineno(), 2);
    EXPECT_EQ(col(), 5);
    typed("a");
    EXPECT_EQ(lines()[1], "delta");
    EXPECT_EQ(core[0].lncount, 2) << "the old line went to core file 0";
    // Typing in core file 0 itself wraps the same way, without keeping the old line there.
    corenum = 0;
    fill_lines({"alpha beta gamma del"});
    at(1, 21);
    typed("ta");
    EXPECT_EQ(lines(), (V{"alpha beta gamma", "delta", "alpha beta gamma delt"}));
    // A blank typed past the margin does not wrap.
    load({repeat('x', 21)});
    at(1, 22);
    EXPECT_EQ(asked(op::kPunct, ' '), 4);
    EXPECT_EQ(cur().lncount, 1);
    expect_sound();
}

TEST_F(Build, DecimalTabNumbersGrowLeftwardsUpToThePointInTheTabColumn) {
    dectabflag = 1;
    load({""});
    at(1, 20);
    dtstate = 1;  // a tab jump has just reached column 20
    typed("123");
    EXPECT_EQ(lines()[0], repeat(' ', 16) + "123 ");
    EXPECT_EQ(col(), 20);
    typed(".45");
    EXPECT_EQ(lines()[0], repeat(' ', 16) + "123.45");
    EXPECT_EQ(col(), 23);
    EXPECT_EQ(dtstate, 0);
    // A number that would run into text before it stops growing instead of overwriting it.
    load({"ab"});
    at(1, 3);
    dtstate = 1;
    typed("78");
    EXPECT_EQ(lines(), V{"ab78"});
    EXPECT_EQ(dtstate, 0);
    expect_sound();
}

TEST_F(Build, RecordFieldsAcceptWhatTheirTypeAllows) {
    view(1);
    ftype[1] = 'j';
    ftype[2] = 'b';
    ftype[3] = 'i';
    ftype[4] = 'g';
    ftype[5] = 'f';
    load({"|||||"});
    line(1)->object = kObjRecord;
    mode = 2;
    at(1, 1);
    // Each row is typed into the next field.
    const std::pair<const char*, const char*> fields[] = {
        {"a1Y2", "12|||||"},              // letters refused, digits accepted
        {"Yxny", "12|ny||||"},            // only lower-case y and n
        {"-a7.", "12|ny|-7|||"},          // a sign and digits
        {"abc", "12|ny|-7|||"},           // protected field
        {"Ok1-\xE9|", "12|ny|-7||Ok1|"},  // letters and digits; minus, accented and bar refused
    };
    bool first = true;
    for (const auto& [keys, want] : fields) {
        if (!std::exchange(first, false)) press(op::kTab);
        typed(keys);
        EXPECT_EQ(lines(), V{want}) << keys;
    }
    expect_sound();
}

TEST_F(Build, AFullRecordFieldDropsItsLastCharacterWhenInsertingAndRefusesAtItsEnd) {
    view(1);
    load({"abcde|xy|"});
    line(1)->object = kObjRecord;
    mode = 2;
    EXPECT_EQ(typed_at(1, 2, "Z"), V{"aZbcd|xy|"});
    EXPECT_EQ(col(), 3);
    EXPECT_EQ(typed_at(1, 6, "Q"), V{"aZbcd|xy|"}) << "on the bar of a full field";
    EXPECT_EQ(col(), 6);
    EXPECT_EQ(typed_at(1, 9, "z"), V{"aZbcd|xyz|"}) << "on the bar of a field with room";
    mode = 1;
    EXPECT_EQ(typed_at(1, 1, "12"), V{"12bcd|xyz|"}) << "typing over never grows the field";
    expect_sound();
}

TEST_F(Build, DeleteRingTypesBackCharactersWordsAndFields) {
    load({"abcdef"});
    at(1, 3);
    keys({op::kRubout, op::kRubout});
    EXPECT_EQ(lines(), V{"abef"});
    keys({op::kRecChar, op::kRecChar});
    EXPECT_EQ(lines(), V{"abcdef"});
    EXPECT_EQ(col(), 3);
    EXPECT_EQ(mode, 1);

    // Copying puts characters in the ring without changing the line; beyond the end a blank.
    load({"xy"});
    EXPECT_EQ(cols({op::kCopy, op::kCopy, op::kCopy}), (std::vector<int>{2, 3, 4}));
    at(1, 1);
    for (int i = 0; i < 3; ++i)
        press(op::kRecChar);
    EXPECT_EQ(lines(), V{"xy xy"});

    // A deleted word comes back elsewhere.
    load({"one alpha two", "here:"});
    EXPECT_EQ(pressed_at(1, 6, op::kDelWord)[0], "one two");
    EXPECT_EQ(pressed_at(2, 6, op::kRecWord)[1], "here:alpha ");
    EXPECT_EQ(mode, 1);

    // Fields: deleted, then recovered in place; copied and typed into another (rubfield,
    // recfield and copyfield in record views).
    view(1);
    load({"ab|cd|"});
    line(1)->object = kObjRecord;
    EXPECT_EQ(pressed_at(1, 5, op::kDelWord), V{"ab||"});
    EXPECT_EQ(col(), 4);
    press(op::kRecWord);
    EXPECT_EQ(lines(), V{"ab|cd|"});
    EXPECT_EQ(pressed_at(1, 1, op::kRepLine), V{"ab|cd|"});
    EXPECT_EQ(pressed_at(1, 6, op::kRecWord), V{"ab|cdab|"});
    expect_sound();
}

TEST_F(Build, RecoveringWithNoMarkerDoesNothingAndTheRingWraps) {
    load({"text"});
    press(op::kRecWord);
    EXPECT_EQ(lines(), V{"text"});
    for (int i = 0; i < 200; ++i)
        savechar(static_cast<char>('a' + i % 26));
    EXPECT_GE(delptr, 0);
    EXPECT_LT(delptr, kDelBufSize);
    press(op::kRecChar);
    EXPECT_EQ(lines(), V{std::string(1, static_cast<char>('a' + 199 % 26)) + "text"});
}

TEST_F(Build, NewLinesTakeTheObjectOfTheView) {
    numfields = 4;
    view(1);
    load({"a|b|c|d|"});
    line(1)->object = kObjRecord;
    press(op::kNewLine);
    EXPECT_EQ(text(cur().lnptr), "||||");
    EXPECT_EQ(cur().lnptr->object, kObjRecord);
    view(4);
    press(op::kNewLine);
    EXPECT_EQ(cur().lnptr->object, kObjPicture);
    EXPECT_EQ(cur().lnptr->length, 0);
    EXPECT_EQ(cur().curflag, 1);  // nuline gives the text cursor after shaping
    view(0);
    press(op::kNewLine);
    EXPECT_EQ(cur().lnptr->object, kObjNew);
    expect_sound();
}

TEST_F(Build, FormulaTypingInsertsNodesAndJoinsLines) {
    view(5);
    load({"ab"});
    type = op::kLetter;
    EXPECT_EQ(typed_at(1, 2, "X"), V{"aX"});  // typing over
    EXPECT_EQ(col(), 3);
    mode = 2;
    EXPECT_EQ(typed_at(1, 2, "!"), V{"a\xF8\xF3\xF3\xF6X"});
    EXPECT_EQ(line(1)->object, kObjMath);
    EXPECT_EQ(col(), 3);
    mode = 1;
    press(op::kMathNode, static_cast<char>(0xE6));  // the key's own byte selects the node
    EXPECT_EQ(lines()[0], "a\xF8\xFD\xF3\xF6\xF3\xF3\xF6X");
    // On a node end typing inserts instead of overwriting; the table-cell cursor types nothing.
    load({"q\xF6"});
    line(1)->object = kObjMath;
    EXPECT_EQ(typed_at(1, 2, "z"), V{"qz\xF6"});
    cur().curflag = 3;
    typed("w");
    EXPECT_EQ(lines(), V{"qz\xF6"});
    cur().curflag = 1;

    // The next text line moves into the formula at the cursor.
    load({"f(x)", "+1", "end"});
    EXPECT_EQ(pressed_at(1, 3, op::kRecMath), (V{"f(+1x)", "end"}));
    EXPECT_EQ(cur().lncount, 2);
    pressed_at(2, 1, op::kRecMath);  // no next line
    EXPECT_EQ(cur().lncount, 2);
    expect_sound();
}
