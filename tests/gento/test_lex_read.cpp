// The terminals file, the lexicon reader and its stored entry form, and the restored entries.
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "lex_fixture.hpp"
#include "scrout.hpp"

using Entries = std::vector<std::string>;

namespace {
std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}
}  // namespace

TEST_F(LexTest, TerminalsAreNumberedInOrderRepeatsAndSymbolsReportedAndAtMost128Kept) {
    clear_terminals();
    read_terminals(file("t", "N V { verbs }\nN 12 , ADJ").c_str());
    EXPECT_EQ(terminal_count, 4);
    // A name ends at a bar; V is found again right after another lookup.
    for (const auto& [name, n] : {std::pair{"N", 0},
                                  {"V", 1},
                                  {"12", 2},
                                  {"ADJ|rest|of|entry", 3},
                                  {"V", 1},
                                  {"Q", -1},
                                  {"", -1}})
        EXPECT_EQ(lookup_terminal(name), n) << name;
    expect_once({"Repeated terminal N", "Unexpected symbol char ','"});
    EXPECT_EQ(count("ERROR terminals input"), 2);
    clear_terminals();
    EXPECT_EQ(std::tuple(terminal_count, lookup_terminal("N")), std::tuple(0, -1));

    std::string names;
    for (int i = 0; i < 130; ++i)
        names += "T" + std::to_string(i) + "\n";
    read_terminals(file("many", names).c_str());
    EXPECT_EQ(std::tuple(terminal_count, lookup_terminal("T127"), lookup_terminal("T128")),
              std::tuple(128, 127, -1));
    EXPECT_EQ(count("Too many terminals"), 2);
}

TEST_F(LexTest, StoredFormWithAndWithoutTheClosingBar) {
    lexicon(
        "\"dog\"|N|sg|10\n\"cat\"|N|sg|10|\n\"dogs\"|N|pl|10|dog|s|x|y|\n\"run\"|V|sg|3|a|b|c\n");
    const std::string sg = seg(1, 1) + " ";
    EXPECT_EQ(entries(0),
              (Entries{"\"dogs\"|N|" + seg(1, 2) + " |0010|dog|s|x|y|",
                       "\"cat\"|N|" + sg + "|0010|||", "\"dog\"|N|" + sg + "|0010|||"}));
    EXPECT_EQ(entries(1), (Entries{"\"run\"|V|" + sg + "|0003|a|b|c|"}));
    expect_once({"Total Words: 4. Number of Errors: 0", "Finished reading lexicon input"});
}

TEST_F(LexTest, WeightRules) {
    lexicon(
        "\"a\"|N|\n"      // weight field never begun: empty
        "\"b\"|N|sg|\n"   // begun but the line ends: empty
        "\"c\"|N|sg||\n"  // closed without a number: 0001
        "\"d\"|N||12000|\n"
        "\"e\"|N||0|\n"
        "\"f\"|N||abc 7|\n"  // the first identifier is no number
        "\"g\"|N||  42 x 9 ; |\n");
    const std::string sg = seg(1, 1) + " ";
    const Entries e = entries(0);
    EXPECT_EQ(
        e, (Entries{"\"g\"|N||0042|||", "\"f\"|N||0001|||", "\"e\"|N||0000|||", "\"d\"|N||9999|||",
                    "\"c\"|N|" + sg + "|0001|||", "\"b\"|N|" + sg + "||||", "\"a\"|N|||||"}));
    std::string w;
    for (const std::string& x : e)
        w += std::to_string(entry_weight(x.c_str())) + " ";
    EXPECT_EQ(w, "42 1 0 9999 1 0 0 ");
}

TEST_F(LexTest, AttributeFieldIsCodedAndOrderedByType) {
    lexicon(
        "\"x\"|N|third , pl|1|\n"
        "\"y\"|N|sg.third,<sup,DEGREE|1|\n"
        "\"z\"|N|sg;pl|1|\n");
    // The unexpected ';' is reported but the entry stays, its compounds closed by ',' only.
    EXPECT_EQ(entries(0), (Entries{"\"z\"|N|" + seg(1, 1) + seg(1, 2) + " |0001|||",
                                   "\"y\"|N|" + seg(1, 1) + "." + seg(2, 3) + " <" + seg(3, 3) +
                                       " " + seg(3, 255) + " |0001|||",
                                   "\"x\"|N|" + seg(1, 2) + " " + seg(2, 3) + " |0001|||"}));
    // The report names the entry.
    expect_once({"Unexpected character in attribute field char ';'", "ERROR lexicon input \"z\" "});
}

TEST_F(LexTest, RejectedEntriesAreReportedFiftyAtMostAndAllCounted) {
    const std::string too_long = "\"d\"|N|sg|1|" + repeat("x,", 550) + "|\n";
    const std::string too_many = "\"e\"|N|sg" + repeat(",sg", 25) + "|1|\n";
    lexicon("\n   \n{ only a comment }\n\"a\"|N\n\"b\"|Q|sg|1|\n\"c\"|N|sg.nosuch|1|\n" + too_long +
            too_many + "\"f\"|N|sg.sg.sg.sg.sg.sg.sg.sg.sg.sg.sg|1|\n\"ok\"|N|sg|1|\n");
    EXPECT_EQ(entries(0), (Entries{"\"ok\"|N|" + seg(1, 1) + " |0001|||"}));
    const std::string e = "ERROR lexicon input ";
    expect_once({e + "\"a\" Entry has fewer than two complete fields",
                 e + "\"b\" Terminal not found: Q", e + "\"c\" Unknown attribute nosuch",
                 e + "\"d\" Entry is too long", e + "\"e\" Too many attribute compounds",
                 e + "\"f\" Attribute compound too long", "Total Words: 1. Number of Errors: 6"});

    // Only fifty errors of one reading are reported, but all are counted.
    const int before = count("ERROR");
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "\"w" + std::to_string(i) + "\"|Q|\n";
    lexicon(text + "\"good\"|V|\n");
    EXPECT_EQ(count("ERROR"), before + 50);
    expect_once({"Total Words: 1. Number of Errors: 60"});
    EXPECT_EQ(entries(1).size(), 1u);
}

TEST_F(LexTest, KeywordsBackslashRAndTheFullLength) {
    lexicon("_ilt_ \"a\"|N||1|\n\\r\"b\"|N||2|\n\"c\"|N||3|" + repeat("y,", 504) + "y" + "|\n" +
            "\"d\"|N||3|" + repeat("y,", 504) + "yy|\n");
    const Entries e = entries(0);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].size(), 1023u);  // exactly fits with its closing bars
    EXPECT_EQ(e[1], "\"b\"|N||0002|||");
    EXPECT_EQ(e[2], std::string(1, kIltMark) + "\"a\"|N||0001|||");
    EXPECT_EQ(count("\"d\" Entry is too long"), 1);  // one character more
}

TEST_F(LexTest, ProgressAndAddingToTheStore) {
    std::string text;
    for (int i = 0; i < 250; ++i)
        text += "\"w" + std::to_string(i) + "\"|V||1|\n";
    bhelp = 0;
    lexicon(text);
    EXPECT_EQ(bhelp, 1);  // the progress line was shown
    // A second file adds to the store; the newest entry leads its list.
    readdict(file("more", "\"extra\"|V||1|\n").c_str());
    EXPECT_EQ(std::tuple(entries(1).size(), entries(1)[0].substr(0, 7), entries(1)[1].substr(0, 6)),
              std::tuple(251UL, "\"extra\"", "\"w249\""));
    clearlexicon();
    EXPECT_EQ(std::tuple(dictterm, dictionary.empty()), std::tuple(-1, true));
}

TEST_F(LexTest, FieldPositionsSkipCodedSegments) {
    // A value number that is the code of '|' must not be taken for a separator.
    const std::string rec = "\"w\"|N|" + seg(1, '|') + " " + seg(2, ' ') + " |0005|a|b|";
    for (const auto& [n, rest] : {std::pair{1, rec},
                                  {2, rec.substr(4)},
                                  {4, std::string("0005|a|b|")},
                                  {6, std::string("b|")},
                                  {7, std::string()},
                                  {40, std::string()}})
        EXPECT_EQ(getfieldptr(rec.c_str(), n), rest) << n;
    EXPECT_STREQ(getfieldptr(static_cast<const char*>(nullptr), 3), "");
    const std::string cut = "\"w\"|N|" + std::string(1, kAttrCode);  // a segment cut short
    EXPECT_STREQ(getfieldptr(cut.c_str(), 4), "");
    EXPECT_EQ(entry_weight(rec.c_str()), 5);
}

TEST_F(LexTest, PrintlexListsEveryEntryByTerminalNewestFirstAndReadably) {
    // Coded attributes come out as their names, compounds separated as they were written; a
    // keyword kept as its code byte shows as the number in braces.
    lexicon(
        "\"run\"|V|\n\"dog\"|N|sg.third, <comp, PERSON|4|x|\n\"cat\"|N|\n"
        "_ilt_ \"big\"|ADJ|<sup|1|\n");
    const std::size_t before = lines_of(kMsgCore).size();
    printlex();
    const std::vector<std::string> all = lines_of(kMsgCore);
    EXPECT_EQ(Entries(all.begin() + static_cast<long>(before), all.end()),
              (Entries{"\"cat\"|N|||||", "\"dog\"|N|sg.third, PERSON, <comp|0004|x||",
                       "\"run\"|V|||||", "{12}\"big\"|ADJ|<sup|0001|||"}));
    EXPECT_EQ(printable_entry(nullptr), "");
    // A segment cut short is shown byte by byte, never read past its end.
    EXPECT_EQ(printable_entry(("\"w\"|N|" + std::string(1, kAttrCode)).c_str()), "\"w\"|N|{25}");
}

TEST_F(LexTest, RestoredEntriesKeepFileOrderAndTheirPlacesUpTo1024) {
    openfile(file("trees", "\"dog\"|N|sg, |0010|\n\n*unused\n\"run\"|V|\n").c_str(), 1);
    // The empty line takes no place; a refused line keeps its place.
    std::vector<int> taken;
    for (int i = 0; i < 4; ++i)
        taken.push_back(readentry(0));
    EXPECT_EQ(taken, (std::vector<int>{1, 0, 0, 1}));
    EXPECT_EQ(
        std::string(restoredlexarray[0].recordptr) + std::string(restoredlexarray[2].recordptr),
        "\"dog\"|N|" + seg(1, 1) + " |0010|||\"run\"|V|||||");
    EXPECT_EQ(restoredlexarray[1].recordptr, nullptr);
    EXPECT_EQ(std::tuple(restored_count, lastrestored, restoredlexarray[2].previous),
              std::tuple(3, &restoredlexarray[2], &restoredlexarray[1]));
    EXPECT_EQ(dictterm, -1);  // the lexicon itself is untouched
    clearrecoveredlexicon();
    EXPECT_EQ(std::tuple(restored_count, lastrestored, restoredlexarray[0].recordptr),
              std::tuple(0, nullptr, nullptr));

    openfile(file("many", repeat("\"w\"|N|\n", 1030)).c_str(), 1);
    int accepted = 0;
    while (q_peep() != kTokEof)
        accepted += readentry(0);
    EXPECT_EQ(std::tuple(accepted, restored_count), std::tuple(1024, 1024));
    EXPECT_EQ(count("Too many restored lexical entries"), 6);
}
