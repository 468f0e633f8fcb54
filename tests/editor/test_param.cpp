// The parameters of the command table: defaults, conversion, destinations and checks.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <fstream>
#include <string>
#include <vector>

#include "command_fixture.hpp"
#include "stars.hpp"
#include "termutils.hpp"

using Params = CommandTest;
using std::tuple;

TEST_F(Params, TypedTextTakesDefaultsAndBecomesNumbers) {
    cur().filname.assign("chapter.txt");
    // Numbers are signed by any minus and saturate; a parameter typed empty keeps its empty
    // text and only untyped ones take defaults; a star in a file name stands for the core
    // file's, and in a line number (with no stars set) for the whole file.
    // The command, what is typed, the parameter string (when checked), the first parameter
    // checked and the values from it on.
    // clang-format off
    const tuple<const char*, const char*, const char*, int, std::vector<int>> cases[] = {
        {"FE", "*|5", "*|5|200000||", 2, {5, 200000}}, {"SO", "1||5", "1||5|200000|", 1, {1, 0, 5, 200000}},
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
        EXPECT_EQ(want ? pstring.view() : "", want ? want : "");
        for (std::size_t i = 0; i < values.size(); ++i)
            EXPECT_EQ(param[first + i], values[i]) << "parameter " << first + i;
    }
    typed("FE", "notes.txt");
    EXPECT_EQ(std::tuple(recboolcheck.empty(), paramcount), std::tuple(true, 4));
    typed("MP", "3");
    EXPECT_EQ(tuple(paramtext(1), paramtext(2), paramtext(9)), tuple("3", "0", ""));
    // A star in a line number gives the starred block's bounds; with one star, that line.
    lines(9);
    cur().starA = line(7);
    cur().starB = line(3);
    cur().starcount = 2;
    typed("SA", "out|*|*");
    EXPECT_EQ(std::tuple(param[2], param[3]), std::tuple(3, 7));
    typed("PO", "*");
    EXPECT_EQ(param[1], 3);
    cur().lnptr = line(3);
    delstar();
    typed("OV", "out|*|*");
    EXPECT_EQ(std::tuple(param[2], param[3]), std::tuple(7, 7));
}

TEST_F(Params, StringsGoToTheirDestinationsTranslatedWhereTheDestinationAsks) {
    // The expression, the shell command and the record check are taken as typed. A destination
    // holds 48 characters; more is cut, never written past.
    // clang-format off
    const tuple<const char*, std::string, const Name*, std::string> cases[] = {
        {"FU", "3|ab{M}{!}{-}c{(}{)}{`}{/}", &fn[3], "ab\r|\331c{}~\177"},
        {"FI", "7|x{CM}y", &scanpattern, "x\003\ry"}, {"EX", "a{M}", &expression, "a{M}"},
        {"SH", "ls {x}", &sysstring, "ls {x}"}, {"NE", "a.txt|b.txt", &targetstring, "b.txt"},
        {"CH", "old|{M}new", &targetstring, "{M}new"}, {"QE", "4|{$}2{<}", &q_error, "\3762\373"},
        {"ME", std::string(70, 'm'), &mrgstring, std::string(48, 'm')},
        {"LI", "out.lst|||2|init", &listinitfile, "init"}};
    // clang-format on
    for (const auto& [cmd, text, dest, want] : cases) {
        typed(cmd, text);
        EXPECT_EQ(dest->view(), want) << cmd << " " << text;
    }
    EXPECT_EQ(tuple(param[4], listfile.view()), tuple(2, "out.lst"));
    EXPECT_EQ(tuple(destination('3'), destination('0'), destination('H')),
              tuple(&mrgstring, nullptr, nullptr));
    EXPECT_EQ(tuple(ctrltype('2'), ctrltype('4'), ctrltype('G')), tuple(1, 0, 1));
}
