// The views of core file 19: settings, core files, rule files.
#include <gtest/gtest.h>

#include <algorithm>

#include "centre.hpp"
#include "command_fixture.hpp"
#include "scan.hpp"
#include "templates.hpp"
#include "uninstall.hpp"
#include "view.hpp"

namespace {

class ViewTest : public CommandTest {
  protected:
    void SetUp() override {
        CommandTest::SetUp();
        reset_templates();
        reset_view();
        reset_uninstall();
        reset_scan();
        lrcswitch = 1;
    }
    void TearDown() override {
        set_command_capture(nullptr);
        reset_view();
        reset_templates();
        CommandTest::TearDown();
    }
    // Types `s` over field n of the open settings page, as the keyboard would.
    static void type_field(int n, const std::string& s) {
        cur().curcol = locatefield(cur().lnptr, n) + 1;
        erasefield();
        for (char c : s) {
            holdch = c;
            type = 2;
            edittable[2].operatn[7]();
        }
    }
    static auto settings() { return std::tuple{scanunit, jmode, hyphlevel, lrcswitch}; }
};

TEST_F(ViewTest, TheSettingsPageShowsTheStringsInBracesAndGivesThemBackUnchanged) {
    const std::string f0 = "\003FEx\r", f9 = "a|b{c}~", sys = "ls | wc {x}", mrg = "#2`0\r";
    fn[0].assign(f0);
    fn[9].assign(f9);
    sysstring.assign(sys);
    expression.assign("#1*2");
    mrgstring.assign(mrg);
    std::tie(scanunit, jmode, hyphlevel, lrcswitch) = std::tuple{3, 1, 2, 0};
    const char* tpl = "{r1,c1}Name:{c8}#1/9\x04";
    tempbufptr = tpl;
    corenum = 3;
    cur().viewtype = 2;
    cureditmask = editmask[2];
    writetemplate(0);
    mode = 0;
    param[1] = 0;
    view();
    EXPECT_EQ((std::tuple{corenum, cur().viewtype, mode}), (std::tuple{19, 7, 1}));
    EXPECT_EQ(texts()[0],
              "{C}FEx{M}|||||||||a{!}b{(}c{)`}|#2`0{M}|#1*2|ls {!} wc {(}x{)}|||3|1|2|0|");
    viewterm();
    EXPECT_FALSE(viewing());
    EXPECT_EQ((std::tuple{fn[0].view(), fn[9].view(), sysstring.view(), mrgstring.view(),
                          expression.view()}),
              (std::tuple{f0, f9, sys, mrg, "#1*2"}));
    EXPECT_EQ(settings(), (std::tuple{3, 1, 2, 0}));
    // The core file, its mask and its template are back.
    EXPECT_EQ((std::tuple{corenum, cureditmask, tempbufptr, maxfieldlen[1]}),
              (std::tuple{3, editmask[2], tpl, 9}));
}

TEST_F(ViewTest, EditedSettingsAreStoredWithinTheirLimits) {
    param[1] = 0;
    view();
    type_field(3, "{C}hi");
    for (int f = 16; f <= 19; ++f)
        type_field(f, "9");
    type_field(15, "");
    viewterm();
    EXPECT_EQ(std::tuple(fn[2].view(), settings(), scanpattern.empty()),
              std::tuple("\x03hi", std::tuple{6, 1, 3, 2}, true));
    fnptr = 0;  // an emptied digit field gives 0; letters cannot be typed into one
    view();
    type_field(17, "x");
    type_field(18, "");
    viewterm();
    EXPECT_EQ((std::pair{jmode, hyphlevel}), (std::pair{0, 0}));
}

// The core file page is checked through the real program; the rule-file page here.
TEST_F(ViewTest, TheRuleFilePageShowsTheFileLastReadForEachKind) {
    const char* kinds[] = {"AT", "TM", "SY", "US", "MO", "TB", "LE", "IP", "MR", "TG", "SM", "LX"};
    for (const qfile_row& row : qfile_table)
        if (std::string_view(row.name) != "GP")
            putgentofile(std::string(row.name) + ".r", row.letter);
    param[1] = 2;
    std::vector<std::string> rules;
    set_command_capture(&rules);
    view();
    for (int i = 0; i < 12; ++i) {
        const std::string want = "$TR" + std::to_string(3 + i) + ",26,48," + kinds[i] + ".r";
        EXPECT_NE(std::find(rules.begin(), rules.end(), want), rules.end()) << want;
    }
}

}  // namespace
