// The bulk paths of reading and writing: text long enough for the eight-byte steps, cut into
// pieces as the file reader cuts it, and lines freed a run at a time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encoding.hpp"
#include "store_fixture.hpp"

namespace {

// Latin-1 text with ASCII runs of every length from 0 to 20 between upper-half characters, in
// lines of varied length.
std::string mixed_latin1() {
    std::string s;
    for (int i = 0; i < 600; ++i) {
        s.append(static_cast<std::size_t>(i % 21), static_cast<char>('a' + i % 26));
        s.push_back(static_cast<char>(0x80 + (i * 37) % 128));
        if (i % 9 == 0) s.push_back('\n');
    }
    return s;
}

}  // namespace

TEST(EncodingFast, LongTextSniffsAndDecodesTheSameInAnyPieces) {
    const std::string latin1 = mixed_latin1();
    std::string utf8;
    latin1_to_utf8(latin1, utf8);
    const auto* in = reinterpret_cast<const unsigned char*>(utf8.data());
    for (const std::size_t piece : {1u, 7u, 8u, 9u, 61u, 4096u}) {
        Sniffer sn;
        Utf8Decoder d;
        std::string back;
        // As the file reader does: each piece read one byte into a buffer that is decoded
        // from its start.
        std::vector<unsigned char> buf(piece + 1);
        for (std::size_t at = 0; at < utf8.size(); at += piece) {
            const std::size_t n = std::min(piece, utf8.size() - at);
            sn.feed(in + at, n);
            std::copy(in + at, in + at + n, buf.begin() + 1);
            const std::size_t got = d.decode(buf.data() + 1, n, buf.data());
            back.append(reinterpret_cast<const char*>(buf.data()), got);
        }
        EXPECT_EQ(sn.finish().kind, Sniff::Utf8) << "pieces of " << piece;
        EXPECT_EQ(back, latin1) << "pieces of " << piece;
    }

    // A character Latin-1 lacks far into the text is found on its line; a Latin-1 byte after
    // much valid UTF-8 makes the whole text Latin-1.
    std::string beyond = utf8 + "\xE2\x82\xAC";
    const Sniff s = sniff(beyond);
    EXPECT_EQ(std::tuple(s.kind, s.line, s.point),
              std::tuple(Sniff::Beyond, 1 + std::count(utf8.begin(), utf8.end(), '\n'), 0x20ACu));
    EXPECT_EQ(sniff(utf8 + "\xE9" + utf8).kind, Sniff::Latin1);
}

class StoreFastTest : public StoreTest {};

TEST_F(StoreFastTest, RemovingAFileFreesTheBytesOfEveryLineWhereverTheyLie) {
    fill_lines({"first", "second", "", "third", "fourth"});
    // The first line grows past the second's bytes: it moves to the top of the arena, so its
    // bytes no longer follow the others'.
    cadd_text(" and more");
    ASSERT_EQ(texts()[0], "first and more");
    const long used = avail;
    removefile();
    for (long i = 0; i < used; ++i)
        ASSERT_EQ(textbase[i], kFreeByte) << "byte " << i;
}
