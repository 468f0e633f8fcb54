// Command entry through the real key reader: keys pushed as a key string are read by the command
// loop exactly as typed ones; what is left of the keyboard answers Return.
#include <algorithm>
#include <climits>
#include <functional>
#include <string>
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
    struct Case {
        const char* what;
        std::string keys;
        const char* pstring;
        std::function<void()> check;
    };
    const std::string x48(48, 'x');
    // clang-format off
    const std::vector<Case> cases = {
        {"FE with a name takes lines 1 to 200000 and no record check", "fenotes.txt\r",
         "notes.txt|1|200000||", [] { EXPECT_EQ(curfile.view(), "notes.txt"); }},
        {"a star alone takes no further characters", "fe*x.txt\r", "*|1|200000||",
         [] { EXPECT_EQ(curfile.view(), "chapter.txt"); }},
        {"a star inside a name is ignored", "fea*b\r", "ab|1|200000||",
         [] { EXPECT_EQ(curfile.view(), "ab"); }},
        {"a bar in the last parameter is ignored", "po5|7|9\r", "5|79|",
         [] { EXPECT_EQ(param[2], 79); }},
        {"rubout after a bar returns to the previous parameter",
         std::string("ad3|") + kRubout + "4|2\r", "34|2|", [] { EXPECT_EQ(param[1], 34); }},
        {"a digit above the qualifier and a second digit are ignored", "fi8975|ab\r", "7|ab|",
         [] { EXPECT_EQ(scanunit, 7); EXPECT_EQ(scanpattern.view(), "ab"); }},
        {"keys the type does not accept are ignored", "ta4a-*.|\r", "4|",
         [] { EXPECT_EQ(tabs[5], 1); }},
        {"a minus counts only first", "po-3|-2-\r", "-3|-2|", [] { EXPECT_EQ(param[2], -2); }},
        {"a letter parameter takes one letter", "diFx\r", "F|", [] { EXPECT_EQ(param[1], 6); }},
        {"numbers too large for an int saturate", "ke99999999999999999|3\r", "99999999999999999|3|",
         [] { EXPECT_EQ(param[1], INT_MAX); }},
        {"characters beyond 48 are dropped", "na" + std::string(60, 'x') + "\r", nullptr,
         [&] { EXPECT_EQ(curfile.view(), x48); EXPECT_EQ(cur().filname.view(), x48); }},
        {"a function string is stored translated", "fu4|ab{M}\r", "4|ab{M}|",
         [] { EXPECT_EQ(fn[4].view(), "ab\r"); }}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reset_getparam();
        cur().filname.assign("chapter.txt");
        type(c.keys);
        if (c.pstring != nullptr) {
            EXPECT_EQ(pstring.view(), c.pstring);
        }
        c.check();
        EXPECT_EQ(mode, 1) << "the command line closes on a Return alone";
    }
}

TEST_F(EntryTest, ResultRegisterFollowsTheCommandUnlessItIsFlaggedToLeaveIt) {
    int& result = vl_result[0];
    type("ta4\r");
    EXPECT_EQ(result, 1);
    type("ke624|1\r");
    EXPECT_EQ(result, 0);
    expect_shown({"$meInvalid Key Assignment"});
    type("ta4\r");
    EXPECT_EQ(result, 1);

    // Rubout with nothing typed abandons: no operation, result 0.
    tabs.fill(0);
    type(std::string("ta") + kRubout + "ta8\r");
    EXPECT_EQ(result, 1);
    EXPECT_EQ(tabs[9], 1);
    tabs.fill(0);
    type(std::string("ta") + kRubout);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(tabs[9], 0);

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

    // The rest of the name and a blank are echoed; each parameter shows its type's prompt, a
    // row's prompt goes to the help line, and the mode's prompt comes back.
    type("ob1\r");
    expect_shown({"$CcO", "$CcJ", "$CcT", "$Cc ", "$mmDigit   ",
                  "$mh0:txt 1:rec/txt 2:rec/tmp 3:lin/txt 4:lin/gr 5:mat/txt 6:mat/gr 7:page",
                  "$mmTyping  "});
    EXPECT_EQ(cur().viewtype, 1);
    EXPECT_EQ(shadow_ptr, 0);

    type("fe");
    expect_shown({"$mmFilename"});
    type("po3|");
    expect_shown({"$mmInteger ", "$Cc|"});
    type(std::string("po3|") + kRubout);
    expect_shown({"$Cb"});

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

    // Several commands in one opening of the command line; GOODBYE closes it, and the keys
    // after it are not read by the command line.
    type("hy2\rju1\r");
    EXPECT_EQ(hyphlevel, 2);
    EXPECT_EQ(jmode, 1);
    tabs.fill(0);
    type("go\rta4\r");
    EXPECT_EQ(overflg, 1);
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(tabs[5], 0);
    EXPECT_GT(fnptr, 0);
}
