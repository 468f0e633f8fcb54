// The checks of core file 18 and the merge they expand with.
#include <gtest/gtest.h>

#include "scan_fixture.hpp"
#include "terminal.hpp"

namespace {

class ChecksTest : public ScanTest {
  protected:
    static std::string merge_text(const std::string& mrg, int line_no, int col) {
        return merge(mrg, line(line_no), col) ? std::string(merged()) : "<error>";
    }
};

TEST_F(ChecksTest, MergeSplitsRecordsAndParagraphsIntoFields) {
    fill(1, {"alpha   beta  gamma", "delta epsilon", "  not at the margin", "3|apple||pie|"});
    line(4)->object = kObjRecord;
    // Text: the rest of the paragraph from the cursor, one field per word however many blanks.
    EXPECT_EQ(merge_text("#1,#2,#3,#4,#5", 1, 1) + merge_text("/#1", 1, 9),
              "alpha,beta,gamma,delta,epsilon/beta");
    // A record: from its first column whatever the cursor, one field per bar, empty ones too.
    EXPECT_EQ(merge_text("[#1][#2][#3][#4]", 4, 5), "[3][apple][][pie]");
    // "#12" is field 12; "#1`2" is field 1 and then the digit 2; "#" alone copies nothing.
    open(2, {"a b c d e f g h i j k l"});
    EXPECT_EQ(merge_text("#12|#1`2|#|x", 1, 1), "l|a2||x");
    // A field beyond the record's is an error.
    for (const char* bad : {"#13", "#0", "#99999999999999999999"}) {
        fperror = kFpFine;
        EXPECT_EQ(merge_text(bad, 1, 1), "<error>");
        EXPECT_EQ(fperror, kFpMergeRef) << bad;
    }
    // The merged text never runs past the arena.
    avail = kTextSize - 3;
    const bool merged_all = merge("#1#1#1#1", line(1), 1);
    EXPECT_EQ(std::tuple(merged_all, fperror, mrgavail), std::tuple(false, kFpMergeRef, kTextSize));
}

TEST_F(ChecksTest, ChecksGiveBitsAndBitPatternsSelect) {
    // Failed evaluations are errors and false; blank lines of core file 18 are not checks.
    open(18, {"1", "5>#9", "1/0", "3"});
    at(2, 1);
    insline();
    corenum = 1;
    fill(1, {"the cat sat"});
    extchk();
    EXPECT_EQ(std::tuple(redisplay, numchecks, boolcheck, boolstring, boolerror, fperror),
              std::tuple(19, 4, 0b1001, "1001", 0b0110, kFpFine));
    // A check the pattern does not mention is not asked about; a fifth check does not exist, so
    // it cannot be true.
    // clang-format off
    for (const auto& [bits, passes] : {std::pair{"1x0", true}, {"10", true}, {"11x", false},
                                       {"1xx1x1", false}, {"1xx1x0", true}}) {
        // clang-format on
        makecheck(bits);
        EXPECT_EQ(checkpasses(), passes) << bits;
    }
    // The display names the checks in error and the true ones by letter.
    std::vector<std::string> shown;
    for (const std::string& c : screen_of(showchecks))
        if (c.rfind("$mb", 0) == 0) shown.push_back(c);
    EXPECT_EQ(shown, (V{"$mbERR BC", "$mbCH AD"}));
    getboolstring(-1, 99);
    EXPECT_EQ(boolstring.size(), 32u);  // no more than the string holds
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
