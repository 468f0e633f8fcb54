// Reformat: paragraphs refilled between the margins, justified and hyphenated.
#include <algorithm>
#include <random>
#include <sstream>

#include "reformat.hpp"
#include "test_cursor_fixture.hpp"

namespace {

constexpr int kReformat = 23;
const std::string kSoft = "\xAD";
using V = std::vector<std::string>;

class ReformatTest : public EditTest {
  protected:
    // Ctrl-R with the cursor at (line_no, column) of a fresh store whose current core file holds
    // `text`; the lines after it.
    static V reformatted(const V& text, int line_no = 1, int column = 1) {
        const int n = corenum;
        reset_store();
        corenum = n;
        fill_lines(text);
        at(line_no, column);
        press(kReformat);
        return lines();
    }
    static V split(std::string_view s) {
        V out(1);
        for (char ch : s) {
            if (ch == '/') {
                out.emplace_back();
            } else {
                out.back().push_back(ch);
            }
        }
        return out;
    }
    static V lines_of(int n) {
        const int keep = corenum;
        corenum = n;
        V out = lines();
        corenum = keep;
        return out;
    }
};

TEST_F(ReformatTest, ParagraphsRefillBetweenTheMargins) {
    struct Case {
        int lm, rm, col;
        const char *in, *out;  // lines split at '/'
    } const cases[] = {
        {1, 72, 1, "the quick brown/fox jumps", "the quick brown fox jumps"},
        {1, 72, 1, "well-/known words", "well-known words"},
        {1, 72, 1, "soft\xAD/ened text", "softened text"},
        {1, 72, 1, "two  blanks   here  ", "two blanks here"},
        {1, 72, 1, "a b/c//d", "a b c//d"},        // a blank line ends the paragraph
        {1, 72, 1, "a b/c/   /d", "a b c/   /d"},  // a text line of blanks as well
        {1, 72, 1, "a/  b/c", "a/  b/c"},          // so does another indent
        {1, 7, 1, "aaa bbb ccc ddd", "aaa bbb/ccc ddd"},
        {1, 6, 1, "abc de fg", "abc de/fg"},  // a word may end at the margin
        {1, 12, 1, "   one two three/four", "   one two/three four"},
        {5, 12, 1, "    aaa bbb ccc/    ddd", "    aaa bbb/    ccc ddd"},
        {1, 20, 16, "keep this part reformat it", "keep this part/reformat it"},
        {1, 10, 1, "short/abcdefghijklmnop/end", "short/abcdefghijklmnop/end"},
        {1, 9, 1, "xx well-known", "xx well-/known"},  // a break after the word's own hyphen
        {1, 8, 1, "xx well-known", "xx/well-/known"},
    };
    for (const Case& c : cases) {
        lmargin = c.lm;
        rmargin = c.rm;
        EXPECT_EQ(reformatted(split(c.in), 1, c.col), split(c.out)) << c.in;
        EXPECT_EQ(lineno(), 1) << c.in;
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
    expect_sound();  // the line and character counts of both files included
    // A paragraph in core file 0 itself: the new lines come before the old, which stay.
    corenum = 0;
    EXPECT_EQ(reformatted({"x", "y", "", "z"}), (V{"x y", "x", "y", "", "z"}));
    EXPECT_EQ(cur().lnptr, line(1));
    expect_sound();
    // An empty new line and a record line are left alone; nothing reaches core file 0.
    corenum = 1;
    load({"", "text"});
    EXPECT_EQ(asked(kReformat), 0);
    load({"a|b|", "text"});
    line(1)->object = kObjRecord;
    EXPECT_EQ(asked(kReformat), 0);
    EXPECT_EQ(lines(), (V{"a|b|", "text"}));
    EXPECT_EQ(core[0].lncount, 1);
}

TEST_F(ReformatTest, JustifiedLinesEndAtTheRightMarginWithGapsThatDifferByOneAtMost) {
    jmode = 1;
    std::string many;
    for (int i = 0; i < 160; ++i)
        many += "a ";
    const std::pair<int, V> cases[] = {
        {20,
         {"Justified text spreads the blanks of every full line so that it ends exactly at",
          "the right margin while the last line keeps single blanks"}},
        // 31 gaps, one for each position of the rotating bit: most gaps never see a set bit.
        {114, {many.substr(0, 63) + " " + std::string(51, 'w')}},
        {300, {many}},  // more gaps than a line was first thought to hold
    };
    for (const auto& [rm, in] : cases) {
        rmargin = rm;
        const V out = reformatted(in);
        ASSERT_GE(out.size(), 2u) << rm;
        for (std::size_t i = 0; i + 1 < out.size(); ++i) {
            const std::string& l = out[i];
            EXPECT_EQ(static_cast<int>(l.size()), rm) << l;
            std::vector<int> gaps;
            for (std::size_t p = l.find(' '); p != std::string::npos; p = l.find(' ', p)) {
                const std::size_t q = l.find_first_not_of(' ', p);
                gaps.push_back(static_cast<int>(q - p));
                p = q;
            }
            const auto [lo, hi] = std::minmax_element(gaps.begin(), gaps.end());
            EXPECT_LE(*hi - *lo, 1) << l;
        }
        EXPECT_EQ(out.back().find("  "), std::string::npos) << "the last line is not justified";
        expect_sound();
    }
    // "aa bb cc" has one blank to spare for two gaps: the rotating bit, which keeps its place from
    // one reformat to the next, picks the gap.
    reset_reformat();
    rmargin = 9;
    const V first = {"aa  bb cc", "dd"}, second = {"aa bb  cc", "dd"};
    for (const V& want : {first, first, first, second})
        EXPECT_EQ(reformatted({"aa bb cc dd"}), want);
    reset_reformat();
    EXPECT_EQ(reformatted({"aa bb cc dd"}), first);
}

TEST_F(ReformatTest, HyphenationBreaksOnlyWhatTheLevelAllows) {
    rmargin = 13;
    EXPECT_EQ(reformatted({"x understanding"}), (V{"x", "understanding"})) << "level 0";
    hyphlevel = 1;
    EXPECT_EQ(reformatted({"x understanding"}), (V{"x understand" + kSoft, "ing"}));
    // With room again the broken word joins without its soft hyphen.
    rmargin = 72;
    load({"x understand" + kSoft, "ing"});
    press(kReformat);
    EXPECT_EQ(lines(), V{"x understanding"});

    // The break point of a word at a level with at most `max` characters kept, -1 for none:
    // the last hyphen that fits wins over every other rule, an 's or a comma is no part of the
    // word, UNDER and the S before T give 5, ING and TION are suffixes, X and a doubled consonant
    // (level 2) and a vowel between consonants (level 3) give theirs, five letters are never
    // broken, and a hyphen that starts a word could not be joined again.
    std::istringstream cases(
        "0 understanding 12 -1 ; 0 well-known 8 5 ; 0 anti-war-protests 16 9 ; "
        "0 anti-war-protests 8 5 ; 0 -12345 4 -1 ; 1 anti-understanding 15 5 ; "
        "1 understanding 12 10 ; 1 understanding 9 5 ; 1 understanding 4 -1 ; "
        "1 understanding's 12 10 ; 1 understanding, 12 10 ; 1 taxation 7 4 ; 1 taxation 3 3 ; "
        "1 missing 6 4 ; 1 electro, 7 -1 ; 1 hospital 7 -1 ; 1 muffin 5 -1 ; 2 muffin 5 3 ; "
        "2 hospital 7 -1 ; 3 hospital 7 4 ; 3 unbox 4 -1 ; 3 taxes 4 -1 ; 3 ab-cd 4 -1 ;");
    std::string word, end;
    int max = 0, point = 0, count = 0;
    while (cases >> hyphlevel >> word >> max >> point >> end) {
        const HyphenBreak b = hyphenate(word, max);
        EXPECT_EQ(b.point, point) << word << " level " << hyphlevel << " max " << max;
        // No soft hyphen is added after the word's own hyphen.
        if (b.point >= 1) {
            EXPECT_EQ(b.at_hyphen, word[static_cast<std::size_t>(b.point - 1)] == '-') << word;
        }
        ++count;
    }
    EXPECT_EQ(count, 23);
    EXPECT_EQ(hyphenate(std::string(201, 'a'), 100).point, 0) << "too long to hyphenate";
    hyphlevel = 3;
    rmargin = 8;
    EXPECT_EQ(reformatted({"xxx under words"}), (V{"xxx", "under", "words"}));
}

TEST_F(ReformatTest, WithoutRoomNothingChangesAndTheUserIsTold) {
    load({"one two", "three"});
    const long records = linepool::in_use();
    for (int run = 0; run < 2; ++run) {
        std::vector<std::string> cmds;
        set_command_capture(&cmds);
        if (run == 0) hiaddr = avail + 4;       // no bytes
        if (run == 1) linepool::fail_after(0);  // no line record, before compaction or after
        pressed_at(1, 1, kReformat);
        hiaddr = kHiAddr;
        linepool::fail_after(-1);
        set_command_capture(nullptr);
        EXPECT_NE(std::find(cmds.begin(), cmds.end(), "$meinadequate free space for reformat"),
                  cmds.end());
        EXPECT_EQ(lines(), (V{"one two", "three"}));
        EXPECT_EQ(core[0].lncount, 1);
        EXPECT_EQ(linepool::in_use(), records);
        for (long i = avail; i < avail + 20; ++i)
            ASSERT_EQ(textbase[i], kFreeByte) << i;
        expect_sound();
    }
    EXPECT_EQ(pressed_at(1, 1, kReformat), V{"one two three"});
}

// The words of a paragraph as a reader sees them: a hyphen or soft hyphen that ends a line just
// after a character that is not a blank joins its word with the first word of the next line;
// the soft hyphen itself goes.
V words_of(const V& text) {
    std::string flat;
    bool joining = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string l = text[i].substr(0, text[i].find_last_not_of(' ') + 1);
        if (joining) l.erase(0, std::min(l.find_first_not_of(' '), l.size()));
        flat += l;
        joining = i + 1 < text.size() && flat.size() >= 2 && flat[flat.size() - 2] != ' ' &&
                  (flat.back() == '-' || flat.back() == kSoft[0]);
        if (joining && flat.back() == kSoft[0]) flat.pop_back();
        if (!joining) flat += ' ';
    }
    V out;
    for (std::size_t p = 0; (p = flat.find_first_not_of(' ', p)) != std::string::npos;) {
        const std::size_t q = std::min(flat.find(' ', p), flat.size());
        out.push_back(flat.substr(p, q - p));
        p = q;
    }
    return out;
}

// Random paragraphs: no word is lost, added or moved, lines fit the margins and start where they
// should, justified lines end at the margin, and the store stays sound.
TEST_F(ReformatTest, RandomParagraphsKeepEveryWordInOrderAndFitTheMargins) {
    std::mt19937 rng(5517);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto word = [&]() {
        static const std::string letters = "etaoinshrdlucmfwypvbgkqjxz";
        std::string w;
        const int len = pick(20) == 0 ? 20 + pick(40) : 1 + pick(12);
        for (int i = 0; i < len; ++i)
            w += letters[static_cast<std::size_t>(pick(i == 0 ? 26 : 12))];
        if (pick(8) == 0) w += "-" + std::string(static_cast<std::size_t>(1 + pick(6)), 'n');
        if (pick(10) == 0) w += pick(2) ? "," : "'s";
        return w;
    };
    for (int round = 0; round < 2000 && !HasFailure(); ++round) {
        const int lm = 1 + pick(8), rm = lm + pick(60);
        lmargin = lm;
        rmargin = rm;
        hyphlevel = pick(4);
        jmode = pick(2);
        const std::string indent(static_cast<std::size_t>(lm - 1), ' ');
        V para;
        const int nlines = 1 + pick(6);
        for (int i = 0; i < nlines; ++i) {
            std::string l = i == 0 ? std::string(static_cast<std::size_t>(pick(10)), ' ') : indent;
            for (int w = 1 + pick(9); w > 0; --w)
                l += word() +
                     std::string(static_cast<std::size_t>(1 + (pick(5) == 0 ? pick(3) : 0)), ' ');
            l.erase(l.find_last_not_of(' ') + 1);
            if (i + 1 < nlines && pick(5) == 0) l += pick(2) ? "-" : kSoft;  // a broken word
            para.push_back(l);
        }
        // The cursor in column 1, or just after a letter or blank of the first line.
        int col = pick(4) == 0 ? 2 + pick(static_cast<int>(para[0].size())) : 1;
        if (col > 1 && (para[0][static_cast<std::size_t>(col - 2)] == '-' ||
                        para[0][static_cast<std::size_t>(col - 2)] == kSoft[0]))
            col = 1;
        V text = para;
        text.insert(text.end(), {"", "untouched tail"});
        corenum = pick(5) == 0 ? 0 : 1;
        const V out = reformatted(text, 1, col);
        SCOPED_TRACE(testing::Message() << "round " << round << " margins " << lm << " " << rm
                                        << " level " << hyphlevel << " justify " << jmode
                                        << " column " << col << " first line " << para[0]);
        // Core file 0 keeps the old paragraph after the new lines.
        ASSERT_EQ(V(out.end() - 2, out.end()), (V{"", "untouched tail"}));
        const V fresh(out.begin(),
                      out.end() - 2 - (corenum == 0 ? static_cast<long>(para.size()) : 0));
        // The reader sees the part before the cursor as a line of its own.
        V seen = para;
        const std::size_t fnb = para[0].find_first_not_of(' ');
        const bool split = fnb != std::string::npos && static_cast<int>(fnb) + 1 < col;
        if (split) {
            seen[0] = para[0].substr(0, static_cast<std::size_t>(col - 1));
            seen.insert(seen.begin() + 1,
                        para[0].substr(std::min<std::size_t>(col - 1, para[0].size())));
        }
        ASSERT_EQ(words_of(fresh), words_of(seen));
        for (std::size_t i = split ? 1 : 0; i < fresh.size(); ++i) {
            const std::string& l = fresh[i];
            const std::size_t nb = l.find_first_not_of(' ');
            ASSERT_NE(nb, std::string::npos);
            EXPECT_EQ(nb, i == 0 ? fnb : indent.size()) << l;
            if (l.find(' ', nb) == std::string::npos) continue;  // one word may overflow
            EXPECT_LE(static_cast<int>(l.size()), rm) << l;
            if (jmode == 1 && i + 1 < fresh.size()) {
                EXPECT_EQ(static_cast<int>(l.size()), rm) << l;
            }
        }
        expect_sound();
    }
}

}  // namespace
