// Matching entries against lookups and the frequency-weighted choice of words.
#include <cstring>
#include <map>

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
    static Words qualifying(const t_dict_lookup& l) {
        locate_matches(&l, lookup_terminal(l.class_));
        Words out;
        for (long i = 0; i < numnodes; ++i)
            out.push_back(word(nodearray[static_cast<std::size_t>(i)]->recordptr));
        return out;
    }
};

TEST(LexWildTest, StarsAndTerminators) {
    // Each ends at its own terminator; many stars against a long mismatch stay quick.
    // clang-format off
    const std::vector<std::tuple<const char*, std::string, char, int>> cases = {
        {"d*g", "dg", 0, 1}, {"a*b*c", "aXbYbcd", 0, 0}, {"do*\"junk", "dog\"|N|", '"', 1},
        {"do\"", "dog\"", '"', 0}, {"*a*a*a*a*a*a*a*b", std::string(4000, 'a'), 0, 0}};
    // clang-format on
    for (const auto& [pattern, str, end, matches] : cases)
        EXPECT_EQ(match_wild(pattern, str.c_str(), end, end), matches) << pattern << " " << str;
    EXPECT_EQ(match_wild(nullptr, "x", '\0', '\0'), 0);
}

TEST_F(ChoiceTest, AttributesSignsAndTypes) {
    lexicon(
        "\"plain\"|N||1|\n\"one\"|N|sg|1|\n\"many\"|N|pl|1|\n\"any\"|N|NUMBER|1|\n"
        "\"me\"|N|sg.first|1|\n\"two\"|N|sg,third|1|\n"
        "\"big\"|ADJ|<sup|1|\n\"small\"|ADJ|>pos|1|\n\"fixed\"|ADJ|comp|1|\n");
    // <sup holds every required value at or below sup; >pos every value at or above pos.
    // clang-format off
    const std::tuple<const char*, std::vector<const char*>, const char*> cases[] = {
        {"N", {}, "two me any many one plain "}, {"N", {"sg"}, "two any one "},
        {"N", {"NUMBER"}, "two any many one "}, {"N", {"sg.first"}, "me "},
        {"N", {"sg", "third"}, "two "}, {"N", {"third", "sg"}, "two "}, {"N", {"first"}, ""},
        {"ADJ", {"pos"}, "small big "}, {"ADJ", {"comp"}, "fixed small big "},
        {"ADJ", {"sup"}, "small big "}};
    // clang-format on
    for (const auto& [cls, attrs, words] : cases) {
        std::string got;
        for (const std::string& w : qualifying(lookup(cls, attrs)))
            got += w + " ";
        EXPECT_EQ(got, words) << cls << " " << attrs.size();
    }
}

TEST_F(ChoiceTest, LexicalTransformationsTakeTheEntrysValues) {
    // Lexical transformations learn the values of the word they pick.
    lexicon("\"many\"|N|sg.third,pl|1|\n");
    const int var = lt_new_delay(1, -1, 0);
    comp_attr c;
    add_comp_attr(c, var);
    attr_list list;
    add_attr_to_list(list, std::move(c));
    MState = 1;
    const int matched = match_attr(dictionary[0]->recordptr, list.get());
    MState = 0;
    EXPECT_EQ(std::tuple(matched, lt_delay_at(var).choice), std::tuple(1, 2));
}

TEST_F(ChoiceTest, FieldPatterns) {
    // Each element of a pattern field is found; quoted commas do not split; empty fields match
    // only empty fields; an entry with fewer fields fails; field 4 is compared too.
    const char* entry = "\"w\"|N||0001|walk,walks:x;\"a,b\"||tag|";
    // clang-format off
    for (const auto& [pattern, matches] :
         {std::pair{"\"w\"|N|?|?|wal*|?|?|", 1}, {"?|?|?|?|walks,x|", 1}, {"?|?|?|?|walks,y|?|", 0},
          {"?|?|?|?|\"a,b\"|?|", 1}, {"?|?|?|?|?|x|", 0}, {"?|?|?|?|?||t*|", 1}, {"?|?|?|?||", 0},
          {"?|?|?|0001|?|?|?|?|", 0}, {"?|?|?|00*|", 1}, {"?|?|?|01*|", 0}, {"", 1}})
        // clang-format on
        EXPECT_EQ(match_lsp(pattern, entry), matches) << pattern;
    EXPECT_EQ(match_lsp(nullptr, entry), 1);
}

TEST_F(ChoiceTest, PreferredChoiceErrorsAndReports) {
    lexicon("\"dog\"|N|sg|1|\n\"dogs\"|N||1|\n\"cat\"|N||1|\n\"run\"|V|sg|\n");
    t_dict_lookup& unknown = lookup("Q");
    t_dict_lookup& none = lookup("N", {"pl.first"});
    t_dict_lookup& unweighted = lookup("V");  // its only entry has an empty weight
    t_dict_lookup& good = lookup("N");
    good.preferredchoice = "\"d*g\"";
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
    EXPECT_EQ(std::tuple(good.dictionary, count("Terminal not found: Q")), std::tuple(nullptr, 1));
}

TEST_F(ChoiceTest, DrawsFallBetweenWeightBoundaries) {
    lexicon("\"three\"|N||3|\n\"never\"|N||0|\n\"one\"|N||1|\n");  // "one" is the newest
    t_dict_lookup& l = lookup("N");
    std::map<long, std::string> by_draw;
    for (std::uint32_t k = 1; k < 200; ++k) {
        seed = (k * 0x9E3779B1u) | 1u;
        const long r = getrandom(4);
        seed = (k * 0x9E3779B1u) | 1u;
        by_draw[r] = choose(l);
    }
    EXPECT_EQ(by_draw,
              (std::map<long, std::string>{{0, "one"}, {1, "three"}, {2, "three"}, {3, "three"}}));
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
    const std::string first = choose(l), second = choose(l);
    EXPECT_EQ(std::tuple(first, second, l.error), std::tuple("once", "(none)", 3));
}

TEST_F(ChoiceTest, QfreqRewritesTheWeightsOfEveryMatchWhenAgreed) {
    clear_terminals();
    read_terminals(file("l1.tm", "N V \xC9T\xC9").c_str());
    lexicon(
        "\"dog\"|N|sg|10|\n\"dogs\"|N|pl|10|\n\"cat\"|N|sg|10|\n\"run\"|V|sg|10|\n"
        "\"\xE9t\xE9\"|\xC9T\xC9||10|\n");
    std::vector<std::string> screen;  // the questions are answered by the keys pushed
    set_command_capture(&screen);
    // {answers, typed, weights after}: the count of matches and whether to display them are
    // asked; Delete aborts; $4 halves every noun; a Latin-1 terminal is found.
    // clang-format off
    const std::tuple<const char*, const char*, const char*> steps[] = {
        {"\r\r", "N [ sg ] /\"d*\" /+3", "10 10 3 10 10 "},
        {"\r\x7f", "N[NUMBER]/$4", "5 5 1 10 10 "}, {"\x7f", "N/+9", "5 5 1 10 10 "},
        {"\r\x7f", "\xC9T\xC9/+3", "5 5 1 10 3 "},
        {"\r\x7f", "N[nosuch]/+7", "5 5 1 10 3 "}};
    // clang-format on
    for (const auto& [answers, typed, after] : steps) {
        pushfn(answers);
        vary_frequency(typed);
        std::string w;
        for (int t : {0, 1, 2})
            for (const std::string& e : entries(t))
                w += std::to_string(entry_weight(e.c_str())) + " ";
        EXPECT_EQ(w, after) << typed;
    }
    set_command_capture(nullptr);
}
