// UTF-8 at every place of the reader's and writer's blocks, one character cut between two reads.
#include "file_fixture.hpp"

#include <random>

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

namespace {

// Lines of every kind the reader decides on: words, accented letters, runs of blanks, tabs,
// carriage returns, vertical tabs, markers, NULs, long and empty lines; as UTF-8 or Latin-1.
std::string varied_lines(unsigned seed, bool utf8) {
    static const std::vector<std::string> pieces = {"mot",
                                                    "les",
                                                    " ",
                                                    "  ",
                                                    "\t",
                                                    "\r",
                                                    "\xE9",
                                                    "\xE0\xFF",
                                                    "\xAB ",
                                                    "\\r",
                                                    "\\l",
                                                    "\\",
                                                    "\v",
                                                    "x",
                                                    "\xC3",
                                                    " \t",
                                                    "\r\r",
                                                    std::string(1, '\0'),
                                                    "ab\t",
                                                    std::string(70, 'z'),
                                                    "\xE7"
                                                    "a",
                                                    "\xEE"};
    std::mt19937 rng(seed);
    std::string latin1;
    for (int line = 0; line < 4000; ++line) {
        const unsigned n = rng() % 14;
        for (unsigned k = 0; k < n; ++k)
            latin1 += pieces[rng() % pieces.size()];
        latin1 += rng() % 9 == 0 ? "\r\n" : "\n";
    }
    if (!utf8) return latin1;
    std::string out;
    latin1_to_utf8(latin1, out);
    return out;
}

}  // namespace

// The wide reader, which takes many lines a block at a time, and the block-shuffling decoder read
// what the portable line-by-line reader does, whatever the lines hold, however the reading is
// set, and when the store or the pool runs out; the bytes stored past the last line read as free.
TEST_F(FileTest, WideReaderReadsWhatTheLineByLineReaderDoes) {
    struct Read {
        std::string kinds;
        std::vector<std::string> texts;
        long avail;
        std::string message;
        unsigned char encoding;
        bool operator==(const Read&) const = default;
    };
    enum Paths { kPortable, kShuffle, kWide };
    // Reads with the store's room and the records to be had limited, or not.
    const auto fetch_with = [&](Paths paths, const std::string& bytes, long first, long last,
                                long room = kHiAddr, long records = -1) {
        reset_store();
        hiaddr = room;
        linepool::fail_after(records);
        set_shuffle_paths(paths != kPortable);
        set_wide_paths(paths == kWide);
        fetch_bytes(bytes, first, last);
        set_shuffle_paths(true);
        set_wide_paths(true);
        linepool::fail_after(-1);
        for (long i = avail; i < avail + 4096; ++i)
            EXPECT_EQ(textbase[i], kFreeByte) << "byte " << i;
        expect_chain_sound();
        return Read{kinds(), texts(), avail, file_message(), cur().encoding};
    };
    for (unsigned seed = 1; seed <= 3; ++seed) {
        for (const bool utf8 : {false, true}) {
            const std::string bytes = varied_lines(seed, utf8);
            for (int setting = 0; setting < 4; ++setting) {
                SCOPED_TRACE(testing::Message() << seed << " " << utf8 << " " << setting);
                fetchstyle = setting & 1;
                octflag = setting >> 1;
                for (const Paths paths : {kShuffle, kWide}) {
                    EXPECT_EQ(fetch_with(paths, bytes, 1, kAllLines),
                              fetch_with(kPortable, bytes, 1, kAllLines));
                    EXPECT_EQ(fetch_with(paths, bytes, 700, 2900),
                              fetch_with(kPortable, bytes, 700, 2900));
                    // The store runs out in the middle of the file, and the pool.
                    EXPECT_EQ(fetch_with(paths, bytes, 1, kAllLines, 20000),
                              fetch_with(kPortable, bytes, 1, kAllLines, 20000));
                    EXPECT_EQ(fetch_with(paths, bytes, 1, kAllLines, kHiAddr, 1000),
                              fetch_with(kPortable, bytes, 1, kAllLines, kHiAddr, 1000));
                }
            }
        }
    }
}
