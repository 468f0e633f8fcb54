// Character sets at the file boundary. The store keeps one byte a character, Latin-1; files
// come as Latin-1 or as UTF-8, and each is written back in the set it came in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The character set of a core file's text on disk (COREFILE::encoding).
enum Charset : std::uint8_t {
    kCsNone = 0,     // came from no file: written as the locale asks (see default_charset)
    kCsLatin1 = 1,   // byte for byte
    kCsUtf8 = 2,     // UTF-8
    kCsUtf8Bom = 3,  // UTF-8 that began with a byte-order mark, which is written back
};

// What a scan of a file's bytes found.
struct Sniff {
    enum Kind { Ascii, Latin1, Utf8, Beyond } kind = Ascii;
    bool bom = false;         // a UTF-8 byte-order mark at the very start
    long offset = 0;          // Beyond: where the first character Latin-1 lacks starts
    long line = 0;            // Beyond: its line, from 1 (sniff() counts it; see Sniffer)
    std::uint32_t point = 0;  // Beyond: that character
};

// Classifies bytes incrementally: feed the file in pieces of any size, then finish().
// A file that is valid UTF-8 holding a character beyond ASCII is Utf8 (or Beyond, when one
// of its characters has no Latin-1 form); any other file is Latin1 or, without a byte above
// 127, Ascii. Lines are not counted on the way, which would cost a pass over every file for
// the rare one refused: the caller, who has the bytes, counts them up to a Beyond's offset.
class Sniffer {
  public:
    void feed(const unsigned char* p, std::size_t n);
    Sniff finish();

  private:
    void scan(const unsigned char* begin, const unsigned char* end);

    Sniff s_;
    std::uint32_t state_ = 0;  // of the validating automaton: 0 between characters
    unsigned char top_ = 0;    // the greatest byte so far
    bool found_ = false;       // a character beyond Latin-1 was met (s_ says where)
    int capture_ = 0;          // bytes of that character still to come
    bool wide_ = false;        // a byte above 127 was met
    bool started_ = false;     // the first bytes were looked at for a byte-order mark
    unsigned char bomseen_ = 0;
    long at_ = 0;  // the offset of the next byte scanned
};

Sniff sniff(std::string_view bytes);

// A character of Latin-1's upper half as UTF-8: a lead byte C2 or C3, then a continuation byte
// 80 to BF. Files the sniffer lets through as UTF-8 hold no other bytes above 127.
inline bool pair_lead(unsigned b) {
    return (b & 0xFEu) == 0xC2u;
}
inline bool continuation(unsigned b) {
    return (b & 0xC0u) == 0x80u;
}
inline unsigned char pair_value(unsigned lead, unsigned cont) {
    return static_cast<unsigned char>(((lead & 0x1Fu) << 6) | (cont & 0x3Fu));
}

// Decodes UTF-8 whose characters all lie below 256 into Latin-1, keeping state across pieces:
// a sequence cut at the end of one piece is completed by the next. Bytes that do not form
// such a sequence are kept as they are (the sniffer has ruled them out before).
class Utf8Decoder {
  public:
    // Decodes n bytes at p into out, which may overlap them as long as it starts at least one
    // byte before p (or at p itself when no lead byte is held from the last piece): the result
    // never runs ahead of the input. Returns the number of bytes written.
    std::size_t decode(const unsigned char* p, std::size_t n, unsigned char* out);

  private:
    unsigned char lead_ = 0;
};

// The byte-shuffle paths (SSSE3, with POPCNT) that decode and encode UTF-8 a block at a time,
// chosen when the program starts where the processor has them. ORU_SHUFFLE_TARGET compiles a
// function for them.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define ORU_SHUFFLE 1
#define ORU_SHUFFLE_TARGET __attribute__((target("ssse3,popcnt")))
#define ORU_WIDE_TARGET __attribute__((target("avx512f,avx512bw,avx512vbmi2,popcnt,bmi")))
#else
#define ORU_SHUFFLE 0
#endif
bool shuffle_paths();
// Tests turn the shuffle paths off to check that the portable ones give the same text; turning
// them on takes effect only where the processor has them.
void set_shuffle_paths(bool on);
// The wide path (AVX-512 with byte compression) that reads whole lines 64 bytes at a time,
// chosen the same way; tests turn it off to compare it with the line-by-line paths.
bool wide_paths();
void set_wide_paths(bool on);

// Latin-1 text as UTF-8, appended to `out`.
void latin1_to_utf8(std::string_view text, std::string& out);
// The same into a buffer that has room for twice n bytes and kUtf8Slack more, which may be
// written over; returns the end of what counts.
inline constexpr std::size_t kUtf8Slack = 8;
char* latin1_to_utf8(const char* p, std::size_t n, char* out);
// UTF-8 text as Latin-1 into `out`; false (out undefined) when it is not valid UTF-8 or holds a
// character beyond Latin-1.
bool utf8_to_latin1(std::string_view text, std::string& out);

// Text from a file in `charset` as the store's Latin-1. A BOM is dropped. For the key-string
// and rule-file readers, which take a file whole. Returns the sniff, so the caller can refuse a
// file with characters beyond Latin-1 (`text` is then left as it was).
Sniff decode_file_text(std::string& text);

// The set a core file of `charset` is written in: kCsNone becomes the locale's choice.
Charset effective_charset(Charset cs);
// UTF-8 when the locale's character set is UTF-8, Latin-1 otherwise.
Charset default_charset();
const char* charset_name(Charset cs);

// True when the locale's character set is UTF-8 (LC_CTYPE); set from the environment at start.
bool locale_utf8();
void set_locale_utf8(bool on);
// Forgets the setting (the next question asks the environment again) and puts the shuffle and
// wide paths back where the processor has them.
void reset_encoding();

// File names: the store's Latin-1 name as the system wants it (UTF-8 under a UTF-8 locale), and
// a name from the system as the store shows it. `from_system` is false when the name has no
// Latin-1 form.
std::string sysname(std::string_view latin1);
bool from_system(std::string_view name, std::string& latin1);
// The same without allocation, for a signal handler: writes a terminated name into buf;
// false when it does not fit.
bool sysname_into(std::string_view latin1, char* buf, std::size_t size);

// A message naming a character that Latin-1 cannot hold: "U+20AC".
std::string codepoint_text(std::uint32_t point);
