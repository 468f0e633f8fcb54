// The terminals file, the lexicon reader and its stored entry form.

#include "lex_fixture.hpp"

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
    // A name ends at a bar.
    for (const auto& [name, n] :
         {std::pair{"N", 0}, {"V", 1}, {"12", 2}, {"ADJ|rest|", 3}, {"V", 1}, {"Q", -1}, {"", -1}})
        EXPECT_EQ(lookup_terminal(name), n) << name;
    expect_once({"Repeated terminal N", "Unexpected symbol char ','"});
    EXPECT_EQ(std::tuple(terminal_count, count("ERROR terminals input")), std::tuple(4, 2));
    std::string names;
    for (int i = 0; i < 130; ++i)
        names += "T" + std::to_string(i) + "\n";
    clear_terminals();
    read_terminals(file("many", names).c_str());
    EXPECT_EQ(std::tuple(terminal_count, lookup_terminal("T127"), lookup_terminal("T128")),
              std::tuple(128, 127, -1));
    EXPECT_EQ(count("Too many terminals"), 2);
}

// The stored form: closing bars added, weights of four digits, attributes coded and ordered by
// type, keywords kept as their code, and 1023 bytes at most.
TEST_F(LexTest, EntriesAreStoredInOneForm) {
    lexicon(
        "\"dog\"|N|sg|10\n\"dogs\"|N|pl|10|dog|s|x|y|\n\"run\"|V|sg|3|a|b|c\n"
        "\"a\"|N|\n\"b\"|N|sg|\n\"c\"|N|sg||\n\"d\"|N||12000|\n\"e\"|N||0|\n"
        "\"f\"|N||abc 7|\n\"g\"|N||  42 x 9 ; |\n"
        "\"x\"|N|third , pl|1|\n\"y\"|N|sg.third,<sup,DEGREE|1|\n\"z\"|N|sg;pl|1|\n"
        "_ilt_ \"k\"|N||1|\n\\r\"l\"|N||2|\n\"m\"|N||3|" +
        repeat("y,", 504) + "y|\n" + "\"n\"|N||3|" + repeat("y,", 504) + "yy|\n");
    const std::string sg = seg(1, 1) + " ";
    Entries e = entries(0);
    ASSERT_EQ(e.size(), 15u);
    EXPECT_EQ(e[0].size(), 1023u);  // "m" exactly fits with its closing bars; "n" does not
    e.erase(e.begin());
    EXPECT_EQ(
        e,
        (Entries{"\"l\"|N||0002|||", std::string(1, kIltMark) + "\"k\"|N||0001|||",
                 "\"z\"|N|" + seg(1, 1) + seg(1, 2) + " |0001|||",
                 "\"y\"|N|" + seg(1, 1) + "." + seg(2, 3) + " <" + seg(3, 3) + " " + seg(3, 255) +
                     " |0001|||",
                 "\"x\"|N|" + seg(1, 2) + " " + seg(2, 3) + " |0001|||", "\"g\"|N||0042|||",
                 "\"f\"|N||0001|||", "\"e\"|N||0000|||", "\"d\"|N||9999|||",
                 "\"c\"|N|" + sg + "|0001|||", "\"b\"|N|" + sg + "||||", "\"a\"|N|||||",
                 "\"dogs\"|N|" + seg(1, 2) + " |0010|dog|s|x|y|", "\"dog\"|N|" + sg + "|0010|||"}));
    EXPECT_EQ(entries(1), (Entries{"\"run\"|V|" + sg + "|0003|a|b|c|"}));
    expect_once({"\"n\" Entry is too long", "Unexpected character in attribute field char ';'",
                 "ERROR lexicon input \"z\" "});
}

TEST_F(LexTest, RejectedEntriesAreReportedFiftyAtMostAndAllCounted) {
    lexicon(
        "\n   \n{ only a comment }\n\"a\"|N\n\"b\"|Q|sg|1|\n\"c\"|N|sg.nosuch|1|\n\"d\"|N|sg|1|" +
        repeat("x,", 550) + "|\n\"e\"|N|sg" + repeat(",sg", 25) +
        "|1|\n\"f\"|N|sg.sg.sg.sg.sg.sg.sg.sg.sg.sg.sg|1|\n\"ok\"|N|sg|1|\n");
    EXPECT_EQ(entries(0), (Entries{"\"ok\"|N|" + seg(1, 1) + " |0001|||"}));
    const std::string e = "ERROR lexicon input ";
    expect_once({e + "\"a\" Entry has fewer than two complete fields",
                 e + "\"b\" Terminal not found: Q", e + "\"c\" Unknown attribute nosuch",
                 e + "\"d\" Entry is too long", e + "\"e\" Too many attribute compounds",
                 e + "\"f\" Attribute compound too long", "Total Words: 1. Number of Errors: 6"});
    const int before = count("ERROR");
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "\"w" + std::to_string(i) + "\"|Q|\n";
    lexicon(text + "\"good\"|V|\n");
    EXPECT_EQ(count("ERROR"), before + 50);
    expect_once({"Total Words: 1. Number of Errors: 60"});
}

TEST_F(LexTest, TheReadableListingAndFieldPositions) {
    lexicon("\"dog\"|N|sg.third, <comp, PERSON|4|x|\n_ilt_ \"big\"|ADJ|<sup|1|\n");
    // Coded attributes come out as their names; a keyword's code byte as its number in braces;
    // a segment cut short byte by byte.
    const std::size_t before = lines_of(kMsgCore).size();
    printlex();
    const std::vector<std::string> all = lines_of(kMsgCore);
    EXPECT_EQ(all[before] + all.back(),
              "\"dog\"|N|sg.third, PERSON, <comp|0004|x||{12}\"big\"|ADJ|<sup|0001|||");
    const std::string cut = "\"w\"|N|" + std::string(1, kAttrCode);
    EXPECT_EQ(printable_entry(cut.c_str()), "\"w\"|N|{25}");
    // A value number that is the code of '|' is no separator.
    const std::string rec = "\"w\"|N|" + seg(1, '|') + " " + seg(2, ' ') + " |0005|a|b|";
    const auto field = [](const std::string& r, int n) {
        return std::string(getfieldptr(r.c_str(), n));
    };
    EXPECT_EQ(field(rec, 2) + "/" + field(rec, 4) + "/" + field(rec, 6) + "/" + field(rec, 40) +
                  "/" + field(cut, 4),
              rec.substr(4) + "/0005|a|b|/b|//");
}
