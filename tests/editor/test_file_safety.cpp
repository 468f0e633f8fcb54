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
    // Makes `p` both the file the commands work on and the one the core file was fetched from.
    static void use_fetched(const std::string& p) {
        curfile.assign_cut(p);
        cur().filname.assign_cut(p);
        cur().edited = 1;
    }
    static mode_t mode_of(const std::string& p) {
        struct stat st {};
        EXPECT_EQ(::stat(p.c_str(), &st), 0) << p;
        return st.st_mode & 07777;
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
    std::string huge;
    for (int i = 0; i < 45'000; ++i)
        huge += std::string(99, 'x') + "\n";
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

TEST_F(FileSafetyTest, FailedWritesKeepTheOldFileAndTheEditedMark) {
    const std::string old = path("old");
    write(old, "kept\n");
    fetch_bytes(numbered(20000));  // more than one buffer: a write fails part way
    cur().edited = 1;
    // SAVE: a failure removes the file it created.
    file_fail_writes_after(70'000);
    run("SA", path("fresh"));
    EXPECT_EQ(file_message(), " Write Failed ");
    EXPECT_EQ(cur().edited, 1);
    EXPECT_FALSE(std::filesystem::exists(path("fresh")));
    // OVERWRITE and JOIN: the old contents stay, and no temporary file is left behind.
    use_fetched(old);
    for (auto op : {overwrite_range, join_range}) {
        file_fail_writes_after(70'000);
        EXPECT_FALSE(op(1, kAllLines));
        EXPECT_EQ(file_message(), " Write Failed ");
        EXPECT_EQ(read(old).substr(0, 20), "kept\n");  // no partial lines at its end
        EXPECT_EQ(cur().edited, 1);
    }
    file_fail_writes_after(-1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 2);  // in.txt, old
    // A device is written in place, never renamed over.
    use("/dev/full");
    EXPECT_FALSE(overwrite_range(1, kAllLines));
    EXPECT_EQ(file_message(), " Write Failed ");
    EXPECT_EQ(cur().edited, 1);
    EXPECT_FALSE(join_range(1, kAllLines));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

TEST_F(FileSafetyTest, RewrittenFilesKeepModeOwnerLinksAndTheirDirectory) {
    // The mode, through OVERWRITE and through UPDATE and a new SAVE.
    for (const mode_t mode : {0600, 0755, 0664}) {
        const std::string f = path("m" + std::to_string(mode));
        write(f, "old\n");
        ::chmod(f.c_str(), mode);
        fetch_bytes("new\n");
        use_fetched(f);
        ASSERT_TRUE(overwrite_range(1, kAllLines));
        EXPECT_EQ(mode_of(f), mode);
        EXPECT_EQ(read(f), "new\n");
        EXPECT_EQ(cur().edited, 0);
        ASSERT_TRUE(update_file());
        run("SA", "*");
        EXPECT_EQ(mode_of(f), mode) << "after UPDATE";
        EXPECT_EQ(read(f + ".bak"), "new\n");
    }
    // Another user's file stays theirs (where this process may give it away).
    if (::geteuid() == 0) {
        const std::string f = path("theirs");
        write(f, "old\n");
        ASSERT_EQ(::chown(f.c_str(), 65534, 65534), 0);
        fetch_bytes("new\n");
        use_fetched(f);
        ASSERT_TRUE(overwrite_range(1, kAllLines));
        struct stat st {};
        ASSERT_EQ(::stat(f.c_str(), &st), 0);
        EXPECT_EQ(std::pair(st.st_uid, st.st_gid), std::pair(65534u, 65534u));
        EXPECT_EQ(read(f), "new\n");
    }
    // A symbolic link is followed; a file with two names keeps both.
    const std::string target = path("target"), link = path("link"), other = path("other");
    write(target, "stale\n");
    std::filesystem::create_symlink(target, link);
    std::filesystem::create_hard_link(target, other);
    fetch_bytes("fresh\n");
    use_fetched(link);
    EXPECT_TRUE(overwrite_range(1, kAllLines));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(read(other), "fresh\n");
    use_fetched(other);
    EXPECT_TRUE(join_range(1, 1));  // JOIN adds at the end
    EXPECT_EQ(read(target), "fresh\nfresh\n");
    EXPECT_TRUE(overwrite_range(1, kAllLines));
    EXPECT_EQ(read(target), "fresh\n");
    EXPECT_EQ(std::filesystem::hard_link_count(target), 2u);
    // OVERWRITE of a file other than the one fetched asks first.
    use(path("in.txt"));
    EXPECT_TRUE(overwrite_range(1, kAllLines));
    EXPECT_EQ(file_message(), "Check name, not file fetched");

    // A writable file in a directory that takes no new file is written in place.
    const std::string sub = path("ro");
    ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
    write(sub + "/keep.txt", "old\n");
    ::chmod(sub.c_str(), 0555);
    fetch_bytes("replaced\n");
    use_fetched(sub + "/keep.txt");
    const bool ok = overwrite_range(1, kAllLines);
    ::chmod(sub.c_str(), 0755);
    EXPECT_TRUE(ok);
    EXPECT_EQ(read(sub + "/keep.txt"), "replaced\n");
    EXPECT_EQ(cur().edited, 0);
}

TEST_F(FileSafetyTest, DeleteRenameAndUpdateTakeNamesAsTheyAreAndSayWhyTheyFailed) {
    // Names with blanks, leading dashes and shell characters reach the system unharmed.
    ASSERT_EQ(::mkdir(path("sub").c_str(), 0755), 0);
    const std::pair<const char*, const char*> cases[] = {
        {"-n", "--force"}, {"my notes.txt", "a|b;$(touch x)'q&"}, {"plain", "sub"}};
    for (const auto& [from, to] : cases) {
        write(path(from), from);
        use(path(from));
        ASSERT_TRUE(rename_file(path(to))) << from << ": " << file_message();
        EXPECT_EQ(read(std::string(to) == "sub" ? path("sub/plain") : path(to)), from);
        EXPECT_FALSE(std::filesystem::exists(path(from)));
    }
    EXPECT_FALSE(std::filesystem::exists("x"));
    use(path("missing"));
    EXPECT_FALSE(rename_file(path("elsewhere")));
    EXPECT_EQ(file_message(), "Unable to rename file: No such file or directory");
    use("");
    EXPECT_FALSE(rename_file("b"));
    EXPECT_EQ(file_message(), "Empty current file name");
    use("a");
    EXPECT_FALSE(rename_file(""));
    EXPECT_EQ(file_message(), "Empty destination file name");

    use(path("--force"));
    EXPECT_TRUE(delete_file());
    EXPECT_FALSE(std::filesystem::exists(path("--force")));
    EXPECT_FALSE(delete_file());
    EXPECT_EQ(file_message(), "Unable to delete file");

    EXPECT_FALSE(update_file());
    EXPECT_EQ(file_message(), "Empty filename");
    cur().filname.assign_cut(path("unsaved"));
    EXPECT_FALSE(update_file());
    EXPECT_EQ(file_message(), "File not saved, do the SAve command first");
    fetch_bytes("v1\n");
    EXPECT_TRUE(update_file());
    EXPECT_EQ(read(path("in.txt.bak")), "v1\n");
    EXPECT_FALSE(std::filesystem::exists(path("in.txt")));
}

TEST_F(FileSafetyTest, PipesAndDevicesNeverHoldTheEditor) {
    const std::string fifo = path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Nobody reads or writes the pipe: every check and command answers at once.
    EXPECT_FALSE(canread(fifo.c_str()));
    EXPECT_FALSE(canwrite(fifo.c_str()));
    fetch_bytes(std::string(200'000, 'x') + "\n");
    use(fifo);
    EXPECT_FALSE(fetch_range(1, kAllLines, ""));
    EXPECT_FALSE(join_range(1, kAllLines));
    EXPECT_EQ(readfile(fifo.c_str(), KeyKind::Procedure), nullptr);
    EXPECT_EQ(cur().lncount, 1);
    // A reader that takes nothing: the write gives up instead of waiting for ever.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_FALSE(join_range(1, kAllLines));
    EXPECT_EQ(file_message(), " Write Failed ");
    ::close(reader);
}

// Files in UTF-8 and Latin-1: read into the store's Latin-1, written back as they came.
TEST_F(FileSafetyTest, EachFileIsWrittenBackInItsOwnCharacterSet) {
    struct Case {
        std::string bytes;
        std::string stored;  // the first line as the store holds it
        unsigned char charset;
    } cases[] = {
        {"caf\xC3\xA9 \xC3\xBC \xC3\xB1 \xC2\xAB \xC2\xBB\nsecond\n", "caf\xE9 \xFC \xF1 \xAB \xBB",
         kCsUtf8},
        {"caf\xE9 \xFC \xF1 \xAB \xBB\nsecond\n", "caf\xE9 \xFC \xF1 \xAB \xBB", kCsLatin1},
        {"\xEF\xBB\xBFna\xC3\xAFve\nsecond\n", "na\xEFve", kCsUtf8Bom},
        {"plain\nsecond\n", "plain", kCsNone},
        {std::string("a\0\xFF\nsecond\n", 11), std::string("a\0\xFF", 3), kCsLatin1},
    };
    for (bool utf8_locale : {true, false}) {
        set_locale_utf8(utf8_locale);
        for (const auto& c : cases) {
            fetch_bytes(c.bytes);
            EXPECT_EQ(lines(), (Lines{{kObjText, c.stored}, {kObjText, "second"}})) << c.bytes;
            EXPECT_EQ(cur().encoding, c.charset) << c.bytes;
            // Untouched, the file comes back byte for byte.
            const std::string f = path("in.txt");
            cur().edited = 1;
            ASSERT_TRUE(overwrite_range(1, kAllLines)) << c.bytes;
            EXPECT_EQ(read(f), c.bytes);
            // A typed accent goes out in the file's set; the other line is unchanged.
            cur().lnptr = cur().header->down->down;
            cur().curcol = 7;
            cadd('\xE8');
            ASSERT_TRUE(overwrite_range(1, kAllLines));
            const bool latin1 = c.charset == kCsLatin1 || (c.charset == kCsNone && !utf8_locale);
            EXPECT_EQ(read(f), c.bytes.substr(0, c.bytes.find('\n') + 1) + "second" +
                                   (latin1 ? "\xE8" : "\xC3\xA8") + "\n")
                << c.bytes << (utf8_locale ? " (UTF-8 locale)" : " (C)");
        }
    }
}

TEST_F(FileSafetyTest, AUtf8FileWithCharactersBeyondLatin1IsRefusedWhole) {
    fetch_bytes("kept\n");
    const std::string f = path("euro.txt");
    write(f, "price\n10 \xE2\x82\xAC\n");
    use(f);
    for (auto op : {fetch_range, insert_range, append_range}) {
        EXPECT_FALSE(op(1, kAllLines, ""));
        EXPECT_EQ(file_message(), "Line 2 holds U+20AC, which Latin-1 has not: file not read");
        EXPECT_EQ(lines(), (Lines{{kObjText, "kept"}}));
        EXPECT_EQ(cur().edited, 0);
    }
}

TEST_F(FileSafetyTest, FileNamesGoToTheSystemInTheLocalesSet) {
    for (const bool utf8 : {true, false}) {
        set_locale_utf8(utf8);
        fetch_bytes("bonjour\n");
        run("SA", path("\xE9l\xE8ve.txt"));  // as typed: Latin-1 in the store
        ASSERT_EQ(file_message(), "") << utf8;
        EXPECT_TRUE(rename_file(path("\xE9t\xE9.txt")));
        EXPECT_EQ(read(path(utf8 ? "\xC3\xA9t\xC3\xA9.txt" : "\xE9t\xE9.txt")), "bonjour\n");
        use(path("\xE9t\xE9.txt"));
        ASSERT_TRUE(fetch_range(1, kAllLines, ""));
        EXPECT_EQ(lines(), (Lines{{kObjText, "bonjour"}}));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 3);
}
