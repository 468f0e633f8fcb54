// Character sets told apart and converted, also in the pieces the file reader cuts text into;
// and the bytes of a whole file freed a run at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "encoding.hpp"
#include "store_fixture.hpp"

TEST(Encoding, SniffTellsAsciiLatin1Utf8AndCharactersBeyondLatin1) {
    const std::tuple<std::string, Sniff::Kind, bool> cases[] = {
        {"", Sniff::Ascii, false},
        {std::string("a\0b\n", 4), Sniff::Ascii, false},
        {"caf\xC3\xA9 \xC2\xAB na\xC3\xAFve \xC2\xBB\n", Sniff::Utf8, false},
        {"caf\xE9 na\xEFve\n", Sniff::Latin1, false},
        {"\xFF\n", Sniff::Latin1, false},
        {"caf\xC3", Sniff::Latin1, false},        // cut
        {"\xC0\xA9", Sniff::Latin1, false},       // overlong
        {"\xED\xA0\x80", Sniff::Latin1, false},   // a surrogate
        {"\xC3\xA9 \xE9", Sniff::Latin1, false},  // UTF-8, then Latin-1
        {"\xEF\xBB\xBFhello\n", Sniff::Utf8, true},
        {"\xEF\xBB\xBF\xC3\xA9", Sniff::Utf8, true},
        {"\xEF\xBB", Sniff::Latin1, false},
        {"a\xEF\xBB\xBF", Sniff::Beyond, false},  // a mark later on is a character
        {"prix\n10 \xE2\x82\xAC\n", Sniff::Beyond, false},
        {"\xE2\x82\xAC \xE9", Sniff::Latin1, false}  // beyond, then invalid
    };
    for (const auto& [bytes, kind, bom] : cases) {
        for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {  // fed in two pieces
            Sniffer s;
            const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
            s.feed(p, cut);
            s.feed(p + cut, bytes.size() - cut);
            const Sniff got = s.finish();
            EXPECT_EQ(std::tuple(got.kind, got.bom), std::tuple(kind, bom)) << bytes << " " << cut;
        }
    }
    const Sniff euro = sniff("prix\n10 \xE2\x82\xAC\n");
    EXPECT_EQ(std::tuple(euro.line, codepoint_text(euro.point)),
              std::tuple(2L, std::string("U+20AC")));
}

// Every Latin-1 byte, then ASCII runs of every length from 0 to 20 between upper-half
// characters, long enough for the eight-byte steps: both encoders give the same UTF-8, and it
// reads back as it was.
TEST(Encoding, Latin1TextRoundTripsThroughUtf8) {
    std::string latin1, utf8, portable, back;
    for (int b = 0; b < 256; ++b)
        latin1.push_back(static_cast<char>(b));
    for (int i = 0; i < 600; ++i) {
        latin1.append(static_cast<std::size_t>(i % 21), static_cast<char>('a' + i % 26));
        latin1.push_back(static_cast<char>(0x80 + (i * 37) % 128));
    }
    latin1_to_utf8(latin1, utf8);
    set_shuffle_paths(false);
    latin1_to_utf8(latin1, portable);
    reset_encoding();
    EXPECT_EQ(portable, utf8);
    ASSERT_TRUE(utf8_to_latin1(utf8, back));
    EXPECT_EQ(back, latin1);
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
