// Reformat: paragraphs refilled between the margins, justified and hyphenated.
#include <algorithm>
#include <sstream>

#include "reformat.hpp"
#include "test_cursor_fixture.hpp"

namespace {

constexpr int kReformat = 23;
constexpr char kSoft = '\xAD';
using V = std::vector<std::string>;

V split(std::string_view s) {  // lines split at '/'
    V out(1);
    for (char ch : s)
        ch == '/' ? void(out.emplace_back()) : out.back().push_back(ch);
    return out;
}

class ReformatTest : public EditTest {
  protected:
    // Ctrl-R at (line_no, column) of a fresh store whose current core file holds `text`.
    static V reformatted(const V& text, int line_no = 1, int column = 1) {
        const int n = corenum;
        reset_store();
        corenum = n;
        fill_lines(text);
        at(line_no, column);
        press(kReformat);
        expect_sound();  // the line and character counts of every file included
        return lines();
    }
};

TEST_F(ReformatTest, ParagraphsRefillBetweenTheMargins) {
    const std::tuple<int, int, int, const char*, const char*> cases[] = {
        {1, 72, 1, "the quick brown/fox jumps", "the quick brown fox jumps"},
        {1, 72, 1, "well-/known words", "well-known words"},
        {1, 72, 1, "soft\xAD/ened text", "softened text"},
        {1, 72, 1, "two  blanks   here  ", "two blanks here"},
        {1, 72, 1, "a b/c//d", "a b c//d"},        // a blank line ends the paragraph
        {1, 72, 1, "a b/c/   /d", "a b c/   /d"},  // a text line of blanks as well
        {1, 72, 1, "a/  b/c", "a/  b/c"},          // so does another indent
        {1, 6, 1, "abc de fg", "abc de/fg"},       // a word may end at the margin
        {1, 12, 1, "   one two three/four", "   one two/three four"},
        {5, 12, 1, "    aaa bbb ccc/    ddd", "    aaa bbb/    ccc ddd"},
        {1, 20, 16, "keep this part reformat it", "keep this part/reformat it"},
        {1, 10, 1, "short/abcdefghijklmnop/end", "short/abcdefghijklmnop/end"},
        {1, 9, 1, "xx well-known", "xx well-/known"},  // a break after the word's own hyphen
        {1, 8, 1, "xx well-known", "xx/well-/known"}};
    for (const auto& [lm, rm, col, in, out] : cases) {
        std::tie(lmargin, rmargin) = std::tuple(lm, rm);
        const V got = reformatted(split(in), 1, col);
        EXPECT_EQ(std::tuple(got, lineno()), std::tuple(split(out), 1)) << in;
    }
}

TEST_F(ReformatTest, OldParagraphGoesToCoreFileZeroAndOnlyTextLinesAreRefilled) {
    corenum = 0;
    fill_lines({"kept in zero", "second"});
    corenum = 1;
    fill_lines({"one", "two", "", "three"});
    at(1, 1);
    std::tie(cur().starA, cur().starB, cur().starcount) = std::tuple(line(2), line(4), 2);
    press(kReformat);  // stars on the old lines go
    EXPECT_EQ(std::tuple(lines(), cur().starcount, cur().disln),
              std::tuple(V{"one two", "", "three"}, 0, line(1)));
    corenum = 0;
    EXPECT_EQ(lines(), (V{"kept in zero", "one", "two", "second"}));
    expect_sound();
    // A paragraph in core file 0 itself: the new lines come before the old, which stay.
    EXPECT_EQ(reformatted({"x", "y", "", "z"}), (V{"x y", "x", "y", "", "z"}));
    // An empty new line and a record line are left alone.
    corenum = 1;
    load({"", "text"});
    EXPECT_EQ(asked(kReformat), 0);
    load({"a|b|", "text"});
    line(1)->object = kObjRecord;
    EXPECT_EQ(asked(kReformat), 0);
    EXPECT_EQ(lines(), (V{"a|b|", "text"}));
}

TEST_F(ReformatTest, JustifiedGapsDifferByOneAtMost) {
    jmode = 1;
    std::string many;
    for (int i = 0; i < 160; ++i)
        many += "a ";
    // 31 gaps, one for each position of the rotating bit; then more gaps than a line was first
    // thought to hold.
    for (const auto& [rm, in] :
         {std::pair{114, many.substr(0, 63) + " " + std::string(51, 'w')}, std::pair{300, many}}) {
        rmargin = rm;
        const V out = reformatted({in});
        ASSERT_EQ(out.size(), 2u) << rm;
        std::vector<int> gaps;
        for (std::size_t p = out[0].find(' '); p != std::string::npos; p = out[0].find(' ', p)) {
            const std::size_t q = out[0].find_first_not_of(' ', p);
            gaps.push_back(static_cast<int>(q - p));
            p = q;
        }
        const auto [lo, hi] = std::minmax_element(gaps.begin(), gaps.end());
        EXPECT_LE(*hi - *lo, 1) << out[0];
        EXPECT_EQ(static_cast<int>(out[0].size()), rm);
        EXPECT_EQ(out[1].find("  "), std::string::npos) << "the last line is not justified";
    }
    reset_reformat();  // the spare blank starts on the left again
    rmargin = 9;
    EXPECT_EQ(reformatted({"aa bb cc dd"}), (V{"aa  bb cc", "dd"}));
}

TEST_F(ReformatTest, HyphenationBreaksOnlyWhatTheLevelAllows) {
    rmargin = 13;
    EXPECT_EQ(reformatted({"x understanding"}), (V{"x", "understanding"})) << "level 0";
    hyphlevel = 1;
    EXPECT_EQ(reformatted({"x understanding"}), (V{std::string("x understand") + kSoft, "ing"}));
    // Level, word, most characters kept, break point (-1 for none): the last hyphen that fits
    // wins, an 's or a comma is no part of the word, UNDER and the S before T give 5, ING and
    // TION are suffixes, X and a doubled consonant (level 2) and a vowel between consonants
    // (level 3) give theirs, five letters are never broken, nor a hyphen that starts a word.
    std::istringstream cases(
        "0 understanding 12 -1 0 well-known 8 5 0 anti-war-protests 16 9 0 anti-war-protests 8 5 "
        "0 -12345 4 -1 1 anti-understanding 15 5 1 understanding 12 10 1 understanding 9 5 "
        "1 understanding 4 -1 1 understanding's 12 10 1 understanding, 12 10 1 taxation 7 4 "
        "1 taxation 3 3 1 missing 6 4 1 electro, 7 -1 1 hospital 7 -1 1 muffin 5 -1 "
        "2 muffin 5 3 2 hospital 7 -1 3 hospital 7 4 3 unbox 4 -1 3 taxes 4 -1 3 ab-cd 4 -1");
    std::string word;
    int max = 0, point = 0, count = 0;
    for (; cases >> hyphlevel >> word >> max >> point; ++count) {
        const HyphenBreak b = hyphenate(word, max);
        EXPECT_EQ(b.point, point) << word << " level " << hyphlevel << " max " << max;
        if (b.point >= 1) {
            EXPECT_EQ(b.at_hyphen, word[std::size_t(b.point - 1)] == '-') << word;
        }
    }
    EXPECT_EQ(count, 23);
    EXPECT_EQ(hyphenate(std::string(201, 'a'), 100).point, 0) << "too long to hyphenate";
}

TEST_F(ReformatTest, WithoutRoomNothingChangesAndTheUserIsTold) {
    load({"one two", "three"});
    const long records = linepool::in_use();
    for (int run = 0; run < 2; ++run) {
        std::vector<std::string> cmds;
        set_command_capture(&cmds);
        if (run == 0) hiaddr = avail + 4;       // no bytes
        if (run == 1) linepool::fail_after(0);  // no line record
        pressed_at(1, 1, kReformat);
        hiaddr = kHiAddr;
        linepool::fail_after(-1);
        set_command_capture(nullptr);
        EXPECT_EQ(std::count(cmds.begin(), cmds.end(), "$meinadequate free space for reformat"), 1);
        EXPECT_EQ(std::tuple(lines(), core[0].lncount, linepool::in_use(), textbase[avail]),
                  std::tuple(V{"one two", "three"}, 1, records, kFreeByte));
        expect_sound();
    }
}

}  // namespace
