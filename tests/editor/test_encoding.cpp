#include <gtest/gtest.h>

#include <string>

#include "encoding.hpp"

namespace {

struct SniffCase {
    const char* what;
    std::string bytes;
    Sniff::Kind kind;
    bool bom;
};

// Sniffs the bytes whole and cut into pieces at every position, which must agree.
Sniff sniff_in_pieces(const std::string& bytes, std::size_t cut) {
    Sniffer s;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t at = std::min(cut, bytes.size());
    s.feed(p, at);
    s.feed(p + at, bytes.size() - at);
    return s.finish();
}

}  // namespace

TEST(Encoding, SniffTellsAsciiLatin1Utf8AndCharactersBeyondLatin1) {
    const SniffCase cases[] = {
        {"empty", "", Sniff::Ascii, false},
        {"plain ASCII, also valid Latin-1", "caf\x65 na\x69ve\n", Sniff::Ascii, false},
        {"NUL bytes are ASCII", std::string("a\0b\n", 4), Sniff::Ascii, false},
        {"UTF-8 accents", "caf\xC3\xA9 \xC2\xAB na\xC3\xAFve \xC2\xBB\n", Sniff::Utf8, false},
        {"Latin-1 accents", "caf\xE9 na\xEFve\n", Sniff::Latin1, false},
        {"0xFF alone is not UTF-8", "\xFF\n", Sniff::Latin1, false},
        {"a cut sequence at the end", "caf\xC3", Sniff::Latin1, false},
        {"an overlong form", "\xC0\xA9", Sniff::Latin1, false},
        {"a surrogate", "\xED\xA0\x80", Sniff::Latin1, false},
        {"mixed: UTF-8 then Latin-1", "\xC3\xA9 \xE9", Sniff::Latin1, false},
        {"byte-order mark and ASCII", "\xEF\xBB\xBFhello\n", Sniff::Utf8, true},
        {"byte-order mark and accents", "\xEF\xBB\xBF\xC3\xA9", Sniff::Utf8, true},
        {"only the start of a mark", "\xEF\xBB", Sniff::Latin1, false},
        {"a mark later in the file is a character Latin-1 lacks", "a\xEF\xBB\xBF", Sniff::Beyond,
         false},
        {"euro sign", "prix\n10 \xE2\x82\xAC\n", Sniff::Beyond, false},
        {"beyond, then invalid: Latin-1 after all", "\xE2\x82\xAC \xE9", Sniff::Latin1, false},
    };
    for (const auto& c : cases) {
        for (std::size_t cut = 0; cut <= c.bytes.size(); ++cut) {
            const Sniff s = sniff_in_pieces(c.bytes, cut);
            EXPECT_EQ(s.kind, c.kind) << c.what << ", cut at " << cut;
            EXPECT_EQ(s.bom, c.bom) << c.what << ", cut at " << cut;
        }
    }
    const Sniff euro = sniff("prix\n10 \xE2\x82\xAC\n");
    EXPECT_EQ(euro.line, 2);
    EXPECT_EQ(euro.point, 0x20ACu);
    EXPECT_EQ(codepoint_text(euro.point), "U+20AC");
}

TEST(Encoding, EveryLatin1CharacterRoundTripsThroughUtf8) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    std::string utf8;
    latin1_to_utf8(all, utf8);
    EXPECT_EQ(utf8.size(), 128u + 2 * 128u);
    EXPECT_EQ(sniff(utf8).kind, Sniff::Utf8);
    std::string back;
    ASSERT_TRUE(utf8_to_latin1(utf8, back));
    EXPECT_EQ(back, all);

    // Decoding in pieces of every size gives the same text, a sequence cut between two pieces
    // included.
    for (std::size_t piece = 1; piece <= 7; ++piece) {
        const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
        Utf8Decoder d;
        std::string out;
        for (std::size_t at = 0; at < utf8.size(); at += piece) {
            unsigned char buf[16];
            const std::size_t got = d.decode(p + at, std::min(piece, utf8.size() - at), buf);
            out.append(reinterpret_cast<const char*>(buf), got);
        }
        EXPECT_EQ(out, all) << "pieces of " << piece;
    }

    // Text that is not UTF-8, or holds more than Latin-1, has no Latin-1 form.
    EXPECT_FALSE(utf8_to_latin1("caf\xE9", back));
    EXPECT_FALSE(utf8_to_latin1("\xE2\x82\xAC", back));
}

TEST(Encoding, FileNamesFollowTheLocale) {
    set_locale_utf8(true);
    std::string shown;
    ASSERT_TRUE(from_system("\xC3\xA9l\xC3\xA8ve.txt", shown));
    EXPECT_EQ(shown, "\xE9l\xE8ve.txt");
    EXPECT_FALSE(from_system("\xE2\x82\xAC.txt", shown));  // no Latin-1 form
    EXPECT_FALSE(from_system("\xE9l\xE8ve.txt", shown));   // not UTF-8: another file than shown
    char buf[8];
    EXPECT_TRUE(sysname_into("\xE9t\xE9", buf, sizeof buf));
    EXPECT_STREQ(buf, "\xC3\xA9t\xC3\xA9");
    EXPECT_FALSE(sysname_into("\xE9t\xE9\xE9\xE9", buf, sizeof buf));  // does not fit
    EXPECT_EQ(default_charset(), kCsUtf8);
    EXPECT_EQ(effective_charset(kCsLatin1), kCsLatin1);
    set_locale_utf8(false);
    EXPECT_EQ(effective_charset(kCsNone), kCsLatin1);
    reset_encoding();
}
