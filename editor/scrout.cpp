#include "scrout.hpp"

#include <algorithm>
#include <string>

#include "float.hpp"
#include "globals.hpp"
#include "scrin.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

int bhelp = 0;

namespace {
// True while an error message waits for its answer. The keys that answer it may come from a
// procedure and raise errors of their own; those are shown but do not wait in turn, or a looping
// procedure would nest waits without end.
bool answering = false;
}  // namespace

void reset_scrout() {
    bhelp = 0;
    answering = false;
}

void putstring(std::string_view text, char window) {
    std::string cmd = "$m";
    cmd.push_back(window);
    cmd.append(text);
    pltransmit(cmd);
}

int diserr(std::string_view errmsg) {
    putstring(errmsg, 'e');
    if (answering) {
        del = 2;  // the operation that met it is abandoned
        return del;
    }
    answering = true;
    pltransmit("$e+");
    gcr();
    answering = false;
    pltransmit("$e-");
    pltransmit("$mh");
    bhelp = 0;
    return del;
}

void progress(std::string_view msg) {
    putstring(msg, 'h');
    bhelp = 1;
}

void clearhelp() {
    if (bhelp == 0) return;
    pltransmit("$mh");
    bhelp = 0;
}

void putch(int letter) {
    std::string cmd = "$c";
    append_screen_char(cmd, outtran[letter & 0xFF]);
    pltransmit(cmd);
}

void putstg(long index, int count, int linenumber) {
    std::string cmd = "$TL" + std::to_string(linenumber) + ",";
    const long from = std::clamp(index, 0L, kTextSize);
    const long to = std::clamp(index + std::max(count, 0), from, kTextSize);
    for (long i = from; i < to; ++i)
        append_screen_char(cmd, outtran[textbase[i]]);
    pltransmit(cmd);
}

void putresult() {
    const int depth = std::clamp(loopdepth, 0, kLoopDepths - 1);
    putstring("RES " + std::to_string(vl_result[static_cast<std::size_t>(depth)]), 'i');
}

void putfloat() {
    if (fperror == kFpSyntax) {
        putstring("FP Syntax Error", 'f');
    } else if (fperror == kFpOverflow) {
        putstring("FP Overflow Error", 'f');
    } else {
        const int top = std::clamp(ni, 0, kStackSize - 1);
        putstring(std::string("FP ") + fpformat(numstack[static_cast<std::size_t>(top)]), 'f');
    }
}

void putbool(std::string_view failed, std::string_view holding) {
    if (!failed.empty()) {
        putstring(std::string("ERR ").append(failed), 'b');
        gcr();
    }
    putstring(std::string("CH ").append(holding), 'b');
}
