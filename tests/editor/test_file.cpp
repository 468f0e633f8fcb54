#include <sys/stat.h>
#include <unistd.h>

#include "file_fixture.hpp"

using Lines = std::vector<std::pair<int, std::string>>;
using V = std::vector<std::string>;

// The objects of the current core file's lines.
static std::vector<int> objects() {
    std::vector<int> out;
    for (LINE* l = cur().header->down; l != cur().header; l = l->down)
        out.push_back(l->object);
    return out;
}

// Saves the current core file under a new name, as SAVE does after its check created the file.
static bool save_as(const std::string& p, long first = 1, long last = kAllLines) {
    { std::ofstream created(p); }
    curfile.assign_cut(p);
    return save_range(first, last);
}
// Makes `p` both the file the commands work on and the one the core file was fetched from.
static void use_fetched(const std::string& p) {
    curfile.assign_cut(p);
    cur().filname.assign_cut(p);
}

TEST_F(FileTest, LineKindsAndEmptyLinesRoundTripInBothLineEndSettings) {
    const std::string original = "plain text\n\\rA|B|\n\n\\m x+1\n\\h held\n\\a alt\n\\r\nlast";
    for (int lf : {1, 0}) {
        reset_store();
        lfonly = lf;
        fetch_bytes(original);
        EXPECT_EQ(texts(), (V{"plain text", "A|B|", "", " x+1", " held", " alt", "", "last"}));
        EXPECT_EQ(objects(), (std::vector<int>{kObjText, kObjRecord, kObjNew, kObjMath, kObjNone, 6,
                                               kObjRecord, kObjText}));
        EXPECT_EQ(cur().edited, 0);
        EXPECT_EQ(cur().filname.view(), curfile.view());
        EXPECT_EQ(cur().lnptr, cur().header->down);
        expect_chain_sound();

        cur().edited = 1;
        const std::string out = path("out" + std::to_string(lf));
        ASSERT_TRUE(save_as(out));
        const std::string eol = lf == 1 ? "\n" : "\r\n";
        EXPECT_EQ(read(out), "plain text" + eol + "\\rA|B|" + eol + eol + "\\m x+1" + eol +
                                 "\\h held" + eol + "\\a alt" + eol + "\\r" + eol + "last" + eol);
        EXPECT_EQ(cur().edited, 0);

        // Reading the saved file gives the same lines: carriage returns are dropped.
        const Lines before = lines();
        use(out);
        fetch_range(1, kAllLines, "");
        EXPECT_EQ(lines(), before);
    }
}

TEST_F(FileTest, ReadingConvertsTabsBlanksCarriageReturnsAndMarkers) {
    fetch_bytes("a\tb\n\tx\r\ny  \t \nc\rd\ve\n\\x\n\\\n\\lpicture rest\n");
    // Only a marker alone makes a picture line: this one is text.
    EXPECT_EQ(texts(),
              (V{"a       b", "        x", "y", "cd", "e", "\\x", "\\", "\\lpicture rest"}));
    std::vector<int> kinds(8, kObjText);
    EXPECT_EQ(objects(), kinds);

    // The left margin is a stop, columns before it are not; past the right margin every column
    // is one, so a tab gives a single blank there.
    lmargin = 5;
    rmargin = 12;
    fetch_bytes("\tx\n123456789012\ty\n");
    EXPECT_EQ(lines(), (Lines{{kObjText, "    x"}, {kObjText, "123456789012 y"}}));

    // Beyond the table every eighth column is a stop.
    lmargin = 1;
    rmargin = 400;
    fetch_bytes(std::string(150, 'x') + "\ty\n");
    EXPECT_EQ(lines()[0].second, std::string(150, 'x') + " y");

    // With tabs kept, and with markers switched off.
    octflag = 1;
    fetchstyle = 2;
    fetch_bytes("a\tb\n\\rA|\n");
    EXPECT_EQ(lines(), (Lines{{kObjText, "a\tb"}, {kObjText, "\\rA|"}}));
}

TEST_F(FileTest, LineRangesAndEmptyFiles) {
    std::string ten;
    for (int i = 1; i <= 10; ++i)
        ten += "line " + std::to_string(i) + "\n";
    fetch_bytes(ten, 3, 5);
    EXPECT_EQ(lines(), (Lines{{kObjText, "line 3"}, {kObjText, "line 4"}, {kObjText, "line 5"}}));
    expect_chain_sound();
    fetch_bytes(ten, 0, 0);
    EXPECT_EQ(cur().lncount, 10);
    fetch_bytes(ten, 12, 20);
    EXPECT_EQ(lines(), (Lines{{kObjNew, ""}}));

    for (const char* empty : {"", "\r\r\r", "\n"}) {
        fetch_bytes(empty);
        EXPECT_EQ(lines(), (Lines{{kObjNew, ""}})) << empty;
    }

    // Writing a range counts lines the same way.
    fetch_bytes(ten);
    EXPECT_TRUE(save_as(path("part"), 9, 200000));
    EXPECT_EQ(read(path("part")), "line 9\nline 10\n");
}

TEST_F(FileTest, BinaryBytesLongLinesAndNoFinalLineEndSurvive) {
    std::string bytes = std::string("a\0b\xff\xfe", 5) + "\n" + std::string(100000, 'q') + "\n";
    bytes += std::string("\xff\xff", 2) + "\nend";
    fetch_bytes(bytes);
    ASSERT_EQ(cur().lncount, 4);
    EXPECT_EQ(lines()[0].second, std::string("a\0b\xff\xfe", 5));
    EXPECT_EQ(lines()[1].second.size(), 100000u);
    EXPECT_TRUE(save_as(path("bin")));
    EXPECT_EQ(read(path("bin")), bytes + "\n");
    expect_chain_sound();
}

TEST_F(FileTest, ReadingStopsCleanlyWhenTheStoreIsFull) {
    std::string many;
    for (int i = 0; i < 100; ++i)
        many += "0123456789\n";
    hiaddr = 255;  // room for 25 lines of ten bytes, not 26
    fetch_bytes(many);
    EXPECT_EQ(ioerr, 1);
    EXPECT_EQ(file_message(), "File Truncated");
    EXPECT_EQ(cur().lncount, 25);
    for (const auto& [object, t] : lines())
        EXPECT_EQ(t, "0123456789");
    EXPECT_LE(avail, hiaddr);
    EXPECT_EQ(textbase[avail], kFreeByte);
    expect_chain_sound();

    // No line record to be had: the reading stops the same way.
    reset_store();
    hiaddr = kHiAddr;
    linepool::fail_after(3);
    fetch_bytes(many);
    EXPECT_EQ(ioerr, 1);
    EXPECT_EQ(file_message(), "File Truncated");
    EXPECT_GE(cur().lncount, 1);
    linepool::fail_after(-1);
    expect_chain_sound();
}

TEST_F(FileTest, InsertAppendAndUnreadableFiles) {
    fetch_bytes("one\ntwo\n");
    LINE* first = cur().header->down;
    const std::string more = path("more");
    write(more, "x\ny\n");
    use(more);
    cur().lnptr = first;
    EXPECT_TRUE(insert_range(1, kAllLines, ""));
    EXPECT_EQ(cur().lnptr, first);
    EXPECT_EQ(cur().edited, 1);
    EXPECT_TRUE(append_range(2, 2, ""));
    EXPECT_EQ(lines(), (Lines{{0, "one"}, {0, "x"}, {0, "y"}, {0, "two"}, {0, "y"}}));
    EXPECT_EQ(cur().lnptr, first);
    expect_chain_sound();

    // A directory or a missing file leaves the core file as it was.
    const Lines before = lines();
    for (const std::string& bad : {dir, path("missing")}) {
        use(bad);
        EXPECT_FALSE(fetch_range(1, kAllLines, ""));
        EXPECT_FALSE(insert_range(1, kAllLines, ""));
        EXPECT_EQ(file_message(), "File not found (or no read permission)");
        EXPECT_EQ(lines(), before);
    }
}

namespace {
int checked = 0;
std::string compiled;
bool compile_check(std::string_view p) {
    compiled.assign(p);
    return true;
}
// Passes records whose first byte is 'y'.
bool yes_record() {
    ++checked;
    const LINE* l = cur().lnptr;
    return l->length > 0 && textbase[l->index] == 'y';
}
}  // namespace

// Only record lines are checked, and only those that pass are kept; without a check of its own
// the reader uses the checks given in core file 18.
TEST_F(FileTest, RecordCheckKeepsOnlyPassingRecords) {
    set_record_check({compile_check, yes_record});
    checked = 0;
    const std::string p = path("recs");
    write(p, "\\ryes|1|\ntext\n\\rno|2|\n\\ryes|3|\n\n");
    use(p);
    fetch_range(1, kAllLines, "1x");
    EXPECT_EQ(compiled, "1x");
    EXPECT_EQ(checked, 3);
    const Lines passing{{kObjRecord, "yes|1|"}, {kObjRecord, "yes|3|"}};
    EXPECT_EQ(lines(), passing);
    expect_chain_sound();
    garbage();
    EXPECT_EQ(avail, 12);
    expect_chain_sound();

    set_record_check({});
    corenum = 18;
    fill_lines({"$#1=yes"});
    corenum = 1;
    write(p, "\\ryes|1|\n\\rno|2|\n\\ryes|3|\nplain\n");
    fetch_range(1, kAllLines, "1");
    EXPECT_EQ(lines(), passing);
    fetch_range(1, kAllLines, "0");
    EXPECT_EQ(lines(), (Lines{{kObjRecord, "no|2|"}}));
    expect_chain_sound();
}

TEST_F(FileTest, FailedWritesKeepTheOldFileAndTheEditedMark) {
    fetch_bytes("new text\nsecond\n");
    cur().edited = 1;

    // SAVE: a failure removes the file it created.
    file_fail_writes_after(4);
    const std::string fresh = path("fresh");
    EXPECT_FALSE(save_as(fresh));
    EXPECT_EQ(file_message(), " Write Failed ");
    EXPECT_EQ(cur().edited, 1);
    EXPECT_FALSE(std::filesystem::exists(fresh));

    // OVERWRITE: the old contents stay, and no temporary file is left behind.
    const std::string old = path("old");
    write(old, "old contents\n");
    ::chmod(old.c_str(), 0640);
    use_fetched(old);
    file_fail_writes_after(4);
    EXPECT_FALSE(overwrite_range(1, kAllLines));
    EXPECT_EQ(read(old), "old contents\n");
    EXPECT_EQ(cur().edited, 1);
    int entries = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        entries += e.exists() ? 1 : 0;
    EXPECT_EQ(entries, 2);  // in.txt and old

    // Succeeding replaces the contents and keeps the permission bits.
    file_fail_writes_after(-1);
    EXPECT_TRUE(overwrite_range(1, kAllLines));
    EXPECT_EQ(read(old), "new text\nsecond\n");
    EXPECT_EQ(cur().edited, 0);
    struct stat st;
    ASSERT_EQ(::stat(old.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // A device is written in place, never renamed over.
    cur().edited = 1;
    use("/dev/full");
    EXPECT_FALSE(overwrite_range(1, kAllLines));
    EXPECT_EQ(file_message(), " Write Failed ");
    EXPECT_EQ(cur().edited, 1);
    EXPECT_FALSE(join_range(1, kAllLines));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

TEST_F(FileTest, ReplacingFollowsLinksAndKeepsHardLinksShared) {
    fetch_bytes("fresh\n");
    const std::string target = path("target");
    const std::string link = path("link");
    write(target, "stale\n");
    std::filesystem::create_symlink(target, link);
    use_fetched(link);
    EXPECT_TRUE(overwrite_range(1, kAllLines));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(read(target), "fresh\n");

    const std::string other = path("other");
    std::filesystem::create_hard_link(target, other);
    fetch_bytes("both names\n");
    use_fetched(other);
    EXPECT_TRUE(overwrite_range(1, kAllLines));
    EXPECT_EQ(read(target), "both names\n");
    EXPECT_EQ(std::filesystem::hard_link_count(target), 2u);

    // JOIN adds at the end.
    use(target);
    EXPECT_TRUE(join_range(1, 1));
    EXPECT_EQ(read(other), "both names\nboth names\n");

    // OVERWRITE of a file other than the one fetched asks first.
    use(path("in.txt"));
    EXPECT_TRUE(overwrite_range(1, kAllLines));
    EXPECT_EQ(file_message(), "Check name, not file fetched");
}

TEST_F(FileTest, DeleteRenameAndUpdate) {
    use(path("nothing"));
    EXPECT_FALSE(delete_file());
    EXPECT_EQ(file_message(), "Unable to delete file");

    // Names with blanks and shell characters reach the renaming program unharmed.
    const std::string odd = path("a b;$(touch x)'q");
    write(odd, "data\n");
    use(odd);
    EXPECT_TRUE(rename_file(path("new name&")));
    EXPECT_EQ(read(path("new name&")), "data\n");
    EXPECT_FALSE(std::filesystem::exists(odd));
    EXPECT_FALSE(std::filesystem::exists("x"));
    use("");
    EXPECT_FALSE(rename_file("b"));
    EXPECT_EQ(file_message(), "Empty current file name");
    use("a");
    EXPECT_FALSE(rename_file(""));
    EXPECT_EQ(file_message(), "Empty destination file name");
    use(path("new name&"));
    EXPECT_TRUE(delete_file());
    EXPECT_FALSE(std::filesystem::exists(path("new name&")));

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

TEST_F(FileTest, ListRunsTheListingProgramWithItsArguments) {
    EXPECT_FALSE(list_file("", 1, 2, 1, ""));
    EXPECT_EQ(file_message(), "Input file name not specified and No Work file name");

    const std::string keep = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    const std::string bin = path("bin");
    std::filesystem::create_directory(bin);
    ::setenv("PATH", bin.c_str(), 1);
    EXPECT_FALSE(list_file("f", 1, 2, 1, ""));
    EXPECT_EQ(file_message(), "Error in executing LIST: command not found?");

    const std::string got = path("args");
    write(bin + "/list", "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done > '" + got +
                             ".tmp'\nmv '" + got + ".tmp' '" + got + "'\n");
    ::chmod((bin + "/list").c_str(), 0755);
    ::setenv("PATH", (bin + ":/usr/bin:/bin").c_str(), 1);
    cur().filname.assign_cut("work file");
    EXPECT_TRUE(list_file("", 3, 7, 2, ""));
    ::setenv("PATH", keep.c_str(), 1);
    // The editor does not wait for the listing; give it a generous while to finish.
    for (int i = 0; i < 500 && !std::filesystem::exists(got); ++i)
        ::usleep(10000);
    EXPECT_EQ(read(got), "[work file]\n[3]\n[7]\n[2]\n[list.init]\n");
}

namespace {
const char* held = nullptr;
bool holds(const char* begin, const char* end) {
    return held >= begin && held < end;
}
}  // namespace

TEST_F(FileTest, KeyStringFiles) {
    const std::string p = path("proc");
    write(p, "PR\r\nx~{?}x{.}{(}~{z\n");
    const char* keys = readfile(p.c_str(), KeyKind::Procedure);
    ASSERT_NE(keys, nullptr);
    EXPECT_EQ(std::string(keys), "PR\rx\xf1x\xf6{{z\r");
    const char* tmpl = readfile(p.c_str(), KeyKind::Template);
    ASSERT_NE(tmpl, nullptr);
    EXPECT_EQ(std::string(tmpl).back(), '\x04');

    // Exactly what fits, and one byte more.
    write(p, std::string(kKeyBufSize - 1, 'a'));
    EXPECT_NE(readfile(p.c_str(), KeyKind::Merge), nullptr);
    write(p, std::string(kKeyBufSize, 'a'));
    EXPECT_EQ(readfile(p.c_str(), KeyKind::Merge), nullptr);
    EXPECT_NE(file_message().find(p.substr(0, 40)), std::string::npos) << file_message();
    EXPECT_EQ(readfile(dir.c_str(), KeyKind::Merge), nullptr);
    EXPECT_EQ(readfile(path("none").c_str(), KeyKind::Merge), nullptr);

    // A key string still being read outlives the next read.
    write(p, "first procedure");
    held = readfile(p.c_str(), KeyKind::Procedure);
    set_keystring_in_use(holds);
    const std::string second = path("second");
    write(second, "second");
    const char* next = readfile(second.c_str(), KeyKind::Procedure);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(std::string(held), "first procedure");
    EXPECT_EQ(std::string(next), "second");
    held = nullptr;
    EXPECT_NE(readfile(p.c_str(), KeyKind::Procedure), nullptr);
    set_keystring_in_use(nullptr);
}
