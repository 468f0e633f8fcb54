// Procedures: the brace notation, wildcard captures, and the control keys of loops, counters
// and conditionals.
#include "file_fixture.hpp"
#include "termutils.hpp"

TEST(BraceNotation, ControlLettersAndCharactersTranslate) {
    // Several characters in one pair of braces, plain text around them; an unclosed brace keeps
    // translating to the end; a lone closing brace is text. (The procedure controls are tested by
    // what the loops below type.)
    // clang-format off
    const std::pair<const char*, std::string> cases[] = {
        {"{!}", "|"}, {"{(}", "{"}, {"{)}", "}"}, {"{`}", "~"}, {"{/}", "\x7f"}, {"{C}", "\x03"},
        {"{M}", "\r"}, {"{c}", "\x03"}, {"{[}", "\x1b"}, {"FEname{M!}x", "FEname\r|x"},
        {"a{C", "a\x03"}, {"a}", "a}"}};
    // clang-format on
    for (const auto& [written, bytes] : cases)
        EXPECT_EQ(transtring(written), bytes) << written;
}

TEST(BraceNotation, WritingBackGivesTheNotationAndRoundTripsEveryByte) {
    // clang-format off
    const std::pair<std::string, const char*> cases[] = {
        {"\003x", "{C}x"}, {"FE\r\361x\366", "FE{M?}x{.}"}, {"a|b{c}~", "a{!}b{(}c{)`}"},
        {"\177\036", "{/~}"}};
    // clang-format on
    for (const auto& [bytes, written] : cases)
        EXPECT_EQ(untranschar(bytes), written) << written;
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(transtring(untranschar(all)), all);
}

class WildTest : public FileTest {
  protected:
    // Types `text` into a new line and matches it against `pattern`; true when it matched,
    // and then the captures are copied.
    static bool capture(const std::string& text, const std::string& pattern) {
        if (unify(pattern, addline(text)->index, '\0', static_cast<long>(text.size())) != 1)
            return false;
        copywild(pattern);
        return true;
    }
};

TEST_F(WildTest, StarsMatchTheShortestRunAndCaptureIt) {
    // clang-format off
    const std::tuple<const char*, const char*, std::vector<std::string>> cases[] = {
        {"abbc", "a*c", {"bb"}}, {"a", "a*", {""}}, {"abxb", "a*b", {"bx"}},
        {"key=value;rest", "*=*;*", {"key", "value", "rest"}}};
    // clang-format on
    for (const auto& [text, pattern, captures] : cases) {
        ASSERT_TRUE(capture(text, pattern)) << pattern;
        for (std::size_t i = 0; i < captures.size(); ++i)
            EXPECT_EQ(wildtext(static_cast<int>(i + 1)), captures[i]) << pattern << " " << i;
    }
    // The pattern must cover the text to its end; a terminator other than the end works too.
    const long at = addline("abcd")->index;
    EXPECT_EQ(unify("a*c", at, '\0', 4), 0);
    EXPECT_EQ(unify("abd", at, '\0', 4), 0);
    EXPECT_EQ(unify("a*d|ignored", at, '|', 4), 1);
    EXPECT_EQ(unify("", at, '\0', 0), 1);
    EXPECT_EQ(unify("x", at, '\0', 0), 0);
    EXPECT_EQ(wildtext(0), "");
    EXPECT_EQ(wildtext(22), "");
}

TEST_F(WildTest, LongCapturesAreCutToTheirSlot) {
    ASSERT_TRUE(capture("<" + std::string(300, 'z') + ">", "<*>"));
    EXPECT_EQ(wildtext(1), std::string(kPattLen - 1, 'z'));
    // More stars than slots: the first 21 are kept.
    std::string pattern;
    std::string line;
    for (int i = 0; i < 25; ++i) {
        pattern += "*,";
        line += std::to_string(i) + ",";
    }
    ASSERT_TRUE(capture(line, pattern));
    EXPECT_EQ(wildtext(21), "20");
    // A pattern longer than the position table is refused.
    EXPECT_EQ(unify(std::string(kPattLen, '*'), cur().lnptr->index, '\0', 3), 0);
}

TEST_F(WildTest, CapturesAreTypedBackIntoTheText) {
    ASSERT_TRUE(capture("key=value;rest", "*=*;*"));
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

class ProcTest : public WildTest {
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
            typed += type >= 2 && type <= 4 ? std::string(1, holdch) : "#" + std::to_string(type);
        }
        return typed;
    }
    std::string keys;
};

TEST_F(ProcTest, LoopsCountersAndConditionals) {
    ASSERT_TRUE(capture("abbc", "a*c"));
    // The result register, the procedure, what it types. Nested loops each have their own
    // counter depth. A count of 0 leaves the loop at once, skipping inner loops whole; a missing
    // count is 0. Without an else the failing branch skips to the end-if; without either, to the
    // end. A nested conditional opens a level the skip must not stop inside. Captures compare
    // with text up to a Return.
    // clang-format off
    const std::tuple<int, const char*, const char*> cases[] = {
        {0, "{$}3{<}a{^}{>}{%}b", "aaaab"},
        {0, "{$}2{<}x{$}1{<}y{^}{>}{%}{^}{>}{%}.", "xyyxyyxyy."},
        {0, "{$}{<}{^}a{>}{%}c", "c"},      {0, "{$}0{<}{^}a{<}b{^}{>}{>}{%}c", "c"},
        {1, "{?}yes{:}no{.}!", "yes!"},     {0, "{?}yes{:}no{.}!", "no!"},
        {0, "{?}yes{.}!", "!"},             {0, "{?}yes", ""},
        {0, "{?}a{?}b{:}c{.}d{:}e{.}f", "ef"}, {1, "{?}a{?}b{:}c{.}d{:}e{.}f", "abdf"},
        {7, "{=}7 seven{:}other{.}", "seven"}, {7, "{=}8 eight{:}other{.}", "other"},
        {7, "{$}8{=}8 eight{:}other{.}{%}", "eight"}, {0, "{-}1 bb{M}same{:}differ{.}", "same"},
        {0, "{-}1 bx{M}same{:}differ{.}", "differ"},  {0, "{-}2 {M}empty{:}differ{.}", "empty"},
        {0, "{&}{-}1 no{M}x{:}y{.}z{.}w", "yzw"}};
    // clang-format on
    for (const auto& [result, procedure, typed] : cases) {
        vl_result[0] = result;
        EXPECT_EQ(run(procedure), typed) << procedure;
        EXPECT_EQ(loopdepth, 0) << procedure;
        EXPECT_EQ(vl_result[0], result) << procedure;
    }
}

TEST_F(ProcTest, OverflowingTheLoopAndCounterStacksEndsTheProcedure) {
    for (const char* key : {"{<}", "{$}1"}) {
        reset_scrin();
        std::string deep;
        for (int i = 0; i < 25; ++i)
            deep += key;
        EXPECT_EQ(run(deep + "never"), "") << key;
        EXPECT_LT(loopdepth, kLoopDepths);
    }
    // A loop that pushes counters for ever: the keys that answer the error message come from the
    // loop itself and raise the error again, which must not wait for an answer in turn.
    reset_scrin();
    EXPECT_EQ(run("{<}{$}1{>}never"), "");
    EXPECT_LT(loopdepth, kLoopDepths);
    // Nor may a loop that never gives the answer hold the message for ever: the procedure is
    // abandoned and the keyboard answers.
    reset_scrin();
    std::string deep;  // one counter too many: a single error, then the loop
    for (int i = 0; i < kLoopDepths; ++i)
        deep += "{$}1";
    EXPECT_EQ(run(deep + "{<}a{>}"), "");
    EXPECT_EQ(fnptr, 0);
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
