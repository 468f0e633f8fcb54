// The commands that move the cursor, set the window and the editor's settings, and answer ASK.

#include <string>
#include <vector>

#include "command_fixture.hpp"
#include "file.hpp"
#include "tabs.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

using Commands = CommandTest;
using std::tuple;

TEST_F(Commands, PositionAdvanceAndEndStayWithinTheFile) {
    lines(10);
    // Lines and columns count from either end (-1|0 is just after "line 10"); a missing column
    // keeps the cursor's.
    const tuple<const char*, const char*, int, int> moves[] = {
        {"PO", "-1|0", 10, 8},    {"PO", "-1|-1", 10, 7}, {"PO", "3|-100", 3, 1},
        {"PO", "3|5", 3, 5},      {"PO", "7", 7, 5},      {"PO", "0|2", 7, 2},
        {"PO", "-500", 1, 2},     {"AD", "1000", 10, 2},  {"AD", "-3|5", 7, 7},
        {"AD", "-1000|-50", 1, 1}};
    for (const auto& [cmd, params, line_no, col] : moves) {
        run(cmd, params);
        EXPECT_EQ(tuple(cur().lnptr, cur().curline, cur().curcol),
                  tuple(line(line_no), line_no, col))
            << cmd << params;
    }
    run("AD", "1000");
    EXPECT_EQ(cur().disln, line(10));
    run("PO", "500|99999999999");
    EXPECT_EQ(cur().lnptr, line(10));
    EXPECT_TRUE(cur().curcol >= 1 && cur().curcol <= 4'000'000);
    // END shows the last windowful with the cursor at its top, or the first line of a short file.
    for (const auto& [n, top] : {std::pair(30, 11), {5, 1}}) {
        reset_store();
        lines(n);
        run("EN", "");
        EXPECT_EQ(tuple(cur().lnptr, cur().disln, cur().curcol), tuple(line(top), line(top), 1))
            << n;
    }
}

TEST_F(Commands, TabStopsAddUpAndClear) {
    // Each TAB adds stops every n columns from column 1 (a huge n saturates); TAB 0 clears all.
    // The interval, then columns with and without a stop.
    // clang-format off
    const tuple<const char*, std::vector<int>, std::vector<int>> steps[] = {
        {"0", {}, {1, 9}}, {"8", {1, 9, 137}, {5}}, {"4", {1, 5, 9, 141}, {2, 144}},
        {"0", {}, {1, 5, 9, 141}}, {"143", {1, 144}, {2}}, {"144", {1, 144}, {2}}, {"0", {}, {1}},
        {"8", {1, 9}, {10}}, {"99999999999", {9}, {10}}};
    // clang-format on
    for (const auto& [interval, set, clear] : steps) {
        run("TA", interval);
        for (const int c : set)
            EXPECT_EQ(tabs[c], 1) << interval << " " << c;
        for (const int c : clear)
            EXPECT_EQ(tabs[c], 0) << interval << " " << c;
    }
}

TEST_F(Commands, SettingsTakeTheirValuesAndRefuseValuesOutsideTheirTables) {
    const int key = intran[100], shown = outtran[65];
    const tuple<const char*, const char*, bool> refusals[] = {
        {"KE", "624|20", true}, {"KE", "100|128", true}, {"KE", "623|21", false},
        {"FO", "256|65", true}, {"FO", "65|256", true},  {"FO", "200|42", false},
        {"WS", "69", false},    {"WS", "70", true},      {"CO", "5", false},
        {"CO", "19", true}};
    for (const auto& [cmd, params, refused] : refusals) {
        run(cmd, params);
        EXPECT_EQ(del == 2, refused) << cmd << params;
    }
    EXPECT_EQ(tuple(intran[100], intran[623], outtran[65], outtran[200], overlap, corenum),
              tuple(key, 21, shown, 42, 69, 5));
    // Below seventy, WSHIFT's overlap sets the shift as the rest of the window's width.
    const tuple<const char*, const char*, int*, int> settings[] = {
        {"ED", "4", &repflag, 0},      {"ED", "3", &repflag, 1},    {"ED", "2", &crinsert, 2},
        {"ED", "6", &fetchstyle, 2},   {"ED", "5", &fetchstyle, 1}, {"ED", "8", &octflag, 1},
        {"ED", "10", &lfonly, 0},      {"ED", "12", &transb, 1},    {"ED", "11", &crinsert, 2},
        {"ED", "11", &lfonly, 0},      {"HY", "2", &hyphlevel, 2},  {"JU", "1", &jmode, 1},
        {"AU", "1", &autowrapflag, 1}, {"DT", "1", &dectabflag, 1}, {"WS", "0", &overlap, 1},
        {"WS", "0", &shiftc, 77},      {"WS", "69", &shiftc, 9},    {"WS", "69", &pshift, 0}};
    for (const auto& [cmd, params, variable, value] : settings) {
        run(cmd, params);
        EXPECT_EQ(*variable, value) << cmd << params;
    }
    swidth = 40;  // on a narrow window the shift still moves
    run("WS", "60");
    EXPECT_GE(shiftc, 1);
    silent();
    const int hidden = visible;
    silent();
    EXPECT_EQ(tuple(hidden, visible), tuple(0, 1));
}

TEST_F(Commands, WindowSetsTheGeometryWithinTheTerminal) {
    // Unit tests run without a terminal, which counts as 24 x 80.
    run("WI", "20|60");
    EXPECT_EQ(tuple(rightcol, shiftc, helpline, windowend), tuple(58, 39, 18, 17));
    const tuple<const char*, int, int, int> sizes[] = {
        {"20|60", 58, 16, 19}, {"30|100", 78, 20, 23}, {"3|10", 19, 1, 4}, {"12", 78, 8, 11}};
    for (const auto& [params, width, rows, command_line] : sizes) {
        run("WI", params);
        EXPECT_EQ(tuple(swidth, depth, cmdline), tuple(width, rows, command_line)) << params;
        EXPECT_GE(shiftc, 1) << params;
    }
    // A cursor below the new zone brings the window to it.
    lines(30);
    cur().lnptr = line(25);
    run("WI", "10|80");
    EXPECT_EQ(cur().disln, line(25));
}

TEST_F(Commands, AskAnswersIntoTheResultRegister) {
    int& result = result_register();
    auto ask = [&](const std::string& params) {
        run("AS", params);
        return result;
    };
    lines(4);
    EXPECT_EQ(ask("7"), 'l');  // the character under the cursor
    cur().curcol = 20;
    cur().lnptr = line(3);
    cur().starA = line(3);
    cur().starcount = 1;
    // Under the cursor, column, line, lines in the core file, core file, lines starred.
    const std::pair<const char*, int> answers[] = {{"7", 32}, {"4", 20}, {"3", 3},
                                                   {"16", 4}, {"15", 1}, {"5", 1}};
    for (const auto& [q, answer] : answers)
        EXPECT_EQ(ask(q), answer) << q;
    cur().starB = line(1);
    cur().starcount = 2;
    EXPECT_EQ(ask("5"), 3);
    result = 42;
    EXPECT_EQ(tuple(ask("2"), ask("99")), tuple(42, 42));
    // An empty line: a blank under the cursor and no first non-blank.
    reset_store();
    EXPECT_EQ(tuple(ask("5"), ask("7"), ask("6")), tuple(0, 32, 0));
    for (char c : std::string("   x"))
        cadd(c);
    EXPECT_EQ(ask("6"), 4);
}
