// Fixture for the search, check and merge tests: the store, the evaluator and the character
// classes (reset with the keys) at their start-up values.
#pragma once

#include <string>
#include <vector>

#include "float.hpp"
#include "merger.hpp"
#include "scan.hpp"
#include "scrin.hpp"
#include "store_fixture.hpp"
#include "terminal.hpp"
#include "termutils.hpp"
#include "utilptr.hpp"

class ScanTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        reset_float();
        reset_merger();
        reset_scan();
        vl_result.fill(-1);
        loopdepth = 0;
    }

    // Replaces the lines of core file n; the cursor ends on the first.
    static void fill(int n, const std::vector<std::string>& texts) {
        const int keep = corenum;
        corenum = n;
        clrfile();
        fill_lines(texts);
        corenum = keep;
    }
    // Fills core file n and makes it the current one.
    static void open(int n, const std::vector<std::string>& texts) {
        fill(n, texts);
        corenum = n;
    }
    static std::vector<std::string> lines_of(int n) {
        std::vector<std::string> out;
        const COREFILE& cf = core[n];
        for (const LINE* l = cf.header->down; l != cf.header; l = l->down)
            out.push_back(text(l));
        return out;
    }
    static void at(int line_no, int col) {
        cur().lnptr = line(line_no);
        cur().curcol = col;
    }
    static int line_no() { return distance(cur().header, cur().lnptr); }
    static void findunit(int unit, const std::string& pattern) {
        scanunit = unit;
        scanpattern.assign(pattern);
        find();
    }
    using V = std::vector<std::string>;
    // The screen commands that `action` sends.
    template <class F>
    static V screen_of(F action) {
        V cmds;
        set_command_capture(&cmds);
        action();
        set_command_capture(nullptr);
        return cmds;
    }
};
