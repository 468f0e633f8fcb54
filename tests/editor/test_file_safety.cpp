// The file boundary under faults and in both character sets: nothing the user has is lost, cut
// or written in another encoding than it came in.
#include <fcntl.h>

#include "commands.hpp"
#include "file_fixture.hpp"
#include "getparam.hpp"
#include "prcmnd.hpp"

namespace {

using V = std::vector<std::string>;
const std::string kFailed = " Write Failed ";

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
        for (cmdptr = 0; std::string_view(commands[cmdptr].name).substr(0, 2) != name;)
            ASSERT_LT(++cmdptr, kCommands);
        pstring.assign(text + "|");
        add_defaults();
        convert_params();
        del = 0;
        if (commands[cmdptr].checker != nullptr) commands[cmdptr].checker();
        if (del != 2 && commands[cmdptr].cmdop != nullptr) commands[cmdptr].cmdop();
    }
    // Makes `p` both the file the commands work on and the one the core file was fetched from.
    static void use_fetched(const std::string& p) {
        curfile.assign_cut(p);
        cur().filname.assign_cut(p);
        cur().edited = 1;
    }
    static long files_in(const std::string& d) {
        return std::distance(std::filesystem::directory_iterator(d), {});
    }
};

}  // namespace

TEST_F(FileSafetyTest, DefaultRangesCoverFilesOfAnyLengthAndFailedWritesLoseNothing) {
    std::string big;
    for (long i = 1; i <= 250'001; ++i)
        big += std::to_string(i) + "\n";
    const std::string in = path("big.txt"), copy = path("copy.txt");
    write(in, big);
    run("FE", in);
    EXPECT_EQ((std::tuple<int, int, int>(cur().lncount, cur().edited, cur().partial)),
              (std::tuple{250'001, 0, 0}));
    cur().edited = 1;
    run("SA", copy);
    EXPECT_EQ(std::tuple(read(copy), int(cur().edited)), std::tuple(big, 0));
    run("JO", copy);
    EXPECT_EQ(read(copy), big + big);
    run("SA", path("part.txt") + "|3|5");
    EXPECT_EQ(read(path("part.txt")), "3\n4\n5\n");
    // A write failing part way: SAVE removes the file it created; OVERWRITE and JOIN keep the
    // old contents, with no partial lines at the end and no temporary file left behind.
    cur().edited = 1;
    file_fail_writes_after(70'000);
    run("SA", path("fresh"));
    EXPECT_EQ(std::tuple(file_message(), int(cur().edited)), std::tuple(kFailed, 1));
    use_fetched(in);
    write(in, "kept\n");
    for (auto op : {overwrite_range, join_range}) {
        file_fail_writes_after(70'000);
        EXPECT_FALSE(op(1, kAllLines));
        EXPECT_EQ(std::tuple(file_message(), read(in), int(cur().edited)),
                  std::tuple(kFailed, "kept\n", 1));
    }
    file_fail_writes_after(-1);
    EXPECT_EQ(files_in(dir), 3);  // big, copy, part
    use("/dev/full");             // a device is written in place, never renamed over
    EXPECT_EQ(said(overwrite_range(1, kAllLines)), "no: " + kFailed);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

TEST_F(FileSafetyTest, AFileTheStoreCannotHoldStaysEditedAndOverwriteAsks) {
    std::string huge;
    for (int i = 0; i < 45'000; ++i)
        huge += std::string(99, 'x') + "\n";
    const std::string in = path("huge.txt");
    write(in, huge);
    use(in);
    EXPECT_EQ(said(fetch_range(1, kAllLines, "")), "no: File Truncated");
    EXPECT_EQ((std::pair<int, int>(cur().edited, cur().partial)), (std::pair{1, 1}));
    pushfn("\x7f");  // OVERWRITE onto its own file asks; rubout keeps the file whole
    EXPECT_FALSE(overwrite_range(1, kAllLines));
    EXPECT_EQ(std::tuple(file_message(), read(in)),
              std::tuple("Only part of the file is here: overwrite it all?", huge));
    fetch_bytes("a\nb\nc\n", 2, 2);  // a range asked for is no fault, but still a part
    EXPECT_EQ((std::pair<int, int>(cur().edited, cur().partial)), (std::pair{0, 1}));
}

TEST_F(FileSafetyTest, RewrittenFilesKeepModeLinksAndTheirDirectory) {
    for (const mode_t mode : {0600, 0755}) {
        const std::string f = path("m" + std::to_string(mode));
        write(f, "old\n");
        ::chmod(f.c_str(), mode);
        fetch_bytes("new\n");
        use_fetched(f);
        ASSERT_TRUE(overwrite_range(1, kAllLines));
        ASSERT_TRUE(update_file());
        run("SA", "*");
        struct stat st {};
        ASSERT_EQ(::stat(f.c_str(), &st), 0);
        EXPECT_EQ(std::tuple(st.st_mode & 07777, read(f + ".bak")), std::tuple(mode, "new\n"));
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
    use_fetched(other);
    EXPECT_TRUE(join_range(1, 1));
    EXPECT_EQ(read(target), "fresh\nfresh\n");
    EXPECT_EQ(std::filesystem::hard_link_count(target), 2u);
    use(path("in.txt"));  // not the file fetched: asks first
    EXPECT_EQ(said(overwrite_range(1, kAllLines)), "ok: Check name, not file fetched");
    // A writable file in a directory that takes no new file is written in place.
    const std::string sub = path("ro");
    ASSERT_EQ(::mkdir(sub.c_str(), 0755), 0);
    write(sub + "/keep.txt", "old\n");
    ::chmod(sub.c_str(), 0555);
    use_fetched(sub + "/keep.txt");
    const bool ok = overwrite_range(1, kAllLines);
    ::chmod(sub.c_str(), 0755);
    EXPECT_TRUE(ok);
    EXPECT_EQ(read(sub + "/keep.txt"), "fresh\n");
}

TEST_F(FileSafetyTest, DeleteRenameAndUpdateTakeNamesAsTheyAreAndSayWhyTheyFailed) {
    ASSERT_EQ(::mkdir(path("sub").c_str(), 0755), 0);
    for (const auto& [from, to, lands] : {std::tuple{"-n", "--force", "--force"},
                                          {"my notes", "a|b;$(touch x)'q&", "a|b;$(touch x)'q&"},
                                          {"plain", "sub", "sub/plain"}}) {
        write(path(from), from);
        use(path(from));
        ASSERT_TRUE(rename_file(path(to))) << from << ": " << file_message();
        EXPECT_EQ(read(path(lands)), from);
        EXPECT_FALSE(std::filesystem::exists(path(from)));
    }
    EXPECT_FALSE(std::filesystem::exists("x"));
    use(path("missing"));
    EXPECT_EQ(said(rename_file(path("b"))), "no: Unable to rename file: No such file or directory");
    use(path("--force"));
    EXPECT_TRUE(delete_file());
    EXPECT_FALSE(std::filesystem::exists(path("--force")));
    EXPECT_EQ(said(delete_file()), "no: Unable to delete file");
    EXPECT_EQ(said(update_file()), "no: Empty filename");
    cur().filname.assign_cut(path("unsaved"));
    EXPECT_EQ(said(update_file()), "no: File not saved, do the SAve command first");
}

TEST_F(FileSafetyTest, PipesAndDevicesNeverHoldTheEditor) {
    const std::string fifo = path("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(canread(fifo.c_str()));
    EXPECT_FALSE(canwrite(fifo.c_str()));
    fetch_bytes(std::string(200'000, 'x') + "\n");
    use(fifo);
    EXPECT_FALSE(fetch_range(1, kAllLines, ""));
    EXPECT_EQ(readfile(fifo.c_str(), KeyKind::Procedure), nullptr);
    EXPECT_EQ(cur().lncount, 1);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);  // a reader taking nothing
    ASSERT_GE(reader, 0);
    EXPECT_EQ(said(join_range(1, kAllLines)), "no: " + kFailed);
    ::close(reader);
}

// Files in UTF-8 and Latin-1: read into the store's Latin-1, written back as they came.
TEST_F(FileSafetyTest, EachFileIsWrittenBackInItsOwnCharacterSet) {
    const std::tuple<std::string, std::string, unsigned char> cases[] = {
        {"caf\xC3\xA9 \xC3\xBC \xC2\xAB\nsecond\n", "caf\xE9 \xFC \xAB", kCsUtf8},
        {"caf\xE9 \xFC \xAB\nsecond\n", "caf\xE9 \xFC \xAB", kCsLatin1},
        {"\xEF\xBB\xBFna\xC3\xAFve\nsecond\n", "na\xEFve", kCsUtf8Bom},
        {"plain\nsecond\n", "plain", kCsNone},
        {std::string("a\0\xFF\nsecond\n", 11), std::string("a\0\xFF", 3), kCsLatin1}};
    for (bool utf8_locale : {true, false}) {
        set_locale_utf8(utf8_locale);
        for (const auto& [bytes, stored, charset] : cases) {
            fetch_bytes(bytes);
            EXPECT_EQ(std::tuple(texts(), cur().encoding), std::tuple(V{stored, "second"}, charset))
                << bytes;
            cur().edited = 1;
            ASSERT_TRUE(overwrite_range(1, kAllLines)) << bytes;
            EXPECT_EQ(read(path("in.txt")), bytes);  // untouched: byte for byte
            cur().lnptr = cur().header->down->down;  // a typed accent goes out in the file's set
            cur().curcol = 7;
            cadd('\xE8');
            ASSERT_TRUE(overwrite_range(1, kAllLines));
            const bool latin1 = charset == kCsLatin1 || (charset == kCsNone && !utf8_locale);
            EXPECT_EQ(read(path("in.txt")), bytes.substr(0, bytes.find('\n') + 1) + "second" +
                                                (latin1 ? "\xE8" : "\xC3\xA8") + "\n")
                << bytes << utf8_locale;
        }
    }
    // A UTF-8 file with a character beyond Latin-1 is refused whole.
    write(path("euro.txt"), "price\n10 \xE2\x82\xAC\n");
    use(path("euro.txt"));
    for (auto op : {fetch_range, insert_range, append_range}) {
        EXPECT_FALSE(op(1, kAllLines, ""));
        EXPECT_EQ(std::tuple(file_message(), int(cur().lncount)),
                  std::tuple("Line 2 holds U+20AC, which Latin-1 has not: file not read", 2));
    }
}
