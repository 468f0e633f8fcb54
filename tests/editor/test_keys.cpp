// The key reader: prefixes, number sequences, function strings, pauses, the upper-case lock,
// typed UTF-8 and the end of keyboard input.
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
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
        buf_ = keys;
        stream_ = fmemopen(buf_.data(), buf_.size(), "r");
        ASSERT_NE(stream_, nullptr);
        set_keyboard(stream_);
    }
    // Reads one key from a function string and returns its code.
    static int key(const char* s) {
        pushfn(s);
        fetchchar();
        return type;
    }
    std::string buf_;
    FILE* stream_ = nullptr;
};

TEST_F(KeysTest, DefaultTableFollowsItsLists) {
    // Plain printable keys: punctuation 2, digits 3, letters and - . / _ ~ 4.
    EXPECT_EQ(intran[' '], 2);
    EXPECT_EQ(intran['!'], 2);
    EXPECT_EQ(intran['0'], 3);
    EXPECT_EQ(intran['9'], 3);
    for (char c : std::string("aZ-./_~"))
        EXPECT_EQ(intran[static_cast<int>(c)], 4) << c;
    EXPECT_EQ(intran[1], 0) << "Ctrl-A is the suspend key, ignored if it arrives";
    EXPECT_EQ(intran[3], 21);
    EXPECT_EQ(intran[127], 5);
    EXPECT_EQ(intran[128 + 'n'], 31);
    EXPECT_EQ(intran[128 + 127], 15);
    EXPECT_EQ(intran[256 + 'F'], 29);
    EXPECT_EQ(intran[384 + 13], 21);
    EXPECT_EQ(intran[384 + 232], 127);
    EXPECT_EQ(intran[623], 0);
    int bound = 0;
    for (int code : intran)
        bound += code != 0 ? 1 : 0;
    EXPECT_EQ(bound, 95 + 26 + 83 + 56 + 30) << "every listed key and no other";

    EXPECT_EQ(char_map['a'], 'a');
    EXPECT_EQ(char_map[128 + 'c'], 0xE7);
    EXPECT_EQ(char_map[256 + 'N'], 0xF1);
    EXPECT_EQ(char_map[31], 0);

    EXPECT_EQ(outtran['a'], 'a');
    EXPECT_EQ(outtran[200], 200);
    EXPECT_EQ(outtran[0], '~');
    EXPECT_EQ(outtran[150], '~');
    EXPECT_EQ(outtran[255], '~');
    EXPECT_EQ(outtran[173], '-');
    EXPECT_EQ(outtran[19], '~');
    EXPECT_EQ(outtran[22], 227);
    use_unicode_drawing();
    EXPECT_EQ(outtran[22], 0x253C);
    EXPECT_EQ(outtran[26], 0x250C);
    EXPECT_EQ(outtran[19], '~');

    EXPECT_EQ(charkind['x'], 1);
    EXPECT_EQ(charkind['7'], 65);
    EXPECT_EQ(charkind['.'], 70);
    EXPECT_EQ(charkind['?'], 6);
    EXPECT_EQ(charkind[4], 7);
    EXPECT_EQ(charkind['('], 64);
    EXPECT_EQ(charkind[233], 1);
    EXPECT_EQ(charkind[246], 16);
    EXPECT_EQ(charkind[252], 8);
    EXPECT_EQ(charkind[243], 32);
    EXPECT_EQ(charkind[235], 0);
}

TEST_F(KeysTest, PrefixesAndNumberSequences) {
    EXPECT_EQ(key("\x1b[5~"), 28);
    EXPECT_EQ(key("\x1b[5z"), 28);
    EXPECT_EQ(key("\x1b\x1b"
                  "A"),
              20);
    EXPECT_EQ(key("\x1b[A"), 20);
    EXPECT_EQ(key("\x1b[13~"), 21);
    EXPECT_EQ(key("\x1b[224~\x03"), 21) << "function string 1 is empty; the next key is Ctrl-C";

    intran[623] = 17;
    EXPECT_EQ(key("\x1b[999~"), 17);
    EXPECT_EQ(static_cast<unsigned char>(holdch), 623 & 0xFF);
    // Any number of digits saturates at the last index.
    std::string longest = "\x1b[" + std::string(5000, '9') + "~";
    EXPECT_EQ(key(longest.c_str()), 17);
    EXPECT_EQ(escflg, 0);

    // An ESC-prefixed key stored as one byte in a string is the same key.
    EXPECT_EQ(key("\xee"), 31);
    // Unbound keys are skipped silently.
    EXPECT_EQ(key("\x01\x1b\x0f\x1b[Zb"), 4);
    EXPECT_EQ(holdch, 'b');
}

TEST_F(KeysTest, UpperCaseLockAndAccents) {
    transb = 1;
    EXPECT_EQ(key("a"), 4);
    EXPECT_EQ(holdch, 'A');
    EXPECT_EQ(key("\x1b"
                  "a"),
              2);
    EXPECT_EQ(static_cast<unsigned char>(holdch), 0xE1);
    EXPECT_EQ(key("5"), 3);
    EXPECT_EQ(holdch, '5');
    EXPECT_EQ(key("!"), 2);
    EXPECT_EQ(holdch, '!');
    transb = 0;
    EXPECT_EQ(key("a"), 4);
    EXPECT_EQ(holdch, 'a');
    EXPECT_EQ(key("\x1b[u"), 2);
    EXPECT_EQ(static_cast<unsigned char>(holdch), 0xF9);
    // A typing code given by KEY to a key without a character is ignored.
    intran[1] = 4;
    EXPECT_EQ(key("\x01z"), 4);
    EXPECT_EQ(holdch, 'z');
}

TEST_F(KeysTest, FunctionStringsNestAndPause) {
    fn[2].assign("xy");
    pushfn(
        "\x1b"
        "2q");
    fetchchar();
    EXPECT_EQ(holdch, 'x');
    fetchchar();
    EXPECT_EQ(holdch, 'y');
    fetchchar();
    EXPECT_EQ(holdch, 'q');
    EXPECT_EQ(fnptr, 1) << "an exhausted string is popped by the next read";
    fnptr = 0;

    // Eleven pushes: the eleventh is dropped.
    for (const char* s : {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k"})
        pushfn(s);
    EXPECT_EQ(fnptr, 10);
    fetchchar();
    EXPECT_EQ(holdch, 'j');
    for (int i = 0; i < 9; ++i)
        fetchchar();
    EXPECT_EQ(holdch, 'a');

    // A function string that calls itself ends once the stack is full.
    fn[0].assign("\xb0");
    pushfn(
        "\xb0"
        "z");
    fetchchar();
    EXPECT_EQ(holdch, 'z');

    // A pause hands input to the keyboard until the resume key; then the string goes on.
    type_in(std::string("m") + '\0' + "n");
    pushfn(
        "\x99"
        "b");
    fetchchar();
    EXPECT_EQ(holdch, 'm');
    fetchchar();
    EXPECT_EQ(holdch, 'b') << "NUL resumed the string";
    fetchchar();
    EXPECT_EQ(holdch, 'n');

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
    pushfn(
        "\x1b"
        "B\x7f");
    gcr();
    EXPECT_EQ(del, 2);
    pushfn("1234x5");
    EXPECT_EQ(gnum(), 1234);
    fetchchar();
    EXPECT_EQ(holdch, '5') << "the key ending the number is consumed";
    const std::string nines = std::string(40, '9') + "!";
    pushfn(nines.c_str());
    EXPECT_GT(gnum(), 0) << "saturates instead of overflowing";
    fnptr = 0;
    pushfn(
        "\x02\x1b[A\x1b"
        "ak");
    glett();
    EXPECT_EQ(static_cast<unsigned char>(holdch), 0xE1);
}

TEST_F(KeysTest, TypedUtf8IsOneKey) {
    utf8_terminal = true;
    // é, then an invalid lead followed by '(', a euro sign (ignored), a stray continuation byte,
    // a NUL-free three-byte sequence cut short by 'q', then z.
    type_in("\xc3\xa9\xc3(\xe2\x82\xac\x80\xe2\x82qz\xc2\xa0");
    fetchchar();
    EXPECT_EQ(type, 4);
    EXPECT_EQ(static_cast<unsigned char>(holdch), 0xE9);
    fetchchar();
    EXPECT_EQ(holdch, '(');
    fetchchar();
    EXPECT_EQ(holdch, 'q');
    fetchchar();
    EXPECT_EQ(holdch, 'z');
    fetchchar();
    EXPECT_EQ(type, 2) << "no-break space is typed, but is not a letter";
    EXPECT_EQ(static_cast<unsigned char>(holdch), 0xA0);

    // On an 8-bit terminal the same bytes are keys of the table: 0xC3 is ESC C.
    utf8_terminal = false;
    type_in("\xc3");
    fetchchar();
    EXPECT_EQ(type, 68);
}

TEST_F(KeysTest, KeysTypedAheadAreReadOneByOne) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    FILE* keyboard = fdopen(fds[0], "r");
    ASSERT_NE(keyboard, nullptr);
    set_keyboard(keyboard);
    ASSERT_EQ(write(fds[1], "ab\x1b[Ac", 6), 6);
    // Every key is there at once; each is read when asked for, and none is held back in a
    // buffer where the wait for the next key would not see it.
    fetchchar();
    EXPECT_EQ(holdch, 'a');
    fetchchar();
    EXPECT_EQ(holdch, 'b');
    fetchchar();
    EXPECT_EQ(type, 20);
    fetchchar();
    EXPECT_EQ(holdch, 'c');
    ASSERT_EQ(write(fds[1], "d", 1), 1);
    fetchchar();
    EXPECT_EQ(holdch, 'd');
    close(fds[1]);
    set_keyboard(stdin);
    std::fclose(keyboard);
}

TEST_F(KeysTest, DriverStreamEndsWithByte255) {
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

// Reads a whole file.
std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TEST_F(KeysTest, EndOfKeyboardInputSavesEditedFiles) {
    char dir[] = "/tmp/oru-keysXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string base = dir;
    corenum = 1;
    cur().filname.assign(base + "/notes.txt");
    addline("first line");
    addline("second");
    cur().edited = 1;
    corenum = 3;
    addline("unnamed");
    cur().edited = 1;
    corenum = 4;
    addline("not edited");
    corenum = 1;
    // An existing copy is never replaced.
    { std::ofstream(base + "/notes.txt.save") << "older copy\n"; }

    ASSERT_EQ(chdir(dir), 0);
    type_in("ab");
    EXPECT_EXIT(
        {
            for (;;)
                fetchchar();
        },
        ::testing::ExitedWithCode(1), "");
    EXPECT_EQ(slurp(base + "/notes.txt.save"), "older copy\n");
    EXPECT_EQ(slurp(base + "/notes.txt.save.1"), "\nfirst line\nsecond\n");
    EXPECT_EQ(slurp(base + "/oru-core-3.save"), "\nunnamed\n");
    struct stat st {};
    EXPECT_NE(stat((base + "/oru-core-4.save").c_str(), &st), 0);
    ASSERT_EQ(chdir("/tmp"), 0);
    // The function itself reports how many copies it wrote.
    ASSERT_EQ(chdir(dir), 0);
    EXPECT_EQ(emergency_save_all(), 2);
    EXPECT_EQ(slurp(base + "/oru-core-3.save.1"), "\nunnamed\n");
    ASSERT_EQ(chdir("/tmp"), 0);
}

}  // namespace
