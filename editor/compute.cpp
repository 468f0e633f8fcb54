#include "compute.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

#include "build.hpp"
#include "float.hpp"
#include "globals.hpp"
#include "scrin.hpp"

namespace {

// Operation codes of the calculator keys.
constexpr int kStore = 42;
constexpr int kAdd = 43;
constexpr int kSubtract = 44;
constexpr int kMultiply = 45;
constexpr int kQuotient = 46;

constexpr int kShowFloat = 11;  // redraw code: the display step shows the floating result

double& reg() {
    return numstack[oldindex];
}

// Leaves the register on top of the stack for the display step to show.
void show_register() {
    fpreset();
    fpformat(reg());
    redisplay = kShowFloat;
}

// Combines b into the register by the key's code. A result beyond a double's range, or a
// quotient by zero, is an overflow and leaves the register as it was.
void combine(int code, double b) {
    double r = reg();
    switch (code) {
        case kStore:
            r = b;
            break;
        case kAdd:
            r += b;
            break;
        case kSubtract:
            r -= b;
            break;
        case kMultiply:
            r *= b;
            break;
        case kQuotient:
            if (b == 0.0) {
                fperror = kFpOverflow;
                return;
            }
            r /= b;
            break;
        default:
            return;
    }
    if (!std::isfinite(r)) {
        fperror = kFpOverflow;
        return;
    }
    reg() = r;
}

}  // namespace

double regvalue() {
    return reg();
}

void compute0() {
    const COREFILE& cf = cur();
    const LINE* l = cf.lnptr;
    std::string_view rest;
    if (l != cf.header && l->object != kObjNew && l->object != kObjPicture &&
        cf.curcol <= l->length) {
        rest = {reinterpret_cast<const char*>(textbase.data() + l->index + cf.curcol - 1),
                static_cast<std::size_t>(l->length - cf.curcol + 1)};
    }
    dijkstra(rest.data(), static_cast<int>(rest.size()));
    if (fperror == kFpFine) combine(type, numstack[ni]);
    show_register();
}

void reginc() {
    fperror = kFpFine;
    combine(kAdd, 1.0);
    show_register();
}

void regclear() {
    fperror = kFpFine;
    reg() = 0.0;
    show_register();
}

void regshow() {
    fperror = kFpFine;
    show_register();
    // Truncated toward zero, and held within an int so that a huge register cannot overflow it.
    const double t = std::trunc(reg());
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    if (loopdepth >= 0 && loopdepth < kLoopDepths) {
        vl_result[loopdepth] = static_cast<int>(std::clamp(t, lo, hi));
    }
}

void regdis() {
    const COREFILE& cf = cur();
    const std::string_view text = fpresult.view();
    const int view = cf.viewtype;
    if (view < 0 || view > 2) return;
    for (const char c : text) {
        holdch = c;
        if (view == 0) {
            bldtxt();
        } else {
            bldrec();
        }
    }
    // An echo shows one character: several typed at once need their line drawn.
    if (text.size() > 1 && redisplay == 4) redisplay = 5;
}
