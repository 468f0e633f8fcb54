// Record templates (the layout language and its errors) and the merges that use records: the record
// merge, a merge that does not fit, and field assignments.
#include <gtest/gtest.h>

#include "command_fixture.hpp"
#include "float.hpp"
#include "merger.hpp"
#include "templates.hpp"
#include "terminal.hpp"

namespace {

using V = std::vector<std::string>;

class TemplateTest : public CommandTest {
  protected:
    void SetUp() override {
        CommandTest::SetUp();
        reset_float();
        reset_merger();
        reset_templates();
    }
    static int interpret(const char* tpl, int draw = 0) {
        tempbufptr = tpl;
        return writetemplate(draw);
    }
    static V lines_of(int n) {
        const int keep = corenum;
        corenum = n;
        V out = texts();
        corenum = keep;
        return out;
    }
    static void record(const std::string& text) {
        fill_lines({text});
        cur().lnptr->object = kObjRecord;
        cur().viewtype = 1;
    }
};

TEST_F(TemplateTest, FieldsAreLaidOutByTheTemplateOrBySixToARow) {
    // Template, its error, fields records get, a field, its row, column, length and type.
    const std::tuple<const char*, int, int, int, int, int, int, char> cases[] = {
        {nullptr, 0, 10, 1, 3, 2, 5, 'c'},  // no template: ten fields, six to a row from row 3
        {nullptr, 0, 10, 6, 3, 42, 5, 'c'},
        {nullptr, 0, 10, 7, 4, 2, 5, 'c'},
        {"{r2,c5}Name: {#7/12/j}\x04", 0, 7, 7, 4, 12, 12, 'j'},  // only field 7: seven fields
        {"{r2,c5}Name: {#7/12/j}\x04", 0, 7, 1, 3, 2, 5, 'c'},    // the others as by default
        {"#7/2 #101/9/b #3/2\x04", 0, 7, 3, 3, 4, 2, 'c'},  // above 100 passed over; the highest
        {"#2/4 } #5\x04", 1, 2, 2, 3, 2, 4, 'c'},           // an error stops the reading
        {"#2/4 } #5\x04", 1, 2, 5, 3, 34, 5, 'c'},          // what came after is not defined
        {"{#4/1 x #6}\x04", 1, 4, 4, 3, 2, 1, 'c'}};
    for (const auto& [tpl, error, fields, n, row, col, len, type] : cases) {
        const int got = interpret(tpl);
        EXPECT_EQ((std::tuple{got, numfields, frow[n], fcol[n], maxfieldlen[n], ftype[n]}),
                  (std::tuple{error, fields, row, col, len, type}))
            << (tpl != nullptr ? tpl : "none") << " field " << n;
    }
}

TEST_F(TemplateTest, TheRecordMergeAppendsTheFilledInTextToCoreFile16) {
    record("cat|3|");
    mrgrec();  // no merge template yet: nothing is merged
    EXPECT_EQ(lines_of(16), V{""});
    mrgbufptr = "The #1 costs #2.\rEnd";
    mrgrec();
    EXPECT_EQ(lines_of(16), (V{"", "The cat costs 3.", "End"}));
    expect_chain_sound();
}

TEST_F(TemplateTest, AMergeThatDoesNotFitCommitsNothing) {
    fill_lines({std::string(1'400'000, 'x')});
    const long before = avail;
    mrgstring.assign("#1#1#1");
    mrgtext();
    EXPECT_EQ(lines_of(16), V{""});
    EXPECT_EQ(std::tuple(avail, textbase[kTextSize - 1]), std::tuple(before, kFreeByte));
    expression.assign("#1#1#1");  // the expression merge shows no value either
    mrgexp();
    EXPECT_EQ(textbase[static_cast<std::size_t>(avail)], kFreeByte);
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
    EXPECT_EQ(texts(), V{"10|20|****ef|25|"});
    // No value is left on the evaluator's stack.
    EXPECT_EQ((std::tuple{corenum, fperror, ni}), (std::tuple{1, kFpFine, oldindex}));
}

}  // namespace
