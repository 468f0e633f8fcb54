// The morphology and tables files: how rules and tables are rebuilt from tokens, every report of
// the readers, the listings, and the commands that load them.
#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "gento.hpp"
#include "getparam.hpp"
#include "morph_fixture.hpp"

namespace {
// "name/guard/expression" of each subrule, one after another.
std::string subrules_of(int r) {
    std::string out;
    for (const subrule* s = ruleheader.at(static_cast<std::size_t>(r)).get(); s != nullptr;
         s = s->nextsub.get())
        out += s->rulename + "/" + s->guard + "/" + s->mexp;
    return out;
}
}  // namespace

TEST_F(MorphTest, RulesAreRebuiltFromTheirTokensAndFaultsReported) {
    load_rules(
        "{ plural of nouns }\n"
        "RULE PLURAL\n  pl , \"*s\" : #1 ;\n  pl : #1 \"e s\" % ;\n  * : #1;\n"
        "rule Past 1 sg | ( -1 pl ) : \"a:b;c\" & ;\n"
        "RULE EMPTY\n");
    // A rule without subrules (EMPTY) still has its name; names are case sensitive.
    EXPECT_EQ(std::tuple(numrules, m_ruleindex("Past"), m_ruleindex("EMPTY"), m_ruleindex("plural"),
                         m_ruleindex(nullptr)),
              std::tuple(2, 1, 2, -1, -1));
    EXPECT_EQ(std::tuple(subrules_of(0), subrules_of(1), count("ERROR")),
              std::tuple("PLURAL/pl,\"*s\":/#1|PLURAL/pl:/#1\"e s\"|PLURAL/*:/#1|",
                         "Past/1sg|(-1pl):/\"a:b;c\"&|", 0));
    clear_mrules();

    load_rules(
        "junk here\nRULE A sg : \"a\" ;\nRULE ; x : y ;\nRULE A * : \"again\" ;\n"
        "RULE B * : \"b\" : \"c\" ; \"d\" ; sg : \"e\" ;\n"
        "RULE C sg : \"x\" ; pl : \"unfinished\"\n");
    const std::string e = "ERROR morphology input ";
    expect_once({e + " text before first RULE", e + " rule has no name",
                 e + " rule name repeated A", e + "rule B second COLON in subrule",
                 e + "rule B incomplete subrule", e + "rule C last subrule incomplete"});
    // The text after the first colon is dropped at the second.
    EXPECT_EQ(subrules_of(1) + subrules_of(2), "B/*:/\"c\"|B/sg:/\"e\"|C/sg:/\"x\"|");
}

TEST_F(MorphTest, TablesAreReadElementByElement) {
    load_tables(", , T1 ( \"a\" ) T1 ( \"b\" ) T2 \"x\" T3 ( \"unclosed\" ");
    const std::string e = "ERROR table input ";
    expect_once({e + " table name expected, found char ','", e + "table T1 table name repeated",
                 e + "table T2 table has no element list", e + "table T3 last table incomplete"});
    ASSERT_NE(tablelist, nullptr);
    EXPECT_EQ(std::tuple(tablelist->elements, tablelist->next.get()),
              std::tuple("\"a\"|", nullptr));
    clear_tables();
    load_tables(
        "AGREE ( \"e1\" , \"e,2\" , #1 \"s\" , $PL )\nEMPTY ( )\n"
        "PAREN ( ( \"a\" % ) , \"b\" )\n");
    ASSERT_TRUE(tablelist && tablelist->next && tablelist->next->next);
    const table& t = *tablelist;
    EXPECT_EQ(std::tuple(t.tablename, t.count, t.elements, t.next->count),
              std::tuple("AGREE", 4, "\"e1\"|\"e,2\"|#1\"s\"|$PL|", 0));
    // ( and a lone % are dropped; the first ) ends the table.
    EXPECT_EQ(std::tuple(t.next->next->elements, t.next->next->count), std::tuple("\"a\"|", 1));
    clear_tables();
    EXPECT_EQ(tablelist, nullptr);
}

TEST_F(MorphTest, CommandsReplaceWhatTheyLoadedAndMPassesChecksItsRow) {
    const std::string rules = file("m.rul", "RULE A * : \"a\" ;");
    curfile.assign(rules);
    qmorphology();
    EXPECT_EQ(std::tuple(installed & 8, gentofilename['m' - kFirstLetter]), std::tuple(8, rules));
    curfile.assign(file("m2.rul", "RULE B * : \"b\" ;"));
    qmorphology();
    EXPECT_EQ(std::tuple(m_ruleindex("A"), m_ruleindex("B"), count("uninstalled: MO")),
              std::tuple(-1, 0, 1));
    curfile.assign(file("t.tbl", "T ( \"x\" )"));
    qtbls();
    qtbls();
    ASSERT_NE(tablelist, nullptr);
    EXPECT_EQ(std::tuple(installed & 16, tablelist->next.get()), std::tuple(16, nullptr));
    uninstall(qfile_table[14].mask);
    EXPECT_EQ(std::tuple(numrules, tablelist.get(), installed), std::tuple(-1, nullptr, 0));

    // MPASSES sets a tree's passes; a refusal (tree too large, no pass, a pass too large, a
    // negative tree) leaves the row as it was.
    const int cases[][5] = {{3, 5, 6, 9, 4}, {22, 1, 0, 0, 0}, {3, 0, 7, 0, 0}, {-1, 3, 0, 0, 0}};
    for (const auto& given : cases) {
        param = {};
        std::copy(given, given + 5, param.begin() + 1);
        qmpasses();
        EXPECT_EQ(morph_passes[3], (std::array<int, kPassSlots>{0, 5, 6, 9, 4, 0})) << given[0];
    }
}
