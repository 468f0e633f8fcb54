// The expression evaluator: examples, errors, number reading, stack limits, and a differential
// comparison against an independent recursive-descent evaluator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
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

double value_of(const std::string& s) {
    const Eval e = eval(s);
    EXPECT_EQ(e.err, kFpFine) << s;
    return e.value;
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

TEST_F(EvalTest, PrecedenceAssociativityAndUnaryMinus) {
    EXPECT_EQ(value_of("2*3+4"), 10);
    EXPECT_EQ(value_of("2+3*4"), 14);
    EXPECT_EQ(value_of("(2+3)*4"), 20);
    EXPECT_EQ(value_of("-2*3"), -6);
    EXPECT_EQ(value_of("2*-3"), -6);
    EXPECT_EQ(value_of("8/2/2"), 2);
    EXPECT_EQ(value_of("10-4-3"), 3);
    EXPECT_EQ(value_of("--2"), 2);
    EXPECT_EQ(value_of("2-(-3)"), 5);
    EXPECT_EQ(value_of("+5"), 5);
    EXPECT_EQ(value_of("#7"), 7);  // '#' is stepped over
    EXPECT_EQ(ni, oldindex + 1);
    EXPECT_EQ(opindex, 0);
}

TEST_F(EvalTest, ComparisonsAndLogic) {
    EXPECT_EQ(value_of("3<4"), 1);
    EXPECT_EQ(value_of("4<3"), 0);
    EXPECT_EQ(value_of("4>3"), 1);
    EXPECT_EQ(value_of("1=1.000000001"), 1);
    EXPECT_EQ(value_of("1=1.001"), 0);
    EXPECT_EQ(value_of("1&0"), 0);
    EXPECT_EQ(value_of("2&3"), 1);
    EXPECT_EQ(value_of("0!1"), 1);
    EXPECT_EQ(value_of("-1!0"), 0);
    EXPECT_EQ(value_of("1+1=2&3>2"), 1);  // arithmetic, then comparison, then logic
    EXPECT_EQ(value_of("0&0!1"), 1);      // & binds tighter than !
}

TEST_F(EvalTest, NumberReading) {
    EXPECT_EQ(value_of("2'3"), 2000);
    EXPECT_EQ(value_of("'3"), 1000);
    EXPECT_EQ(value_of(".5"), 0.5);
    EXPECT_EQ(value_of("1.5'-2"), 0.015f);
    EXPECT_EQ(value_of("0'99"), 0);  // a mantissa of 0 gives 0
    // Digits past the ninth count only as scale; the value is rounded to single precision.
    EXPECT_EQ(value_of("12345678901"), static_cast<double>(12345678900.0f));
    EXPECT_EQ(value_of("0.1"), static_cast<double>(0.1f));
    // A blank or another character ends the expression; what was read so far is the value.
    Eval e = eval("1 + 2");
    EXPECT_EQ(e.err, kFpFine);
    EXPECT_EQ(e.value, 1);
    EXPECT_EQ(e.used, 1);
    e = eval("  12+3;rest");
    EXPECT_EQ(e.value, 15);
    EXPECT_EQ(e.used, 6);
    EXPECT_EQ(value_of("7abc"), 7);
}

TEST_F(EvalTest, SyntaxErrorsResetTheStacks) {
    for (const char* bad : {"(1+2", "1+2)", "", "   ", "()", "3-", "*3", "3*/4", "2(*3)", "2(3)",
                            "(2)3", "1.2.3", "(", ")", "1 2"}) {
        if (std::string(bad) == "1 2") continue;  // the blank ends it: 1, checked below
        const Eval e = eval(bad);
        EXPECT_EQ(e.err, kFpSyntax) << '"' << bad << '"';
        EXPECT_EQ(ni, oldindex) << bad;
        EXPECT_EQ(opindex, 0) << bad;
    }
    EXPECT_EQ(eval("1 2").err, kFpFine);
    EXPECT_EQ(dijkstra(nullptr, 5), 0);
    EXPECT_EQ(fperror, kFpSyntax);
}

TEST_F(EvalTest, ArithmeticTrapsAreOverflowErrors) {
    for (const char* bad :
         {"1/0", "5/(2-2)", "1'30*1'30*1'30*1'30*1'30*1'30*1'30*1'30*1'30*1'30*1'30", "1'39",
          "9'99999999"}) {
        const Eval e = eval(bad);
        EXPECT_EQ(e.err, kFpOverflow) << bad;
        EXPECT_EQ(ni, oldindex) << bad;
    }
    // The evaluator is usable again at once.
    EXPECT_EQ(value_of("6/3"), 2);
}

TEST_F(EvalTest, StacksRefuseDepthsBeyondTheirSize) {
    const std::string deep_ok = std::string(20, '(') + "1" + std::string(20, ')');
    EXPECT_EQ(value_of(deep_ok), 1);
    const std::string too_deep = std::string(30, '(') + "1" + std::string(30, ')');
    EXPECT_EQ(eval(too_deep).err, kFpSyntax);
    // 30 numbers waiting for their operators: 1+(1+(1+...
    std::string chain;
    for (int i = 0; i < 30; ++i)
        chain += "1+(";
    chain += "1" + std::string(30, ')');
    EXPECT_EQ(eval(chain).err, kFpSyntax);
    std::string flat;
    for (int i = 0; i < 200; ++i)
        flat += "1+";
    flat += "1";
    EXPECT_EQ(value_of(flat), 201);  // left to right, the stacks never grow
}

TEST_F(EvalTest, ShownTextHasEightDigitsAndAnApostropheExponent) {
    EXPECT_STREQ(fpformat(1.5e10), "1.5'+10");
    EXPECT_STREQ(fpformat(10), "10");
    EXPECT_STREQ(fpformat(1.0 / 3.0), "0.33333333");
    EXPECT_STREQ(fpformat(-2.5e-7), "-2.5'-07");
    EXPECT_EQ(fpresult, "-2.5'-07");
    EXPECT_STREQ(fpformat(-1.7976931348623157e308), "-1.7976931'+308");
}

TEST_F(EvalTest, RegisterOperations) {
    addline("6*7");
    cur().curcol = 1;
    type = 42;
    compute0();
    EXPECT_EQ(regvalue(), 42);
    EXPECT_EQ(redisplay, 11);
    EXPECT_EQ(fpresult, "42");
    EXPECT_EQ(ni, oldindex);  // the register is what the display step shows
    cur().curcol = 3;         // "7"
    type = 43;
    compute0();
    EXPECT_EQ(regvalue(), 49);
    type = 44;
    compute0();
    EXPECT_EQ(regvalue(), 42);
    type = 45;
    compute0();
    EXPECT_EQ(regvalue(), 294);
    type = 46;
    compute0();
    EXPECT_EQ(regvalue(), 42);
    reginc();
    EXPECT_EQ(regvalue(), 43);
    regshow();
    EXPECT_EQ(vl_result[0], 43);
    // A failed evaluation leaves the register alone and reports the error.
    cur().curcol = 2;  // "*7"
    type = 42;
    compute0();
    EXPECT_EQ(fperror, kFpSyntax);
    EXPECT_EQ(regvalue(), 43);
    // A quotient by zero is skipped.
    addline("0");
    cur().curcol = 1;
    type = 46;
    compute0();
    EXPECT_EQ(fperror, kFpOverflow);
    EXPECT_EQ(regvalue(), 43);
    // A cursor past the line's end evaluates nothing.
    cur().curcol = 5;
    type = 42;
    compute0();
    EXPECT_EQ(fperror, kFpSyntax);
    regclear();
    EXPECT_EQ(regvalue(), 0);
    EXPECT_EQ(fperror, kFpFine);
    // regshow truncates toward zero and keeps huge values within an int.
    addline("-7.9");
    cur().curcol = 1;
    type = 42;
    compute0();
    regshow();
    EXPECT_EQ(vl_result[0], -7);
    addline("1'30");
    cur().curcol = 1;
    compute0();
    regshow();
    EXPECT_EQ(vl_result[0], 2147483647);
}

// ------------------------------------------------------------------------------------------
// An independent evaluator: recursive descent over long double, for blank-free arithmetic.
// ------------------------------------------------------------------------------------------
class Reference {
  public:
    enum Outcome { kOk, kSyntax, kZeroDivide };
    explicit Reference(const std::string& s) : s_(s) {}

    Outcome run(long double& out) {
        zero_ = false;
        std::optional<long double> v = expr();
        if (!v || pos_ != s_.size()) return kSyntax;
        if (zero_) return kZeroDivide;
        out = *v;
        return kOk;
    }
    long double largest() const { return largest_; }

  private:
    long double note(long double v) {
        largest_ = std::max(largest_, std::fabs(v));
        return v;
    }
    std::optional<long double> expr() {
        auto a = term();
        while (a && pos_ < s_.size() && (s_[pos_] == '+' || s_[pos_] == '-')) {
            const char op = s_[pos_++];
            auto b = term();
            if (!b) return std::nullopt;
            a = note(op == '+' ? *a + *b : *a - *b);
        }
        return a;
    }
    std::optional<long double> term() {
        auto a = factor();
        while (a && pos_ < s_.size() && (s_[pos_] == '*' || s_[pos_] == '/')) {
            const char op = s_[pos_++];
            auto b = factor();
            if (!b) return std::nullopt;
            if (op == '/' && *b == 0) {
                zero_ = true;
                a = 0;
            } else {
                a = note(op == '*' ? *a * *b : *a / *b);
            }
        }
        return a;
    }
    std::optional<long double> factor() {
        if (pos_ >= s_.size()) return std::nullopt;
        const char c = s_[pos_];
        if (c == '-' || c == '+') {  // unary signs
            ++pos_;
            auto v = factor();
            if (!v) return std::nullopt;
            return c == '-' ? -*v : *v;
        }
        if (c == '(') {
            ++pos_;
            auto v = expr();
            if (!v || pos_ >= s_.size() || s_[pos_] != ')') return std::nullopt;
            ++pos_;
            return v;
        }
        // digits, optionally a point and more digits; a lone point reads as 0
        std::size_t start = pos_;
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_])))
            ++pos_;
        if (pos_ < s_.size() && s_[pos_] == '.') {
            ++pos_;
            while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_])))
                ++pos_;
        }
        if (pos_ == start) return std::nullopt;
        const std::string num = s_.substr(start, pos_ - start);
        const long double v = num == "." ? 0.0L : std::strtold(num.c_str(), nullptr);
        return note(static_cast<long double>(static_cast<float>(v)));
    }

    std::string s_;
    std::size_t pos_ = 0;
    bool zero_ = false;
    long double largest_ = 1;
};

std::string random_number(std::mt19937& rng) {
    std::uniform_int_distribution<int> kind(0, 3);
    std::uniform_int_distribution<int> digits(1, 5);
    std::uniform_int_distribution<int> digit(0, 9);
    std::string s;
    const int k = kind(rng);
    const int n = digits(rng);
    if (k != 3) {
        for (int i = 0; i < n; ++i)
            s += static_cast<char>('0' + digit(rng));
    }
    if (k >= 2) {
        s += '.';
        for (int i = 0; i < n; ++i)
            s += static_cast<char>('0' + digit(rng));
    }
    return s;
}

std::string random_expr(std::mt19937& rng, int depth) {
    std::uniform_int_distribution<int> pick(0, 9);
    const int p = pick(rng);
    if (depth <= 0 || p < 3) return random_number(rng);
    if (p == 3) return "-" + random_expr(rng, depth - 1);
    if (p == 4) return "(" + random_expr(rng, depth - 1) + ")";
    static const char ops[] = "+-*/";
    return random_expr(rng, depth - 1) + ops[pick(rng) % 4] + random_expr(rng, depth - 1);
}

// Breaks an expression the way typing slips do: a character dropped, doubled or inserted.
std::string mutate(std::string s, std::mt19937& rng) {
    static const char alphabet[] = "0123456789.+-*/()";
    std::uniform_int_distribution<int> how(0, 2);
    std::uniform_int_distribution<std::size_t> where(0, s.size());
    std::uniform_int_distribution<int> ch(0, 16);
    const std::size_t at = where(rng);
    switch (how(rng)) {
        case 0:
            if (at < s.size()) s.erase(at, 1);
            break;
        case 1:
            if (at < s.size()) s.insert(at, 1, s[at]);
            break;
        default:
            s.insert(at, 1, alphabet[ch(rng)]);
            break;
    }
    return s;
}

// Expressions whose stacks could pass the evaluator's depth are left out of the comparison.
bool shallow(const std::string& s) {
    int ops = 0;
    int nums = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (std::string_view("+-*/()").find(s[i]) != std::string_view::npos) ++ops;
        const bool numch = std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.';
        if (numch &&
            (i == 0 || !(std::isdigit(static_cast<unsigned char>(s[i - 1])) || s[i - 1] == '.'))) {
            ++nums;
        }
    }
    return ops < 22 && nums < 22;
}

TEST_F(EvalTest, AgreesWithAnIndependentEvaluator) {
    std::mt19937 rng(20261206);
    int compared = 0;
    int syntax = 0;
    int zero = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string s = random_expr(rng, 4);
        if (i % 3 == 0) s = mutate(s, rng);
        if (s.empty() || !shallow(s)) continue;
        Reference ref(s);
        long double want = 0;
        const Reference::Outcome outcome = ref.run(want);
        const Eval got = eval(s);
        switch (outcome) {
            case Reference::kOk: {
                ASSERT_EQ(got.err, kFpFine) << s;
                const long double tol = 1e-6L * std::max<long double>(1, ref.largest());
                ASSERT_LE(std::fabs(static_cast<long double>(got.value) - want), tol) << s;
                ASSERT_EQ(got.used, static_cast<int>(s.size())) << s;
                ++compared;
                break;
            }
            case Reference::kSyntax:
                // A quotient by zero met before the faulty spot is reported first.
                if (got.err == kFpOverflow) {
                    ASSERT_NE(s.find('/'), std::string::npos) << s;
                } else {
                    ASSERT_EQ(got.err, kFpSyntax) << s;
                }
                ++syntax;
                break;
            case Reference::kZeroDivide:
                ASSERT_EQ(got.err, kFpOverflow) << s;
                ++zero;
                break;
        }
    }
    // The generator must really exercise all three outcomes.
    EXPECT_GT(compared, 5000);
    EXPECT_GT(syntax, 1000);
    EXPECT_GT(zero, 10);
}

}  // namespace

namespace {

bool has(const std::vector<std::string>& cmds, const std::string& want) {
    return std::find(cmds.begin(), cmds.end(), want) != cmds.end();
}

TEST_F(EvalTest, EvaluateShowsTheValueOrTheError) {
    std::vector<std::string> cmds;
    set_command_capture(&cmds);
    mathstring.assign("2*3+4");
    del = 0;
    evaluate();
    EXPECT_TRUE(has(cmds, "$CL = 10"));
    EXPECT_NE(del, 2);
    EXPECT_EQ(ni, oldindex);
    cmds.clear();
    mathstring.assign("(1+2");
    evaluate();
    EXPECT_TRUE(has(cmds, "$meSyntax Error"));
    EXPECT_EQ(del, 2);  // the command fails
    cmds.clear();
    mathstring.assign("1/0");
    evaluate();
    EXPECT_TRUE(has(cmds, "$meOverflow Error"));
    EXPECT_EQ(fperror, kFpFine);
    cmds.clear();
    // Numbers are read to single precision, which 1.5e10 is not exact in.
    mathstring.assign("1.5'10");
    evaluate();
    EXPECT_TRUE(has(cmds, "$CL = 1.5000001e+10"));
    set_command_capture(nullptr);
}

}  // namespace
