#include "merger.hpp"

#include <algorithm>
#include <cstdio>

#include "build.hpp"
#include "corutils.hpp"
#include "float.hpp"
#include "linutils.hpp"
#include "scrout.hpp"
#include "templates.hpp"

std::array<long, kMergeFields + 1> fieldptr{};
std::array<int, kMergeFields + 1> mrgflen{};
int mrgnumfields = 0;
char terminate = ' ';
long mrgavail = 0;
bool mrgoverflow = false;
const char stars[] = "****";
Name mrgstring;
Name expression;

namespace {

constexpr int kMaxFieldRef = 10'000;  // "#" digits beyond this still name a missing field

// A read position over the lines of a core file, as the scanning cursor reads them.
struct Reader {
    const LINE* l;
    int c;
    int peek() const {
        if (l->object == kObjNew || l->object == kObjPicture || c > l->length) return kEndOfLine;
        return textbase[l->index + c - 1];
    }
    long offset() const { return l->index + c - 1; }
};

bool is_text(const LINE* l) {
    return l->object == kObjText;
}

// Takes fields from r to the end of its line; false when 50 fields have been taken.
bool take_fields(Reader& r) {
    const bool text = is_text(r.l);
    while (mrgnumfields < kMergeFields) {
        if (text) {
            while (r.peek() == ' ')
                ++r.c;
        }
        if (r.peek() == kEndOfLine) return true;
        const long start = r.offset();
        int len = 0;
        while (r.peek() != kEndOfLine && r.peek() != static_cast<unsigned char>(terminate)) {
            ++r.c;
            ++len;
        }
        mrgnumfields += 1;
        fieldptr[mrgnumfields] = start;
        mrgflen[mrgnumfields] = len;
        if (r.peek() == kEndOfLine) return true;
        ++r.c;  // one terminator
    }
    return false;
}

}  // namespace

int mrgsetup(const LINE* line, int col) {
    mrgnumfields = 0;
    const COREFILE& cf = cur();
    if (line == nullptr || line == cf.header) return 0;
    terminate = line->object == kObjText ? ' ' : '|';
    Reader r{line, line->object == kObjRecord ? 1 : std::max(col, 1)};
    while (take_fields(r)) {
        // A text "record" goes on through the lines of its paragraph that begin at the margin.
        if (cf.viewtype != 0 || !is_text(r.l)) break;
        const LINE* next = r.l->down;
        if (next == cf.header || !is_text(next) || next->length == 0) break;
        Reader n{next, 1};
        while (n.peek() == ' ')
            ++n.c;
        if (n.c != lmargin) break;
        r = n;
    }
    return mrgnumfields;
}

bool merge(std::string_view mrg, const LINE* line, int col) {
    mrgavail = avail;
    mrgoverflow = false;
    mrgsetup(line, col);
    bool room = true;
    auto put = [&room](unsigned char ch) {
        if (mrgavail >= kTextSize) {
            room = false;
            return;
        }
        textbase[mrgavail++] = ch;
    };
    std::size_t i = 0;
    while (i < mrg.size() && room) {
        const char ch = mrg[i++];
        if (ch == '`') continue;
        if (ch != '#') {
            put(static_cast<unsigned char>(ch));
            continue;
        }
        bool digits = false;
        int n = 0;
        while (i < mrg.size() && mrg[i] >= '0' && mrg[i] <= '9') {
            digits = true;
            n = std::min(n * 10 + (mrg[i++] - '0'), kMaxFieldRef);
        }
        if (!digits) continue;
        if (n < 1 || n > mrgnumfields) {
            fperror = kFpMergeRef;
            return false;
        }
        for (int k = 0; k < mrgflen[n] && room; ++k)
            put(textbase[fieldptr[n] + k]);
    }
    if (!room) {
        fperror = kFpMergeRef;  // the arena has no room for the merged text
        mrgoverflow = true;
        return false;
    }
    return true;
}

void dropmerged() {
    std::fill(textbase.begin() + avail, textbase.begin() + std::max(mrgavail, avail), kFreeByte);
    mrgavail = avail;
}

std::string_view merged() {
    return {reinterpret_cast<const char*>(textbase.data() + avail),
            static_cast<std::size_t>(mrgavail - avail)};
}

void reset_merger() {
    fieldptr.fill(0);
    mrgflen.fill(0);
    mrgnumfields = 0;
    terminate = ' ';
    mrgavail = avail;
    mrgoverflow = false;
    mrgstring.clear();
    expression.clear();
}

namespace {

constexpr int kMergedFile = 16;
constexpr int kShowFloat = 11;  // redraw code: the display step shows the evaluator's result
constexpr unsigned char kLineCut = 13;

// Commits the merged text as lines at the end of core file 16, cut at each carriage return.
void commitmerged() {
    const long end = mrgavail;
    const int keep = corenum;
    corenum = kMergedFile;
    COREFILE& cf = cur();
    cf.lnptr = cf.header->up;
    while (avail <= end) {
        long cut = avail;
        while (cut < end && textbase[cut] != kLineCut)
            ++cut;
        if (allocln(kObjText, static_cast<int>(cut - avail)) == nullptr) break;
        linkphys();
        if (cut >= end) break;
        textbase[cut] = kFreeByte;  // the carriage return is no part of a line
        avail = cut + 1;
    }
    cf.disln = cf.lnptr;
    cf.edited = 1;
    corenum = keep;
}

// Merges `mrg` with the record at the cursor and appends the result to core file 16. Text that
// would not fit in the store is not committed at all.
void domerge(std::string_view mrg) {
    merge(mrg, cur().lnptr, cur().curcol);
    fperror = kFpFine;
    if (mrgoverflow) {
        dropmerged();
        diserr("inadequate free space for merge");
        return;
    }
    // What was merged before a missing field is still kept.
    commitmerged();
}

constexpr int kAssignFile = 17;
constexpr int kMaxTarget = 10'000;

// The target field of an assignment line "#n: expression" and the expression after its first
// ":"; 0 when the line names no target before that ":" or has none.
int assignment(const LINE* l, std::string_view& expr) {
    if (l->object == kObjNew || l->object == kObjPicture || l->length <= 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(textbase.data() + l->index),
                                static_cast<std::size_t>(l->length));
    int target = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ':') {
            expr = text.substr(i + 1);
            return target;
        }
        const bool digit_next = i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9';
        if (text[i] != '#' || !digit_next) continue;
        int n = 0;
        while (i + 1 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9')
            n = std::min(n * 10 + (text[++i] - '0'), kMaxTarget);
        if (n > 0) target = n;
    }
    return 0;
}

// Types `text` into the record at the cursor as the keyboard would, so the field's length and
// type decide what goes in.
void typerecord(std::string_view text) {
    for (char ch : text) {
        holdch = ch;
        bldrec();
    }
}

// Evaluates the expression merged with the current record; false when it names a missing field,
// does not fit or does not evaluate.
bool evalmerged(std::string_view expr, double& value) {
    COREFILE& cf = cur();
    bool ok = merge(expr, cf.lnptr, cf.curcol);
    if (ok) {
        const std::string_view text = merged();
        dijkstra(text.data(), static_cast<int>(text.size()));
        ok = fperror == kFpFine;
        if (ok) value = numstack[static_cast<std::size_t>(ni)];
    }
    dropmerged();
    fpreset();
    fperror = kFpFine;
    return ok;
}

}  // namespace

void mrgtext() {
    domerge(mrgstring.view());
}

void mrgrec() {
    if (mrgbufptr == nullptr) {
        diserr("No merge template loaded");
        return;
    }
    domerge(mrgbufptr);
}

void mrgexp() {
    if (merge(expression.view(), cur().lnptr, cur().curcol)) {
        const std::string_view text = merged();
        dijkstra(text.data(), static_cast<int>(text.size()));
    } else {
        // A missing field leaves no value to show: the display reports it as a syntax error
        // rather than showing the last value as if it were this one.
        fpreset();
        fperror = kFpSyntax;
    }
    dropmerged();
    if (mrgoverflow) diserr("inadequate free space for merge");
    redisplay = kShowFloat;
}

void mrgassign() {
    COREFILE& cf = cur();
    const COREFILE& assigns = core[kAssignFile];
    for (const LINE* l = assigns.header->down; l != assigns.header; l = l->down) {
        std::string_view expr;
        const int n = assignment(l, expr);
        if (n <= 0 || n > mrgsetup(cf.lnptr, cf.curcol)) continue;
        double value = 0;
        const bool ok = evalmerged(expr, value);
        cf.curcol = locatefield(cf.lnptr, n) + 1;
        if (ok) {
            char buf[40];
            std::snprintf(buf, sizeof buf, "%.8g", value);
            erasefield();
            typerecord(buf);
        } else {
            typerecord(stars);
        }
    }
    redisplay = 1;
}
