// Record patterns, field tests, the checks of core file 18 and the merge they expand with.
#include <gtest/gtest.h>

#include "scan_fixture.hpp"
#include "terminal.hpp"

namespace {

class ChecksTest : public ScanTest {
  protected:
    static void make_records(std::initializer_list<int> rows) {
        for (int n : rows)
            line(n)->object = kObjRecord;
    }
    static std::string merge_text(const std::string& mrg, int line_no, int col) {
        if (!merge(mrg, line(line_no), col)) return "<error>";
        return std::string(merged());
    }
};

TEST_F(ChecksTest, MergeSplitsRecordsAndParagraphsIntoFields) {
    fill(1, {"alpha   beta  gamma", "delta epsilon", "  not at the margin", "3|apple||pie|"});
    make_records({4});
    // Text: the rest of the paragraph from the cursor, one field per word however many blanks.
    EXPECT_EQ(mrgsetup(line(1), 1), 5);
    EXPECT_EQ(merge_text("#1,#2,#3,#4,#5", 1, 1), "alpha,beta,gamma,delta,epsilon");
    EXPECT_EQ(merge_text("#1", 1, 9), "beta");
    // A record: from its first column whatever the cursor, one field per bar, empty ones too.
    EXPECT_EQ(mrgsetup(line(4), 5), 4);
    EXPECT_EQ(merge_text("[#1][#2][#3][#4]", 4, 5), "[3][apple][][pie]");
    // "#12" is field 12; "#1`2" is field 1 and then the digit 2; "#" alone copies nothing.
    fill(2, {"a b c d e f g h i j k l"});
    corenum = 2;
    EXPECT_EQ(merge_text("#12|#1`2|#|x", 1, 1), "l|a2||x");
    // A field beyond the record's is error 3.
    EXPECT_EQ(merge_text("#13", 1, 1), "<error>");
    EXPECT_EQ(fperror, kFpMergeRef);
    EXPECT_EQ(merge_text("#0", 1, 1), "<error>");
    EXPECT_EQ(merge_text("#99999999999999999999", 1, 1), "<error>");
    // In other views a text record ends with its line.
    corenum = 1;
    cur().viewtype = 1;
    EXPECT_EQ(mrgsetup(line(1), 1), 3);
    cur().viewtype = 0;
    // At most 50 fields are taken.
    std::string many;
    for (int i = 0; i < 60; ++i)
        many += "w ";
    fill(3, {many});
    corenum = 3;
    EXPECT_EQ(mrgsetup(line(1), 1), 50);
    // The merged text never runs past the arena.
    avail = kTextSize - 3;
    EXPECT_FALSE(merge("#1#1#1#1", line(1), 1));
    EXPECT_EQ(fperror, kFpMergeRef);
    EXPECT_EQ(mrgavail, kTextSize);
}

TEST_F(ChecksTest, ChecksGiveBitsAndBitPatternsSelect) {
    fill(18, {"1", "0", "2<1"});
    fill(1, {"the cat sat"});
    at(1, 1);
    extchk();
    EXPECT_EQ(redisplay, 19);
    EXPECT_EQ(numchecks, 3);
    EXPECT_EQ(boolcheck, 0b100);
    EXPECT_EQ(boolerror, 0);
    EXPECT_EQ(boolstring, "100");
    makecheck("1x0");
    EXPECT_TRUE(checkpasses());
    makecheck("10");  // the third check is not asked about
    EXPECT_TRUE(checkpasses());
    makecheck("11x");
    EXPECT_FALSE(checkpasses());
    makecheck("100x1");  // a fifth check does not exist, so it cannot be true
    EXPECT_FALSE(checkpasses());
    makecheck("100x0");
    EXPECT_TRUE(checkpasses());
    fill(18, {"1", "1", "1"});
    extchk();
    makecheck("1x0");
    EXPECT_FALSE(checkpasses());
    // Failed evaluations are errors and false; blank lines of core file 18 are not checks.
    corenum = 18;
    clrfile();
    fill(18, {"1=2", "5>#9", "1/0", "3"});
    corenum = 18;
    at(2, 1);
    insline();  // an empty line between the checks
    corenum = 1;
    at(1, 1);
    extchk();
    EXPECT_EQ(numchecks, 4);
    EXPECT_EQ(boolstring, "0001");
    EXPECT_EQ(boolerror, 0b0110);
    EXPECT_EQ(fperror, kFpFine);
    getboolstring(0b1011, 6);
    EXPECT_EQ(boolstring, "001011");
    getboolstring(-1, 99);  // no more than the string holds
    EXPECT_EQ(boolstring.size(), 32u);
}

TEST_F(ChecksTest, FieldTestsReadWordsFromTheRing) {
    fill(1, {"the cat sat", "on the mat"});
    at(1, 1);
    setptr();
    checksetup();
    EXPECT_EQ(recstrmatch("$#2=cat"), 1);
    EXPECT_EQ(recstrmatch("$#2>c\x17"), 1);
    EXPECT_EQ(recstrmatch("$#2<cat"), 0);  // '<' never holds
    EXPECT_EQ(recstrmatch("$#2=dog\\=cat"), 1);
    EXPECT_EQ(recstrmatch("$#2=dog\\=cow"), 0);
    EXPECT_EQ(recstrmatch("$#5=the"), 1);  // words go on into the next line
    EXPECT_EQ(cmperr, 0);
    for (const char* bad : {"$#7=x", "$#0=x", "$2=x", "$#=x", "$#2", "$#2#3=x", "$#2=dog\\x"}) {
        EXPECT_EQ(recstrmatch(bad), 0) << bad;
        EXPECT_EQ(cmperr, 1) << bad;
    }
    // As checks: core file 18 holds field tests.
    fill(18, {"$#1=cat", "$#2=sat"});
    at(1, 5);
    extchk();
    EXPECT_EQ(boolstring, "11");
    // Unit 6 finds the first word where the checks match the bit pattern.
    fill(18, {"$#1=mat", "$#1=on"});
    at(1, 1);
    findunit(kUnitCheck, "1");
    EXPECT_EQ(vl_result[0], 1);
    EXPECT_EQ(line_no(), 2);
    EXPECT_EQ(cur().curcol, 8);
    at(1, 1);
    findunit(kUnitCheck, "01");
    EXPECT_EQ(cur().curcol, 1);
    resfind();
    EXPECT_EQ(vl_result[0], 0);
    // The ring goes on past 49 words as the search moves word by word.
    std::string words;
    for (int i = 0; i < 70; ++i)
        words += "w" + std::to_string(i) + " ";
    fill(2, {words});
    corenum = 2;
    fill(18, {"$#1=w65"});
    at(1, 1);
    findunit(kUnitCheck, "1");
    EXPECT_EQ(vl_result[0], 1);
    EXPECT_EQ(cur().curcol, 1 + 3 * 10 + 4 * 55);
}

TEST_F(ChecksTest, RecordPatternsAndTheRecordCheck) {
    fill(1, {"3|apple|", "text 9|x|", "7|pear|", "12|plum|"});
    make_records({1, 3, 4});
    // An arithmetic condition over the record's fields; text lines are passed over.
    at(1, 1);
    findunit(kUnitRec, "#1>5");
    EXPECT_EQ(line_no(), 3);
    resfind();
    EXPECT_EQ(line_no(), 4);
    at(1, 1);
    findunit(kUnitRec, "$#2=pe{W}");
    EXPECT_EQ(line_no(), 1);  // brace notation is not read here: "{W}" is plain text
    findunit(kUnitRec, "$#2=pe\x17");
    EXPECT_EQ(line_no(), 3);
    at(1, 1);
    scanunit = kUnitRec;
    scanpattern.assign("#1<100");
    resnumber();
    EXPECT_EQ(vl_result[0], 3);
    scanpattern.assign("#3=0");  // records have two fields: never evaluated
    resnumber();
    EXPECT_EQ(vl_result[0], 0);
    // The check of the file readers: records that pass are kept, all other lines go.
    fill(18, {"#1>5", "$#2=p\x17"});
    makecheck("11");
    EXPECT_FALSE(reccheck(line(1)));
    EXPECT_FALSE(reccheck(line(2)));
    EXPECT_TRUE(reccheck(line(3)));
    EXPECT_TRUE(reccheck(line(4)));
    makecheck("1");
    EXPECT_TRUE(reccheck(line(4)));
    EXPECT_FALSE(reccheck(nullptr));
}

}  // namespace

namespace {

TEST_F(ChecksTest, CheckDisplayNamesChecksByLetter) {
    fill(18, {"1", "#7", "0", "2>1"});
    fill(1, {"x"});
    at(1, 1);
    extchk();
    std::vector<std::string> cmds;
    set_command_capture(&cmds);
    showchecks();
    set_command_capture(nullptr);
    const std::vector<std::string> want = {"$mbERR B", "$mbCH AD"};
    std::vector<std::string> got;
    for (const std::string& c : cmds) {
        if (c.rfind("$mb", 0) == 0) got.push_back(c);
    }
    EXPECT_EQ(got, want);
}

}  // namespace

namespace {

TEST_F(ChecksTest, TextAndExpressionMerges) {
    fill(1, {"3 4 five"});
    at(1, 1);
    mrgstring.assign("#3 is #1+#2\r\r#2`0");
    mrgtext();
    EXPECT_EQ(lines_of(16), (V{"", "five is 3+4", "", "40"}));
    EXPECT_EQ(core[16].header->up->object, kObjText);
    expect_chain_sound();
    garbage();  // the committed lines survive compaction
    EXPECT_EQ(lines_of(16), (V{"", "five is 3+4", "", "40"}));
    // A missing field ends the merge; what came before it is kept.
    mrgstring.assign("#1\r#9 more");
    mrgtext();
    ASSERT_EQ(lines_of(16).size(), 6u);
    EXPECT_EQ(lines_of(16)[4], "3");
    EXPECT_EQ(lines_of(16)[5], "");
    EXPECT_EQ(fperror, kFpFine);
    expect_chain_sound();
    // The expression merge leaves its value for the display step.
    expression.assign("#1*#2-1");
    mrgexp();
    EXPECT_EQ(redisplay, 11);
    EXPECT_EQ(fperror, kFpFine);
    EXPECT_EQ(numstack[ni], 11);
    expression.assign("#1*#7");
    mrgexp();
    EXPECT_EQ(fperror, kFpSyntax);
    EXPECT_EQ(ni, oldindex);
}

}  // namespace
