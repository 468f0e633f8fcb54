// The key reader: prefixes, number sequences, function strings, pauses, the upper-case lock,
// typed UTF-8 and the driver stream's end.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "store_fixture.hpp"
#include "sysutils.hpp"
#include "terminal.hpp"
#include "termutils.hpp"

namespace {

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
        ASSERT_NE(stream_, nullptr);
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

// Prefixes, number sequences, the upper-case lock and accents: each row is read from a function
// string with the lock as given.
TEST_F(KeysTest, KeysReadFromStrings) {
    struct Row {
        int lock;
        const char* in;
        int code;
        int ch;  // -1: not checked
    };
    const Row rows[] = {
        {0, "\x1b[5~", 28, -1},
        {0, "\x1b[5z", 28, -1},
        {0, "\033\033A", 20, -1},
        {0, "\x1b[A", 20, -1},
        {0, "\x1b[13~", 21, -1},
        {0, "\x1b[224~\x03", 21, 3},  // function string 1 is empty; the next key is Ctrl-C
        {0, "\xee", 31, -1},          // an ESC-prefixed key stored as one byte is the same key
        {0, "\x01\x1b\x0f\x1b[Zb", 4, 'b'},  // unbound keys are skipped silently
        {1, "a", 4, 'A'},
        {1, "\033a", 2, 0xE1},
        {1, "5", 3, '5'},
        {1, "!", 2, '!'},
        {0, "a", 4, 'a'},
        {0, "\x1b[u", 2, 0xF9}};
    for (const Row& r : rows) {
        transb = r.lock;
        EXPECT_EQ(key(r.in), r.code) << r.in;
        if (r.ch >= 0) {
            EXPECT_EQ(static_cast<unsigned char>(holdch), r.ch) << r.in;
        }
    }

    intran[623] = 17;
    EXPECT_EQ(key("\x1b[999~"), 17);
    EXPECT_EQ(static_cast<unsigned char>(holdch), 623 & 0xFF);
    // Any number of digits saturates at the last index.
    const std::string longest = "\x1b[" + std::string(5000, '9') + "~";
    EXPECT_EQ(key(longest.c_str()), 17);
    EXPECT_EQ(escflg, 0);
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

    // A function string that calls itself ends once the stack is full.
    fn[0].assign("\xb0");
    pushfn("\xb0z");
    EXPECT_EQ(chars(1), "z");

    // A pause hands input to the keyboard until the resume key (NUL); then the string goes on.
    type_in(std::string("m") + '\0' + "n");
    pushfn("\231b");
    EXPECT_EQ(chars(3), "mbn");

    // The interrupt key's string is Ctrl-C: the command key.
    IntHandler(SIGINT);
    fetchchar();
    EXPECT_EQ(type, 21);
    EXPECT_EQ(holdch, 3);
}

TEST_F(KeysTest, AnswersNumbersAndLetters) {
    pushfn("ab\r");
    gcr();
    EXPECT_EQ(del, 1);
    pushfn("\033B\x7f");
    gcr();
    EXPECT_EQ(del, 2);
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
    // é, then an invalid lead followed by '(', a euro sign (ignored), a stray continuation byte,
    // a three-byte sequence cut short by 'q', then z and a no-break space.
    type_in("\xc3\xa9\xc3(\xe2\x82\xac\x80\xe2\x82qz\xc2\xa0");
    EXPECT_EQ(chars(1), "\xe9");
    EXPECT_EQ(type, 4);
    EXPECT_EQ(chars(4), "(qz\xa0");
    EXPECT_EQ(type, 2) << "no-break space is typed, but is not a letter";
    // Two-byte characters beyond U+00FF have no byte in the store and are ignored, never kept
    // as the low byte of their code: oe ligature, l with stroke, de, alpha, then a four-byte
    // emoji; the first key read is the e acute after them.
    type_in("\xc5\x93\xc5\x82\xd0\xb4\xce\xb1\xdf\xbf\xf0\x9f\x98\x80\xc3\xa9");
    EXPECT_EQ(chars(1), "\xe9");

    // On an 8-bit terminal the same bytes are keys of the table: 0xC3 is ESC C.
    utf8_terminal = false;
    type_in("\xc3");
    fetchchar();
    EXPECT_EQ(type, 68);
}

// What terminals send for function, cursor, Home and End keys, plain and with modifiers, is
// read whole as one key: its binding acts, or nothing happens; no part of it is typed. Each input
// is typed at the keyboard followed by Return, and the keys read before the Return are listed as
// code:character.
TEST_F(KeysTest, TerminalKeySequencesAreReadWhole) {
    auto keys = [this](const std::string& in) {
        type_in(in + "\r");
        std::string out;
        for (int n = 0; n < 10; ++n) {
            fetchchar();
            if (type == 1) break;
            out += std::to_string(type);
            if (type >= 2 && type <= 4) out += std::string(":") + holdch;
            out += ' ';
        }
        return out;
    };
    const struct {
        const char* in;
        const char* keys;
    } rows[] = {
        {"\x1b[1;5C", ""},                    // Ctrl-Right: ESC [ 1, which is bound to nothing
        {"\x1b[1;5D\x1b[1;2A\x1b[1;3B", ""},  // Ctrl-Left, Shift-Up, Alt-Down
        {"\x1b[1;5H\x1b[1;2P", ""},           // Ctrl-Home, Shift-F1
        {"\x1b[1;2;3;4A", ""},                // any number of parameters
        {"\x1b[5;5~", "28 "},                 // Ctrl-Page-Up: the Page Up key
        {"\x1b[2;5~x", "22 4:x "},            // Ctrl-Insert, then x
        {"\x1b[999;5~", ""},                  // saturates at the last key index, unbound
        {"\x1b[15;2~\x1b[21~\x1b[24~", ""},   // Shift-F5 (an empty function string), F10, F12
        {"\x1b[A\x1bOA\x1bOB", "20 20 18 "},  // cursor keys, plain and application mode
        {"\x1bOF\x1b[F", "29 29 "},           // End in both forms: the upper-case lock
        {"\x1bOH\x1b[H", ""},                 // Home, bound to nothing
        {"\x1bOP\x1bOQ\x1bOS", ""},           // F1, F2, F4: the numbered keys 11, 12, 14
        {"\x1bOR", "21 "},                    // F3: the numbered key 13, the command line
        {"\x1bOMz", "4:z "},                  // keypad Enter: no key
        {"\x1bOt", "2:\xf4 4:t "},            // ESC O and a small letter: o circumflex, then t
        {"\x1bO", "2:\xf4 "},                 // ESC O with nothing after it
        {"\x1bO\x1b[A", "2:\xf4 20 "},        // and with another key after it
    };
    for (const auto& r : rows)
        EXPECT_EQ(keys(r.in), r.keys) << r.in;

    // Key strings keep the stored keys as they are: ESC O there is always o circumflex.
    fnptr = 0;
    pushfn("\x1bOP");
    EXPECT_EQ(chars(2), "\xf4P");
    // Once read whole, a sequence leaves no prefix behind.
    EXPECT_EQ(escflg, 0);
}

// Keys typed ahead are all there at once; each is read when asked for, and none is held back in
// a buffer where the wait for the next key would not see it. The driver's stream ends with 255.
TEST_F(KeysTest, KeysTypedAheadAreReadOneByOneAndTheDriverStreamEnds) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    FILE* keyboard = fdopen(fds[0], "r");
    ASSERT_NE(keyboard, nullptr);
    set_keyboard(keyboard);
    ASSERT_EQ(write(fds[1], "ab\x1b[Ac", 6), 6);
    EXPECT_EQ(chars(2), "ab");
    fetchchar();
    EXPECT_EQ(type, 20);
    EXPECT_EQ(chars(1), "c");
    ASSERT_EQ(write(fds[1], "d", 1), 1);
    EXPECT_EQ(chars(1), "d");
    close(fds[1]);
    set_keyboard(stdin);
    std::fclose(keyboard);

    std::string data = "k";
    FILE* driver = fmemopen(data.data(), data.size(), "r");
    ASSERT_NE(driver, nullptr);
    inptr = driver;
    EXPECT_EQ(orugetc(), 'k');
    EXPECT_EQ(orugetc(), 255);
    EXPECT_EQ(orugetc(), 255);
    inptr = stdin;
    std::fclose(driver);
}

}  // namespace
