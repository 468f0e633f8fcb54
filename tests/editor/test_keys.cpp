// The key reader: prefixes, number sequences, function strings, pauses, the upper-case lock,
// typed UTF-8 and the driver stream's end.
#include <cstdio>
#include <string>

#include "store_fixture.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

namespace {

using std::pair;

class KeysTest : public StoreTest {
  protected:
    void TearDown() override {
        set_keyboard(stdin);
        if (stream_ != nullptr) std::fclose(stream_);
        utf8_terminal = false;
        StoreTest::TearDown();
    }
    // Keys as typed at the keyboard.
    void type_in(const std::string& keys) {
        if (stream_ != nullptr) std::fclose(stream_);
        buf_ = keys;
        stream_ = fmemopen(buf_.data(), buf_.size(), "r");
        set_keyboard(stream_);
    }
    // Reads one key from a function string of its own and returns its code.
    static int key(const char* s) {
        fnptr = 0;
        pushfn(s);
        fetchchar();
        return type;
    }
    // The characters of the next `n` keys.
    static std::string chars(int n) {
        std::string out;
        for (int i = 0; i < n; ++i) {
            fetchchar();
            out += holdch;
        }
        return out;
    }
    std::string buf_;
    FILE* stream_ = nullptr;
};

// Prefixes, number sequences, the upper-case lock and accents, read from function strings.
TEST_F(KeysTest, KeysReadFromStrings) {
    // The lock, the keys, the code read and its character (-1: not checked). Function string 1
    // is empty; an ESC-prefixed key may be stored as one byte; unbound keys are skipped silently.
    // clang-format off
    const std::tuple<int, const char*, int, int> rows[] = {
        {0, "\x1b[5~", 28, -1}, {0, "\x1b[5z", 28, -1}, {0, "\033\033A", 20, -1}, {0, "\x1b[13~", 21, -1},
        {0, "\x1b[224~\x03", 21, 3}, {0, "\xee", 31, -1}, {0, "\x01\x1b\x0f\x1b[Zb", 4, 'b'},
        {1, "a", 4, 'A'}, {1, "\033a", 2, 0xE1}, {1, "5", 3, '5'}, {1, "!", 2, '!'}, {0, "\x1b[u", 2, 0xF9}};
    // clang-format on
    for (const auto& [lock, in, code, ch] : rows) {
        transb = lock;
        EXPECT_EQ(key(in), code) << in;
        EXPECT_EQ(ch >= 0 ? static_cast<unsigned char>(holdch) : -1, ch) << in;
    }
    intran[623] = 17;
    EXPECT_EQ(key("\x1b[999~"), 17);
    EXPECT_EQ(static_cast<unsigned char>(holdch), 623 & 0xFF);
    // A typing code given by KEY to a key without a character is ignored.
    intran[1] = 4;
    EXPECT_EQ(key("\x01z"), 4);
    EXPECT_EQ(holdch, 'z');
}

TEST_F(KeysTest, FunctionStringsNestAndPause) {
    fn[2].assign("xy");
    pushfn("\0332q");
    EXPECT_EQ(chars(3), "xyq");
    EXPECT_EQ(fnptr, 1) << "an exhausted string is popped by the next read";
    fnptr = 0;
    // Eleven pushes: the eleventh is dropped.
    for (const char* s : {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k"})
        pushfn(s);
    EXPECT_EQ(fnptr, 10);
    EXPECT_EQ(chars(10), "jihgfedcba");
    // A pause hands input to the keyboard until the resume key (NUL); then the string goes on.
    type_in(std::string("m") + '\0' + "n");
    pushfn("\231b");
    EXPECT_EQ(chars(3), "mbn");
}

TEST_F(KeysTest, AnswersNumbersAndLetters) {
    for (const auto& [keys, answer] : {pair("ab\r", 1), {"\033B\x7f", 2}}) {
        pushfn(keys);
        gcr();
        EXPECT_EQ(del, answer) << keys;
    }
    pushfn("1234x5");
    EXPECT_EQ(gnum(), 1234);
    EXPECT_EQ(chars(1), "5") << "the key ending the number is consumed";
    const std::string nines = std::string(40, '9') + "!";
    pushfn(nines.c_str());
    EXPECT_GT(gnum(), 0) << "saturates instead of overflowing";
    fnptr = 0;
    pushfn("\x02\x1b[A\033ak");
    glett();
    EXPECT_EQ(static_cast<unsigned char>(holdch), 0xE1);
}

TEST_F(KeysTest, TypedUtf8IsOneKey) {
    utf8_terminal = true;
    // é, an invalid lead and '(', a euro sign (ignored), a stray continuation byte, a
    // three-byte sequence cut short by 'q', then z and a no-break space (typed, not a letter).
    // Characters beyond U+00FF have no byte in the store and are ignored, never kept as the low
    // byte of their code: oe ligature, l with stroke, de, alpha, a four-byte emoji.
    type_in(
        "\xc3\xa9\xc3(\xe2\x82\xac\x80\xe2\x82qz\xc2\xa0\xc5\x93\xc5\x82\xd0\xb4\xce\xb1\xdf\xbf"
        "\xf0\x9f\x98\x80\xc3\xa9");
    EXPECT_EQ(chars(1), "\xe9");
    EXPECT_EQ(type, 4);
    EXPECT_EQ(chars(4), "(qz\xa0");
    EXPECT_EQ(type, 2);
    EXPECT_EQ(chars(1), "\xe9") << "the characters between were ignored";
}

// What terminals send for function, cursor, Home and End keys, plain and with modifiers, is
// read whole as one key: its binding acts, or nothing happens; no part of it is typed. Each input
// is typed followed by Return, and the keys read before the Return are listed as code:character.
TEST_F(KeysTest, TerminalKeySequencesAreReadWhole) {
    auto keys = [this](const std::string& in) {
        type_in(in + "\r");
        std::string out;
        for (fetchchar(); type != 1 && out.size() < 80; fetchchar())
            out += std::to_string(type) +
                   (type >= 2 && type <= 4 ? std::string(":") + holdch : std::string()) + " ";
        return out;
    };
    const pair<const char*, const char*> rows[] = {
        // Ctrl-Right (ESC [ 1, bound to nothing), Ctrl-Left, Shift-Up, Alt-Down, Ctrl-Home,
        // Shift-F1, four parameters, a saturated index, Shift-F5 (an empty function string), F10,
        // F12, Home both ways, F1, F2, F4 (the numbered keys 11, 12, 14): nothing at all.
        {"\x1b[1;5C\x1b[1;5D\x1b[1;2A\x1b[1;3B\x1b[1;5H\x1b[1;2P\x1b[1;2;3;4A\x1b[999;5~\x1b[15;2~"
         "\x1b[21~\x1b[24~\x1bOH\x1b[H\x1bOP\x1bOQ\x1bOS",
         ""},
        // Ctrl-Page-Up, Ctrl-Insert, cursor keys plain and in application mode, End both ways (the
        // upper-case lock), F3 (the command line).
        {"\x1b[5;5~\x1b[2;5~x\x1b[A\x1bOA\x1bOB\x1bOF\x1b[F\x1bOR", "28 22 4:x 20 20 18 29 29 21 "},
        // Keypad Enter is no key; ESC O and a small letter is o circumflex, then the letter.
        {"\x1bOMz\x1bOt", "4:z 2:\xf4 4:t "},
        {"\x1bO", "2:\xf4 "},
        {"\x1bO\x1b[A", "2:\xf4 20 "}};
    for (const auto& [in, read] : rows)
        EXPECT_EQ(keys(in), read) << in;
    // Key strings keep the stored keys as they are: ESC O there is always o circumflex.
    fnptr = 0;
    pushfn("\x1bOP");
    EXPECT_EQ(chars(2), "\xf4P");
    EXPECT_EQ(escflg, 0) << "a sequence read whole leaves no prefix behind";
}

}  // namespace
