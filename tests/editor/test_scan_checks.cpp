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
    // In other views a text record ends with its line.
    cur().viewtype = 1;
    EXPECT_EQ(mrgsetup(line(1), 1), 3);
    cur().viewtype = 0;
    // "#12" is field 12; "#1`2" is field 1 and then the digit 2; "#" alone copies nothing.
    open(2, {"a b c d e f g h i j k l"});
    EXPECT_EQ(merge_text("#12|#1`2|#|x", 1, 1), "l|a2||x");
    // A field beyond the record's is error 3.
    for (const char* bad : {"#13", "#0", "#99999999999999999999"}) {
        fperror = kFpFine;
        EXPECT_EQ(merge_text(bad, 1, 1), "<error>") << bad;
        EXPECT_EQ(fperror, kFpMergeRef) << bad;
    }
    // At most 50 fields are taken.
    std::string many;
    for (int i = 0; i < 60; ++i)
        many += "w ";
    open(3, {many});
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
    extchk();
    EXPECT_EQ(std::tuple(redisplay, numchecks, boolcheck, boolerror, boolstring),
              std::tuple(19, 3, 0b100, 0, "100"));
    // A check the pattern does not mention is not asked about; a fifth check does not exist, so
    // it cannot be true.
    const std::pair<const char*, bool> patterns[] = {
        {"1x0", true}, {"10", true}, {"11x", false}, {"100x1", false}, {"100x0", true}};
    for (const auto& [bits, passes] : patterns) {
        makecheck(bits);
        EXPECT_EQ(checkpasses(), passes) << bits;
    }
    fill(18, {"1", "1", "1"});
    extchk();
    makecheck("1x0");
    EXPECT_FALSE(checkpasses());
    // Failed evaluations are errors and false; blank lines of core file 18 are not checks.
    open(18, {"1", "5>#9", "1/0", "3"});
    at(2, 1);
    insline();  // an empty line between the checks
    corenum = 1;
    at(1, 1);
    extchk();
    EXPECT_EQ(std::tuple(numchecks, boolstring, boolerror, fperror),
              std::tuple(4, "1001", 0b0110, kFpFine));
    // The display names the checks in error and the true ones by letter.
    std::vector<std::string> shown;
    for (const std::string& c : screen_of(showchecks))
        if (c.rfind("$mb", 0) == 0) shown.push_back(c);
    EXPECT_EQ(shown, (V{"$mbERR BC", "$mbCH AD"}));
    getboolstring(-1, 99);  // no more than the string holds
    EXPECT_EQ(boolstring.size(), 32u);
}

TEST_F(ChecksTest, FieldTestsReadWordsFromTheRing) {
    fill(1, {"the cat sat", "on the mat"});
    setptr();
    checksetup();
    // '<' never holds; words go on into the next line; a malformed test is an error.
    // clang-format off
    const std::tuple<const char*, int, int> cases[] = {
        {"$#2=cat", 1, 0},       {"$#2>c\027", 1, 0}, {"$#2<cat", 0, 0}, {"$#2=dog\\=cat", 1, 0},
        {"$#2=dog\\=cow", 0, 0}, {"$#5=the", 1, 0},   {"$#7=x", 0, 1},   {"$#0=x", 0, 1},
        {"$2=x", 0, 1},          {"$#=x", 0, 1},      {"$#2", 0, 1},     {"$#2#3=x", 0, 1},
        {"$#2=dog\\x", 0, 1}};
    // clang-format on
    for (const auto& [test, result, error] : cases) {
        EXPECT_EQ(recstrmatch(test), result) << test;
        EXPECT_EQ(cmperr, error) << test;
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
    EXPECT_EQ(std::tuple(vl_result[0], line_no(), cur().curcol), std::tuple(1, 2, 8));
    at(1, 1);
    findunit(kUnitCheck, "01");
    EXPECT_EQ(cur().curcol, 1);
    resfind();
    EXPECT_EQ(vl_result[0], 0);
    // The ring goes on past 49 words as the search moves word by word.
    std::string words;
    for (int i = 0; i < 70; ++i)
        words += "w" + std::to_string(i) + " ";
    open(2, {words});
    fill(18, {"$#1=w65"});
    at(1, 1);
    findunit(kUnitCheck, "1");
    EXPECT_EQ(std::tuple(vl_result[0], cur().curcol), std::tuple(1, 1 + 3 * 10 + 4 * 55));
}

TEST_F(ChecksTest, RecordPatternsAndTheRecordCheck) {
    fill(1, {"3|apple|", "text 9|x|", "7|pear|", "12|plum|"});
    make_records({1, 3, 4});
    // An arithmetic condition over the record's fields; text lines are passed over.
    at(1, 1);
    findunit(kUnitRec, "#1>5");
    const int first = line_no();
    resfind();
    EXPECT_EQ(std::tuple(first, line_no()), std::tuple(3, 4));
    at(1, 1);
    findunit(kUnitRec, "$#2=pe{W}");
    EXPECT_EQ(line_no(), 1);  // brace notation is not read here: "{W}" is plain text
    findunit(kUnitRec, "$#2=pe\027");
    EXPECT_EQ(line_no(), 3);
    // Counting; records have two fields, so "#3=0" is never evaluated.
    scanunit = kUnitRec;
    for (const auto& [pattern, count] : {std::pair{"#1<100", 3}, {"#3=0", 0}}) {
        at(1, 1);
        scanpattern.assign(pattern);
        resnumber();
        EXPECT_EQ(vl_result[0], count) << pattern;
    }
    // The check of the file readers: records that pass are kept, all other lines go.
    fill(18, {"#1>5", "$#2=p\027"});
    makecheck("11");
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(reccheck(line(n)), n >= 3) << n;
    EXPECT_FALSE(reccheck(nullptr));
}

TEST_F(ChecksTest, TextAndExpressionMerges) {
    fill(1, {"3 4 five"});
    mrgstring.assign("#3 is #1+#2\r\r#2`0");
    mrgtext();
    EXPECT_EQ(core[16].header->up->object, kObjText);
    garbage();  // the committed lines survive compaction
    EXPECT_EQ(lines_of(16), (V{"", "five is 3+4", "", "40"}));
    // A missing field ends the merge; what came before it is kept.
    mrgstring.assign("#1\r#9 more");
    mrgtext();
    EXPECT_EQ(std::tuple(lines_of(16), fperror),
              std::tuple(V{"", "five is 3+4", "", "40", "3", ""}, kFpFine));
    expect_chain_sound();
    // The expression merge leaves its value for the display step.
    expression.assign("#1*#2-1");
    mrgexp();
    EXPECT_EQ(std::tuple(redisplay, fperror, numstack[ni]), std::tuple(11, kFpFine, 11.0));
    expression.assign("#1*#7");
    mrgexp();
    EXPECT_EQ(std::tuple(fperror, ni), std::tuple(kFpSyntax, oldindex));
}

}  // namespace
