// Procedures: the brace notation, wildcard captures, and the control keys of loops, counters
// and conditionals.
#include "file_fixture.hpp"
#include "termutils.hpp"

TEST(BraceNotation, TranslatesBothWaysAndRoundTripsEveryByte) {
    // Several characters in one pair of braces; an unclosed brace translates to the end; a lone
    // closing brace is text.
    // clang-format off
    const std::pair<const char*, std::string> cases[] = {
        {"{!}", "|"}, {"{(}", "{"}, {"{)}", "}"}, {"{`}", "~"}, {"{/}", "\x7f"}, {"{C}", "\x03"},
        {"{M}", "\r"}, {"{c}", "\x03"}, {"{[}", "\x1b"}, {"FEname{M!}x", "FEname\r|x"},
        {"a{C", "a\x03"}, {"a}", "a}"}};
    // clang-format on
    for (const auto& [written, bytes] : cases)
        EXPECT_EQ(transtring(written), bytes) << written;
    EXPECT_EQ(untranschar("FE\r\361x\366a|b{c}~\177\036"), "FE{M?}x{.}a{!}b{(}c{)`/~}");
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(transtring(untranschar(all)), all);
}

class ProcTest : public FileTest {
  protected:
    // Types `text` into a new line and matches it against `pattern`; true when it matched,
    // and then the captures are copied.
    static bool capture(const std::string& text, const std::string& pattern) {
        if (unify(pattern, addline(text)->index, '\0', static_cast<long>(text.size())) != 1)
            return false;
        copywild(pattern);
        return true;
    }
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

TEST_F(ProcTest, StarsCaptureTheShortestRunAndAreTypedBack) {
    // clang-format off
    const std::tuple<std::string, const char*, std::vector<std::string>> cases[] = {
        {"abbc", "a*c", {"bb"}}, {"a", "a*", {""}}, {"abxb", "a*b", {"bx"}},
        {"<" + std::string(300, 'z') + ">", "<*>", {std::string(kPattLen - 1, 'z')}},  // cut
        {"key=value;rest", "*=*;*", {"key", "value", "rest"}}};
    // clang-format on
    for (const auto& [text, pattern, captures] : cases) {
        ASSERT_TRUE(capture(text, pattern)) << pattern;
        for (std::size_t i = 0; i < captures.size(); ++i)
            EXPECT_EQ(wildtext(static_cast<int>(i + 1)), captures[i]) << pattern << " " << i;
    }
    EXPECT_EQ(std::tuple(wildtext(0), wildtext(22)), std::tuple(std::string(), std::string()));
    // The capture number is read as the key after the wildcard key.
    cur().lnptr = allocln(kObjNew, 0);
    cur().curcol = 1;
    for (const char* number : {"2\r", "1\r"}) {
        pushfn(number);
        wildtxt();
    }
    EXPECT_EQ(text(cur().lnptr), "valuekey");
    // The pattern must cover the text to its end; a terminator other than the end works too.
    const long at = addline("abcd")->index;
    EXPECT_EQ(std::tuple(unify("a*c", at, '\0', 4), unify("abd", at, '\0', 4),
                         unify("a*d|ignored", at, '|', 4), unify("", at, '\0', 0),
                         unify("x", at, '\0', 0), unify(std::string(kPattLen, '*'), at, '\0', 3)),
              std::tuple(0, 0, 1, 1, 0, 0));
    // More stars than slots: the first 21 are kept.
    std::string pattern, line;
    for (int i = 0; i < 25; ++i) {
        pattern += "*,";
        line += std::to_string(i) + ",";
    }
    ASSERT_TRUE(capture(line, pattern));
    EXPECT_EQ(wildtext(21), "20");
}

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
        EXPECT_EQ(std::tuple(loopdepth, vl_result[0]), std::tuple(0, result)) << procedure;
    }
}

TEST_F(ProcTest, RunawayProceduresEnd) {
    // Overflowing the loop or the counter stack; a loop that pushes counters for ever, whose
    // error message is answered by keys from the loop itself that raise the error again; one
    // counter too many and then a loop that never gives the answer; a loop yielding no key.
    std::string deep_loops, deep_counters, one_too_many;
    for (int i = 0; i < 25; ++i) {
        deep_loops += "{<}";
        deep_counters += "{$}1";
        if (i < kLoopDepths) one_too_many += "{$}1";
    }
    for (const std::string& p :
         {deep_loops + "never", deep_counters + "never", std::string("{<}{$}1{>}never"),
          one_too_many + "{<}a{>}", std::string("{<}{>}z")}) {
        reset_scrin();
        EXPECT_EQ(run(p), "") << p;
        EXPECT_LT(loopdepth, kLoopDepths) << p;
        EXPECT_EQ(fnptr, 0) << p;
    }
    // The next keys come from the keyboard again; control codes typed there do nothing.
    EXPECT_EQ(run("ok"), "ok");
    procctl(113);
    EXPECT_EQ(loopdepth, 0);
}
