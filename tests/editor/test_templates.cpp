// Record templates (the layout language, its errors and the TEMPLATE command) and the merges that
// use records: the record merge, a merge that does not fit, and field assignments.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "command_fixture.hpp"
#include "float.hpp"
#include "merger.hpp"
#include "templates.hpp"
#include "terminal.hpp"

namespace {

class TemplateTest : public CommandTest {
  protected:
    void SetUp() override {
        CommandTest::SetUp();
        reset_float();
        reset_merger();
        reset_templates();
        dir_ = ::testing::TempDir();
    }
    void TearDown() override {
        reset_templates();
        for (const std::string& f : files_)
            std::remove(f.c_str());
        CommandTest::TearDown();
    }
    std::string file(const std::string& name, const std::string& text) {
        const std::string path = dir_ + "oru-tpl-" + name;
        std::ofstream(path, std::ios::binary) << text;
        files_.push_back(path);
        return path;
    }
    static int interpret(const char* tpl, int draw = 0) {
        tempbufptr = tpl;
        return writetemplate(draw);
    }
    static std::vector<std::string> lines_of(int n) {
        const int keep = corenum;
        corenum = n;
        std::vector<std::string> out = texts();
        corenum = keep;
        return out;
    }
    static void record(const std::string& text) {
        fill_lines({text});
        cur().lnptr->object = kObjRecord;
        cur().viewtype = 1;
    }

    std::string dir_;
    std::vector<std::string> files_;
};

TEST_F(TemplateTest, FieldsAreLaidOutByTheTemplateOrBySixToARow) {
    // Without a template: ten fields of five characters, six to a row from row 3, column 2.
    EXPECT_EQ(writetemplate(0), 0);
    EXPECT_EQ(numfields, 10);
    EXPECT_EQ(maxfieldlen[1], 5);
    EXPECT_EQ(ftype[1], 'c');
    EXPECT_EQ(frow[1], 3);
    EXPECT_EQ(fcol[1], 2);
    EXPECT_EQ(frow[6], 3);
    EXPECT_EQ(fcol[6], 42);
    EXPECT_EQ(frow[7], 4);
    EXPECT_EQ(fcol[7], 2);

    // A template that defines only field 7 gives records seven fields; the others keep the
    // default layout.
    EXPECT_EQ(interpret("{r2,c5}Name: {#7/12/j}\x04"), 0);
    EXPECT_EQ(numfields, 7);
    EXPECT_EQ(frow[7], 4);
    EXPECT_EQ(fcol[7], 12);
    EXPECT_EQ(maxfieldlen[7], 12);
    EXPECT_EQ(ftype[7], 'j');
    EXPECT_EQ(maxfieldlen[1], 5);

    // Field numbers above 100 are passed over without an error; a length alone keeps the type.
    EXPECT_EQ(interpret("#101/9/b #3/2\x04"), 0);
    EXPECT_EQ(numfields, 3);
    EXPECT_EQ(maxfieldlen[3], 2);
    EXPECT_EQ(ftype[3], 'c');

    // An error stops the reading; what was defined before it stays.
    EXPECT_EQ(interpret("#2/4 } #5\x04"), 1);
    EXPECT_EQ(numfields, 2);
    EXPECT_EQ(maxfieldlen[2], 4);
    EXPECT_EQ(maxfieldlen[5], 5);
    EXPECT_EQ(interpret("{#4/1 x #6}\x04"), 1);
    EXPECT_EQ(numfields, 4);
}

TEST_F(TemplateTest, DrawingPutsLabelsWhereTheLayoutSays) {
    EXPECT_EQ(interpret("{r1,c1}Ab\rCd{c10}#1/3{r5, c3}\xE9t\xE9\x04", 1), 0);
    EXPECT_EQ(screen_text(3).substr(2, 2), "Ab");
    EXPECT_EQ(screen_text(4).substr(2, 2), "Cd");
    EXPECT_EQ(frow[1], 4);
    EXPECT_EQ(fcol[1], 11);
    EXPECT_EQ(screen_text(7).substr(4, 3), "\xE9t\xE9");
    // Returns stop above the last row, a row number at it, and a column at the screen width.
    std::string rows(40, '\r');
    EXPECT_EQ(interpret((rows + "R{r99,c200}Z#2\x04").c_str(), 1), 0);
    EXPECT_EQ(screen_text(depth).substr(2, 1), "R");
    EXPECT_EQ(frow[2], depth + 1);
    EXPECT_EQ(fcol[2], swidth + 1);
    EXPECT_EQ(screen_text(depth + 1).substr(static_cast<std::size_t>(swidth + 1), 1), "Z");
    // Interpreting without drawing leaves the screen alone.
    pltransmit("$Tx");
    interpret("{r1,c1}Hidden\x04", 0);
    EXPECT_EQ(screen_text(3).find("Hidden"), std::string::npos);
}

TEST_F(TemplateTest, TheTemplateCommandLoadsRecordAndMergeTemplates) {
    const std::string tpl = file("rec.tpl", "{r1,c1}Word:{c8}#1/10\n{r2,c1}Count:{c8}#2/3/j");
    cur().viewtype = 2;
    run("TE", "0|" + tpl);
    EXPECT_NE(del, 2);
    EXPECT_EQ(numfields, 2);
    EXPECT_EQ(ftype[2], 'j');
    EXPECT_EQ(frow[2], 4);
    EXPECT_EQ(screen_text(3).substr(2, 5), "Word:");  // view 2 draws it at once
    EXPECT_EQ(redisplay, 1);

    const std::string mrg = file("letter.mrg", "Dear #1,\nyou owe #2.");
    run("TE", "2|" + mrg);
    EXPECT_NE(del, 2);
    ASSERT_NE(mrgbufptr, nullptr);
    EXPECT_EQ(std::string(mrgbufptr), "Dear #1,\ryou owe #2.");
    EXPECT_EQ(numfields, 2) << "the record template stays";

    // Kinds other than 0 to 2 and files that cannot be read change nothing.
    run("TE", "3|" + tpl);
    EXPECT_EQ(del, 2);
    run("TE", "0|" + dir_ + "oru-tpl-missing");
    EXPECT_EQ(del, 2);
    EXPECT_EQ(numfields, 2);
}

TEST_F(TemplateTest, RecordMergeAppendsTheMergeTemplateFilledInToCoreFile16) {
    record("cat|3|");
    mrgrec();  // no merge template yet: nothing is merged
    EXPECT_EQ(lines_of(16), std::vector<std::string>{""});
    mrgbufptr = "The #1 costs #2.\rEnd";
    mrgrec();
    EXPECT_EQ(lines_of(16), (std::vector<std::string>{"", "The cat costs 3.", "End"}));
    EXPECT_EQ(corenum, 1);
    EXPECT_EQ(core[16].disln, core[16].lnptr);
    expect_chain_sound();
}

TEST_F(TemplateTest, AMergeThatDoesNotFitCommitsNothing) {
    fill_lines({std::string(1'400'000, 'x')});
    const long before = avail;
    mrgstring.assign("#1#1#1");
    mrgtext();
    EXPECT_EQ(lines_of(16), std::vector<std::string>{""});
    EXPECT_EQ(avail, before);
    EXPECT_EQ(textbase[static_cast<std::size_t>(avail)], kFreeByte);
    EXPECT_EQ(textbase[kTextSize - 1], kFreeByte);
    // The expression merge reports the same and shows no value.
    expression.assign("#1#1#1");
    mrgexp();
    EXPECT_EQ(textbase[static_cast<std::size_t>(avail)], kFreeByte);
    // One copy fits.
    mrgstring.assign("#1");
    mrgtext();
    EXPECT_EQ(core[16].lncount, 2);
}

TEST_F(TemplateTest, AssignmentsFromCoreFile17AreTypedIntoTheirFields) {
    interpret("{#4/5/j}\x04");  // field 4 takes digits only
    record("10|x|abcdef|old|");
    corenum = 17;
    fill_lines({"#2: #1*2", "comment #3 but no colon", "#3: (#1", "#9: 1", "#4:#1/4", "#0: 5"});
    corenum = 1;
    mode = 1;
    mrgassign();
    // 20 replaces x; a failed expression types **** over the field without erasing it; field 9
    // is beyond the record; 2.5 loses its point in a digits-only field; field 0 is no target.
    EXPECT_EQ(texts(), std::vector<std::string>{"10|20|****ef|25|"});
    EXPECT_EQ(corenum, 1);
    EXPECT_EQ(redisplay, 1);
    EXPECT_EQ(fperror, kFpFine);
    EXPECT_EQ(ni, oldindex) << "no value is left on the evaluator's stack";
    EXPECT_EQ(lines_of(17).size(), 6U);
}

}  // namespace
