// UTF-8 at every place of the reader's and writer's blocks, one character cut between two reads.
#include "file_fixture.hpp"

TEST_F(FileTest, Utf8AtEveryPlaceInABlockReadsAndWritesBack) {
    std::string raw, saved;  // the file, and the same with each tab as the blanks it becomes
    std::vector<std::string> want;
    for (int n = 0; n < 40; ++n) {  // e-acute at each offset; the tab stop counts it as one
        const std::string a(static_cast<std::size_t>(n), 'a'), pad(8 - (n + 2) % 8, ' ');
        raw += a + "\xC3\xA9z\t\xC3\xBFq\n";
        saved += a + "\xC3\xA9z" + pad + "\xC3\xBFq\n";
        want.push_back(a + "\xE9z" + pad + "\xFFq");
    }
    const std::string fill(65535 - raw.size(), 'b');    // the next lead ends the first read
    raw += fill + "\xC3\xA0!" + std::string(60, '\n');  // bytes beyond the last text line
    saved += fill + "\xC3\xA0!" + std::string(60, '\n');
    want.push_back(fill + "\xE0!");
    want.resize(want.size() + 59);
    set_shuffle_paths(false);  // the portable decoder gives the same lines
    fetch_bytes(raw);
    const std::vector<std::string> portable = texts();
    set_shuffle_paths(true);
    fetch_bytes(raw + "\xE2\x82\xAC");  // refused, the line counted across the reads
    EXPECT_EQ(file_message(), "Line 101 holds U+20AC, which Latin-1 has not: file not read");
    fetch_bytes(raw);  // over the same text: the store holds it once
    EXPECT_EQ(std::tuple(cur().encoding, texts(), portable, avail),
              std::tuple(kCsUtf8, want, want, cur().charcount));
    for (long i = avail; i < avail + 64; ++i)
        ASSERT_EQ(textbase[i], kFreeByte) << "byte " << i;
    std::ofstream{path("out")};
    use(path("out"));
    ASSERT_TRUE(save_range(1, kAllLines));
    EXPECT_EQ(read(path("out")), saved);
    const long top = avail;
    fetch_bytes("short\n");  // over the longer text, all of whose bytes read as free again
    EXPECT_EQ(std::count(textbase.begin() + avail, textbase.begin() + top, kFreeByte), top - avail);
    // A lead as the last byte of a 32-byte block, then no continuation: not UTF-8.
    EXPECT_EQ(sniff(std::string(31, 'x') + "\xC3" + std::string(40, 'y')).kind, Sniff::Latin1);
    EXPECT_EQ(sniff(std::string(31, 'x') + "\xC3\xA9" + std::string(40, 'y')).kind, Sniff::Utf8);
}
