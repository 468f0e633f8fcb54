// Fixture for the editing operations: builds a core file from lines of text, presses operation
// codes through the edit loop and checks the store after every step.
#pragma once

#include <string>
#include <tuple>
#include <vector>

#include "build.hpp"
#include "commands.hpp"
#include "cursors.hpp"
#include "ecap.hpp"
#include "store_fixture.hpp"
#include "templates.hpp"
#include "termutils.hpp"

// Operation codes of the default key table.
namespace op {
inline constexpr int kReturn = 1, kPunct = 2, kDigit = 3, kLetter = 4, kRubout = 5, kNewLine = 10,
                     kCopy = 11, kLeft = 17, kDown = 18, kRight = 19, kUp = 20, kInMode = 22,
                     kFieldUp = 23, kPageUp = 28, kPageDown = 30, kTab = 34, kRecWord = 40,
                     kMathNode = 53, kRecMath = 54, kGreen = 57, kRecChar = 65, kBegLine = 66,
                     kEndLine = 68, kDeLine = 69, kMarLeft = 70, kMaRight = 71, kSplit = 75,
                     kJoin = 76, kRepChar = 77, kRepLine = 78, kDelWord = 79, kDelWordEnd = 80,
                     kNextWord = 81, kPrevWord = 82, kFlip = 92, kManyLines = 93, kLdEnter = 94,
                     kNextNum = 95;
}  // namespace op

using V = std::vector<std::string>;

class EditTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        reset_commands();
        reset_cursors();
        reset_build();
        reset_ecap();
        reset_fieldtable();
    }
    // Core file 1 holds exactly `lines`, unedited; `object` is given to the lines in `rows`. The
    // cursor is on line 1, column 1, at the top of the window.
    static void load(const V& lines, int object = kObjText, std::initializer_list<int> rows = {}) {
        const int v = cur().viewtype;
        reset_store();
        view(v);
        fill_lines(lines.empty() ? V{""} : lines);
        for (const int r : rows)
            line(r)->object = object;
        cur().edited = 0;
    }
    static void at(int line_no, int col) {
        cur().lnptr = line(line_no);
        cur().curcol = col;
        cur().disln = cur().header->down;
    }
    static V lines() { return texts(); }
    static int lineno() { return distance(cur().header, cur().lnptr); }
    static int col() { return cur().curcol; }
    static std::tuple<int, int> pos() { return {lineno(), col()}; }
    static void keys(std::initializer_list<int> codes) {
        for (const int code : codes)
            press(code);
    }
    // Presses each key in turn; the cursor's column after each.
    static std::vector<int> cols(std::initializer_list<int> codes) {
        std::vector<int> out;
        for (const int code : codes) {
            press(code);
            out.push_back(col());
        }
        return out;
    }
    // Presses `code` with the cursor at (line_no, column); the file's lines after it.
    static V pressed_at(int line_no, int column, int code) {
        at(line_no, column);
        press(code);
        return texts();
    }
    static bool press(int code, char ch = 0) {
        holdch = ch;
        type = code;
        return dispatch(code);
    }
    // The handler of `code` for the current view, without the loop's redraw: the redraw it asked.
    static int asked(int code, char ch = 0) {
        holdch = ch;
        type = code;
        redisplay = 0;
        edittable[static_cast<std::size_t>(code)]
            .operatn[static_cast<std::size_t>(cur().viewtype & 7)]();
        fixcursor();
        return redisplay;
    }
    // Typing keys for each character of `s`, with the cursor at (line_no, column) unless 0.
    static V typed(const std::string& s, int line_no = 0, int column = 1) {
        if (line_no > 0) at(line_no, column);
        for (const char c : s) {
            const auto u = static_cast<unsigned char>(c);
            press(u < 128 && intran[u] >= 2 && intran[u] <= 4 ? intran[u] : op::kPunct, c);
        }
        return texts();
    }
    static void view(int v) {
        cur().viewtype = v;
        cureditmask = editmask[v];
    }
    // The store's invariants and a cursor that stands on a line of the file.
    static void expect_sound() {
        expect_chain_sound();
        const COREFILE& cf = cur();
        EXPECT_GE(cf.curcol, 1);
        bool found = false, top_found = false;
        for (const LINE* l = cf.header->down; l != cf.header; l = l->down) {
            found = found || l == cf.lnptr;
            top_found = top_found || l == cf.disln;
            EXPECT_NE(l->object, kObjDead);
            if (l->object == kObjNew || l->object == kObjPicture) continue;
            EXPECT_TRUE(l->index >= 0 && l->index + l->length <= avail);
            for (int i = 0; i < l->length; ++i)
                if (textbase[l->index + i] == kFreeByte) return ADD_FAILURE() << "freed byte";
        }
        EXPECT_TRUE(found && top_found) << "cursor or window line not in the file";
    }
};
