// Matching entries against lookups and the frequency-weighted choice of words.
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "editor/terminal.hpp"
#include "lex_fixture.hpp"

using Words = std::vector<std::string>;

class ChoiceTest : public LexTest {
  protected:
    // A lookup for a word of `cls` with compounds made from attribute text, as rules make them.
    t_dict_lookup& lookup(const std::string& cls, std::vector<const char*> attrs = {}) {
        t_dict_lookup& l = dict_table[static_cast<std::size_t>(d_table_count++)];
        l.class_ = cls;
        l.pointed_at = 1;
        for (const char* a : attrs) {
            text_to_comp_struct(a, 0);
            add_attr_to_list(l.attributes, std::move(comp_attr_register));
        }
        return l;
    }
    // The word of an entry, without its quotes; "(none)" for no entry.
    static std::string word(const char* entry) {
        if (entry == nullptr) return "(none)";
        std::string w(entry, std::strcspn(entry, "|"));
        std::erase(w, '"');
        return w;
    }
    std::string choose(t_dict_lookup& l) {
        getdictent(&l);
        return word(l.dictionary);
    }
    // Every word that can be chosen for the lookup (the qualifying entries), newest first.
    static Words qualifying(const t_dict_lookup& l) {
        locate_matches(&l, lookup_terminal(l.class_));
        Words out;
        for (long i = 0; i < numnodes; ++i)
            out.push_back(word(nodearray[static_cast<std::size_t>(i)]->recordptr));
        return out;
    }
};

TEST(LexWildTest, StarsAndTerminators) {
    // {pattern, string, matches}
    const std::vector<std::tuple<const char*, const char*, int>> cases = {
        {"d*g", "dog", 1}, {"d*g", "dg", 1}, {"d*g", "dogs", 0},     {"*", "", 1},
        {"", "", 1},       {"", "a", 0},     {"a*b*c", "aXbYbc", 1}, {"a*b*c", "aXbYbcd", 0},
        {"Dog", "dog", 0}};
    for (const auto& [pattern, str, matches] : cases)
        EXPECT_EQ(match_wild(pattern, str, '\0', '\0'), matches) << pattern << " " << str;
    EXPECT_EQ(match_wild("the * sat", "the cat sat", '\0', '\0'), 1);
    EXPECT_EQ(match_wild(nullptr, "x", '\0', '\0'), 0);
    // The pattern and the string end at their own terminators.
    EXPECT_EQ(match_wild("do*\"junk", "dog\"|N|", '"', '"'), 1);
    EXPECT_EQ(match_wild("do\"", "dog\"", '"', '"'), 0);
    // Many stars against a long string that cannot match stays quick.
    EXPECT_EQ(match_wild("*a*a*a*a*a*a*a*b", std::string(4000, 'a').c_str(), '\0', '\0'), 0);
}

TEST_F(ChoiceTest, AttributesSignsAndTypes) {
    lexicon(
        "\"plain\"|N||1|\n"
        "\"one\"|N|sg|1|\n"
        "\"many\"|N|pl|1|\n"
        "\"any\"|N|NUMBER|1|\n"
        "\"me\"|N|sg.first|1|\n"
        "\"two\"|N|sg,third|1|\n"
        "\"big\"|ADJ|<sup|1|\n"
        "\"small\"|ADJ|>pos|1|\n"
        "\"fixed\"|ADJ|comp|1|\n");
    EXPECT_EQ(qualifying(lookup("N")), (Words{"two", "me", "any", "many", "one", "plain"}));
    EXPECT_EQ(qualifying(lookup("N", {"sg"})), (Words{"two", "any", "one"}));
    EXPECT_EQ(qualifying(lookup("N", {"NUMBER"})), (Words{"two", "any", "many", "one"}));
    EXPECT_EQ(qualifying(lookup("N", {"sg.first"})), (Words{"me"}));
    EXPECT_EQ(qualifying(lookup("N", {"sg", "third"})), (Words{"two"}));
    EXPECT_EQ(qualifying(lookup("N", {"third", "sg"})), (Words{"two"}));
    EXPECT_EQ(qualifying(lookup("N", {"first"})), Words{});
    // <sup holds every required value at or below sup; >pos every value at or above pos.
    EXPECT_EQ(qualifying(lookup("ADJ", {"pos"})), (Words{"small", "big"}));
    EXPECT_EQ(qualifying(lookup("ADJ", {"comp"})), (Words{"fixed", "small", "big"}));
    EXPECT_EQ(qualifying(lookup("ADJ", {"sup"})), (Words{"small", "big"}));
}

TEST_F(ChoiceTest, SingleAttributesTakeTheEntrysValues) {
    lexicon("\"many\"|N|sg.third,pl|1|\n");
    const char* entry = dictionary[0]->recordptr;
    text_to_comp_array("NUMBER", 0);
    EXPECT_EQ(match_single_attr(entry), 1);
    EXPECT_EQ(attr[0].value, 2);
    text_to_comp_array("sg", 0);
    EXPECT_EQ(match_single_attr(entry), 0);  // sg only together with third
    text_to_comp_array("sg.PERSON", 0);
    EXPECT_EQ(match_single_attr(entry), 1);
    EXPECT_EQ(attr[1].value, 3);
    text_to_comp_array("first", 0);
    EXPECT_EQ(match_single_attr(entry), 0);
    EXPECT_EQ(match_single_attr(nullptr), 0);

    // Lexical transformations learn the values of the word they pick.
    const int var = lt_new_delay(1, -1, 0);
    comp_attr c;
    add_comp_attr(c, var);
    attr_list list;
    add_attr_to_list(list, std::move(c));
    MState = 1;
    EXPECT_EQ(match_attr(entry, list.get()), 1);
    MState = 0;
    EXPECT_EQ(lt_delay_at(var).choice, 2);
}

TEST_F(ChoiceTest, FieldPatterns) {
    const char* entry = "\"w\"|N||0001|walk,walks:x;\"a,b\"||tag|";
    EXPECT_EQ(match_lsp("\"w\"|N|?|?|wal*|?|?|", entry), 1);
    EXPECT_EQ(match_lsp("?|?|?|?|walks,x|", entry), 1);     // each element found
    EXPECT_EQ(match_lsp("?|?|?|?|walks,y|?|", entry), 0);   // y is nowhere
    EXPECT_EQ(match_lsp("?|?|?|?|\"a,b\"|?|", entry), 1);   // quoted commas do not split
    EXPECT_EQ(match_lsp("?|?|?|?|?|x|", entry), 0);         // empty entry field
    EXPECT_EQ(match_lsp("?|?|?|?|?||t*|", entry), 1);       // empty pattern field
    EXPECT_EQ(match_lsp("?|?|?|?||", entry), 0);            // entry field not empty
    EXPECT_EQ(match_lsp("?|?|?|0001|?|?|?|?|", entry), 0);  // entry has fewer fields
    EXPECT_EQ(match_lsp("?|?|?|00*|", entry), 1);           // field 4 is compared too
    EXPECT_EQ(match_lsp("", entry), 1);
    EXPECT_EQ(match_lsp(nullptr, entry), 1);
}

TEST_F(ChoiceTest, ExactWordAndPreferredChoice) {
    lexicon("\"dog\"|N||1|\n\"dogs\"|N||1|\n\"cat\"|N||1|\n");
    recnode* list = dictionary[0];
    EXPECT_EQ(word(exactword("\"dogs\"", list)->recordptr), "dogs");
    EXPECT_EQ(word(exactword("\"do*\"", list)->recordptr), "dogs");  // the newest first
    EXPECT_EQ(exactword("\"cow\"", list), nullptr);
    EXPECT_EQ(exactword("\"dog\"", nullptr), nullptr);
    t_dict_lookup& l = lookup("N");
    l.preferredchoice = "\"d*g\"";
    EXPECT_EQ(qualifying(l), (Words{"dog"}));
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(choose(l), "dog");
}

TEST_F(ChoiceTest, ErrorsAndReports) {
    lexicon("\"dog\"|N|sg|1|\n\"run\"|V|sg|\n");
    t_dict_lookup& unknown = lookup("Q");
    t_dict_lookup& none = lookup("N", {"pl"});
    t_dict_lookup& unweighted = lookup("V");  // its only entry has an empty weight
    t_dict_lookup& good = lookup("N");
    t_dict_lookup& idle = lookup("N");
    idle.pointed_at = 0;
    getwords(0);
    EXPECT_EQ(std::tuple(unknown.error, none.error, unweighted.error, good.error),
              std::tuple(1, 3, 3, 0));
    EXPECT_EQ(std::tuple(unknown.dictionary, word(good.dictionary), idle.dictionary),
              std::tuple(nullptr, "dog", nullptr));
    expect_once(
        {"Terminal not found: Q", "No lexical entry found for N", "No lexical entry found for V"});
    // From a later start only the later entries are looked up again.
    good.dictionary = nullptr;
    getwords(4);
    EXPECT_EQ(good.dictionary, nullptr);
    EXPECT_EQ(count("Terminal not found: Q"), 1);
}

TEST_F(ChoiceTest, DrawsFallBetweenWeightBoundariesAndSharesFollowTheWeights) {
    lexicon("\"three\"|N||3|\n\"one\"|N||1|\n");  // "one" is the newest
    t_dict_lookup& l = lookup("N");
    std::map<long, std::string> by_draw;
    for (std::uint32_t k = 1; k < 200; ++k) {
        const std::uint32_t s = (k * 0x9E3779B1u) | 1u;
        seed = s;
        const long r = getrandom(4);
        seed = s;
        by_draw[r] = choose(l);
    }
    EXPECT_EQ(by_draw,
              (std::map<long, std::string>{{0, "one"}, {1, "three"}, {2, "three"}, {3, "three"}}));
    EXPECT_EQ(std::tuple(prob_tot, prob_array[0], prob_array[1]), std::tuple(4, 1, 4));

    lexicon("\"w1\"|N||1|\n\"w2\"|N||2|\n\"w0\"|N||0|\n\"w3\"|N||3|\n\"w4\"|N||4|\n");
    t_dict_lookup& five = lookup("N");
    seed = 12345;
    std::map<std::string, int> drawn;
    constexpr int kDraws = 50000;
    for (int i = 0; i < kDraws; ++i)
        ++drawn[choose(five)];
    EXPECT_EQ(drawn["w0"], 0);
    for (int w = 1; w <= 4; ++w)
        EXPECT_NEAR(drawn["w" + std::to_string(w)] / double(kDraws), w / 10.0, 0.01) << w;
}

TEST_F(ChoiceTest, FrequencyCodes) {
    auto after = [](const char* weight, int vf) {
        std::string e = std::string("\"w\"|N||") + weight + "|x|";
        apply_vf_single(e.data(), vf);
        return e.substr(7, e.find('|', 7) - 7);
    };
    // {weight, code, weight after}; with no weight there is nothing to rewrite in place.
    const std::vector<std::tuple<const char*, int, const char*>> cases = {
        {"0010", -1, "0010"}, {"0010", 0, "0000"},  {"0010", 7, "0007"},  {"0010", 12000, "9999"},
        {"0010", -2, "0015"}, {"9998", -2, "9999"}, {"0010", -3, "0020"}, {"6000", -3, "9999"},
        {"0011", -4, "0005"}, {"0010", -9, "0010"}, {"", 5, ""}};
    for (const auto& [weight, vf, result] : cases)
        EXPECT_EQ(after(weight, vf), result) << weight << " " << vf;
    // A word of weight 1 halved on each choice is chosen once, then never again.
    lexicon("\"once\"|N||1|\n");
    t_dict_lookup& l = lookup("N");
    l.vf = -4;
    EXPECT_EQ(choose(l), "once");
    EXPECT_EQ(word(dictionary[0]->recordptr), "once");
    EXPECT_EQ(entry_weight(dictionary[0]->recordptr), 0);
    EXPECT_EQ(choose(l), "(none)");
    EXPECT_EQ(l.error, 3);
}

TEST_F(ChoiceTest, TwoHundredThousandEntriesInOneTerminal) {
    std::string text = "\"oldest\"|N||5|\n";
    for (int i = 0; i < 200000; ++i)
        text += "\"w\"|N||0|\n";
    lexicon(text);
    t_dict_lookup& l = lookup("N");
    EXPECT_EQ(choose(l), "oldest");
    EXPECT_EQ(std::tuple(numnodes, prob_tot), std::tuple(200001, 5));
    // The tables keep their room: a second choice grows nothing.
    const std::size_t room = nodearray.capacity();
    EXPECT_EQ(choose(l), "oldest");
    EXPECT_EQ(nodearray.capacity(), room);
}

TEST_F(ChoiceTest, QfreqRewritesTheWeightsOfEveryMatchWhenAgreed) {
    lexicon("\"dog\"|N|sg|10|\n\"dogs\"|N|pl|10|\n\"cat\"|N|sg|10|\n\"run\"|V|sg|10|\n");
    auto weights = [] {
        std::string w;
        for (const std::string& e : entries(0))
            w += std::to_string(entry_weight(e.c_str())) + " ";
        return w;
    };
    std::vector<std::string> screen;
    set_command_capture(&screen);
    const int delays = delayptr;
    pushfn("\r\r");
    vary_frequency("N [ sg ] /\"d*\" /+3");
    EXPECT_EQ(weights(), "10 10 3 ");  // cat, dogs, dog
    EXPECT_EQ(delayptr, delays);
    EXPECT_EQ(count("VF N [ sg ] /\"d*\" /+3"), 1);
    EXPECT_EQ(count("\"dog\"|N|"), 1);  // displayed
    pushfn("\r\x7f");
    vary_frequency("N[NUMBER]/$4");  // halves every noun
    EXPECT_EQ(weights(), "5 5 1 ");
    EXPECT_EQ(count("\"cat\"|N|"), 0);  // not displayed
    pushfn("\x7f");
    vary_frequency("N/+9");  // aborted
    EXPECT_EQ(weights(), "5 5 1 ");
    pushfn("\r");
    vary_frequency("Q/+9");
    pushfn("\r");
    vary_frequency("N [ sg");  // refused: no closing bracket
    EXPECT_EQ(weights(), "5 5 1 ");
    EXPECT_EQ(entry_weight(entries(1)[0].c_str()), 10);
    set_command_capture(nullptr);
    Words shown;  // the questions and errors, in order
    for (const std::string& l : screen) {
        if (l.rfind("$me", 0) == 0) shown.push_back(l.substr(3));
    }
    const std::string three = "3 matches; <RETN> continues, <DEL> aborts";
    const std::string display = "Display matches? <RETN> yes, <DEL> no";
    EXPECT_EQ(shown, (Words{"1 matches; <RETN> continues, <DEL> aborts", display, three, display,
                            three, "terminal class not found", "] missing"}));
}

TEST_F(ChoiceTest, QfreqTakesLatinOneNamesAndAnUnknownAttributeMatchesNothing) {
    clear_terminals();
    read_terminals(file("l1.tm", "N \xC9T\xC9").c_str());
    lexicon("\"\xE9t\xE9\"|\xC9T\xC9||10|\n\"dog\"|N|sg|10|\n\"cat\"|N|pl|10|\n");
    std::vector<std::string> screen;
    set_command_capture(&screen);
    pushfn("\r\x7f");
    vary_frequency("\xC9T\xC9/+3");
    EXPECT_EQ(entry_weight(entries(1)[0].c_str()), 3);
    pushfn("\r\x7f");
    vary_frequency("N[nosuch]/+7");
    EXPECT_EQ(count("Unknown attribute nosuch"), 1);
    for (const std::string& e : entries(0))
        EXPECT_EQ(entry_weight(e.c_str()), 10) << e;
    set_command_capture(nullptr);
    Words asked;
    for (const std::string& l : screen) {
        if (l.find("matches;") != std::string::npos) asked.push_back(l.substr(3));
    }
    EXPECT_EQ(asked, (Words{"1 matches; <RETN> continues, <DEL> aborts",
                            "0 matches; <RETN> continues, <DEL> aborts"}));
}
