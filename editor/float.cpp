#include "float.hpp"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "scrout.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

std::array<double, kStackSize> numstack{};
int ni = 1;
const int oldindex = 1;
std::array<char, kStackSize> opstack{};
int opindex = 0;
int fperror = kFpFine;
int fpnumused = 0;
double fp_num = 0.0;
FixStr<19> fpresult;
Name mathstring;

namespace {

// Character classes. Classes 11 (unary minus) and 17 (unary plus) are not in the table: a sign
// becomes one of them where an operand is expected.
enum Cls : int {
    kDigit = 0,
    kBlank = 1,
    kPoint = 2,
    kExpMark = 3,
    kPlus = 4,
    kMinus = 5,
    kEnd = 6,
    kTimes = 7,
    kQuot = 8,
    kOpen = 9,
    kClose = 10,
    kNeg = 11,
    kLess = 12,
    kEqual = 13,
    kGreater = 14,
    kAnd = 15,
    kOr = 16,
    kUnaryPlus = 17,
    kSkip = 18,
};

// Class of each character from blank (32) to '>' (62).
constexpr std::array<char, 31> typex = {
    kBlank,                                                                            // ' '
    kOr,                                                                               // !
    kEnd,                                                                              // "
    kSkip,                                                                             // #
    kEnd,                                                                              // $
    kEnd,                                                                              // %
    kAnd,                                                                              // &
    kExpMark,                                                                          // '
    kOpen,                                                                             // (
    kClose,                                                                            // )
    kTimes,                                                                            // *
    kPlus,                                                                             // +
    kEnd,                                                                              // ,
    kMinus,                                                                            // -
    kPoint,                                                                            // .
    kQuot,                                                                             // /
    kDigit,   kDigit, kDigit, kDigit, kDigit, kDigit, kDigit, kDigit, kDigit, kDigit,  // 0-9
    kEnd,                                                                              // :
    kEnd,                                                                              // ;
    kLess,                                                                             // <
    kEqual,                                                                            // =
    kGreater,                                                                          // >
};

// Precedence of an incoming operator and of one on the stack, by class minus 4 (classes 4 to 16).
// The entries for the end (6) and ')' (10) on the stack are never consulted: neither is pushed.
constexpr std::array<int, 13> iprior = {5, 5, 0, 6, 6, 8, 1, 7, 4, 4, 4, 3, 2};
constexpr std::array<int, 13> sprior = {5, 5, 0, 6, 6, 0, 0, 6, 4, 4, 4, 3, 2};

int prio(const std::array<int, 13>& table, int cls) {
    const int i = cls - kPlus;
    return (i >= 0 && i < static_cast<int>(table.size())) ? table[i] : 0;
}

// The number reader's states: 1 start, 2 after a sign, 3 integer digits, 4 after the point,
// 5 fraction digits, 6 after the exponent mark, 7 exponent sign, 0 exponent digits.
enum FlAct : char {
    kStop,      // the number ends here
    kStay,      // skip the character
    kInt,       // to 3, add a digit
    kAddDigit,  // add a digit
    kFrac,      // to 5, add a fraction digit
    kAddFrac,   // add a fraction digit
    kExp,       // to 0, add an exponent digit
    kAddExp,    // add an exponent digit
    kToPoint,   // to 4
    kMarkOne,   // mantissa 1, to 6
    kToMark,    // to 6
    kSign,      // to 2
    kNegSign,   // to 2, negative
    kExpSign,   // to 7
    kExpNeg,    // to 7, negative exponent
};

// fltable[class][state], classes 0 to 6: digit, blank, '.', '\'', '+', '-', other.
constexpr std::array<std::array<FlAct, 8>, 7> fltable = {{
    //  state 0   1         2         3          4        5         6         7
    {{kAddExp, kInt, kInt, kAddDigit, kFrac, kAddFrac, kExp, kExp}},       // digit
    {{kStop, kStay, kStay, kStop, kStop, kStop, kStop, kStop}},            // blank
    {{kStop, kToPoint, kToPoint, kToPoint, kStop, kStop, kStop, kStop}},   // .
    {{kStop, kMarkOne, kMarkOne, kToMark, kStop, kToMark, kStop, kStop}},  // '
    {{kStop, kSign, kStop, kStop, kStop, kStop, kExpSign, kStop}},         // +
    {{kStop, kNegSign, kStop, kStop, kStop, kStop, kExpNeg, kStop}},       // -
    {{kStop, kStop, kStop, kStop, kStop, kStop, kStop, kStop}},            // other
}};

constexpr long kMantissaFull =
    99'999'999;                        // a digit is appended while the mantissa is at most this
constexpr int kExponentCap = 100'000;  // far past any value a double can hold

// The expression being read.
const char* expstart = nullptr;
const char* expptr = nullptr;
int explen = 0;
int unary = 1;

int classify(const char* p) {
    if (p >= expstart + explen) return kEnd;
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c < ' ' || c > '>') return kEnd;
    return typex[c - ' '];
}

void reset_stacks() {
    ni = oldindex;
    opindex = 0;
}

bool push_number(double v) {
    if (ni + 1 >= kStackSize) {
        fperror = kFpSyntax;
        return false;
    }
    numstack[++ni] = v;
    return true;
}

bool push_operator(int cls) {
    if (opindex + 1 >= kStackSize) {
        fperror = kFpSyntax;
        return false;
    }
    opstack[++opindex] = static_cast<char>(cls);
    return true;
}

// Reads a number at expptr and leaves expptr at the character that ended it.
double flread() {
    int state = 1;
    long mantissa = 0;
    int scale = 0;
    int exponent = 0;
    bool negative = false;
    bool expnegative = false;
    auto add_digit = [&](int d) {
        if (mantissa <= kMantissaFull) {
            mantissa = mantissa * 10 + d;
        } else {
            scale += 1;
        }
    };
    auto add_fraction = [&](int d) {
        if (mantissa <= kMantissaFull) {
            mantissa = mantissa * 10 + d;
            scale -= 1;
        }
    };
    auto add_exponent = [&](int d) {
        if (exponent < kExponentCap) exponent = exponent * 10 + d;
    };
    for (bool more = true; more;) {
        const int cls = std::min(classify(expptr), static_cast<int>(kEnd));
        const int d = cls == kDigit ? *expptr - '0' : 0;
        switch (fltable[cls][state]) {
            case kStop:
                more = false;
                continue;
            case kStay:
                break;
            case kInt:
                state = 3;
                add_digit(d);
                break;
            case kAddDigit:
                add_digit(d);
                break;
            case kFrac:
                state = 5;
                add_fraction(d);
                break;
            case kAddFrac:
                add_fraction(d);
                break;
            case kExp:
                state = 0;
                add_exponent(d);
                break;
            case kAddExp:
                add_exponent(d);
                break;
            case kToPoint:
                state = 4;
                break;
            case kMarkOne:
                mantissa = 1;
                state = 6;
                break;
            case kToMark:
                state = 6;
                break;
            case kSign:
                state = 2;
                break;
            case kNegSign:
                state = 2;
                negative = true;
                break;
            case kExpSign:
                state = 7;
                break;
            case kExpNeg:
                state = 7;
                expnegative = true;
                break;
        }
        ++expptr;
    }
    if (mantissa == 0) return 0.0;
    const int power = (expnegative ? -exponent : exponent) + scale;
    double v = static_cast<double>(mantissa);
    // Step by step, as the design reads a number; stop once the value can no longer change.
    for (int i = 0; i < power && std::isfinite(v); ++i)
        v *= 10.0;
    for (int i = 0; i > power && v != 0.0; --i)
        v /= 10.0;
    return negative ? -v : v;
}

// Rounds a read number to single precision; a number beyond its range is an overflow.
bool single(double v, double& out) {
    if (!std::isfinite(v) || std::fabs(v) > FLT_MAX) {
        fperror = kFpOverflow;
        return false;
    }
    out = static_cast<double>(static_cast<float>(v));
    return true;
}

// Applies the operator on top of the stack. Traps are caught by checking the operands and the
// result instead of by a signal: a division by zero or a value beyond a double's range is an
// overflow, and the step is abandoned with the stacks as they were.
void apply_top() {
    const int op = opstack[opindex];
    if (op == kOpen) {
        fperror = kFpSyntax;
        return;
    }
    const int operands = op == kNeg ? 1 : 2;
    if (ni - oldindex < operands) {
        fperror = kFpSyntax;
        return;
    }
    const double b = numstack[ni];
    const double a = operands == 2 ? numstack[ni - 1] : 0.0;
    double r = 0.0;
    switch (op) {
        case kPlus:
            r = a + b;
            break;
        case kMinus:
            r = a - b;
            break;
        case kTimes:
            r = a * b;
            break;
        case kQuot:
            if (b == 0.0) {
                fperror = kFpOverflow;
                return;
            }
            r = a / b;
            break;
        case kNeg:
            r = -b;
            break;
        case kLess:
            r = a < b ? 1.0 : 0.0;
            break;
        case kGreater:
            r = a > b ? 1.0 : 0.0;
            break;
        case kEqual:
            r = std::fabs(a - b) <= 1e-8 * std::max(std::fabs(a), std::fabs(b)) ? 1.0 : 0.0;
            break;
        case kAnd:
            r = a * b >= 1e-12 ? 1.0 : 0.0;
            break;
        case kOr:
            r = a + b >= 1e-12 ? 1.0 : 0.0;
            break;
        default:
            fperror = kFpSyntax;
            return;
    }
    if (!std::isfinite(r)) {
        fperror = kFpOverflow;
        return;
    }
    opindex -= 1;
    ni -= operands - 1;
    numstack[ni] = r;
}

// Applies stacked operators while the incoming one does not bind tighter.
void unstack(int incoming) {
    while (opindex > 0 && fperror == kFpFine &&
           prio(iprior, incoming) <= prio(sprior, opstack[opindex])) {
        apply_top();
    }
}

bool syntax_error() {
    fperror = kFpSyntax;
    return true;
}

// One step of the evaluation at expptr. Returns false when the expression has ended.
bool step() {
    int cls = classify(expptr);
    if ((cls == kPlus || cls == kMinus) && unary == 1) cls = cls == kPlus ? kUnaryPlus : kNeg;
    switch (cls) {
        case kDigit:
        case kPoint:
        case kExpMark: {
            if (unary == 0) return syntax_error();  // two values with no operator between
            double v = 0.0;
            if (single(flread(), v) && push_number(v)) unary = 0;
            return true;  // the number's end is classified next
        }
        case kBlank:
        case kEnd:
            unstack(kEnd);
            return false;
        case kClose:
            if (unary == 1) return syntax_error();  // "()" or an operator before ')'
            unstack(kClose);
            if (fperror != kFpFine) return true;
            if (opindex == 0 || opstack[opindex] != kOpen) {
                fperror = kFpSyntax;
                return true;
            }
            opindex -= 1;
            unary = 0;
            break;
        case kUnaryPlus:
        case kSkip:
            break;
        default:  // binary operators, '(' and unary minus
            // An operator needs a value on its left, and '(' must not follow a value: the
            // stacks alone would accept 2(*3) as 6.
            if ((cls == kOpen || cls == kNeg) != (unary == 1)) return syntax_error();
            unstack(cls);
            if (fperror == kFpFine && push_operator(cls)) unary = 1;
            break;
    }
    ++expptr;
    return true;
}

}  // namespace

int dijkstra(const char* eptr, int elen) {
    fperror = kFpFine;
    unary = 1;
    reset_stacks();
    expstart = eptr;
    explen = eptr == nullptr ? 0 : std::max(elen, 0);
    expptr = expstart;
    while (expptr < expstart + explen && *expptr == ' ')
        ++expptr;
    if (expptr >= expstart + explen) {
        fperror = kFpSyntax;
    } else {
        while (fperror == kFpFine && step()) {
        }
        if (fperror == kFpFine && (ni != oldindex + 1 || opindex != 0)) fperror = kFpSyntax;
    }
    fpnumused = static_cast<int>(expptr - expstart);
    if (fperror != kFpFine) {
        reset_stacks();
    } else {
        fp_num = numstack[ni];
    }
    return fpnumused;
}

void fpreset() {
    reset_stacks();
}

const char* fpformat(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.8g", v);
    for (char* p = buf; *p != '\0'; ++p) {
        if (*p == 'e') *p = '\'';
    }
    fpresult.assign_cut(buf);
    return fpresult.c_str();
}

void evaluate() {
    dijkstra(mathstring.c_str(), static_cast<int>(mathstring.size()));
    if (fperror != kFpFine) {
        diserr(fperror == kFpSyntax ? "Syntax Error" : "Overflow Error");
        // A failed evaluation is the command's failure, so a procedure can test it.
        del = 2;
    } else {
        char buf[48];
        std::snprintf(buf, sizeof buf, "$CL = %.8g", numstack[ni]);
        pltransmit(buf);
        reset_stacks();
        gcr();
    }
    fperror = kFpFine;
    reset_stacks();
}

void reset_float() {
    numstack.fill(0.0);
    opstack.fill(0);
    reset_stacks();
    fperror = kFpFine;
    fpnumused = 0;
    fp_num = 0.0;
    fpresult.clear();
    mathstring.clear();
    expstart = expptr = nullptr;
    explen = 0;
    unary = 1;
}
