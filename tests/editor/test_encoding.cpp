#include <gtest/gtest.h>

#include <string>

#include "encoding.hpp"

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
        {"\xE2\x82\xAC \xE9", Sniff::Latin1, false},  // beyond, then invalid
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

TEST(Encoding, EveryLatin1CharacterRoundTripsThroughUtf8) {
    std::string all, utf8, back;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    latin1_to_utf8(all, utf8);
    EXPECT_EQ(utf8.size(), 128u + 2 * 128u);
    ASSERT_TRUE(utf8_to_latin1(utf8, back));
    EXPECT_EQ(back, all);
    EXPECT_FALSE(utf8_to_latin1("caf\xE9", back));
    EXPECT_FALSE(utf8_to_latin1("\xE2\x82\xAC", back));
}
