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

// Keys a number parameter does not take, letters among them, are ignored; a minus counts only
// first.
TEST_F(EntryTest, ANumberParameterIgnoresLettersAndTakesAMinusFirst) {
    reset_getparam();
    type("ta4a-*.|\r");
    EXPECT_EQ(std::tuple(pstring.view(), tabs[5]), std::tuple("4|", char{1}));
    reset_getparam();
    type("po-3|-2-\r");
    EXPECT_EQ(std::tuple(pstring.view(), param[2]), std::tuple("-3|-2|", -2));
}
