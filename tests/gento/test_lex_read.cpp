// The terminals file, the lexicon reader and its stored entry form, and the restored entries.
#include <string>
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

TEST_F(LexTest, TerminalsAreNumberedInOrderAndRepeatsAndSymbolsAreReported) {
    clear_terminals();
    read_terminals(file("t", "N V { verbs }\nN 12 , ADJ").c_str());
    EXPECT_EQ(terminal_count, 4);
    EXPECT_EQ(lookup_terminal("N"), 0);
    EXPECT_EQ(lookup_terminal("V"), 1);
    EXPECT_EQ(lookup_terminal("12"), 2);
    EXPECT_EQ(lookup_terminal("ADJ|rest|of|entry"), 3);
    EXPECT_EQ(lookup_terminal("V"), 1);  // found again right after another lookup
    EXPECT_EQ(lookup_terminal("Q"), -1);
    EXPECT_EQ(lookup_terminal(""), -1);
    EXPECT_EQ(messages("Repeated terminal N").size(), 1u);
    EXPECT_EQ(messages("Unexpected symbol char ','").size(), 1u);
    EXPECT_EQ(messages("ERROR terminals input").size(), 2u);
    clear_terminals();
    EXPECT_EQ(terminal_count, 0);
    EXPECT_EQ(lookup_terminal("N"), -1);
}

TEST_F(LexTest, MoreThan128TerminalsAreRefused) {
    clear_terminals();
    std::string names;
    for (int i = 0; i < 130; ++i)
        names += "T" + std::to_string(i) + "\n";
    read_terminals(file("t", names).c_str());
    EXPECT_EQ(terminal_count, 128);
    EXPECT_EQ(lookup_terminal("T127"), 127);
    EXPECT_EQ(lookup_terminal("T128"), -1);
    EXPECT_EQ(messages("Too many terminals").size(), 2u);
}

TEST_F(LexTest, StoredFormWithAndWithoutTheClosingBar) {
    lexicon(
        "\"dog\"|N|sg|10\n\"cat\"|N|sg|10|\n\"dogs\"|N|pl|10|dog|s|x|y|\n\"run\"|V|sg|3|a|b|c\n");
    const std::string sg = seg(1, 1) + " ";
    EXPECT_EQ(entries(0),
              (Entries{"\"dogs\"|N|" + seg(1, 2) + " |0010|dog|s|x|y|",
                       "\"cat\"|N|" + sg + "|0010|||", "\"dog\"|N|" + sg + "|0010|||"}));
    EXPECT_EQ(entries(1), (Entries{"\"run\"|V|" + sg + "|0003|a|b|c|"}));
    EXPECT_EQ(messages("Total Words: 4. Number of Errors: 0").size(), 1u);
    EXPECT_EQ(messages("Finished reading lexicon input").size(), 1u);
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
    const Entries e = entries(0);
    ASSERT_EQ(e.size(), 7u);
    EXPECT_EQ(e[6], "\"a\"|N|||||");
    EXPECT_EQ(e[5], "\"b\"|N|" + seg(1, 1) + " ||||");
    EXPECT_EQ(e[4], "\"c\"|N|" + seg(1, 1) + " |0001|||");
    EXPECT_EQ(e[3], "\"d\"|N||9999|||");
    EXPECT_EQ(e[2], "\"e\"|N||0000|||");
    EXPECT_EQ(e[1], "\"f\"|N||0001|||");
    EXPECT_EQ(e[0], "\"g\"|N||0042|||");
    EXPECT_EQ(entry_weight(e[6].c_str()), 0);
    EXPECT_EQ(entry_weight(e[3].c_str()), 9999);
    EXPECT_EQ(entry_weight(e[0].c_str()), 42);
}

TEST_F(LexTest, AttributeFieldIsCodedAndOrderedByType) {
    lexicon(
        "\"x\"|N|third , pl|1|\n"
        "\"y\"|N|sg.third,<sup,DEGREE|1|\n"
        "\"z\"|N|sg;pl|1|\n");
    const Entries e = entries(0);
    ASSERT_EQ(e.size(), 3u);
    // The unexpected ';' is reported but the entry stays, its compounds closed by ',' only.
    EXPECT_EQ(e[0], "\"z\"|N|" + seg(1, 1) + seg(1, 2) + " |0001|||");
    EXPECT_EQ(e[1], "\"y\"|N|" + seg(1, 1) + "." + seg(2, 3) + " <" + seg(3, 3) + " " +
                        seg(3, 255) + " |0001|||");
    EXPECT_EQ(e[2], "\"x\"|N|" + seg(1, 2) + " " + seg(2, 3) + " |0001|||");
    EXPECT_EQ(messages("Unexpected character in attribute field char ';'").size(), 1u);
    EXPECT_EQ(messages("ERROR lexicon input \"z\" ").size(), 1u);  // the entry names itself
}

TEST_F(LexTest, RejectedEntriesAndTheirReports) {
    std::string many;
    for (int i = 0; i < 26; ++i)
        many += i == 0 ? "sg" : ",sg";
    lexicon(
        "\n   \n{ only a comment }\n"
        "\"a\"|N\n"
        "\"b\"|Q|sg|1|\n"
        "\"c\"|N|sg.nosuch|1|\n"
        "\"d\"|N|sg|1|" +
        repeat("x,", 550) +
        "|\n"
        "\"e\"|N|" +
        many +
        "|1|\n"
        "\"f\"|N|sg.sg.sg.sg.sg.sg.sg.sg.sg.sg.sg|1|\n"
        "\"ok\"|N|sg|1|\n");
    EXPECT_EQ(entries(0), (Entries{"\"ok\"|N|" + seg(1, 1) + " |0001|||"}));
    EXPECT_EQ(messages("ERROR lexicon input \"a\" Entry has fewer than two complete fields").size(),
              1u);
    EXPECT_EQ(messages("ERROR lexicon input \"b\" Terminal not found: Q").size(), 1u);
    EXPECT_EQ(messages("ERROR lexicon input \"c\" Unknown attribute nosuch").size(), 1u);
    EXPECT_EQ(messages("ERROR lexicon input \"d\" Entry is too long").size(), 1u);
    EXPECT_EQ(messages("ERROR lexicon input \"e\" Too many attribute compounds").size(), 1u);
    EXPECT_EQ(messages("ERROR lexicon input \"f\" Attribute compound too long").size(), 1u);
    EXPECT_EQ(messages("Total Words: 1. Number of Errors: 6").size(), 1u);
}

TEST_F(LexTest, KeywordsBackslashRAndTheFullLength) {
    lexicon("_ilt_ \"a\"|N||1|\n\\r\"b\"|N||2|\n\"c\"|N||3|" + repeat("y,", 504) + "y" + "|\n" +
            "\"d\"|N||3|" + repeat("y,", 504) + "yy|\n");
    const Entries e = entries(0);
    ASSERT_EQ(e.size(), 3u);
    EXPECT_EQ(e[0].size(), 1023u);  // exactly fits with its closing bars
    EXPECT_EQ(e[1], "\"b\"|N||0002|||");
    EXPECT_EQ(e[2], std::string(1, kIltMark) + "\"a\"|N||0001|||");
    EXPECT_EQ(messages("\"d\" Entry is too long").size(), 1u);  // one character more
}

TEST_F(LexTest, OnlyFiftyReportsButAllErrorsCounted) {
    std::string text;
    for (int i = 0; i < 60; ++i)
        text += "\"w" + std::to_string(i) + "\"|Q|\n";
    text += "\"good\"|V|\n";
    lexicon(text);
    EXPECT_EQ(errors_reported(), 50);
    EXPECT_EQ(messages("Total Words: 1. Number of Errors: 60").size(), 1u);
    EXPECT_EQ(entries(1).size(), 1u);
}

TEST_F(LexTest, ProgressAndAddingToTheStore) {
    std::string text;
    for (int i = 0; i < 250; ++i)
        text += "\"w" + std::to_string(i) + "\"|V||1|\n";
    bhelp = 0;
    lexicon(text);
    EXPECT_EQ(bhelp, 1);  // the progress line was shown
    EXPECT_EQ(entries(1).size(), 250u);
    EXPECT_EQ(entries(1).front().substr(0, 6), "\"w249\"");
    // A second file adds to the store; the newest entry leads its list.
    readdict(file("more", "\"extra\"|V||1|\n").c_str());
    EXPECT_EQ(entries(1).size(), 251u);
    EXPECT_EQ(entries(1).front().substr(0, 7), "\"extra\"");
    clearlexicon();
    EXPECT_EQ(dictterm, -1);
    EXPECT_TRUE(dictionary.empty());
}

TEST_F(LexTest, FieldPositionsSkipCodedSegments) {
    // A value number that is the code of '|' must not be taken for a separator.
    const std::string rec = "\"w\"|N|" + seg(1, '|') + " " + seg(2, ' ') + " |0005|a|b|";
    EXPECT_STREQ(getfieldptr(rec.c_str(), 1), rec.c_str());
    EXPECT_EQ(std::string(getfieldptr(rec.c_str(), 2)).substr(0, 2), "N|");
    EXPECT_EQ(std::string(getfieldptr(rec.c_str(), 4)), "0005|a|b|");
    EXPECT_EQ(std::string(getfieldptr(rec.c_str(), 6)), "b|");
    EXPECT_EQ(std::string(getfieldptr(rec.c_str(), 7)), "");
    EXPECT_EQ(std::string(getfieldptr(rec.c_str(), 40)), "");
    EXPECT_STREQ(getfieldptr(static_cast<const char*>(nullptr), 3), "");
    const std::string cut = "\"w\"|N|" + std::string(1, kAttrCode);  // a segment cut short
    EXPECT_EQ(std::string(getfieldptr(cut.c_str(), 4)), "");
    EXPECT_EQ(entry_weight(rec.c_str()), 5);
}

TEST_F(LexTest, PrintlexListsEveryEntryByTerminalNewestFirst) {
    lexicon("\"run\"|V|\n\"dog\"|N|\n\"cat\"|N|\n");
    const std::size_t before = lines_of(kMsgCore).size();
    printlex();
    const std::vector<std::string> all = lines_of(kMsgCore);
    ASSERT_EQ(all.size(), before + 3);
    EXPECT_EQ(all[before], "\"cat\"|N|||||");
    EXPECT_EQ(all[before + 1], "\"dog\"|N|||||");
    EXPECT_EQ(all[before + 2], "\"run\"|V|||||");
}

TEST_F(LexTest, RestoredEntriesKeepFileOrderAndTheirPlaces) {
    openfile(file("trees", "\"dog\"|N|sg, |0010|\n\n*unused\n\"run\"|V|\n").c_str(), 1);
    EXPECT_EQ(readentry(0), 1);
    EXPECT_EQ(readentry(0), 0);  // the empty line takes no place
    EXPECT_EQ(readentry(0), 0);  // a refused line keeps its place
    EXPECT_EQ(readentry(0), 1);
    EXPECT_EQ(restored_count, 3);
    EXPECT_EQ(std::string(restoredlexarray[0].recordptr), "\"dog\"|N|" + seg(1, 1) + " |0010|||");
    EXPECT_EQ(restoredlexarray[1].recordptr, nullptr);
    EXPECT_EQ(std::string(restoredlexarray[2].recordptr), "\"run\"|V|||||");
    EXPECT_EQ(lastrestored, &restoredlexarray[2]);
    EXPECT_EQ(restoredlexarray[2].previous, &restoredlexarray[1]);
    EXPECT_EQ(dictterm, -1);  // the lexicon itself is untouched
    clearrecoveredlexicon();
    EXPECT_EQ(restored_count, 0);
    EXPECT_EQ(lastrestored, nullptr);
    EXPECT_EQ(restoredlexarray[0].recordptr, nullptr);
}

TEST_F(LexTest, MoreThan1024RestoredEntriesAreRefused) {
    std::string text;
    for (int i = 0; i < 1030; ++i)
        text += "\"w\"|N|\n";
    openfile(file("trees", text).c_str(), 1);
    int accepted = 0;
    while (q_peep() != kTokEof)
        accepted += readentry(0);
    EXPECT_EQ(accepted, 1024);
    EXPECT_EQ(restored_count, 1024);
    EXPECT_EQ(messages("Too many restored lexical entries").size(), 6u);
}

TEST_F(LexTest, TheExampleLexiconsReadWithoutErrors) {
    for (const std::string lang : {"english", "french"}) {
        const int reported_before = errors_reported();
        const std::string base = std::string(ORU_SOURCE_DIR) + "/examples/" + lang + "/" + lang;
        clearattributes();
        readattr((base + ".att").c_str());
        clear_terminals();
        read_terminals((base + ".tm").c_str());
        ASSERT_GT(terminal_count, 3) << lang;
        lexicon_from(base + ".lex");
        EXPECT_GT(lex_words, 20) << lang;
        EXPECT_EQ(lex_errors, 0) << lang;
        EXPECT_EQ(errors_reported(), reported_before) << lang;
        for (int t = 0; t < dictterm; ++t) {
            for (const std::string& e : entries(t))
                EXPECT_EQ(lookup_terminal(getfieldptr(e.c_str(), 2)), t) << e;
        }
    }
}
