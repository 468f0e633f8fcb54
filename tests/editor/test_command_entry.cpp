// Command entry through the real key reader: keys pushed as a key string are read by the command
// loop exactly as typed ones; what is left of the keyboard answers Return.
#include <algorithm>
#include <climits>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "command_fixture.hpp"
#include "scan.hpp"
#include "tabs.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

namespace {

class EntryTest : public CommandTest {
  protected:
    // Opens the command line on `keys`; the loop ends at the first Return typed alone (the
    // keyboard gives one once the keys run out).
    void type(const std::string& keys) {
        held = keys;
        sent.clear();
        set_command_capture(&sent);
        pushfn(held.c_str());
        prcmnd();
        set_command_capture(nullptr);
    }
    // Every one of `cmds` went to the screen.
    void expect_shown(std::initializer_list<const char*> cmds) const {
        for (const char* c : cmds)
            EXPECT_NE(std::find(sent.begin(), sent.end(), c), sent.end()) << c;
    }
    std::string held;
    std::vector<std::string> sent;
};

constexpr char kRubout = '\x08';

}  // namespace

TEST_F(EntryTest, TypedParametersBecomeTextDefaultsAndNumbers) {
    // What is typed, the parameter string, and a check of where it went.
    const std::string x48(48, 'x');
    // clang-format off
    const std::vector<std::tuple<std::string, const char*, std::function<void()>>> cases = {
        // FETCH with a name takes lines 1 to 200000 and no record check.
        {"fenotes.txt\r", "notes.txt|1|200000||", [] { EXPECT_EQ(curfile.view(), "notes.txt"); }},
        // A star alone takes no further characters; a star inside a name is ignored.
        {"fe*x.txt\r", "*|1|200000||", [] { EXPECT_EQ(curfile.view(), "chapter.txt"); }},
        {"fea*b\r", "ab|1|200000||", [] { EXPECT_EQ(curfile.view(), "ab"); }},
        // A bar in the last parameter is ignored; rubout after a bar goes back a parameter.
        {"po5|7|9\r", "5|79|", [] { EXPECT_EQ(param[2], 79); }},
        {std::string("ad3|") + kRubout + "4|2\r", "34|2|", [] { EXPECT_EQ(param[1], 34); }},
        // A digit above the qualifier and a second digit are ignored.
        {"fi8975|ab\r", "7|ab|",
         [] { EXPECT_EQ(std::tuple(scanunit, scanpattern.view()), std::tuple(7, "ab")); }},
        // Keys the type does not accept are ignored; a minus counts only first.
        {"ta4a-*.|\r", "4|", [] { EXPECT_EQ(tabs[5], 1); }},
        {"po-3|-2-\r", "-3|-2|", [] { EXPECT_EQ(param[2], -2); }},
        // A letter parameter takes one letter; numbers too large for an int saturate.
        {"diFx\r", "F|", [] { EXPECT_EQ(param[1], 6); }},
        {"ke99999999999999999|3\r", "99999999999999999|3|", [] { EXPECT_EQ(param[1], INT_MAX); }},
        // Characters beyond 48 are dropped; a function string is stored translated.
        {"na" + std::string(60, 'x') + "\r", nullptr,
         [&] { EXPECT_EQ(std::tuple(curfile.view(), cur().filname.view()), std::tuple(x48, x48)); }},
        {"fu4|ab{M}\r", "4|ab{M}|", [] { EXPECT_EQ(fn[4].view(), "ab\r"); }}};
    // clang-format on
    for (const auto& [keys, typed, check] : cases) {
        SCOPED_TRACE(keys);
        reset_getparam();
        cur().filname.assign("chapter.txt");
        type(keys);
        EXPECT_EQ(typed ? pstring.view() : "", typed ? typed : "");
        check();
        EXPECT_EQ(mode, 1) << "the command line closes on a Return alone";
    }
}

TEST_F(EntryTest, ResultRegisterFollowsTheCommandUnlessItIsFlaggedToLeaveIt) {
    int& result = vl_result[0];
    for (const auto& [keys, answer] : {std::pair("ta4\r", 1), {"ke624|1\r", 0}}) {
        type(keys);
        EXPECT_EQ(result, answer) << keys;
    }
    expect_shown({"$meInvalid Key Assignment"});

    // Rubout with nothing typed abandons: no operation, result 0.
    for (const auto& [after, answer] : {std::pair("ta8\r", 1), {"", 0}}) {
        tabs.fill(0);
        type(std::string("ta") + kRubout + after);
        EXPECT_EQ(std::tuple(result, tabs[9]), std::tuple(answer, answer)) << after;
    }

    // PROCEDURE and ASK leave the register alone (even when refused); ASK sets it itself.
    result = 5;
    type("prno-such-procedure\r");
    EXPECT_EQ(result, 5);
    expect_shown({"$meFile not found (or no read permission)"});
    lines(3);
    type("as16\r");
    EXPECT_EQ(result, 3);
}

TEST_F(EntryTest, NamesPromptsAndMessagesGoWhereTheUserLooks) {
    // A rubout in the name erases its first letter; an unknown name beeps and says so.
    type(std::string("x") + kRubout + "zz\r");
    expect_shown({"$b", "$meInvalid Command Request", "$mmCommand ", "$Cx"});

    // A parameter shows its type's prompt; rubout after a bar goes back on the screen too.
    type(std::string("po3|") + kRubout);
    expect_shown({"$mmInteger ", "$Cc|", "$Cb"});
    // An edited core file is warned about before a command that replaces it, and CLEAR takes the
    // name off the status line.
    cur().filname.assign("chapter.txt");
    cur().edited = 1;
    type("cl\r");
    expect_shown({"$mhWarning: corefile not saved", "$mn"});

    // A full store refuses the commands that add text.
    full = 1;
    type("so\r");
    expect_shown({"$mefiles full; command ignored"});
    full = 0;
    // GOODBYE closes the command line, and the keys after it are not read by the command line.
    tabs.fill(0);
    type("go\rta4\r");
    EXPECT_EQ(std::tuple(overflg, mode, tabs[5]), std::tuple(1, 1, 0));
    EXPECT_GT(fnptr, 0);
}
