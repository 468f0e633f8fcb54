// The parameters of the command table: defaults, conversion, destinations and checks.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <set>
#include <string>
#include <vector>

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
        const std::string_view defaults = c.defstr;
        EXPECT_EQ(std::count(defaults.begin(), defaults.end(), '|'), types.size() / 2) << name;
        for (std::size_t i = 0; i < types.size(); i += 2) {
            EXPECT_TRUE(types[i] >= 'c' && types[i] <= 'k') << name;
        }
    }
}

TEST_F(Params, TypedTextTakesDefaultsAndBecomesNumbers) {
    cur().filname.assign("chapter.txt");
    // Numbers are signed by any minus and saturate; a parameter typed empty keeps its empty
    // text and only untyped ones take defaults; a star in a file name stands for the core
    // file's, and in a line number (with no stars set) for the whole file.
    // The command, what is typed, the parameter string (when checked), the first parameter
    // checked and the values from it on.
    // clang-format off
    const std::tuple<const char*, const char*, const char*, int, std::vector<int>> cases[] = {
        {"FE", "*|5", "*|5|200000||", 2, {5, 200000}},
        {"SO", "1||5", "1||5|200000|", 1, {1, 0, 5, 200000}},
        {"MP", "3", "3|0|0|0|0|", 1, {3, 0}},   {"AD", "-12|7", "-12|7|", 1, {-12, 7}},
        {"WI", "99999999999999999999|2147483648", nullptr, 1, {INT_MAX, INT_MAX}},
        {"PO", "-99999999999", nullptr, 1, {-INT_MAX}}, {"WI", "", nullptr, 1, {0, 200000}},
        {"DI", "f", nullptr, 1, {6}},  {"DI", "T", nullptr, 1, {20}}, {"DI", "", nullptr, 1, {0}},
        {"HY", "3", nullptr, 1, {3}},  {"SA", "out|*|*", nullptr, 2, {1, 200000}},
        {"EM", "2", "2|1|200000||", 1, {2, 1, 200000, 0}}};
    // clang-format on
    for (const auto& [cmd, text, want, first, values] : cases) {
        SCOPED_TRACE(std::string(cmd) + " " + text);
        typed(cmd, text);
        if (want != nullptr) {
            EXPECT_EQ(pstring.view(), want);
        }
        for (std::size_t i = 0; i < values.size(); ++i)
            EXPECT_EQ(param[first + i], values[i]) << "parameter " << first + i;
    }
    typed("FE", "notes.txt");
    EXPECT_TRUE(recboolcheck.empty());
    EXPECT_EQ(paramcount, 4);
    typed("MP", "3");
    EXPECT_EQ(paramtext(1), "3");
    EXPECT_EQ(paramtext(2), "0");
    EXPECT_EQ(paramtext(9), "");
}

TEST_F(Params, StarInALineNumberGivesTheStarredBlockBounds) {
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

TEST_F(Params, StringsGoToTheirDestinationsTranslatedWhereTheDestinationAsks) {
    // The expression, the shell command and the record check are taken as typed. A destination
    // holds 48 characters; more is cut, never written past.
    // clang-format off
    const std::tuple<const char*, std::string, const Name*, std::string> cases[] = {
        {"FU", "3|ab{M}{!}{-}c{(}{)}{`}{/}", &fn[3], "ab\r|\331c{}~\177"},
        {"FI", "7|x{CM}y", &scanpattern, "x\003\ry"},     {"EX", "a{M}", &expression, "a{M}"},
        {"SH", "ls {x}", &sysstring, "ls {x}"},           {"NE", "a.txt|b.txt", &curfile, "a.txt"},
        {"CH", "old|{M}new", &scanpattern, "old"},       {"QE", "4|{$}2{<}", &q_error, "\3762\373"},
        {"CH", "old|{M}new", &targetstring, "{M}new"},
        {"LI", "out.lst|||2|init", &listfile, "out.lst"},
        {"LI", "out.lst|||2|init", &listinitfile, "init"},
        {"NE", "a.txt|b.txt", &targetstring, "b.txt"},
        {"ME", std::string(70, 'm'), &mrgstring, std::string(48, 'm')}};
    // clang-format on
    for (const auto& [cmd, text, dest, want] : cases) {
        typed(cmd, text);
        EXPECT_EQ(dest->view(), want) << cmd << " " << text;
    }
    typed("FI", "7|x{CM}y");
    EXPECT_EQ(param[1], 7);
    typed("LI", "out.lst|||2|init");
    EXPECT_EQ(param[4], 2);
    EXPECT_EQ(destination('3'), &mrgstring);
    EXPECT_EQ(destination('0'), nullptr);
    EXPECT_EQ(destination('H'), nullptr);
    EXPECT_EQ(ctrltype('2'), 1);
    EXPECT_EQ(ctrltype('4'), 0);
    EXPECT_EQ(ctrltype('G'), 1);
}

TEST_F(Params, FileChecksRefuseWithDelTwoAndNeverHarmAFile) {
    auto temp = [](const char* leaf) {
        return ::testing::TempDir() + "oru_param_" + std::to_string(getpid()) + "_" + leaf;
    };
    const std::string there = temp("there.txt"), gone = temp("gone.txt"), fresh = temp("fresh.txt"),
                      prog = temp("prog.sh"), exe = temp("exe.sh");
    std::remove(gone.c_str());
    std::remove(fresh.c_str());
    std::ofstream(there) << "keep me\n";
    std::ofstream(prog) << "#!/bin/sh\n";
    std::ofstream(exe) << "#!/bin/sh\n";
    chmod(exe.c_str(), 0755);
    // fpr: readable, fpw: writable, faw: can be made (and is), fpx: can be run.
    const std::string dir = ::testing::TempDir();
    const std::tuple<void (*)(), std::string, bool> cases[] = {
        {fpr, there, true}, {fpr, gone, false},  {fpr, "", false},   {fpr, dir, false},
        {fpw, there, true}, {fpw, gone, false},  {fpw, "", false},   {faw, there, false},
        {faw, fresh, true}, {faw, fresh, false}, {fpx, prog, false}, {fpx, exe, true},
        {fpx, dir, false},  {fpx, gone, false},
    };
    for (const auto& [checker, name, ok] : cases) {
        curfile.assign(name);
        del = 0;
        checker();
        EXPECT_EQ(del != 2, ok) << name;
    }
    std::ifstream in(there);
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "keep me");
    // The command refuses: no operation, del 2.
    run("SA", there);
    EXPECT_EQ(del, 2);
    for (const std::string& f : {there, fresh, prog, exe})
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
    for (const auto& [text, left, right] :
         {std::tuple{"10|5", 10, 10}, {"|60", 10, 60}, {"3", 3, 60}}) {
        run("MA", text);
        EXPECT_EQ(lmargin, left) << text;
        EXPECT_EQ(rmargin, right) << text;
    }
}
