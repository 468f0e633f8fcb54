// Reformat: paragraphs refilled between the margins, justified and hyphenated.
#include <algorithm>
#include <random>

#include "reformat.hpp"
#include "test_cursor_fixture.hpp"

namespace {

constexpr int kReformat = 23;
const std::string kSoft = "\xAD";

using V = std::vector<std::string>;

class ReformatTest : public EditTest {
  protected:
    // The current core file holds `text` in a fresh store; Ctrl-R with the cursor at
    // (line_no, column).
    static V reformatted(const V& text, int line_no = 1, int column = 1) {
        const int n = corenum;
        reset_store();
        corenum = n;
        fill_lines(text);
        at(line_no, column);
        press(kReformat);
        return lines();
    }
    static V lines_of(int n) {
        const int keep = corenum;
        corenum = n;
        V out = lines();
        corenum = keep;
        return out;
    }
    template <class F>
    static V screen_of(F action) {
        V cmds;
        set_command_capture(&cmds);
        action();
        set_command_capture(nullptr);
        return cmds;
    }
    static bool shown(const V& cmds, const std::string& message) {
        return std::find(cmds.begin(), cmds.end(), "$me" + message) != cmds.end();
    }
};

TEST_F(ReformatTest, ParagraphsRefillBetweenTheMargins) {
    struct Case {
        const char* what;
        V in;
        int lm, rm, col;
        V out;
    };
    const Case cases[] = {
        {"two lines become one",
         {"the quick brown", "fox jumps"},
         1,
         72,
         1,
         {"the quick brown fox jumps"}},
        {"hard hyphen rejoined", {"well-", "known words"}, 1, 72, 1, {"well-known words"}},
        {"soft hyphen rejoined without it",
         {"soft" + kSoft, "ened text"},
         1,
         72,
         1,
         {"softened text"}},
        {"blank runs collapse", {"two  blanks   here  "}, 1, 72, 1, {"two blanks here"}},
        {"a blank line ends the paragraph", {"a b", "c", "", "d"}, 1, 72, 1, {"a b c", "", "d"}},
        {"so does other indentation", {"a", "  b", "c"}, 1, 72, 1, {"a", "  b", "c"}},
        {"lines break at the margin", {"aaa bbb ccc ddd"}, 1, 7, 1, {"aaa bbb", "ccc ddd"}},
        {"a word may end exactly at the margin", {"abc de fg"}, 1, 6, 1, {"abc de", "fg"}},
        {"first line keeps its indent",
         {"   one two three", "four"},
         1,
         12,
         1,
         {"   one two", "three four"}},
        {"continuations at the left margin",
         {"    aaa bbb ccc", "    ddd"},
         5,
         12,
         1,
         {"    aaa bbb", "    ccc ddd"}},
        {"text before the cursor kept",
         {"keep this part reformat the rest"},
         1,
         20,
         16,
         {"keep this part", "reformat the rest"}},
        {"overlong word on its own",
         {"short", "abcdefghijklmnop", "end"},
         1,
         10,
         1,
         {"short", "abcdefghijklmnop", "end"}},
        {"break after a word's own hyphen", {"xx well-known"}, 1, 9, 1, {"xx well-", "known"}},
        {"no room for that hyphen either", {"xx well-known"}, 1, 8, 1, {"xx", "well-", "known"}},
    };
    for (const Case& c : cases) {
        lmargin = c.lm;
        rmargin = c.rm;
        EXPECT_EQ(reformatted(c.in, 1, c.col), c.out) << c.what;
        EXPECT_EQ(lineno(), 1) << c.what;
        expect_sound();
    }
}

TEST_F(ReformatTest, OldParagraphGoesToCoreFileZeroAndOnlyTextLinesAreRefilled) {
    load({"one", "two", "", "three"});
    corenum = 0;
    fill_lines({"kept in zero", "second"});
    corenum = 1;
    at(1, 1);
    // Stars on the old lines go; the window's first line follows the new lines.
    cur().starA = line(2);
    cur().starB = line(4);
    cur().starcount = 2;
    press(kReformat);
    EXPECT_EQ(lines(), (V{"one two", "", "three"}));
    EXPECT_EQ(cur().starcount, 0);
    EXPECT_EQ(cur().disln, line(1));
    EXPECT_EQ(lines_of(0), (V{"kept in zero", "one", "two", "second"}));
    EXPECT_EQ(cur().lncount, 3);
    EXPECT_EQ(core[0].lncount, 4);
    expect_sound();
    // A paragraph in core file 0 itself: the new lines come before the old, which stay.
    corenum = 0;
    EXPECT_EQ(reformatted({"x", "y", "", "z"}), (V{"x y", "x", "y", "", "z"}));
    EXPECT_EQ(cur().lnptr, line(1));
    expect_sound();
    // An empty new line and a record line are left alone; nothing reaches core file 0.
    corenum = 1;
    load({"", "text"});
    EXPECT_EQ(asked(kReformat), 0);
    EXPECT_EQ(lines(), (V{"", "text"}));
    load({"a|b|", "text"});
    line(1)->object = kObjRecord;
    EXPECT_EQ(asked(kReformat), 0);
    EXPECT_EQ(lines(), (V{"a|b|", "text"}));
    EXPECT_EQ(core[0].lncount, 1);
    expect_sound();
}

TEST_F(ReformatTest, JustifiedLinesEndExactlyAtTheRightMargin) {
    jmode = 1;
    std::string many;
    for (int i = 0; i < 160; ++i)
        many += "a ";
    struct Case {
        int rm;
        V in;
    };
    const Case cases[] = {
        {20,
         {"Justified text spreads the blanks of every full line so that it ends exactly at",
          "the right margin while the last line keeps single blanks"}},
        // 31 gaps, one for each position of the rotating bit: most gaps never see a set bit.
        {114, {many.substr(0, 63) + " " + std::string(51, 'w')}},
        // More gaps on a line than the justification table was first sized for.
        {300, {many}},
    };
    for (const Case& c : cases) {
        rmargin = c.rm;
        const V out = reformatted(c.in);
        ASSERT_GE(out.size(), 2u) << c.rm;
        for (std::size_t i = 0; i + 1 < out.size(); ++i) {
            const std::string& l = out[i];
            EXPECT_EQ(static_cast<int>(l.size()), c.rm) << l;
            // Every gap has the same width, or one more.
            std::vector<int> gaps;
            for (std::size_t p = 0; p < l.size(); ++p) {
                if (l[p] != ' ') continue;
                std::size_t q = l.find_first_not_of(' ', p);
                gaps.push_back(static_cast<int>(q - p));
                p = q;
            }
            ASSERT_FALSE(gaps.empty());
            const auto [lo, hi] = std::minmax_element(gaps.begin(), gaps.end());
            EXPECT_LE(*hi - *lo, 1) << l;
        }
        EXPECT_EQ(out.back().find("  "), std::string::npos) << "the last line is not justified";
        expect_sound();
    }
}

TEST_F(ReformatTest, TheOddBlankWandersFromOneReformatToTheNext) {
    jmode = 1;
    rmargin = 9;
    // "aa bb cc" has two gaps and one blank to spare; the rotating bit picks the gap.
    const V wider_first = {"aa  bb cc", "dd"};
    const V wider_second = {"aa bb  cc", "dd"};
    const V runs[] = {wider_first, wider_first, wider_first, wider_second};
    for (const V& want : runs)
        EXPECT_EQ(reformatted({"aa bb cc dd"}), want);
    reset_reformat();
    EXPECT_EQ(reformatted({"aa bb cc dd"}), wider_first);
}

TEST_F(ReformatTest, HyphenationKeepsThePartThatFits) {
    rmargin = 13;
    const V word = {"x understanding"};
    EXPECT_EQ(reformatted(word), (V{"x", "understanding"})) << "level 0 never breaks a word";
    hyphlevel = 1;
    EXPECT_EQ(reformatted(word), (V{"x understand" + kSoft, "ing"}));
    // Reformatting the broken word again with room for it joins it without the soft hyphen.
    rmargin = 72;
    load({"x understand" + kSoft, "ing"});
    press(kReformat);
    EXPECT_EQ(lines(), V{"x understanding"});
    // Five letters are never broken, whatever the level.
    hyphlevel = 3;
    rmargin = 8;
    EXPECT_EQ(reformatted({"xxx under words"}), (V{"xxx", "under", "words"}));
    expect_sound();
}

TEST_F(ReformatTest, HyphenationRulesByLevel) {
    struct Case {
        int level;
        const char* word;
        int max;
        int point;
        bool at_hyphen;
    };
    const Case cases[] = {
        {0, "understanding", 12, -1, false},
        {0, "well-known", 8, 5, true},
        {0, "anti-war-protests", 16, 9, true},  // the last hyphen that fits
        {0, "anti-war-protests", 8, 5, true},
        {0, "-12345", 4, -1, false},             // a leading hyphen could not be joined again
        {1, "anti-understanding", 15, 5, true},  // a hyphen wins over every other rule
        {1, "understanding", 12, 10, false},     // suffix ING
        {1, "understanding", 9, 5, false},       // prefix UNDER and the S before T
        {1, "understanding", 4, -1, false},
        {1, "understanding's", 12, 10, false},  // a closing 's is no part of the word
        {1, "understanding,", 12, 10, false},
        {1, "taxation", 7, 4, false},  // suffix TION
        {1, "taxation", 3, 3, false},  // after the X
        {1, "missing", 6, 4, false},
        {1, "electro,", 7, -1, false},  // the whole word is the prefix: nothing to send on
        {1, "hospital", 7, -1, false},
        {1, "muffin", 5, -1, false},
        {2, "muffin", 5, 3, false},  // between the doubled consonant
        {2, "hospital", 7, -1, false},
        {3, "hospital", 7, 4, false},  // before the vowel between consonants
        {3, "tests", 4, -1, false},    // five letters are never broken
        {3, "ab-cd", 4, -1, false},
    };
    for (const Case& c : cases) {
        hyphlevel = c.level;
        const HyphenBreak b = hyphenate(c.word, c.max);
        EXPECT_EQ(b.point, c.point) << c.word << " level " << c.level << " max " << c.max;
        if (b.point >= 1) {
            EXPECT_EQ(b.at_hyphen, c.at_hyphen) << c.word;
        }
    }
    hyphlevel = 3;
    EXPECT_EQ(hyphenate(std::string(201, 'a'), 100).point, 0) << "too long to hyphenate";
}

TEST_F(ReformatTest, WithoutRoomNothingChangesAndTheUserIsTold) {
    load({"one two", "three"});
    at(1, 1);
    const long records = linepool::in_use();
    hiaddr = avail + 4;
    V cmds = screen_of([] { press(kReformat); });
    hiaddr = kHiAddr;
    EXPECT_TRUE(shown(cmds, "inadequate free space for reformat"));
    EXPECT_EQ(lines(), (V{"one two", "three"}));
    EXPECT_EQ(core[0].lncount, 1);
    EXPECT_EQ(linepool::in_use(), records);
    for (long i = avail; i < avail + 20; ++i)
        ASSERT_EQ(textbase[i], kFreeByte) << i;
    expect_sound();
    // No spare line record, before compaction and after it.
    linepool::fail_after(0);
    cmds = screen_of([] { press(kReformat); });
    linepool::fail_after(-1);
    EXPECT_TRUE(shown(cmds, "inadequate free space for reformat"));
    EXPECT_EQ(lines(), (V{"one two", "three"}));
    expect_sound();
    // Typing goes on as before.
    press(kReformat);
    EXPECT_EQ(lines(), V{"one two three"});
}

// ---------------------------------------------------------------------------------------------
// Random paragraphs: no word is lost, added or moved, lines fit, the store stays sound
// ---------------------------------------------------------------------------------------------

// The words of a paragraph as a reader sees them: a hyphen or soft hyphen that ends a line just
// after a character that is not a blank (which may end the line before, when that line joined
// this one) joins its word with the first word of the next line; the soft hyphen itself goes.
V words_of(const V& text) {
    std::string flat;
    bool joining = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string l = text[i];
        l.erase(l.find_last_not_of(' ') + 1);
        if (joining) l.erase(0, std::min(l.find_first_not_of(' '), l.size()));
        flat += l;
        joining = i + 1 < text.size() && flat.size() >= 2 && flat[flat.size() - 2] != ' ' &&
                  (flat.back() == '-' || flat.back() == kSoft[0]);
        if (joining && flat.back() == kSoft[0]) flat.pop_back();
        if (!joining) flat += ' ';
    }
    V out;
    std::size_t p = 0;
    while ((p = flat.find_first_not_of(' ', p)) != std::string::npos) {
        const std::size_t q = std::min(flat.find(' ', p), flat.size());
        out.push_back(flat.substr(p, q - p));
        p = q;
    }
    return out;
}

std::string random_word(std::mt19937& rng) {
    static const std::string letters = "etaoinshrdlucmfwypvbgkqjxz";
    const int len =
        rng() % 20 == 0 ? 20 + static_cast<int>(rng() % 40) : 1 + static_cast<int>(rng() % 12);
    std::string w;
    for (int i = 0; i < len; ++i)
        w += letters[rng() % (i == 0 ? letters.size() : 12)];
    if (rng() % 8 == 0) w += "-" + std::string(1 + rng() % 6, 'n');  // a hyphen inside the word
    if (rng() % 10 == 0) w += rng() % 2 ? "," : "'s";
    return w;
}

TEST_F(ReformatTest, RandomParagraphsKeepEveryWordInOrderAndFitTheMargins) {
    std::mt19937 rng(5517);
    for (int round = 0; round < 2000; ++round) {
        const int lm = 1 + static_cast<int>(rng() % 8);
        const int rm = lm + static_cast<int>(rng() % 60);
        lmargin = lm;
        rmargin = rm;
        hyphlevel = static_cast<int>(rng() % 4);
        jmode = static_cast<int>(rng() % 2);
        const std::string indent(static_cast<std::size_t>(lm - 1), ' ');
        V para;
        const int nlines = 1 + static_cast<int>(rng() % 6);
        for (int i = 0; i < nlines; ++i) {
            std::string l = i == 0 ? std::string(rng() % 10, ' ') : indent;
            const int nwords = 1 + static_cast<int>(rng() % 9);
            for (int w = 0; w < nwords; ++w) {
                l += random_word(rng);
                l += std::string(1 + (rng() % 5 == 0 ? rng() % 3 : 0), ' ');
            }
            while (l.back() == ' ')
                l.pop_back();
            // Some lines end in a word broken by a hyphen or a soft hyphen.
            if (i + 1 < nlines && rng() % 5 == 0) l += rng() % 2 ? "-" : kSoft;
            para.push_back(l);
        }
        // The cursor is in column 1, or just after a letter or blank of the first line.
        int col = 1;
        if (rng() % 4 == 0) {
            col = 2 + static_cast<int>(rng() % para[0].size());
            const char before = para[0][static_cast<std::size_t>(col - 2)];
            if (before == '-' || before == kSoft[0]) col = 1;
        }
        const V tail = {"", "untouched tail"};
        V text = para;
        text.insert(text.end(), tail.begin(), tail.end());
        corenum = rng() % 5 == 0 ? 0 : 1;
        const V out = reformatted(text, 1, col);
        SCOPED_TRACE("round " + std::to_string(round) + " margins " + std::to_string(lm) + " " +
                     std::to_string(rm) + " level " + std::to_string(hyphlevel) + " justify " +
                     std::to_string(jmode) + " column " + std::to_string(col));
        // Core file 0 keeps the old paragraph; there the new lines come first.
        const std::size_t made = out.size() - tail.size() - (corenum == 0 ? para.size() : 0);
        const V fresh(out.begin(), out.begin() + static_cast<long>(made));
        ASSERT_EQ(V(out.end() - static_cast<long>(tail.size()), out.end()), tail);
        // What the reader sees: the first line from the cursor on, after the part before it.
        V seen = para;
        const std::size_t fnb = para[0].find_first_not_of(' ');
        const bool split = fnb != std::string::npos && static_cast<int>(fnb) + 1 < col;
        if (split) {
            seen[0] = para[0].substr(0, static_cast<std::size_t>(col - 1));
            seen.insert(seen.begin() + 1,
                        para[0].substr(std::min<std::size_t>(col - 1, para[0].size())));
        }
        ASSERT_EQ(words_of(fresh), words_of(seen)) << "first line: " << para[0];
        for (std::size_t i = split ? 1 : 0; i < fresh.size(); ++i) {
            const std::string& l = fresh[i];
            const std::size_t nb = l.find_first_not_of(' ');
            ASSERT_NE(nb, std::string::npos);
            const std::size_t want = i == 0 ? para[0].find_first_not_of(' ') : indent.size();
            EXPECT_EQ(nb, want) << l;
            const bool one_word = l.find(' ', nb) == std::string::npos;
            if (!one_word) {
                EXPECT_LE(static_cast<int>(l.size()), rm) << l;
                if (jmode == 1 && i + 1 < fresh.size()) {
                    EXPECT_EQ(static_cast<int>(l.size()), rm) << l;
                }
            }
        }
        expect_sound();
        if (HasFailure()) return;
    }
}

}  // namespace
