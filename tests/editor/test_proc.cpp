#include "file_fixture.hpp"
#include "termutils.hpp"

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

class ProcTest : public FileTest {
  protected:
    // Reads the keys of a procedure written in the brace notation and returns the characters
    // it typed; other keys show as `#` followed by their operation code.
    std::string run(std::string_view procedure) {
        keys = transtring(procedure);
        pushfn(keys.c_str());
        std::string typed;
        for (int guard = 0; fnptr > 0 && guard < 200; ++guard) {
            fetchchar();
            if (fnptr == 0 && type == 1) break;  // the keyboard, which only answers Return
            if (type >= 2 && type <= 4) {
                typed.push_back(holdch);
            } else {
                typed += "#" + std::to_string(type);
            }
        }
        return typed;
    }
    std::string keys;
};

TEST_F(ProcTest, CountersAndLoops) {
    EXPECT_EQ(run("{$}3{<}a{^}{>}{%}b"), "aaaab");
    EXPECT_EQ(loopdepth, 0);

    // Nested loops, each with its own counter depth.
    EXPECT_EQ(run("{$}2{<}x{$}1{<}y{^}{>}{%}{^}{>}{%}."), "xyyxyyxyy.");
    EXPECT_EQ(loopdepth, 0);

    // A count of 0 leaves the loop at once, skipping inner loops whole; a missing count is 0.
    EXPECT_EQ(run("{$}{<}{^}a{>}{%}c"), "c");
    EXPECT_EQ(run("{$}0{<}{^}a{<}b{^}{>}{>}{%}c"), "c");
    EXPECT_EQ(loopdepth, 0);
}

TEST_F(ProcTest, ConditionalsTestTheResultAndTheCaptures) {
    vl_result[0] = 1;
    EXPECT_EQ(run("{?}yes{:}no{.}!"), "yes!");
    vl_result[0] = 0;
    EXPECT_EQ(run("{?}yes{:}no{.}!"), "no!");
    // Without an else the failing branch skips to the end-if; without either, to the end.
    EXPECT_EQ(run("{?}yes{.}!"), "!");
    EXPECT_EQ(run("{?}yes"), "");
    // A nested conditional opens a level the skip must not stop inside.
    EXPECT_EQ(run("{?}a{?}b{:}c{.}d{:}e{.}f"), "ef");
    vl_result[0] = 1;
    EXPECT_EQ(run("{?}a{?}b{:}c{.}d{:}e{.}f"), "abdf");

    vl_result[0] = 7;
    EXPECT_EQ(run("{=}7 seven{:}other{.}"), "seven");
    EXPECT_EQ(run("{=}8 eight{:}other{.}"), "other");
    EXPECT_EQ(run("{$}8{=}8 eight{:}other{.}{%}"), "eight");
    EXPECT_EQ(vl_result[0], 7);

    const long at = addline("abbc")->index;
    ASSERT_EQ(unify("a*c", at, '\0', 4), 1);
    copywild("a*c");
    EXPECT_EQ(run("{-}1 bb{M}same{:}differ{.}"), "same");
    EXPECT_EQ(run("{-}1 bx{M}same{:}differ{.}"), "differ");
    EXPECT_EQ(run("{-}2 {M}empty{:}differ{.}"), "empty");
    EXPECT_EQ(run("{&}{-}1 no{M}x{:}y{.}z{.}w"), "yzw");
}

TEST_F(ProcTest, OverflowingTheLoopAndCounterStacksEndsTheProcedure) {
    std::string deep;
    for (int i = 0; i < 25; ++i)
        deep += "{<}";
    EXPECT_EQ(run(deep + "never"), "");
    reset_scrin();
    deep.clear();
    for (int i = 0; i < 25; ++i)
        deep += "{$}1";
    EXPECT_EQ(run(deep + "never"), "");
    EXPECT_LT(loopdepth, kLoopDepths);
    // Control codes typed at the keyboard do nothing.
    reset_scrin();
    procctl(113);
    EXPECT_EQ(loopdepth, 0);
}

TEST_F(ProcTest, ALoopThatYieldsNoKeyIsAbandoned) {
    // Without the guard this would never return.
    EXPECT_EQ(run("{<}{>}z"), "");
    EXPECT_EQ(fnptr, 0);
    // The procedure is gone; the next keys come from the keyboard again.
    EXPECT_EQ(run("ok"), "ok");
}

TEST_F(WildTest, CapturesAreTypedBackIntoTheText) {
    const long at = put("key=value;rest");
    ASSERT_EQ(unify("*=*;*", at, '\0', 14), 1);
    copywild("*=*;*");
    // A fresh line; the capture number is read as the key after the wildcard key.
    cur().lnptr = allocln(kObjNew, 0);
    cur().curcol = 1;
    static const char second[] = "2\r";
    pushfn(second);
    wildtxt();
    EXPECT_EQ(text(cur().lnptr), "value");
    static const char first[] = "1\r";
    pushfn(first);
    wildtxt();
    EXPECT_EQ(text(cur().lnptr), "valuekey");
}
