#include "encoding.hpp"

#if ORU_SHUFFLE
#include <immintrin.h>
#endif
#include <langinfo.h>
#include <locale.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstring>

namespace {

int locale_state = -1;  // -1 not looked at yet, 0 no, 1 UTF-8

// Text is looked at eight bytes at a time where it is plain ASCII, which most text mostly is.
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

std::uint64_t load8(const unsigned char* p) {
    std::uint64_t w;
    std::memcpy(&w, p, 8);
    return w;
}

// Of eight bytes loaded with load8, given their high bits (w & kHighBits, not 0): how many come
// before the first byte above 127, in the order they stand in memory.
int plain_before(std::uint64_t high) {
    if constexpr (std::endian::native == std::endian::little) return std::countr_zero(high) / 8;
    return std::countl_zero(high) / 8;
}

// Line feeds in [p, end).
long count_lines(const unsigned char* p, const unsigned char* end) {
    long n = 0;
#if defined(__SSE2__)
    // Sixteen bytes at a time: each line feed adds one to its lane's counter, and the lanes are
    // summed before any of them can overflow (255 blocks).
    const __m128i nl = _mm_set1_epi8('\n');
    while (end - p >= 16) {
        __m128i lanes = _mm_setzero_si128();
        for (int blocks = 0; blocks < 255 && end - p >= 16; ++blocks, p += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(v, nl));
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        n += _mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_unpackhi_epi64(sums, sums));
    }
#endif
    return n + std::count(p, end, static_cast<unsigned char>('\n'));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Sniffing
// ---------------------------------------------------------------------------------------------

void Sniffer::feed(const unsigned char* p, std::size_t n) {
    const unsigned char* const end = p + n;
    // A byte-order mark counts only at the very start of the file.
    while (!started_ && p < end) {
        static constexpr unsigned char kMark[] = {0xEF, 0xBB, 0xBF};
        if (*p == kMark[bomseen_]) {
            ++p;
            if (++bomseen_ == 3) {
                started_ = true;
                at_ = 3;
                s_.bom = true;
                wide_ = true;
            }
            continue;
        }
        started_ = true;
        // Not a mark after all: go over the bytes taken for one as ordinary bytes.
        const unsigned char seen = bomseen_;
        bomseen_ = 0;
        if (seen > 0) scan(kMark, kMark + seen);
    }
    if (p < end) scan(p, end);
}

// A table-driven UTF-8 validator: byte classes, then the transitions of the automaton (states
// are multiples of 12; 0 accepts, 12 rejects for good). It has no branch per byte, so text dense
// with accents costs no more than plain text.
constexpr std::uint8_t kUtf8Dfa[] = {
    // Byte classes: 00-7F, 80-8F, 90-9F, A0-BF, C0-DF, E0-FF.
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9,
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
    8, 8, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
    10, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 4, 3, 3, 11, 6, 6, 6, 5, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8,
    8,
    // Transitions: state + class.
    0, 12, 24, 36, 60, 96, 84, 12, 12, 12, 48, 72, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12,
    12, 0, 12, 12, 12, 12, 12, 0, 12, 0, 12, 12, 12, 24, 12, 12, 12, 12, 12, 24, 12, 24, 12, 12, 12,
    12, 12, 12, 12, 12, 12, 24, 12, 12, 12, 12, 12, 24, 12, 12, 12, 12, 12, 12, 12, 24, 12, 12, 12,
    12, 12, 12, 12, 12, 12, 36, 12, 36, 12, 12, 12, 36, 12, 12, 12, 12, 12, 36, 12, 36, 12, 12, 12,
    36, 12, 12, 12, 12, 12, 12, 12, 12, 12, 12};

constexpr std::uint32_t kUtf8Reject = 12;

// The bytes after a lead byte in valid UTF-8.
int sequence_rest(unsigned char lead) {
    return lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
}

namespace {

#if ORU_SHUFFLE
// Passes over 64 bytes at a time while they are plain ASCII or whole two-byte characters of
// Latin-1's upper half (lead C2 or C3, then a continuation 80 to BF), which leave the sniffer's
// automaton where it was; says whether a byte above 127 was passed.
ORU_WIDE_TARGET bool wide_plain(const unsigned char*& from, const unsigned char* const end) {
    const __m512i fe = _mm512_set1_epi8(static_cast<char>(0xFE));
    const __m512i c2 = _mm512_set1_epi8(static_cast<char>(0xC2));
    const __m512i c0 = _mm512_set1_epi8(static_cast<char>(0xC0));
    const unsigned char* q = from;
    bool high_seen = false;
    while (end - q >= 64) {
        const __m512i v = _mm512_loadu_si512(q);
        const std::uint64_t high = _mm512_movepi8_mask(v);
        if (high != 0) {
            const std::uint64_t lead = _mm512_cmpeq_epi8_mask(_mm512_and_si512(v, fe), c2);
            // As signed bytes, 80 to BF are exactly those below C0.
            const std::uint64_t cont = _mm512_cmplt_epi8_mask(v, c0);
            // The last byte no lead: its character would run into the next block.
            if ((lead >> 63) != 0 || cont != lead << 1 || (lead | cont) != high) break;
            high_seen = true;
        }
        q += 64;
    }
    from = q;
    return high_seen;
}
#endif

}  // namespace

void Sniffer::scan(const unsigned char* const begin, const unsigned char* const end) {
    if (state_ == kUtf8Reject) return;  // the verdict is in: not UTF-8
    // The rest of the first character Latin-1 lacks, when it was cut between two pieces.
    for (const unsigned char* c = begin; capture_ > 0 && c < end; --capture_)
        s_.point = (s_.point << 6) | (*c++ & 0x3Fu);
    std::uint32_t st = state_;
    unsigned char top = top_;
    const unsigned char* q = begin;
#if ORU_SHUFFLE
    const bool wide = wide_paths();
#endif
    while (q < end) {
        // Between characters, plain ASCII is passed over eight bytes at a time, and then up to
        // the next byte above 127: only those can change the automaton's state or the greatest
        // byte that matters (one above 127).
        if (st == 0) {
#if ORU_SHUFFLE
            if (wide && end - q >= 64) {
                const unsigned char* const was = q;
                // The greatest byte matters only as above 127 and as from C4 on; these lie below.
                if (wide_plain(q, end)) top = std::max(top, static_cast<unsigned char>(0x80));
                if (q != was) continue;
            }
#endif
#if defined(__SSE2__)
            // 32 bytes at a time while they are plain ASCII or whole two-byte characters of
            // Latin-1's upper half (lead C2 or C3, then a continuation 80 to BF), which leave the
            // automaton where it was. Anything else is left to the byte-wise steps below.
            if (end - q >= 32) {
                const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
                const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(q + 16));
                // One bit a byte, in the order of the bytes.
                const auto bits = [](__m128i m0, __m128i m1) {
                    return static_cast<std::uint32_t>(_mm_movemask_epi8(m0)) |
                           static_cast<std::uint32_t>(_mm_movemask_epi8(m1)) << 16;
                };
                const std::uint32_t high = bits(v0, v1);
                if (high == 0) {
                    q += 32;
                    continue;
                }
                const __m128i fe = _mm_set1_epi8(static_cast<char>(0xFE));
                const __m128i c2 = _mm_set1_epi8(static_cast<char>(0xC2));
                const std::uint32_t lead = bits(_mm_cmpeq_epi8(_mm_and_si128(v0, fe), c2),
                                                _mm_cmpeq_epi8(_mm_and_si128(v1, fe), c2));
                // As signed bytes, 80 to BF are exactly those below C0.
                const __m128i c0 = _mm_set1_epi8(static_cast<char>(0xC0));
                const std::uint32_t cont = bits(_mm_cmplt_epi8(v0, c0), _mm_cmplt_epi8(v1, c0));
                // Each lead followed by a continuation and each continuation after a lead, the
                // last byte no lead (its character would run into what follows).
                if ((lead >> 31) == 0 && cont == (lead << 1) && (lead | cont) == high) {
                    // The greatest byte matters only as above 127 and as from C4 on; these lie
                    // below C4.
                    top = std::max(top, static_cast<unsigned char>(0x80));
                    q += 32;
                    continue;
                }
            }
#endif
            if (end - q >= 8) {
                const std::uint64_t high = load8(q) & kHighBits;
                if (high == 0) {
                    q += 8;
                    continue;
                }
                q += plain_before(high);
            } else if (*q < 0x80) {
                ++q;
                continue;
            }
            // The usual case there: a whole character of Latin-1's upper half, which leaves the
            // automaton where it was.
            if (pair_lead(*q) && end - q >= 2 && continuation(q[1])) {
                top = *q > top ? *q : top;
                q += 2;
                continue;
            }
        }
        st = kUtf8Dfa[256 + st + kUtf8Dfa[*q]];
        top = *q > top ? *q : top;
        ++q;
        // Not UTF-8 for good: nothing further can change the verdict.
        if (st == kUtf8Reject) break;
    }
    state_ = st;
    if (top >= 0x80) wide_ = true;
    // In valid UTF-8 every byte from 0xC4 on starts a character beyond Latin-1. The first one is
    // looked for only when this piece holds one.
    if (!found_ && top >= 0xC4 && top_ < 0xC4) {
        const unsigned char* at = begin;
        while (*at < 0xC4)
            ++at;
        found_ = true;
        s_.offset = at_ + (at - begin);
        const int rest = sequence_rest(*at);
        s_.point = *at & (rest == 1 ? 0x1Fu : rest == 2 ? 0x0Fu : 0x07u);
        capture_ = rest;
        for (++at; capture_ > 0 && at < end; --capture_)
            s_.point = (s_.point << 6) | (*at++ & 0x3Fu);
    }
    top_ = top;
    at_ += end - begin;
}

Sniff Sniffer::finish() {
    if (!started_ && bomseen_ > 0) {
        // The file was no more than the start of a mark.
        const unsigned char seen = bomseen_;
        static constexpr unsigned char kMark[] = {0xEF, 0xBB, 0xBF};
        started_ = true;
        bomseen_ = 0;
        scan(kMark, kMark + seen);
    }
    Sniff out;
    out.bom = s_.bom;
    if (state_ != 0) {  // not UTF-8 (or a character cut short at the end)
        out.bom = false;
        out.kind = wide_ ? Sniff::Latin1 : Sniff::Ascii;
    } else if (found_) {
        out = s_;
        out.kind = Sniff::Beyond;
    } else {
        out.kind = wide_ ? Sniff::Utf8 : Sniff::Ascii;
    }
    return out;
}

Sniff sniff(std::string_view bytes) {
    Sniffer s;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    s.feed(p, bytes.size());
    Sniff out = s.finish();
    if (out.kind == Sniff::Beyond) out.line = 1 + count_lines(p, p + out.offset);
    return out;
}

// ---------------------------------------------------------------------------------------------
// Decoding and encoding
// ---------------------------------------------------------------------------------------------

std::size_t Utf8Decoder::decode(const unsigned char* p, std::size_t n, unsigned char* out) {
    if (n == 0) return 0;
    std::size_t o = 0;
    // Each byte is written; a continuation after a lead C2 or C3 replaces the lead it follows
    // with the character they make, without a branch on the text.
    unsigned lead = lead_;
    std::size_t i = 0;
    if (lead != 0 && n > 0) {
        // The lead ended the last piece and was held back; give it its place again.
        out[o++] = static_cast<unsigned char>(lead);
    }
    while (i < n) {
        // Plain ASCII eight bytes at a time, then byte by byte up to the next byte above 127.
        // The output never runs ahead of the input, so no byte is written before it is read.
        if (lead == 0 && n - i >= 8) {
            const std::uint64_t w = load8(p + i);
            const std::uint64_t high = w & kHighBits;
            if (high == 0) {
                std::memcpy(out + o, &w, 8);
                o += 8;
                i += 8;
                continue;
            }
            for (int k = plain_before(high); k > 0; --k)
                out[o++] = p[i++];
            // The usual case there: a whole character of Latin-1's upper half.
            if (pair_lead(p[i]) && i + 1 < n && continuation(p[i + 1])) {
                out[o++] = pair_value(p[i], p[i + 1]);
                i += 2;
                continue;
            }
        }
        const unsigned b = p[i++];
        const bool joins = lead != 0 && continuation(b);
        const unsigned value = joins ? pair_value(lead, b) : b;
        o -= joins ? 1 : 0;
        out[o++] = static_cast<unsigned char>(value);
        lead = !joins && pair_lead(b) ? b : 0;
    }
    // A lead at the very end waits for its continuation in the next piece.
    if (lead != 0) --o;
    lead_ = static_cast<unsigned char>(lead);
    return o;
}

namespace {

#if ORU_SHUFFLE
bool processor_shuffles() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3") != 0 && __builtin_cpu_supports("popcnt") != 0;
}
bool shuffle_on = processor_shuffles();
bool processor_widens() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512bw") != 0 && __builtin_cpu_supports("avx512vbmi2") != 0 &&
           __builtin_cpu_supports("popcnt") != 0 && __builtin_cpu_supports("bmi") != 0;
}
bool wide_on = processor_widens();

// For each set of bytes above 127 among eight (a bit a byte): the shuffle that takes, from the
// eight bytes each paired with its lead byte (lead, byte, lead, byte...), the byte alone for a
// plain character and both for the others; 0x80 clears the bytes past the end.
using Shuffle = std::array<unsigned char, 16>;
constexpr std::array<Shuffle, 256> kSpread = [] {
    std::array<Shuffle, 256> table{};
    for (unsigned high = 0; high < 256; ++high) {
        Shuffle& t = table[high];
        t.fill(0x80);
        std::size_t k = 0;
        for (unsigned i = 0; i < 8; ++i) {
            if ((high >> i & 1) != 0) t[k++] = static_cast<unsigned char>(2 * i);
            t[k++] = static_cast<unsigned char>(2 * i + 1);
        }
    }
    return table;
}();

// Eight characters at a time, without a branch on the text: each byte above 127 becomes its lead
// (C2 or C3, from its top two bits) and itself less 0x40 when that bit is set. Sixteen bytes are
// stored each time, within the twice n the caller has room for.
ORU_SHUFFLE_TARGET char* encode_blocks(const char*& p, const char* const end, char* out) {
    const __m128i three = _mm_set1_epi8(3);
    const __m128i c0 = _mm_set1_epi8(static_cast<char>(0xC0));
    const __m128i x40 = _mm_set1_epi8(0x40);
    while (end - p >= 8) {
        const __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
        const auto high = static_cast<unsigned>(_mm_movemask_epi8(v));
        const __m128i lead = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(v, 6), three), c0);
        const __m128i wide = _mm_cmplt_epi8(v, _mm_setzero_si128());
        const __m128i cont = _mm_andnot_si128(_mm_and_si128(wide, x40), v);
        const __m128i spread = _mm_shuffle_epi8(
            _mm_unpacklo_epi8(lead, cont),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(kSpread[high].data())));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), spread);
        out += 8 + std::popcount(high);
        p += 8;
    }
    return out;
}
#endif

}  // namespace

bool shuffle_paths() {
#if ORU_SHUFFLE
    return shuffle_on;
#else
    return false;
#endif
}

void set_shuffle_paths(bool on) {
#if ORU_SHUFFLE
    shuffle_on = on && processor_shuffles();
#else
    (void)on;
#endif
}

bool wide_paths() {
#if ORU_SHUFFLE
    return wide_on;
#else
    return false;
#endif
}

void set_wide_paths(bool on) {
#if ORU_SHUFFLE
    wide_on = on && processor_widens();
#else
    (void)on;
#endif
}

char* latin1_to_utf8(const char* p, std::size_t n, char* out) {
    const char* const end = p + n;
#if ORU_SHUFFLE
    if (shuffle_on) out = encode_blocks(p, end, out);
#endif
    if constexpr (std::endian::native == std::endian::little) {
        // Eight characters at a time, taken as one word whose low byte comes first. Each store
        // puts out eight bytes, of which only those that count are kept: the rest is written
        // over next, or lies in the eight bytes of room the caller gives beyond twice n.
        while (end - p >= 8) {
            std::uint64_t w = load8(reinterpret_cast<const unsigned char*>(p));
            std::uint64_t high = w & kHighBits;
            p += 8;
            int left = 8;  // characters of the word not yet written
            while (high != 0) {
                // The plain characters before the next one above 127, then its two bytes.
                const int plain = std::countr_zero(high) / 8;
                std::memcpy(out, &w, 8);
                out += plain;
                w >>= 8 * plain;
                high >>= 8 * plain;
                const auto b = static_cast<unsigned char>(w);
                out[0] = static_cast<char>(0xC0 | (b >> 6));
                out[1] = static_cast<char>(0x80 | (b & 0x3F));
                out += 2;
                w >>= 8;
                high >>= 8;
                left -= plain + 1;
            }
            std::memcpy(out, &w, 8);
            out += left;
        }
    }
    while (p < end) {
        const auto b = static_cast<unsigned char>(*p++);
        if (b < 0x80) {
            *out++ = static_cast<char>(b);
        } else {
            *out++ = static_cast<char>(0xC0 | (b >> 6));
            *out++ = static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    return out;
}

void latin1_to_utf8(std::string_view text, std::string& out) {
    const std::size_t at = out.size();
    out.resize(at + 2 * text.size() + kUtf8Slack);
    char* const end = latin1_to_utf8(text.data(), text.size(), out.data() + at);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

bool utf8_to_latin1(std::string_view text, std::string& out) {
    const Sniff s = sniff(text);
    if (s.kind == Sniff::Latin1 || s.kind == Sniff::Beyond || s.bom) return false;
    out.assign(text);
    Utf8Decoder d;
    auto* p = reinterpret_cast<unsigned char*>(out.data());
    out.resize(d.decode(p, out.size(), p));
    return true;
}

Sniff decode_file_text(std::string& text) {
    const Sniff s = sniff(text);
    if (s.kind != Sniff::Utf8) return s;
    const std::size_t skip = s.bom ? 3 : 0;
    auto* p = reinterpret_cast<unsigned char*>(text.data());
    Utf8Decoder d;
    const std::size_t n = d.decode(p + skip, text.size() - skip, p);
    text.resize(n);
    return s;
}

// ---------------------------------------------------------------------------------------------
// Locale and file names
// ---------------------------------------------------------------------------------------------

bool locale_utf8() {
    if (locale_state < 0) {
        // Asked of the environment itself, so the answer does not depend on whether the
        // terminal has set the program's locale yet.
        locale_state = 0;
        if (locale_t loc = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr))) {
            locale_state = std::strcmp(::nl_langinfo_l(CODESET, loc), "UTF-8") == 0 ? 1 : 0;
            ::freelocale(loc);
        }
    }
    return locale_state == 1;
}

void set_locale_utf8(bool on) {
    locale_state = on ? 1 : 0;
}

void reset_encoding() {
    locale_state = -1;
    set_shuffle_paths(true);
    set_wide_paths(true);
}

Charset default_charset() {
    return locale_utf8() ? kCsUtf8 : kCsLatin1;
}

Charset effective_charset(Charset cs) {
    return cs == kCsNone ? default_charset() : cs;
}

const char* charset_name(Charset cs) {
    switch (cs) {
        case kCsLatin1:
            return "Latin-1";
        case kCsUtf8:
            return "UTF-8";
        case kCsUtf8Bom:
            return "UTF-8 with byte-order mark";
        default:
            return "none";
    }
}

std::string sysname(std::string_view latin1) {
    if (!locale_utf8()) return std::string(latin1);
    std::string out;
    latin1_to_utf8(latin1, out);
    return out;
}

bool sysname_into(std::string_view latin1, char* buf, std::size_t size) {
    std::size_t o = 0;
    const bool utf8 = locale_utf8();
    for (const char ch : latin1) {
        const auto b = static_cast<unsigned char>(ch);
        const std::size_t need = utf8 && b >= 0x80 ? 2 : 1;
        if (o + need >= size) return false;
        if (need == 1) {
            buf[o++] = ch;
        } else {
            buf[o++] = static_cast<char>(0xC0 | (b >> 6));
            buf[o++] = static_cast<char>(0x80 | (b & 0x3F));
        }
    }
    if (o >= size) return false;
    buf[o] = '\0';
    return true;
}

bool from_system(std::string_view name, std::string& latin1) {
    if (!locale_utf8()) {
        latin1.assign(name);
        return true;
    }
    return utf8_to_latin1(name, latin1);
}

std::string codepoint_text(std::uint32_t point) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(point));
    return buf;
}
