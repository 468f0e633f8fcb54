// Fixture for the editing operations: builds a core file from lines of text, presses operation
// codes through the edit loop and checks the store after every step.
#pragma once

#include <string>
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

    // Core file 1 holds exactly `lines`; an empty string gives an empty new line. The cursor is on
    // line 1, column 1, at the top of the window.
    static void load(const std::vector<std::string>& lines) {
        const int v = cur().viewtype;
        reset_store();
        view(v);
        fill_lines(lines.empty() ? std::vector<std::string>{""} : lines);
        cur().edited = 0;
    }
    static void at(int line_no, int col) {
        cur().lnptr = line(line_no);
        cur().curcol = col;
        cur().disln = cur().header->down;
    }
    static std::vector<std::string> lines() { return texts(); }
    static int lineno() { return distance(cur().header, cur().lnptr); }
    static int col() { return cur().curcol; }
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
    static std::vector<std::string> pressed_at(int line_no, int column, int code) {
        at(line_no, column);
        press(code);
        return lines();
    }

    // One key through the edit loop.
    static bool press(int code, char ch = 0) {
        holdch = ch;
        type = code;
        return dispatch(code);
    }
    // The handler of `code` for the current view, without the redraw that the loop does after it:
    // returns the redraw it asked for.
    static int asked(int code, char ch = 0) {
        holdch = ch;
        type = code;
        redisplay = 0;
        edittable[static_cast<std::size_t>(code)]
            .operatn[static_cast<std::size_t>(cur().viewtype & 7)]();
        fixcursor();
        return redisplay;
    }
    // Typing keys for each character of `s`.
    static void typed(const std::string& s) {
        for (const char c : s) {
            const auto u = static_cast<unsigned char>(c);
            const int code = u < 128 && intran[u] >= 2 && intran[u] <= 4 ? intran[u] : op::kPunct;
            press(code, c);
        }
    }
    // Types `s` with the cursor at (line_no, column); the file's lines after it.
    static std::vector<std::string> typed_at(int line_no, int column, const std::string& s) {
        at(line_no, column);
        typed(s);
        return lines();
    }
    static void view(int v) {
        cur().viewtype = v;
        cureditmask = editmask[v];
    }
    static std::string repeat(char c, int n) { return std::string(static_cast<std::size_t>(n), c); }

    // The store's invariants and a cursor that stands on a line of the file.
    static void expect_sound() {
        expect_chain_sound();
        const COREFILE& cf = cur();
        EXPECT_NE(cf.lnptr, cf.header);
        EXPECT_GE(cf.curcol, 1);
        bool found = false, disln_found = false;
        for (const LINE* l = cf.header->down; l != cf.header; l = l->down) {
            found = found || l == cf.lnptr;
            disln_found = disln_found || l == cf.disln;
            EXPECT_NE(l->object, kObjDead);
            if (l->object != kObjNew && l->object != kObjPicture) {
                EXPECT_GE(l->index, 0);
                EXPECT_LE(l->index + l->length, avail);
                for (int i = 0; i < l->length; ++i) {
                    if (textbase[l->index + i] == kFreeByte) {
                        ADD_FAILURE() << "freed byte inside a live line";
                        break;
                    }
                }
            }
        }
        EXPECT_TRUE(found) << "cursor line not in the file";
        EXPECT_TRUE(disln_found) << "window's first line not in the file";
    }
};
