#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "store_fixture.hpp"
#include "terminal.hpp"
#include "termutils.hpp"
#include "tests.hpp"

namespace {
constexpr int kNewLine = 10;  // nuline: L F, limit 20, allowed on any line
constexpr int kInMode = 22;   // inmode: no side effects, mask 0
constexpr int kPageDown = 30;
constexpr int kPageUp = 28;

std::string joined(const std::vector<std::string>& cmds) {
    std::string all;
    for (const std::string& c : cmds)
        all += c + "\n";
    return all;
}
int count(const std::string& s, const std::string& what) {
    int n = 0;
    for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1))
        ++n;
    return n;
}
}  // namespace

using EditLoop = StoreTest;

TEST_F(EditLoop, NewLineOperationFollowsViewAndMarksTheFileEdited) {
    EXPECT_TRUE(dispatch(kNewLine));
    EXPECT_EQ(cur().lncount, 2);
    EXPECT_EQ(cur().curline, 2);
    EXPECT_EQ(cur().edited, 1);
    EXPECT_EQ(cur().curcol, lmargin);
    EXPECT_TRUE(dispatch(kInMode));
    EXPECT_EQ(mode, 2);
    // In view 3 the row has no handler: the code is allowed but does nothing.
    cur().viewtype = 3;
    cureditmask = editmask[3];
    EXPECT_TRUE(dispatch(kNewLine));
    EXPECT_EQ(cur().lncount, 2);

    // Keys that change the text mark an unchanged file edited; moves and modes do not.
    const std::pair<int, bool> keys[] = {{5, true},   {79, true},       {19, false},
                                         {17, false}, {kInMode, false}, {18, false}};
    for (const auto& [code, edits] : keys) {
        SetUp();
        fill_lines({"one two", "three"});
        cur().edited = 0;
        cur().curcol = 2;
        EXPECT_TRUE(dispatch(code)) << code;
        EXPECT_EQ(cur().edited, edits ? 1 : 0) << code;
    }
}

// The permission rule (the row's mask against the object of the cursor line in the view), the
// full-store rule and the range of codes, case by case. A refused operation changes nothing.
TEST_F(EditLoop, PermissionRuleTable) {
    struct Case {
        const char* what;
        int code;
        int view;
        int object;
        int full;
        bool runs;
    };
    const Case cases[] = {
        {"cursor down on a text line in the record-template view", 18, 2, kObjText, 0, false},
        {"cursor down on a text line in the text view", 18, 0, kObjText, 0, true},
        {"cursor down on a record line in the text view (0x7b)", 18, 0, kObjRecord, 0, true},
        {"cursor down on a record line in the page view", 18, 7, kObjRecord, 0, true},
        {"cursor down on a text line in the page view", 18, 7, kObjText, 0, false},
        {"typing on a record line in the text view", 2, 0, kObjRecord, 0, false},
        {"cursor left on a record line in the text view", 17, 0, kObjRecord, 0, false},
        {"cursor right on a record line in the text view", 19, 0, kObjRecord, 0, false},
        {"cursor left on a record line in the record view", 17, 1, kObjRecord, 0, true},
        {"typing on a record line in the record view", 2, 1, kObjRecord, 0, true},
        {"typing on a new line in the mathematics view", 2, 5, kObjNew, 0, true},
        {"typing on a picture line in the text view", 4, 0, kObjPicture, 0, false},
        {"typing on a picture line in the picture view", 4, 4, kObjPicture, 0, true},
        {"typing while the store is full", 2, 0, kObjText, 1, false},
        {"rubout (no F) while the store is full", 5, 0, kObjText, 1, true},
        {"command line (0xff) on a picture line in the text view", 21, 0, kObjPicture, 0, true},
        {"block copy (F) while full", 35, 0, kObjText, 1, false},
        {"star key (0xff) on a record line in the text view", 25, 0, kObjRecord, 0, true},
        {"inmode (mask 0) on a record line in the text view", kInMode, 0, kObjRecord, 0, false},
        {"inmode while the store is full", kInMode, 0, kObjText, 1, true},
        {"new line (0xff) on a record line in the text view", kNewLine, 0, kObjRecord, 0, true},
        {"new line (F) while the store is full", kNewLine, 0, kObjText, 1, false},
        {"a negative code", -1, 0, kObjText, 0, false},
        {"the code past the table", kEditOps, 0, kObjText, 0, false},
        {"the unbound code 127", 127, 0, kObjText, 0, false},
    };
    for (const Case& c : cases) {
        SetUp();
        cur().viewtype = c.view;
        cureditmask = editmask[c.view];
        cur().lnptr->object = c.object;
        full = c.full;
        EXPECT_EQ(dispatch(c.code), c.runs) << c.what;
        if (!c.runs) {
            EXPECT_EQ(cur().lncount, 1) << c.what;
            EXPECT_EQ(mode, 1) << c.what;
            EXPECT_EQ(cur().edited, 0) << c.what;
        }
    }
}

// Limits count keys of one code in a row, only when switched on; another key restarts the count.
TEST_F(EditLoop, RepeatLimitsApplyOnlyWhenSwitchedOn) {
    for (int i = 0; i < 30; ++i)
        EXPECT_TRUE(dispatch(kNewLine));
    EXPECT_EQ(cur().lncount, 31);
    repflag = 0;
    reset_editor();
    int done = 0;
    for (int i = 0; i < 30; ++i)
        done += dispatch(kNewLine) ? 1 : 0;
    EXPECT_EQ(done, 20);
    dispatch(kInMode);
    EXPECT_TRUE(dispatch(kNewLine));

    // The fourth page down or up in a row is ignored.
    for (const int code : {kPageDown, kPageUp}) {
        for (const bool runs : {true, true, true, false, false})
            EXPECT_EQ(dispatch(code), runs) << code;
        EXPECT_TRUE(dispatch(kInMode));
        EXPECT_TRUE(dispatch(code));
    }
}

TEST_F(EditLoop, ALostSpareRecordFillsTheStoreUntilAnExplicitCompaction) {
    linepool::fail_after(0);
    // Uses the spare; its replacement fails, and so does the retry.
    EXPECT_TRUE(dispatch(kNewLine));
    EXPECT_EQ(reserve, nullptr);
    EXPECT_EQ(full, 1);
    linepool::fail_after(-1);
    // Full is sticky: the loop no longer compacts by itself.
    EXPECT_TRUE(dispatch(kInMode));
    EXPECT_EQ(full, 1);
    EXPECT_FALSE(dispatch(kNewLine));
    // A command that frees space compacts explicitly and finds a spare record again.
    clrfile();
    EXPECT_EQ(full, 0);
    EXPECT_NE(reserve, nullptr);
    EXPECT_TRUE(dispatch(kNewLine));
}

TEST_F(EditLoop, DumpListsRecordsArenaAndChain) {
    for (char c : std::string_view("a b"))
        cadd(c);
    for (int i = 0; i < 60; ++i) {
        allocln(kObjNew, 0);
        cadd('x');
    }
    cur().lnptr = cur().header->down;
    cur().curcol = 2;
    cremove(1);  // leaves a freed byte behind the line
    const char* path = "store-dump.test";
    ASSERT_TRUE(showcore(path));
    std::stringstream ss;
    ss << std::ifstream(path).rdbuf();
    const std::string dump = ss.str();
    std::remove(path);
    EXPECT_EQ(count(dump, "\nCOREFILE #"), 19);
    EXPECT_NE(dump.find("\nnumber of lineheaders = 50\n"), std::string::npos);
    EXPECT_EQ(count(dump, "\nnumber of lineheaders = 2\n"), 18);
    EXPECT_NE(dump.find("\n       0     a     b  ZAP!     x     x"), std::string::npos);
    EXPECT_EQ(count(dump, "\n    2000"), 1);
    EXPECT_EQ(count(dump, "\n    2010"), 0);
    EXPECT_NE(dump.find("\n\nPhysical List:\n\n&FirstPhys = "), std::string::npos);
    EXPECT_NE(dump.find("LastPhys = "), std::string::npos);
    EXPECT_FALSE(showcore("no-such-folder/store-dump.test"));
}

// GOODBYE asks about every changed core file; Return goes on, rubout keeps the editor running.
TEST_F(EditLoop, GoodbyeAsksAboutEveryChangedCoreFile) {
    core[3].edited = 1;
    core[5].edited = 1;
    mode = 0;
    std::vector<std::string> cmds;
    set_command_capture(&cmds);
    pushfn("\r\x7f");  // Return to the first question, rubout to the second
    goodbye();
    set_command_capture(nullptr);
    EXPECT_EQ(overflg, 0);
    EXPECT_EQ(mode, 0) << "the command line stays open";
    const std::string all = joined(cmds);
    EXPECT_NE(all.find("WARNING: corefile 3 not saved. <del> aborts"), std::string::npos);
    EXPECT_NE(all.find("WARNING: corefile 5 not saved. <del> aborts"), std::string::npos);
    EXPECT_EQ(corenum, 1);

    // Nothing changed: the loop ends at once and typing mode closes the command line.
    SetUp();
    mode = 0;
    goodbye();
    EXPECT_EQ(overflg, 1);
    EXPECT_EQ(mode, 1);
    // Every question answered with Return ends the editor too.
    SetUp();
    core[0].edited = 1;
    core[19].edited = 1;
    goodbye();
    EXPECT_EQ(overflg, 1);
}

TEST_F(EditLoop, UpperCaseLockAndIdentify) {
    dispatch(29);
    EXPECT_EQ(transb, 1);
    dispatch(29);
    EXPECT_EQ(transb, 0);
    std::vector<std::string> cmds;
    set_command_capture(&cmds);
    identify();
    set_command_capture(nullptr);
    const std::string all = joined(cmds);
    EXPECT_NE(all.find(std::string("ALPHA date: ") + __DATE__ + "; time: "), std::string::npos)
        << all;
}
