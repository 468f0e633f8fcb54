#include "file_fixture.hpp"

using V = std::vector<std::string>;

// Saves the current core file under a new name, as SAVE does after its check created the file.
static bool save_as(const std::string& p, long first = 1, long last = kAllLines) {
    std::ofstream{p};
    curfile.assign_cut(p);
    return save_range(first, last);
}

TEST_F(FileTest, LineKindsAndEmptyLinesRoundTripInBothLineEndSettings) {
    const V want = {"plain text", "A|B|", "", " x+1", " held", " alt", "", "last"};
    for (int lf : {1, 0}) {
        reset_store();
        lfonly = lf;
        fetch_bytes("plain text\n\\rA|B|\n\n\\m x+1\n\\h held\n\\a alt\n\\r\nlast");
        EXPECT_EQ(std::tuple(texts(), kinds(), int(cur().edited), cur().filname.view()),
                  std::tuple(want, "01534610", 0, curfile.view()));
        cur().edited = 1;
        const std::string out = path("out" + std::to_string(lf)), eol = lf ? "\n" : "\r\n";
        ASSERT_TRUE(save_as(out));
        EXPECT_EQ(read(out), "plain text" + eol + "\\rA|B|" + eol + eol + "\\m x+1" + eol +
                                 "\\h held" + eol + "\\a alt" + eol + "\\r" + eol + "last" + eol);
        EXPECT_EQ(cur().edited, 0);
        use(out);  // read back, carriage returns dropped
        fetch_range(1, kAllLines, "");
        EXPECT_EQ(std::tuple(texts(), kinds()), std::tuple(want, "01534610"));
    }
}

TEST_F(FileTest, ReadingConvertsTabsBlanksCarriageReturnsAndMarkers) {
    // Only a marker alone (trailing blanks and a carriage return aside) makes a picture line.
    fetch_bytes(
        "a\tb\n\tx\r\ny  \t \nc\rd\ve\n \t \n\\x\n\\\n\\label{eq:1}\n\\l\n\\l  \r\n\\\\l\n");
    EXPECT_EQ(texts(), (V{"a       b", "        x", "y", "cd", "e", "", "\\x", "\\",
                          "\\label{eq:1}", "", "", "\\\\l"}));
    EXPECT_EQ(kinds(), "000005000220");  // blanks alone leave nothing
    cur().edited = 1;
    ASSERT_TRUE(save_as(path("pic"), 9, 12));
    EXPECT_EQ(read(path("pic")), "\\label{eq:1}\n\\l\n\\l\n\\\\l\n");
    // The left margin is a stop, columns before it are not; past the right margin every column
    // is one; beyond the table every eighth column is one.
    std::tie(lmargin, rmargin) = std::tuple(5, 12);
    fetch_bytes("\tx\n123456789012\ty\n");
    EXPECT_EQ(texts(), (V{"    x", "123456789012 y"}));
    std::tie(lmargin, rmargin) = std::tuple(1, 400);
    fetch_bytes(std::string(150, 'x') + "\ty\n");
    EXPECT_EQ(texts(), V{std::string(150, 'x') + " y"});
    std::tie(octflag, fetchstyle) = std::tuple(1, 2);  // tabs kept, markers off
    fetch_bytes("a\tb\n\\rA|\n");
    EXPECT_EQ(texts(), (V{"a\tb", "\\rA|"}));
    EXPECT_EQ(kinds(), "00");
}

TEST_F(FileTest, RangesEmptyFilesBinaryBytesAndLongLines) {
    std::string ten;
    for (int i = 1; i <= 10; ++i)
        ten += "line " + std::to_string(i) + "\n";
    fetch_bytes(ten, 3, 5);
    EXPECT_EQ(texts(), (V{"line 3", "line 4", "line 5"}));
    for (const char* empty : {"", "\r\r\r", "\n"}) {
        fetch_bytes(empty);
        EXPECT_EQ(kinds(), "5") << empty;
    }
    fetch_bytes(ten, 12, 20);
    EXPECT_EQ(kinds(), "5");
    fetch_bytes(ten);
    EXPECT_TRUE(save_as(path("part"), 9, 200000));
    EXPECT_EQ(read(path("part")), "line 9\nline 10\n");
    const std::string bytes = std::string("a\0b\xff\xfe\n", 6) + std::string(100000, 'q') + "\nend";
    fetch_bytes(bytes);
    EXPECT_EQ(texts(), (V{std::string("a\0b\xff\xfe", 5), std::string(100000, 'q'), "end"}));
    EXPECT_TRUE(save_as(path("bin")));
    EXPECT_EQ(read(path("bin")), bytes + "\n");
}

TEST_F(FileTest, ReadingStopsCleanlyWhenTheStoreOrThePoolIsFull) {
    std::string many;
    for (int i = 0; i < 100; ++i)
        many += "0123456789\n";
    hiaddr = 255;  // room for 25 lines of ten bytes, not 26
    fetch_bytes(many);
    EXPECT_EQ(std::tuple(int(ioerr), file_message(), texts(), textbase[avail]),
              std::tuple(1, "File Truncated", V(25, "0123456789"), kFreeByte));
    expect_chain_sound();
    reset_store();
    linepool::fail_after(3);
    fetch_bytes(many);
    linepool::fail_after(-1);
    EXPECT_EQ(file_message(), "File Truncated");
    expect_chain_sound();
}

TEST_F(FileTest, InsertAppendAndUnreadableFiles) {
    fetch_bytes("one\ntwo\n");
    LINE* first = cur().header->down;
    write(path("more"), "x\ny\n");
    use(path("more"));
    EXPECT_TRUE(insert_range(1, kAllLines, ""));
    EXPECT_EQ(cur().edited, 1);
    EXPECT_TRUE(append_range(2, 2, ""));
    EXPECT_EQ(std::tuple(texts(), cur().lnptr), std::tuple(V{"one", "x", "y", "two", "y"}, first));
    expect_chain_sound();
    write(path("empty"), "");  // an empty file still marks the core file edited
    use(path("empty"));
    for (auto op : {insert_range, append_range}) {
        cur().edited = 0;
        EXPECT_TRUE(op(1, kAllLines, ""));
        EXPECT_EQ(cur().edited, 1);
    }
    for (const std::string& bad : {dir, path("missing")}) {
        use(bad);
        EXPECT_FALSE(fetch_range(1, kAllLines, ""));
        EXPECT_EQ(said(insert_range(1, kAllLines, "")),
                  "no: File not found (or no read permission)");
        EXPECT_EQ(texts(), (V{"one", "x", "y", "two", "y"}));
    }
}

// Only the records that pass core file 18's checks are kept, or with 0 only those that fail.
TEST_F(FileTest, RecordCheckKeepsOnlyPassingRecords) {
    corenum = 18;
    fill_lines({"$#1=yes"});
    corenum = 1;
    const std::string p = path("recs");
    write(p, "\\ryes|1|\n\\rno|2|\n\\ryes|3|\nplain\n");
    use(p);
    fetch_range(1, kAllLines, "1");
    EXPECT_EQ(std::tuple(texts(), kinds()), std::tuple(V{"yes|1|", "yes|3|"}, "11"));
    fetch_range(1, kAllLines, "0");
    EXPECT_EQ(texts(), V{"no|2|"});
}

TEST_F(FileTest, ListRunsTheListingProgramWithItsArguments) {
    const std::string keep = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    const std::string bin = path("bin"), got = path("args");
    std::filesystem::create_directory(bin);
    ::setenv("PATH", bin.c_str(), 1);
    EXPECT_EQ(said(list_file("f", 1, 2, 1, "")), "no: Error in executing LIST: command not found?");
    write(bin + "/list", "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done > '" + got +
                             ".tmp'\nmv '" + got + ".tmp' '" + got + "'\n");
    ::chmod((bin + "/list").c_str(), 0755);
    ::setenv("PATH", (bin + ":/usr/bin:/bin").c_str(), 1);
    cur().filname.assign_cut("work file");
    EXPECT_TRUE(list_file("", 3, 7, 2, ""));
    ::setenv("PATH", keep.c_str(), 1);
    for (int i = 0; i < 500 && !std::filesystem::exists(got); ++i)  // the editor does not wait
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
    // Braces name keys, a line end is a Return; UTF-8 is decoded as in text files.
    for (const char* bytes : {"PR\r\nx~{?}x{.}{(}~{z\xC3\xA9\n", "PR\r\nx~{?}x{.}{(}~{z\xE9\n"}) {
        write(p, bytes);
        const char* keys = readfile(p.c_str(), KeyKind::Procedure);
        ASSERT_NE(keys, nullptr);
        EXPECT_STREQ(keys, "PR\rx\xf1x\xf6{{z\xE9\r");
    }
    EXPECT_EQ(std::string(readfile(p.c_str(), KeyKind::Template)).back(), '\x04');
    write(p, "~{C}~FE\n10 \xE2\x82\xAC\n");  // a character Latin-1 lacks
    EXPECT_EQ(readfile(p.c_str(), KeyKind::Procedure), nullptr);
    write(p, std::string(kKeyBufSize - 1, 'a'));  // exactly what fits, and one byte more
    EXPECT_NE(readfile(p.c_str(), KeyKind::Merge), nullptr);
    write(p, std::string(kKeyBufSize, 'a'));
    EXPECT_EQ(readfile(p.c_str(), KeyKind::Merge), nullptr);
    EXPECT_NE(file_message().find(p.substr(0, 40)), std::string::npos) << file_message();
    // A key string still being read outlives the next read.
    write(p, "first procedure");
    held = readfile(p.c_str(), KeyKind::Procedure);
    set_keystring_in_use(holds);
    write(path("second"), "second");
    EXPECT_STREQ(readfile(path("second").c_str(), KeyKind::Procedure), "second");
    EXPECT_STREQ(held, "first procedure");
    held = nullptr;
    set_keystring_in_use(nullptr);
}
