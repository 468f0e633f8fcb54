#include "templates.hpp"

#include <algorithm>

#include "file.hpp"
#include "getparam.hpp"
#include "globals.hpp"
#include "scrout.hpp"
#include "terminal.hpp"

std::array<int, kMaxFields + 1> frow{};
std::array<int, kMaxFields + 1> fcol{};
std::array<int, kMaxFields + 1> maxfieldlen{};
std::array<char, kMaxFields + 1> ftype{};
int numfields = 10;
const char* tempbufptr = nullptr;
const char* mrgbufptr = nullptr;

namespace {

// Runs before main so that the table is sound even before start-up resets it.
[[maybe_unused]] const bool table_ready = (reset_fieldtable(), true);

constexpr char kEndTemplate = 4;
constexpr char kNewRow = 13;
constexpr int kMaxNumber = 100'000;  // numbers in a template are read up to this

// The interpreter's reading position and layout position.
struct Layout {
    const char* tempptr;
    int row = 1;
    int col = 1;
    int fields = 0;  // highest field number defined so far
    bool draw = false;

    void place() const {
        if (draw) postcur(col + 1, row + 2);
    }
    // A decimal number, or -1 when no digit stands here.
    int number() {
        if (*tempptr < '0' || *tempptr > '9') return -1;
        int n = 0;
        while (*tempptr >= '0' && *tempptr <= '9')
            n = std::min(n * 10 + (*tempptr++ - '0'), kMaxNumber);
        return n;
    }
    void label(char ch) {
        if (draw) putch(static_cast<unsigned char>(ch));
        if (col < swidth) ++col;
        place();
    }
    void newrow() {
        if (row + 1 < depth - 1) ++row;
        col = 1;
        place();
    }
    // "#n", then optionally "/length" and "/type"; the "#" is already read.
    void field() {
        const int n = number();
        int len = -1;
        char type = 0;
        if (*tempptr == '/') {
            ++tempptr;
            len = number();
            if (*tempptr == '/') {
                ++tempptr;
                if (*tempptr != kEndTemplate && *tempptr != '\0') type = *tempptr++;
            }
        }
        if (n < 1 || n > kMaxFields) return;
        fields = std::max(fields, n);
        frow[n] = row + 2;
        fcol[n] = col + 1;
        if (len >= 0) maxfieldlen[n] = len;
        if (type != 0) ftype[n] = type;
    }
    // Inside braces; returns false on a character that has no meaning there.
    bool layout() {
        for (;;) {
            const char ch = *tempptr;
            if (ch == kEndTemplate) return true;
            ++tempptr;
            switch (ch) {
                case ' ':
                case ',':
                case '\0':
                    break;
                case '#':
                    field();
                    break;
                case 'c':
                    col = std::clamp(number(), 0, std::max(swidth, 0));
                    place();
                    break;
                case 'r':
                    row = std::clamp(number(), 0, std::max(depth - 1, 0));
                    place();
                    break;
                case '}':
                    return true;
                default:
                    return false;
            }
        }
    }
};

}  // namespace

void reset_fieldtable() {
    for (int n = 1; n <= kMaxFields; ++n) {
        maxfieldlen[n] = 5;
        ftype[n] = 'c';
        frow[n] = (n - 1) / 6 + 3;
        fcol[n] = 8 * ((n - 1) % 6) + 2;
    }
    numfields = 10;
}

int writetemplate(int draw) {
    reset_fieldtable();
    if (tempbufptr == nullptr) return 0;
    Layout t{tempbufptr};
    t.draw = draw != 0;
    t.place();
    int error = 0;
    while (*t.tempptr != kEndTemplate && error == 0) {
        const char ch = *t.tempptr++;
        switch (ch) {
            case '#':
                t.field();
                break;
            case '\0':
                break;
            case kNewRow:
                t.newrow();
                break;
            case '{':
                if (!t.layout()) error = 1;
                break;
            case '}':
                error = 1;
                break;
            default:
                t.label(ch);
                break;
        }
    }
    numfields = t.fields;
    return error;
}

void setspecs() {
    const int kind = param[1];
    if (kind < 0 || kind > 2) {
        diserr("Template kind: 0 or 1 record template, 2 merge template");
        del = 2;
        return;
    }
    const char* keys = readfile(curfile.c_str(), kind == 2 ? KeyKind::Merge : KeyKind::Template);
    if (keys == nullptr) {
        del = 2;
        return;
    }
    if (kind == 2) {
        mrgbufptr = keys;
    } else {
        tempbufptr = keys;
    }
    int error = 0;
    if (cur().viewtype == 2) {
        clrtextzone();
        error = writetemplate(1);
        redisplay = 1;
    } else {
        error = writetemplate(0);
    }
    if (error != 0) diserr("Error in record template: the fields before it are in force");
}

void reset_templates() {
    tempbufptr = nullptr;
    mrgbufptr = nullptr;
    reset_fieldtable();
}
