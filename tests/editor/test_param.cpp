#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <set>
#include <string>

#include "command_fixture.hpp"
#include "stars.hpp"
#include "termutils.hpp"

using Params = CommandTest;

TEST_F(Params, TableRowsAreWellFormedAndNamesDifferInTheirFirstTwoLetters) {
    std::set<std::string> seen;
    for (int r = 0; r < kCommands - 1; ++r) {
        const CMDSPEC& c = commands[r];
        const std::string name = c.name;
        ASSERT_GE(name.size(), 2u) << r;
        EXPECT_TRUE(seen.insert(name.substr(0, 2)).second) << name;
        const std::string_view types = c.paramtype;
        ASSERT_EQ(types.size() % 2, 0u) << name;
        int bars = 0;
        for (char ch : std::string_view(c.defstr))
            bars += ch == '|';
        EXPECT_EQ(bars, static_cast<int>(types.size() / 2)) << name;
        for (std::size_t i = 0; i < types.size(); i += 2) {
            EXPECT_TRUE(types[i] >= 'c' && types[i] <= 'k') << name;
        }
    }
    EXPECT_STREQ(commands[kCommands - 1].name, "**");
    EXPECT_STREQ(commands[kCommands - 1].defstr, "|");
    EXPECT_EQ(row("FETCH"), 0);
    EXPECT_EQ(row("WSHIFT"), 78);
    EXPECT_STREQ(commands[row("OB")].prompt,
                 "0:txt 1:rec/txt 2:rec/tmp 3:lin/txt 4:lin/gr 5:mat/txt 6:mat/gr 7:page");
}

TEST_F(Params, FetchTakesItsNameAndDefaultsTheRest) {
    typed("FE", "notes.txt");
    EXPECT_EQ(pstring.view(), "notes.txt|1|200000||");
    EXPECT_EQ(curfile.view(), "notes.txt");
    EXPECT_EQ(param[2], 1);
    EXPECT_EQ(param[3], 200000);
    EXPECT_TRUE(recboolcheck.empty());
    EXPECT_EQ(paramcount, 4);

    // A star stands for the current core file's name.
    cur().filname.assign("chapter.txt");
    typed("FE", "*|5");
    EXPECT_EQ(curfile.view(), "chapter.txt");
    EXPECT_EQ(param[2], 5);
    EXPECT_EQ(param[3], 200000);

    // A parameter typed empty keeps its empty text; only untyped ones take defaults.
    typed("SO", "1||5");
    EXPECT_EQ(pstring.view(), "1||5|200000|");
    EXPECT_EQ(param[1], 1);
    EXPECT_EQ(param[2], 0);
    EXPECT_EQ(param[3], 5);
    EXPECT_EQ(param[4], 200000);
    typed("MP", "3");
    EXPECT_EQ(pstring.view(), "3|0|0|0|0|");
    EXPECT_EQ(paramtext(1), "3");
    EXPECT_EQ(paramtext(2), "0");
    EXPECT_EQ(paramtext(9), "");
}

TEST_F(Params, StarInALineNumberGivesTheStarredBlockBounds) {
    typed("SA", "out|*|*");
    EXPECT_EQ(param[2], 1);
    EXPECT_EQ(param[3], 200000);

    lines(9);
    cur().starA = line(7);
    cur().starB = line(3);
    cur().starcount = 2;
    typed("SA", "out|*|*");
    EXPECT_EQ(param[2], 3);
    EXPECT_EQ(param[3], 7);
    typed("PO", "*");
    EXPECT_EQ(param[1], 3);

    // With one star both bounds are that line.
    cur().lnptr = line(3);
    delstar();
    typed("OV", "out|*|*");
    EXPECT_EQ(param[2], 7);
    EXPECT_EQ(param[3], 7);
}

TEST_F(Params, NumbersAreSignedByAnyMinusAndSaturate) {
    typed("AD", "-12|7");
    EXPECT_EQ(param[1], -12);
    EXPECT_EQ(param[2], 7);
    typed("WI", "99999999999999999999|2147483648");
    EXPECT_EQ(param[1], INT_MAX);
    EXPECT_EQ(param[2], INT_MAX);
    typed("PO", "-99999999999");
    EXPECT_EQ(param[1], -INT_MAX);
    typed("WI", "");
    EXPECT_EQ(param[1], 0);
    EXPECT_EQ(param[2], 200000);
    typed("DI", "f");
    EXPECT_EQ(param[1], 6);
    typed("DI", "T");
    EXPECT_EQ(param[1], 20);
    typed("DI", "");
    EXPECT_EQ(param[1], 0);
    typed("HY", "3");
    EXPECT_EQ(param[1], 3);
}

TEST_F(Params, StringsGoToTheirDestinationsTranslatedWhereTheDestinationAsks) {
    typed("FU", "3|ab{M}{!}{-}c{(}{)}{`}{/}");
    EXPECT_EQ(fn[3].view(), std::string("ab\r|\xd9"
                                        "c{}~\x7f"));
    typed("FI", "7|x{CM}y");
    EXPECT_EQ(param[1], 7);
    EXPECT_EQ(scanpattern.view(), "x\x03\ry");
    // The expression, the shell command and the record check are taken as typed.
    typed("EX", "a{M}");
    EXPECT_EQ(expression.view(), "a{M}");
    typed("SH", "ls {x}");
    EXPECT_EQ(sysstring.view(), "ls {x}");
    typed("CH", "old|{M}new");
    EXPECT_EQ(scanpattern.view(), "old");
    EXPECT_EQ(targetstring.view(), "{M}new");
    typed("QE", "4|{$}2{<}");
    EXPECT_EQ(q_error.view(), std::string("\xfe"
                                          "2\xfb"));
    typed("LI", "out.lst|||2|init");
    EXPECT_EQ(listfile.view(), "out.lst");
    EXPECT_EQ(listinitfile.view(), "init");
    EXPECT_EQ(param[4], 2);
    typed("NE", "a.txt|b.txt");
    EXPECT_EQ(curfile.view(), "a.txt");
    EXPECT_EQ(targetstring.view(), "b.txt");

    // A destination holds 48 characters; more is cut, never written past.
    typed("ME", std::string(70, 'm'));
    EXPECT_EQ(mrgstring.size(), 48u);
    EXPECT_EQ(destination('3'), &mrgstring);
    EXPECT_EQ(destination('0'), nullptr);
    EXPECT_EQ(destination('H'), nullptr);
    EXPECT_EQ(ctrltype('2'), 1);
    EXPECT_EQ(ctrltype('4'), 0);
    EXPECT_EQ(ctrltype('G'), 1);
}

namespace {
std::string tempname(const char* leaf) {
    return ::testing::TempDir() + "oru_param_" + std::to_string(getpid()) + "_" + leaf;
}
}  // namespace

TEST_F(Params, FileChecksRefuseWithDelTwoAndNeverHarmAFile) {
    const std::string there = tempname("there.txt");
    const std::string gone = tempname("gone.txt");
    const std::string fresh = tempname("fresh.txt");
    const std::string prog = tempname("prog.sh");
    std::remove(gone.c_str());
    std::remove(fresh.c_str());
    { std::ofstream(there) << "keep me\n"; }
    { std::ofstream(prog) << "#!/bin/sh\n"; }

    auto check = [](void (*checker)(), const std::string& name) {
        curfile.assign(name);
        del = 0;
        checker();
        return del != 2;
    };
    EXPECT_TRUE(check(fpr, there));
    EXPECT_FALSE(check(fpr, gone));
    EXPECT_FALSE(check(fpr, ""));
    EXPECT_FALSE(check(fpr, ::testing::TempDir()));
    EXPECT_TRUE(check(fpw, there));
    EXPECT_FALSE(check(fpw, gone));
    EXPECT_FALSE(check(fpw, ""));
    std::ifstream in(there);
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "keep me");

    EXPECT_FALSE(check(faw, there));
    EXPECT_TRUE(check(faw, fresh));
    struct stat st {};
    EXPECT_EQ(stat(fresh.c_str(), &st), 0);
    EXPECT_FALSE(check(faw, fresh));

    EXPECT_FALSE(check(fpx, prog));
    chmod(prog.c_str(), 0755);
    EXPECT_TRUE(check(fpx, prog));
    EXPECT_FALSE(check(fpx, ::testing::TempDir()));
    EXPECT_FALSE(check(fpx, gone));

    // The command refuses: no operation, del 2.
    run("SA", there);
    EXPECT_EQ(del, 2);
    for (const std::string& f : {there, fresh, prog})
        std::remove(f.c_str());
}

TEST_F(Params, ChecksOfChangePositionAndMargins) {
    run("CH", "");
    EXPECT_EQ(del, 2);

    lines(3);
    cur().curcol = 4;
    typed("PO", "2");
    positchk();
    EXPECT_EQ(param[2], 4);
    typed("PO", "2|0");
    positchk();
    EXPECT_EQ(param[2], 0);

    run("MA", "10|5");
    EXPECT_EQ(lmargin, 10);
    EXPECT_EQ(rmargin, 10);
    run("MA", "|60");
    EXPECT_EQ(lmargin, 10);
    EXPECT_EQ(rmargin, 60);
    run("MA", "3");
    EXPECT_EQ(lmargin, 3);
    EXPECT_EQ(rmargin, 60);
}
