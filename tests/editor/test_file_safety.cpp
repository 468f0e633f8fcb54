// The file boundary under faults and in both character sets: nothing the user has is lost, cut
// or written in another encoding than it came in.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "commands.hpp"
#include "file_fixture.hpp"
#include "getparam.hpp"
#include "prcmnd.hpp"

namespace {

using Lines = std::vector<std::pair<int, std::string>>;

class FileSafetyTest : public FileTest {
  protected:
    void SetUp() override {
        FileTest::SetUp();
        reset_prcmnd();
        reset_getparam();
        reset_commands();
    }
    // Runs a command's checker and operation on typed parameters, as the command loop does.
    static void run(std::string_view name, const std::string& text) {
        for (cmdptr = 0; cmdptr < kCommands; ++cmdptr) {
            if (std::string_view(commands[cmdptr].name).substr(0, 2) == name) break;
        }
        ASSERT_LT(cmdptr, kCommands);
        pstring.assign(text + "|");
        add_defaults();
        convert_params();
        del = 0;
        const CMDSPEC& c = commands[cmdptr];
        if (c.checker != nullptr) c.checker();
        if (del != 2 && c.cmdop != nullptr) c.cmdop();
    }
    static std::string numbered(long n) {
        std::string s;
        for (long i = 1; i <= n; ++i)
            s += std::to_string(i) + "\n";
        return s;
    }
};

}  // namespace

TEST_F(FileSafetyTest, DefaultRangesCoverFilesOfAnyLength) {
    const std::string big = numbered(250'001);
    const std::string in = path("big.txt");
    write(in, big);
    run("FE", in);
    EXPECT_EQ(cur().lncount, 250'001);
    EXPECT_EQ(cur().edited, 0);
    EXPECT_EQ(cur().partial, 0);
    EXPECT_TRUE(file_message().empty()) << file_message();

    cur().edited = 1;
    run("SA", path("copy.txt"));
    EXPECT_EQ(read(path("copy.txt")), big);
    EXPECT_EQ(cur().edited, 0);
    cur().edited = 1;
    run("OV", "*");
    EXPECT_EQ(read(in), big);
    EXPECT_EQ(cur().edited, 0);
    run("JO", path("copy.txt"));
    EXPECT_EQ(read(path("copy.txt")), big + big);

    // An explicit range is still honoured.
    run("SA", path("part.txt") + "|3|5");
    EXPECT_EQ(read(path("part.txt")), "3\n4\n5\n");
}

TEST_F(FileSafetyTest, AFileTheStoreCannotHoldStaysEditedAndOverwriteAsks) {
    // Longer than the whole text store.
    const std::string line(99, 'x');
    std::string huge;
    for (int i = 0; i < 45'000; ++i)
        huge += line + "\n";
    const std::string in = path("huge.txt");
    write(in, huge);
    use(in);
    EXPECT_FALSE(fetch_range(1, kAllLines, ""));
    EXPECT_EQ(file_message(), "File Truncated");
    EXPECT_EQ(cur().edited, 1);
    EXPECT_EQ(cur().partial, 1);

    // OVERWRITE onto its own file asks first; rubout keeps the file whole.
    pushfn("\x7f");
    EXPECT_FALSE(overwrite_range(1, kAllLines));
    EXPECT_EQ(file_message(), "Only part of the file is here: overwrite it all?");
    EXPECT_EQ(read(in), huge);

    // A range asked for is no fault, but the core file still knows it holds only part.
    fetch_bytes("a\nb\nc\n", 2, 2);
    EXPECT_EQ(cur().edited, 0);
    EXPECT_EQ(cur().partial, 1);
    fetch_bytes("a\nb\nc\n");
    EXPECT_EQ(cur().partial, 0);
}

TEST_F(FileSafetyTest, OnlyAMarkerAloneMakesAPictureLine) {
    fetch_bytes("\\label{eq:1}\n\\l\n\\l  \r\n\\lx\n\\\\l\n");
    EXPECT_EQ(lines(), (Lines{{kObjText, "\\label{eq:1}"},
                              {kObjPicture, ""},
                              {kObjPicture, ""},
                              {kObjText, "\\lx"},
                              {kObjText, "\\\\l"}}));
    cur().edited = 1;
    use(path("in.txt"));
    cur().filname.assign_cut(path("in.txt"));
    ASSERT_TRUE(overwrite_range(1, kAllLines));
    EXPECT_EQ(read(path("in.txt")), "\\label{eq:1}\n\\l\n\\l\n\\lx\n\\\\l\n");
}

TEST_F(FileSafetyTest, RewrittenFilesKeepModeAndOwnerEvenInAReadOnlyDirectory) {
    struct Case {
        const char* what;
        mode_t mode;
    } cases[] = {{"private", 0600}, {"script", 0755}, {"group", 0664}};
    for (const auto& c : cases) {
        const std::string f = path(c.what);
        write(f, "old\n");
        ::chmod(f.c_str(), c.mode);
        fetch_bytes("new\n");
        use(f);
        cur().filname.assign_cut(f);
        cur().edited = 1;
        ASSERT_TRUE(overwrite_range(1, kAllLines)) << c.what;
        struct stat st;
        ASSERT_EQ(::stat(f.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.mode) << c.what;
        EXPECT_EQ(read(f), "new\n");

        // UPDATE moves the file aside and saves anew with the same mode.
        ASSERT_TRUE(update_file());
        run("SA", "*");
        ASSERT_EQ(::stat(f.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.mode) << c.what << " after UPDATE";
        EXPECT_EQ(read(f + ".bak"), "new\n");
    }

    // Another user's file stays theirs (where this process may give it away).
    if (::geteuid() == 0) {
        const std::string f = path("theirs");
        write(f, "old\n");
        ASSERT_EQ(::chown(f.c_str(), 65534, 65534), 0);
        fetch_bytes("new\n");
        use(f);
        cur().filname.assign_cut(f);
        ASSERT_TRUE(overwrite_range(1, kAllLines));
        struct stat st;
        ASSERT_EQ(::stat(f.c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 65534u);
        EXPECT_EQ(st.st_gid, 65534u);
        EXPECT_EQ(read(f), "new\n");
    }

    // A writable file in a directory that takes no new file is written in place.
    const std::string sub = path("ro");
    ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
    const std::string f = sub + "/keep.txt";
    write(f, "old\n");
    ::chmod(sub.c_str(), 0555);
    fetch_bytes("replaced\n");
    use(f);
    cur().filname.assign_cut(f);
    cur().edited = 1;
    const bool ok = overwrite_range(1, kAllLines);
    ::chmod(sub.c_str(), 0755);
    EXPECT_TRUE(ok);
    EXPECT_EQ(read(f), "replaced\n");
    EXPECT_EQ(cur().edited, 0);
}

TEST_F(FileSafetyTest, FailedJoinLeavesTheFileAsItWas) {
    const std::string f = path("log.txt");
    write(f, "kept\n");
    fetch_bytes(numbered(5000));
    cur().edited = 1;
    use(f);
    file_fail_writes_after(100);
    EXPECT_FALSE(join_range(1, kAllLines));
    EXPECT_EQ(file_message(), " Write Failed ");
    EXPECT_EQ(read(f), "kept\n");
    EXPECT_EQ(cur().edited, 1);
}

TEST_F(FileSafetyTest, PipesAndDevicesNeverHoldTheEditor) {
    const std::string fifo = path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Nobody reads or writes the pipe: every check and command answers at once.
    EXPECT_FALSE(canread(fifo.c_str()));
    EXPECT_FALSE(canwrite(fifo.c_str()));
    use(fifo);
    fetch_bytes("text\n");
    use(fifo);
    EXPECT_FALSE(fetch_range(1, kAllLines, ""));
    EXPECT_FALSE(overwrite_range(1, kAllLines));
    EXPECT_FALSE(join_range(1, kAllLines));
    EXPECT_EQ(readfile(fifo.c_str(), KeyKind::Procedure), nullptr);

    // A reader that takes nothing: the write gives up instead of waiting for ever.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::string big(200'000, 'x');
    fetch_bytes(big + "\n");
    use(fifo);
    EXPECT_FALSE(join_range(1, kAllLines));
    EXPECT_EQ(file_message(), " Write Failed ");
    ::close(reader);
}

TEST_F(FileSafetyTest, RenameTakesNamesAsTheyAreAndSaysWhyItFailed) {
    struct Case {
        const char* from;
        const char* to;
    } cases[] = {{"-n", "--force"}, {"my notes.txt", "a|b;$(x)"}, {"plain", "sub"}};
    ASSERT_EQ(::mkdir(path("sub").c_str(), 0755), 0);
    for (const auto& c : cases) {
        write(path(c.from), c.from);
        use(path(c.from));
        ASSERT_TRUE(rename_file(path(c.to))) << c.from << ": " << file_message();
        const std::string landed = std::string(c.to) == "sub" ? path("sub/plain") : path(c.to);
        EXPECT_EQ(read(landed), c.from);
        EXPECT_FALSE(std::filesystem::exists(path(c.from)));
    }
    use(path("missing"));
    EXPECT_FALSE(rename_file(path("elsewhere")));
    EXPECT_EQ(file_message(), "Unable to rename file: No such file or directory");
}

TEST_F(FileSafetyTest, InsertingAnEmptyFileMarksTheCoreFileEdited) {
    fetch_bytes("one\n");
    write(path("empty"), "");
    use(path("empty"));
    EXPECT_TRUE(insert_range(1, kAllLines, ""));
    EXPECT_EQ(cur().edited, 1);
    cur().edited = 0;
    EXPECT_TRUE(append_range(1, kAllLines, ""));
    EXPECT_EQ(cur().edited, 1);
}

// Files in UTF-8 and Latin-1: read into the store's Latin-1, written back as they came.
TEST_F(FileSafetyTest, EachFileIsWrittenBackInItsOwnCharacterSet) {
    struct Case {
        const char* what;
        std::string bytes;
        std::string stored;  // the first line as the store holds it
        unsigned char charset;
    } cases[] = {
        {"UTF-8", "caf\xC3\xA9 \xC3\xBC \xC3\xB1 \xC2\xAB \xC2\xBB\nsecond\n",
         "caf\xE9 \xFC \xF1 \xAB \xBB", kCsUtf8},
        {"Latin-1", "caf\xE9 \xFC \xF1 \xAB \xBB\nsecond\n", "caf\xE9 \xFC \xF1 \xAB \xBB",
         kCsLatin1},
        {"byte-order mark", "\xEF\xBB\xBFna\xC3\xAFve\nsecond\n", "na\xEFve", kCsUtf8Bom},
        {"ASCII", "plain\nsecond\n", "plain", kCsNone},
        {"NUL and 0xFF", std::string("a\0\xFF\nsecond\n", 11), std::string("a\0\xFF", 3),
         kCsLatin1},
    };
    for (bool utf8_locale : {true, false}) {
        set_locale_utf8(utf8_locale);
        for (const auto& c : cases) {
            fetch_bytes(c.bytes);
            ASSERT_EQ(lines().size(), 2u) << c.what;
            EXPECT_EQ(lines()[0].second, c.stored) << c.what;
            EXPECT_EQ(cur().encoding, c.charset) << c.what;

            // Untouched, the file comes back byte for byte.
            const std::string f = path("in.txt");
            cur().edited = 1;
            ASSERT_TRUE(overwrite_range(1, kAllLines)) << c.what;
            EXPECT_EQ(read(f), c.bytes) << c.what;

            // A typed accent goes out in the file's set; the other line is unchanged.
            LINE* second = cur().header->down->down;
            cur().lnptr = second;
            cur().curcol = 7;
            cadd('\xE8');
            ASSERT_TRUE(overwrite_range(1, kAllLines));
            const std::string accent =
                c.charset == kCsLatin1 || (c.charset == kCsNone && !utf8_locale) ? "\xE8"
                                                                                 : "\xC3\xA8";
            const std::string expect =
                c.bytes.substr(0, c.bytes.find('\n') + 1) + "second" + accent + "\n";
            EXPECT_EQ(read(f), expect) << c.what << (utf8_locale ? " (UTF-8 locale)" : " (C)");
        }
    }
}

TEST_F(FileSafetyTest, AUtf8FileWithCharactersBeyondLatin1IsRefusedWhole) {
    fetch_bytes("kept\n");
    const Lines before = lines();
    const std::string f = path("euro.txt");
    write(f, "price\n10 \xE2\x82\xAC\n");
    use(f);
    for (auto op : {fetch_range, insert_range, append_range}) {
        EXPECT_FALSE(op(1, kAllLines, ""));
        EXPECT_EQ(file_message(), "Line 2 holds U+20AC, which Latin-1 has not: file not read");
        EXPECT_EQ(lines(), before);
        EXPECT_EQ(cur().edited, 0);
    }
    write(f, "~{C}~FE\n10 \xE2\x82\xAC\n");
    EXPECT_EQ(readfile(f.c_str(), KeyKind::Procedure), nullptr);

    // Key-string files are decoded like text files.
    write(f, "IN\xC3\xA9\n");
    const char* keys = readfile(f.c_str(), KeyKind::Procedure);
    ASSERT_NE(keys, nullptr);
    EXPECT_STREQ(keys, "IN\xE9\r");
    write(f, "IN\xE9\n");
    keys = readfile(f.c_str(), KeyKind::Procedure);
    ASSERT_NE(keys, nullptr);
    EXPECT_STREQ(keys, "IN\xE9\r");
}

TEST_F(FileSafetyTest, FileNamesGoToTheSystemInTheLocalesSet) {
    set_locale_utf8(true);
    const std::string on_disk = path("\xC3\xA9l\xC3\xA8ve.txt");
    write(on_disk, "bonjour\n");
    use(path("\xE9l\xE8ve.txt"));  // as typed: Latin-1 in the store
    EXPECT_TRUE(canread(curfile.c_str()));
    ASSERT_TRUE(fetch_range(1, kAllLines, ""));
    EXPECT_EQ(lines(), (Lines{{kObjText, "bonjour"}}));
    cur().edited = 1;
    ASSERT_TRUE(overwrite_range(1, kAllLines));
    EXPECT_FALSE(std::filesystem::exists(path("\xE9l\xE8ve.txt")));
    EXPECT_TRUE(rename_file(path("\xE9t\xE9.txt")));
    EXPECT_EQ(read(path("\xC3\xA9t\xC3\xA9.txt")), "bonjour\n");
}
