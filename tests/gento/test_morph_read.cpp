// The morphology and tables files: how rules and tables are rebuilt from tokens, every report of
// the readers, the listings, and the commands that load them.
#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "editor/terminal.hpp"
#include "gento.hpp"
#include "getparam.hpp"
#include "morph_fixture.hpp"

namespace {
std::vector<std::string> subrules_of(int r) {
    std::vector<std::string> out;
    for (const subrule* s = ruleheader.at(static_cast<std::size_t>(r)).get(); s != nullptr;
         s = s->nextsub.get()) {
        out.push_back(s->rulename + "/" + s->guard + "/" + s->mexp);
    }
    return out;
}
}  // namespace

TEST_F(MorphTest, RulesAreRebuiltFromTheirTokens) {
    load_rules(
        "{ plural of nouns }\n"
        "RULE PLURAL\n"
        "  pl , \"*s\" : #1 ;\n"
        "  pl : #1 \"e s\" % ;\n"
        "  * : #1;\n"
        "rule Past 1 sg | ( -1 pl ) : \"a:b;c\" & ;\n"
        "RULE EMPTY\n");
    EXPECT_EQ(numrules, 2);
    // A rule without subrules (EMPTY) still has its name.
    EXPECT_EQ(std::tuple(m_ruleindex("PLURAL"), m_ruleindex("Past"), m_ruleindex("EMPTY"),
                         m_ruleindex("plural"), m_ruleindex(nullptr)),
              std::tuple(0, 1, 2, -1, -1));
    EXPECT_EQ(subrules_of(0), (std::vector<std::string>{"PLURAL/pl,\"*s\":/#1|",
                                                        "PLURAL/pl:/#1\"e s\"|", "PLURAL/*:/#1|"}));
    EXPECT_EQ(subrules_of(1), (std::vector<std::string>{"Past/1sg|(-1pl):/\"a:b;c\"&|"}));
    EXPECT_TRUE(subrules_of(2).empty());
    EXPECT_EQ(std::tuple(count("ERROR"), file_position.view(), file_operation),
              std::tuple(0, "", ""));

    print_mrules();
    expect_once({"rule: 0 name: PLURAL guard: pl,\"*s\": mexp: #1|",
                 "rule: 1 name: Past guard: 1sg|(-1pl): mexp: \"a:b;c\"&|"});
    EXPECT_EQ(count("rule: "), 4);

    // Reading a second file adds to the rules; clearing forgets them.
    load_rules("RULE MORE * : \"m\" ;");
    EXPECT_EQ(m_ruleindex("MORE"), 3);
    clear_mrules();
    EXPECT_EQ(std::tuple(numrules, m_ruleindex("PLURAL"), ruleheader[0].get()),
              std::tuple(-1, -1, nullptr));
}

TEST_F(MorphTest, RuleFileReports) {
    load_rules(
        "junk here\n"
        "RULE A sg : \"a\" ;\n"
        "RULE ; x : y ;\n"
        "RULE A * : \"again\" ;\n"
        "RULE B * : \"b\" : \"c\" ; \"d\" ; sg : \"e\" ;\n"
        "RULE C sg : \"x\" ; pl : \"unfinished\"\n");
    const std::string e = "ERROR morphology input ";
    expect_once({e + " text before first RULE", e + " rule has no name",
                 e + " rule name repeated A", e + "rule B second COLON in subrule",
                 e + "rule B incomplete subrule", e + "rule C last subrule incomplete"});
    EXPECT_EQ(count("ERROR"), 6);
    EXPECT_EQ(numrules, 2);
    EXPECT_EQ(subrules_of(0), (std::vector<std::string>{"A/sg:/\"a\"|"}));
    EXPECT_EQ(subrules_of(1), (std::vector<std::string>{"B/*:/\"c\"|", "B/sg:/\"e\"|"}))
        << "the text after the first colon is dropped at the second";
    EXPECT_EQ(subrules_of(2), (std::vector<std::string>{"C/sg:/\"x\"|"}));
}

TEST_F(MorphTest, AtMostFiveHundredRulesAndLongSubrulesAreCutWithAReport) {
    std::string text;
    for (int i = 0; i < 502; ++i)
        text += "RULE R" + std::to_string(i) + " * : \"" + std::to_string(i) + "\" ;\n";
    load_rules(text);
    EXPECT_EQ(std::tuple(numrules, m_ruleindex("R499"), m_ruleindex("R500")),
              std::tuple(kMaxRules - 1, 499, -1));
    expect_once({"too many rules"});
    Leaves s = leaves({});
    current_node = s.root;
    EXPECT_EQ(eval("$R499|"), "499");

    clear_mrules();
    load_rules("RULE L * : \"" + std::string(1500, 'x') + "\" ;");
    ASSERT_EQ(numrules, 0);
    ASSERT_NE(ruleheader[0], nullptr);
    EXPECT_LE(ruleheader[0]->guard.size() + ruleheader[0]->mexp.size(), 1001U);
    expect_once({"text too long"});
    EXPECT_EQ(eval("$L|"), std::string(kMoutMax, 'x'));
}

TEST_F(MorphTest, TablesAreReadElementByElement) {
    load_tables(
        "AGREE ( \"e1\" , \"e,2\" , #1 \"s\" , $PL )\n"
        "EMPTY ( )\n"
        "PAREN ( ( \"a\" % ) , \"b\" )\n");
    ASSERT_NE(tablelist, nullptr);
    const table& t = *tablelist;
    EXPECT_EQ(t.tablename, "AGREE");
    EXPECT_EQ(t.count, 4);
    EXPECT_EQ(t.elements, "\"e1\"|\"e,2\"|#1\"s\"|$PL|");
    ASSERT_NE(t.next, nullptr);
    EXPECT_EQ(t.next->count, 0);
    ASSERT_NE(t.next->next, nullptr);
    EXPECT_EQ(t.next->next->elements, "\"a\"|") << "( and a lone % are dropped";
    EXPECT_EQ(t.next->next->count, 1) << "the first ) ends the table";
    print_tables();
    expect_once(
        {"table AGREE, 4 elements: \"e1\"|\"e,2\"|#1\"s\"|$PL|", "table EMPTY, 0 elements: "});
    clear_tables();
    EXPECT_EQ(tablelist, nullptr);
}

TEST_F(MorphTest, TableFileReports) {
    load_tables(", , T1 ( \"a\" ) T1 ( \"b\" ) T2 \"x\" T3 ( \"unclosed\" ");
    const std::string e = "ERROR table input ";
    expect_once({e + " table name expected, found char ','", e + "table T1 table name repeated",
                 e + "table T2 table has no element list", e + "table T3 last table incomplete"});
    ASSERT_NE(tablelist, nullptr);
    EXPECT_EQ(tablelist->elements, "\"a\"|");
    EXPECT_EQ(tablelist->next, nullptr);
}

TEST_F(MorphTest, CommandsReplaceWhatTheyLoadedAndSetTheirFileSlots) {
    std::vector<std::string> screen;
    set_command_capture(&screen);
    const std::string rules = file("m.rul", "RULE A * : \"a\" ;");
    const std::string tables = file("t.tbl", "T ( \"x\" )");
    curfile.assign(rules);
    qmorphology();
    EXPECT_EQ(std::tuple(installed & 8, gentofilename['m' - kFirstLetter]), std::tuple(8, rules));
    curfile.assign(file("m2.rul", "RULE B * : \"b\" ;"));
    qmorphology();
    EXPECT_EQ(m_ruleindex("A"), -1) << "the first file's rules were removed";
    EXPECT_EQ(m_ruleindex("B"), 0);
    expect_once({"uninstalled: MO"});

    curfile.assign(tables);
    qtbls();
    EXPECT_EQ(std::tuple(installed & 16, gentofilename['T' - kFirstLetter]),
              std::tuple(16, tables));
    qtbls();
    expect_once({"uninstalled: TB"});
    ASSERT_NE(tablelist, nullptr);
    EXPECT_EQ(tablelist->next, nullptr) << "read once, not twice";

    uninstall(qfile_table[14].mask);
    EXPECT_EQ(std::tuple(numrules, tablelist.get(), installed), std::tuple(-1, nullptr, 0));
    set_command_capture(nullptr);
    EXPECT_NE(std::find(screen.begin(), screen.end(), "$mQm" + rules), screen.end());
    EXPECT_NE(std::find(screen.begin(), screen.end(), "$mQm"), screen.end());
    EXPECT_NE(std::find(screen.begin(), screen.end(), "$mQT" + tables), screen.end());
}

TEST_F(MorphTest, MorphPassesCommand) {
    std::vector<std::string> screen;
    set_command_capture(&screen);
    const auto passes = [](int row) { return morph_passes[static_cast<std::size_t>(row)]; };
    param = {};
    param[1] = 21, param[2] = 7, param[3] = 8;
    qmpasses();
    EXPECT_EQ(passes(21), (std::array<int, kPassSlots>{0, 7, 8, 0, 0, 0}));
    param[1] = 3, param[2] = 5, param[3] = 6, param[4] = 9, param[5] = 4;
    qmpasses();
    EXPECT_EQ(passes(3), (std::array<int, kPassSlots>{0, 5, 6, 9, 4, 0}));
    param[1] = 22;
    qmpasses();
    param[1] = 4, param[2] = 0, param[3] = 7;
    qmpasses();
    EXPECT_EQ(passes(4), (std::array<int, kPassSlots>{0, 5, 6, 0, 0, 0})) << "left as it was";
    param[1] = -1, param[2] = 3;
    qmpasses();
    set_command_capture(nullptr);
    const auto shown = [&screen](const std::string& m) {
        return std::count(screen.begin(), screen.end(), "$me" + m);
    };
    EXPECT_EQ(shown("phonology passes have been set"), 1);
    EXPECT_EQ(shown("tree number too large"), 1);
    EXPECT_EQ(shown("first pass cannot be null"), 1);
    EXPECT_EQ(shown("tree number cannot be negative"), 1);
}
