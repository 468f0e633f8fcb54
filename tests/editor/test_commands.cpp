#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "command_fixture.hpp"
#include "file.hpp"
#include "tabs.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

using Commands = CommandTest;

TEST_F(Commands, PositionCountsLinesAndColumnsFromEitherEnd) {
    lines(10);
    run("PO", "-1|0");
    EXPECT_EQ(cur().lnptr, line(10));
    EXPECT_EQ(cur().curcol, 8);  // just after "line 10"
    EXPECT_EQ(cur().disln, line(10));
    run("PO", "-1|-1");
    EXPECT_EQ(cur().curcol, 7);
    run("PO", "3|-100");
    EXPECT_EQ(cur().lnptr, line(3));
    EXPECT_EQ(cur().curcol, 1);
    cur().curcol = 5;
    run("PO", "7");
    EXPECT_EQ(cur().lnptr, line(7));
    EXPECT_EQ(cur().curcol, 5);
    run("PO", "0|2");
    EXPECT_EQ(cur().lnptr, line(7));
    EXPECT_EQ(cur().curcol, 2);
    run("PO", "500|99999999999");
    EXPECT_EQ(cur().lnptr, line(10));
    EXPECT_GE(cur().curcol, 1);
    EXPECT_LE(cur().curcol, 4'000'000);
    run("PO", "-500");
    EXPECT_EQ(cur().lnptr, line(1));
    EXPECT_EQ(cur().curline, 1);
}

TEST_F(Commands, AdvanceStopsAtTheEndsOfTheFile) {
    lines(10);
    run("AD", "1000");
    EXPECT_EQ(cur().lnptr, line(10));
    EXPECT_EQ(cur().disln, line(10));
    EXPECT_EQ(cur().curline, 10);
    run("AD", "-3|5");
    EXPECT_EQ(cur().lnptr, line(7));
    EXPECT_EQ(cur().curcol, 6);
    run("AD", "-1000|-50");
    EXPECT_EQ(cur().lnptr, line(1));
    EXPECT_EQ(cur().curcol, 1);
}

TEST_F(Commands, EndShowsTheLastWindowfulWithTheCursorAtItsTop) {
    lines(30);
    run("EN", "");
    EXPECT_EQ(cur().lnptr, line(11));
    EXPECT_EQ(cur().disln, line(11));
    EXPECT_EQ(cur().curcol, 1);
    reset_store();
    lines(5);
    run("EN", "");
    EXPECT_EQ(cur().lnptr, line(1));
}

TEST_F(Commands, TabStopsAddUpAndClear) {
    run("TA", "0");
    run("TA", "8");
    EXPECT_EQ(tabs[1], 1);
    EXPECT_EQ(tabs[137], 1);
    EXPECT_EQ(tabs[5], 0);
    run("TA", "4");
    for (int c = 1; c <= 144; ++c)
        EXPECT_EQ(tabs[c], (c - 1) % 4 == 0 ? 1 : 0) << c;
    run("TA", "0");
    for (char t : tabs)
        EXPECT_EQ(t, 0);
    run("TA", "143");
    EXPECT_EQ(tabs[1], 1);
    EXPECT_EQ(tabs[144], 1);
    run("TA", "144");
    EXPECT_EQ(tabs[2], 0);
    run("TA", "8");
    run("TA", "99999999999");
    EXPECT_EQ(tabs[9], 1);
    EXPECT_EQ(tabs[10], 0);
}

TEST_F(Commands, KeyAndFontRefuseValuesOutsideTheirTables) {
    const int before = intran[100];
    run("KE", "624|20");
    EXPECT_EQ(del, 2);
    run("KE", "100|128");
    EXPECT_EQ(del, 2);
    EXPECT_EQ(intran[100], before);
    run("KE", "623|21");
    EXPECT_NE(del, 2);
    EXPECT_EQ(intran[623], 21);
    const int shown = outtran[65];
    run("FO", "256|65");
    EXPECT_EQ(del, 2);
    run("FO", "65|256");
    EXPECT_EQ(del, 2);
    EXPECT_EQ(outtran[65], shown);
    run("FO", "200|42");
    EXPECT_NE(del, 2);
    EXPECT_EQ(outtran[200], 42);
}

TEST_F(Commands, WshiftSetsTheOverlapBelowSeventy) {
    run("WS", "0");
    EXPECT_EQ(overlap, 1);
    EXPECT_EQ(shiftc, 77);
    run("WS", "69");
    EXPECT_NE(del, 2);
    EXPECT_EQ(overlap, 69);
    EXPECT_EQ(shiftc, 9);
    EXPECT_EQ(pshift, 0);
    run("WS", "70");
    EXPECT_EQ(del, 2);
    EXPECT_EQ(overlap, 69);
    // On a narrow window the shift still moves.
    swidth = 40;
    run("WS", "60");
    EXPECT_GE(shiftc, 1);
}

TEST_F(Commands, WindowSetsTheGeometryWithinTheTerminal) {
    // Unit tests run without a terminal, which counts as 24 x 80.
    run("WI", "20|60");
    EXPECT_EQ(swidth, 58);
    EXPECT_EQ(rightcol, 58);
    EXPECT_EQ(shiftc, 39);
    EXPECT_EQ(cmdline, 19);
    EXPECT_EQ(helpline, 18);
    EXPECT_EQ(windowend, 17);
    EXPECT_EQ(depth, 16);
    run("WI", "30|100");
    EXPECT_EQ(swidth, 78);
    EXPECT_EQ(depth, 20);
    run("WI", "3|10");
    EXPECT_EQ(depth, 1);
    EXPECT_EQ(cmdline, 4);
    EXPECT_EQ(swidth, 19);
    EXPECT_GE(shiftc, 1);
    run("WI", "12");
    EXPECT_EQ(swidth, 78);
    EXPECT_EQ(depth, 8);
    // A cursor below the new zone brings the window to it.
    lines(30);
    cur().lnptr = line(25);
    run("WI", "10|80");
    EXPECT_EQ(cur().disln, line(25));
}

TEST_F(Commands, AskAnswersIntoTheResultRegister) {
    lines(4);
    int& result = result_register();
    run("AS", "7");
    EXPECT_EQ(result, 'l');
    cur().curcol = 20;
    run("AS", "7");
    EXPECT_EQ(result, 32);
    run("AS", "4");
    EXPECT_EQ(result, 20);
    cur().lnptr = line(3);
    run("AS", "3");
    EXPECT_EQ(result, 3);
    run("AS", "16");
    EXPECT_EQ(result, 4);
    run("AS", "15");
    EXPECT_EQ(result, 1);
    run("AS", "5");
    EXPECT_EQ(result, 0);
    cur().starA = line(3);
    cur().starcount = 1;
    run("AS", "5");
    EXPECT_EQ(result, 1);
    cur().starB = line(1);
    cur().starcount = 2;
    run("AS", "5");
    EXPECT_EQ(result, 3);
    result = 42;
    run("AS", "2");
    EXPECT_EQ(result, 42);
    run("AS", "99");
    EXPECT_EQ(result, 42);

    // An empty line: a blank under the cursor and no first non-blank.
    reset_store();
    run("AS", "7");
    EXPECT_EQ(result, 32);
    run("AS", "6");
    EXPECT_EQ(result, 0);
    for (char c : std::string("   x"))
        cadd(c);
    run("AS", "6");
    EXPECT_EQ(result, 4);

    const std::string name = ::testing::TempDir() + "oru_ask_" + std::to_string(getpid());
    std::remove(name.c_str());
    run("AS", "9|" + name);
    EXPECT_EQ(result, 0);
    run("AS", "11|" + name);
    EXPECT_EQ(result, 1);
    run("AS", "9|" + name);
    EXPECT_EQ(result, 1);
    run("AS", "10|" + name);
    EXPECT_EQ(result, 1);
    run("AS", "11|" + name);
    EXPECT_EQ(result, 0);
    std::remove(name.c_str());
}

TEST_F(Commands, CoreObjectAndNameSelectAndDescribeTheCoreFile) {
    run("CO", "5");
    EXPECT_EQ(corenum, 5);
    run("CO", "19");
    EXPECT_EQ(del, 2);
    EXPECT_EQ(corenum, 5);
    run("OB", "1");
    EXPECT_EQ(cur().viewtype, 1);
    EXPECT_EQ(cureditmask, 2);
    run("CO", "1");
    EXPECT_EQ(cureditmask, 1);
    run("CO", "5");
    EXPECT_EQ(cureditmask, 2);
    run("NA", "letters/home.txt");
    EXPECT_EQ(cur().filname.view(), "letters/home.txt");
}

TEST_F(Commands, SettingsTakeTheirValues) {
    run("ED", "4");
    EXPECT_EQ(repflag, 0);
    run("ED", "3");
    EXPECT_EQ(repflag, 1);
    run("ED", "2");
    EXPECT_EQ(crinsert, 2);
    run("ED", "6");
    EXPECT_EQ(fetchstyle, 2);
    run("ED", "5");
    EXPECT_EQ(fetchstyle, 1);
    run("ED", "8");
    EXPECT_EQ(octflag, 1);
    run("ED", "10");
    EXPECT_EQ(lfonly, 0);
    run("ED", "12");
    EXPECT_EQ(transb, 1);
    run("ED", "11");
    EXPECT_EQ(crinsert, 2);
    EXPECT_EQ(lfonly, 0);
    run("HY", "2");
    EXPECT_EQ(hyphlevel, 2);
    run("JU", "1");
    EXPECT_EQ(jmode, 1);
    run("AU", "1");
    EXPECT_EQ(autowrapflag, 1);
    run("DT", "1");
    EXPECT_EQ(dectabflag, 1);
    silent();
    EXPECT_EQ(visible, 0);
    silent();
    EXPECT_EQ(visible, 1);
}
