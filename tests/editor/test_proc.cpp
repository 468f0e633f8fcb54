#include "file_fixture.hpp"

TEST(BraceNotation, EveryTableEntryAndControlLetterTranslates) {
    const std::pair<const char*, std::string> cases[] = {
        {"{-}", "\xd9"}, {"{=}", "\xd3"}, {"{?}", "\xf1"}, {"{:}", "\xf5"}, {"{.}", "\xf6"},
        {"{&}", "\xd6"}, {"{<}", "\xfb"}, {"{>}", "\xfc"}, {"{^}", "\xfd"}, {"{$}", "\xfe"},
        {"{%}", "\xf7"}, {"{!}", "|"},    {"{(}", "{"},    {"{)}", "}"},    {"{`}", "~"},
        {"{/}", "\x7f"}, {"{C}", "\x03"}, {"{M}", "\r"},   {"{c}", "\x03"}, {"{[}", "\x1b"},
    };
    for (const auto& [written, bytes] : cases)
        EXPECT_EQ(transtring(written), bytes) << written;

    // Several characters in one pair of braces, plain text around them, a number after a byte.
    EXPECT_EQ(transtring("FEname{M?}x{.}"), "FEname\r\xf1x\xf6");
    EXPECT_EQ(transtring("{$}3{<}a{^>%}"),
              "\xfe"
              "3\xfb"
              "a\xfd\xfc\xf7");
    // An unclosed brace keeps translating to the end; a lone closing brace is text.
    EXPECT_EQ(transtring("a{C"), "a\x03");
    EXPECT_EQ(transtring("a}"), "a}");
}

TEST(BraceNotation, WritingBackGivesTheNotationAndRoundTripsEveryByte) {
    EXPECT_EQ(untranschar("\x03x"), "{C}x");
    EXPECT_EQ(untranschar("FE\r\xf1x\xf6"), "FE{M?}x{.}");
    EXPECT_EQ(untranschar("a|b{c}~"), "a{!}b{(}c{)`}");
    EXPECT_EQ(untranschar("\x7f\x1e"), "{/~}");
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(transtring(untranschar(all)), all);
}

class WildTest : public FileTest {
  protected:
    // Types `s` into a new line and returns its arena offset.
    static long put(std::string_view s) { return addline(s)->index; }
};

TEST_F(WildTest, StarsMatchTheShortestRunAndCaptureIt) {
    long at = put("abbc");
    ASSERT_EQ(unify("a*c", at, '\0', 4), 1);
    copywild("a*c");
    EXPECT_EQ(wildtext(1), "bb");

    at = put("a");
    ASSERT_EQ(unify("a*", at, '\0', 1), 1);
    copywild("a*");
    EXPECT_EQ(wildtext(1), "");

    at = put("abxb");
    ASSERT_EQ(unify("a*b", at, '\0', 4), 1);
    copywild("a*b");
    EXPECT_EQ(wildtext(1), "bx");

    at = put("key=value;rest");
    ASSERT_EQ(unify("*=*;*", at, '\0', 14), 1);
    copywild("*=*;*");
    EXPECT_EQ(wildtext(1), "key");
    EXPECT_EQ(wildtext(2), "value");
    EXPECT_EQ(wildtext(3), "rest");

    // The pattern must cover the text to its end; a terminator other than the end works too.
    at = put("abcd");
    EXPECT_EQ(unify("a*c", at, '\0', 4), 0);
    EXPECT_EQ(unify("abd", at, '\0', 4), 0);
    EXPECT_EQ(unify("a*d|ignored", at, '|', 4), 1);
    EXPECT_EQ(unify("", at, '\0', 0), 1);
    EXPECT_EQ(unify("x", at, '\0', 0), 0);
    EXPECT_EQ(wildtext(0), "");
    EXPECT_EQ(wildtext(22), "");
}

TEST_F(WildTest, LongCapturesAreCutToTheirSlot) {
    const std::string longtext = "<" + std::string(300, 'z') + ">";
    const long at = put(longtext);
    ASSERT_EQ(unify("<*>", at, '\0', static_cast<long>(longtext.size())), 1);
    copywild("<*>");
    EXPECT_EQ(wildtext(1), std::string(kPattLen - 1, 'z'));

    // More stars than slots: the first 21 are kept.
    std::string pattern;
    for (int i = 0; i < 25; ++i)
        pattern += "*,";
    std::string line;
    for (int i = 0; i < 25; ++i)
        line += std::to_string(i) + ",";
    const long at2 = put(line);
    ASSERT_EQ(unify(pattern, at2, '\0', static_cast<long>(line.size())), 1);
    copywild(pattern);
    EXPECT_EQ(wildtext(21), "20");
    // A pattern longer than the position table is refused.
    EXPECT_EQ(unify(std::string(kPattLen, '*'), at2, '\0', 3), 0);
}
