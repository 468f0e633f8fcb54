// The expression evaluator: values, errors, stack limits and the register.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "compute.hpp"
#include "float.hpp"
#include "scrin.hpp"
#include "store_fixture.hpp"
#include "terminal.hpp"

namespace {

struct Eval {
    int err;
    double value;
    int used;
};

Eval eval(const std::string& s) {
    const int used = dijkstra(s.data(), static_cast<int>(s.size()));
    return {fperror, fperror == kFpFine ? numstack[ni] : 0.0, used};
}

std::string repeat(const std::string& s, int n) {
    return n == 0 ? "" : s + repeat(s, n - 1);
}

class EvalTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        reset_float();
        vl_result.fill(0);
        loopdepth = 0;
    }
};

TEST_F(EvalTest, ValuesFollowPrecedenceAndNumberReading) {
    // Arithmetic binds tighter than comparison, comparison than logic, & than !; '#' is
    // stepped over. Numbers take an apostrophe exponent; a mantissa of 0 gives 0; digits past the
    // ninth count only as scale; values are rounded to single precision.
    // clang-format off
    const std::pair<const char*, double> cases[] = {
        {"2*3+4", 10}, {"2+3*4", 14}, {"(2+3)*4", 20}, {"-2*3", -6}, {"2*-3", -6}, {"8/2/2", 2},
        {"10-4-3", 3}, {"--2", 2}, {"2-(-3)", 5}, {"+5", 5}, {"#7", 7}, {"3<4", 1}, {"4<3", 0},
        {"3<3", 0}, {"4>3", 1}, {"3>3", 0}, {"1=1.000000001", 1}, {"1=1.001", 0}, {"1&0", 0},
        {"2&3", 1}, {"0!1", 1}, {"0!0", 0}, {"-1!0", 0}, {"1+1=2&3>2", 1}, {"0&0!1", 1},
        {"2'3", 2000}, {"'3", 1000}, {".5", 0.5}, {"1.5'-2", 0.015f}, {"0'99", 0},
        {"12345678901", 12345678900.0f}, {"0.1", 0.1f}, {"((1+2)*(3-1))/-(2)", -3}};
    // clang-format on
    for (const auto& [text, want] : cases) {
        const Eval e = eval(text);
        EXPECT_EQ(std::tuple(e.err, e.value, ni, opindex),
                  std::tuple(kFpFine, want, oldindex + 1, 0))
            << text;
    }
    EXPECT_EQ(eval(std::string(20, '(') + "1" + std::string(20, ')')).value, 1);
    // A long flat chain is read left to right, so it never grows the stacks.
    EXPECT_EQ(eval("1" + repeat("+1", 200)).value, 201);
    // A blank or another character ends the expression; what was read so far is the value.
    const std::tuple<const char*, double, int> partial[] = {
        {"1 + 2", 1, 1}, {"  12+3;rest", 15, 6}, {"7abc", 7, 1}};
    for (const auto& [text, want, used] : partial) {
        const Eval e = eval(text);
        EXPECT_EQ(std::tuple(e.err, e.value, e.used), std::tuple(kFpFine, want, used)) << text;
    }
}

TEST_F(EvalTest, ErrorsResetTheStacks) {
    // Arithmetic traps are overflow errors. The stacks refuse depths beyond their size: 30
    // parentheses, or 30 numbers waiting for their operators in 1+(1+(1+...
    const std::string close(30, ')');
    // clang-format off
    const std::pair<std::string, int> cases[] = {
        {"(1+2", kFpSyntax}, {"1+2)", kFpSyntax}, {"", kFpSyntax}, {"   ", kFpSyntax},
        {"()", kFpSyntax}, {"3-", kFpSyntax}, {"*3", kFpSyntax}, {"3*/4", kFpSyntax},
        {"2(*3)", kFpSyntax}, {"2(3)", kFpSyntax}, {"(2)3", kFpSyntax}, {"1.2.3", kFpSyntax},
        {"(", kFpSyntax}, {")", kFpSyntax}, {std::string(30, '(') + "1" + close, kFpSyntax},
        {repeat("1+(", 30) + "1" + close, kFpSyntax}, {"1/0", kFpOverflow}, {"0/0", kFpOverflow},
        {"5/(2-2)", kFpOverflow}, {"1'39", kFpOverflow}, {"9'99999999", kFpOverflow},
        {"1'30" + repeat("*1'30", 10), kFpOverflow}};
    // clang-format on
    for (const auto& [bad, err] : cases)
        EXPECT_EQ((std::tuple{eval(bad).err, ni, opindex}), std::tuple(err, oldindex, 0)) << bad;
    EXPECT_EQ(eval("6/3").value, 2);  // usable again at once
    EXPECT_EQ((std::tuple{dijkstra(nullptr, 5), fperror}), std::tuple(0, kFpSyntax));
}

TEST_F(EvalTest, ShownTextHasEightDigitsAndAnApostropheExponent) {
    // clang-format off
    const std::pair<double, const char*> cases[] = {
        {1.5e10, "1.5'+10"}, {10, "10"}, {1.0 / 3.0, "0.33333333"}, {-2.5e-7, "-2.5'-07"},
        {-1.7976931348623157e308, "-1.7976931'+308"}};
    // clang-format on
    for (const auto& [v, text] : cases)
        EXPECT_STREQ(fpformat(v), text) << v;
    EXPECT_EQ(fpresult, "-1.7976931'+308");
}

TEST_F(EvalTest, EvaluateShowsTheValueOrTheError) {
    std::vector<std::string> cmds;
    set_command_capture(&cmds);
    // An error fails the command. Numbers are read to single precision, which 1.5e10 is not
    // exact in.
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"2*3+4", "$CL = 10", false},
        {"(1+2", "$meSyntax Error", true},
        {"1/0", "$meOverflow Error", true},
        {"1.5'10", "$CL = 1.5000001e+10", false}};
    for (const auto& [text, shown, fails] : cases) {
        cmds.clear();
        mathstring.assign(text);
        del = 0;
        evaluate();
        EXPECT_NE(std::find(cmds.begin(), cmds.end(), shown), cmds.end()) << text;
        EXPECT_EQ(std::tuple(del == 2, fperror, ni), std::tuple(fails, kFpFine, oldindex)) << text;
    }
    set_command_capture(nullptr);
}

}  // namespace
