#include <string>
#include <vector>

#include "store_fixture.hpp"
#include "terminal.hpp"
#include "termutils.hpp"
#include "tests.hpp"

namespace {
constexpr int kNewLine = 10, kInMode = 22, kPageDown = 30, kPageUp = 28;

// The commands sent to the screen while `f` runs, one a line.
template <class F>
std::string shown(F f) {
    std::vector<std::string> cmds;
    set_command_capture(&cmds);
    f();
    set_command_capture(nullptr);
    std::string all;
    for (const std::string& c : cmds)
        all += c + "\n";
    return all;
}
}  // namespace

using EditLoop = StoreTest;

// Rubout and delete word mark the core file edited; moves and modes do not.
TEST_F(EditLoop, KeysThatChangeTheTextMarkTheFileEdited) {
    for (const auto& [code, edits] : {std::pair(5, 1), {79, 1}, {19, 0}, {22, 0}}) {
        SetUp();
        fill_lines({"one two"});
        cur().edited = 0;
        cur().curcol = 2;
        EXPECT_EQ(std::tuple(dispatch(code), cur().edited), std::tuple(true, edits)) << code;
    }
}

// The permission rule (the row's mask against the object of the cursor line in the view), the
// full-store rule and the range of codes. A refused operation changes nothing.
TEST_F(EditLoop, PermissionRule) {
    // The code, the view, the cursor line's object, the store full, whether it runs.
    // clang-format off
    const struct { int code, view, object, full; bool runs; } cases[] = {
        {18, 2, kObjText, 0, false}, {18, 0, kObjText, 0, true}, {18, 0, kObjRecord, 0, true},
        {18, 7, kObjRecord, 0, true}, {18, 7, kObjText, 0, false}, {2, 0, kObjRecord, 0, false},
        {17, 0, kObjRecord, 0, false}, {19, 0, kObjRecord, 0, false}, {17, 1, kObjRecord, 0, true},
        {2, 1, kObjRecord, 0, true}, {2, 5, kObjNew, 0, true}, {4, 0, kObjPicture, 0, false},
        {4, 4, kObjPicture, 0, true}, {2, 0, kObjText, 1, false}, {5, 0, kObjText, 1, true},
        {21, 0, kObjPicture, 0, true}, {35, 0, kObjText, 1, false}, {25, 0, kObjRecord, 0, true},
        {kInMode, 0, kObjRecord, 0, false}, {kInMode, 0, kObjText, 1, true},
        {kNewLine, 0, kObjRecord, 0, true}, {kNewLine, 0, kObjText, 1, false},
        {-1, 0, kObjText, 0, false}, {kEditOps, 0, kObjText, 0, false}, {127, 0, kObjText, 0, false}};
    // clang-format on
    for (const auto& c : cases) {
        SetUp();
        cur().viewtype = c.view;
        cureditmask = editmask[c.view];
        cur().lnptr->object = c.object;
        full = c.full;
        const std::string what = std::to_string(c.code) + " in view " + std::to_string(c.view);
        EXPECT_EQ(dispatch(c.code), c.runs) << what;
        EXPECT_TRUE(c.runs || std::tuple(cur().lncount, mode, cur().edited) == std::tuple(1, 1, 0))
            << what;
    }
    // In view 3 the row has no handler: the code is allowed but does nothing.
    SetUp();
    cur().viewtype = 3;
    cureditmask = editmask[3];
    EXPECT_TRUE(dispatch(kNewLine) && cur().lncount == 1);
}

// Limits count keys of one code in a row, only when switched on; another key restarts the count.
TEST_F(EditLoop, RepeatLimitsApplyOnlyWhenSwitchedOn) {
    for (int i = 0; i < 30; ++i)
        EXPECT_TRUE(dispatch(kNewLine));
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

// GOODBYE asks about every changed core file; Return goes on, rubout keeps the editor running.
TEST_F(EditLoop, GoodbyeAsksAboutEveryChangedCoreFile) {
    core[3].edited = core[5].edited = 1;
    mode = 0;
    pushfn("\r\x7f");  // Return to the first question, rubout to the second
    const std::string all = shown(goodbye);
    EXPECT_EQ(std::tuple(overflg, mode, corenum), std::tuple(0, 0, 1)) << "the editor goes on";
    for (const char* n : {"3", "5"})
        EXPECT_NE(all.find(std::string("WARNING: corefile ") + n + " not saved. <del> aborts"),
                  std::string::npos);
    // Nothing changed: the loop ends at once and typing mode closes the command line. Every
    // question answered with Return ends the editor too.
    for (const int edited : {0, 1}) {
        SetUp();
        mode = 0;
        core[0].edited = core[19].edited = edited;
        goodbye();
        EXPECT_EQ(std::tuple(overflg, mode), std::tuple(1, 1)) << edited;
    }
}
