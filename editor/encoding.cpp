#include "encoding.hpp"

#include <langinfo.h>
#include <locale.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr std::uint32_t kBom = 0xFEFF;

bool is_cont(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

int locale_state = -1;  // -1 not looked at yet, 0 no, 1 UTF-8

}  // namespace

// ---------------------------------------------------------------------------------------------
// Sniffing
// ---------------------------------------------------------------------------------------------

void Sniffer::feed(const unsigned char* p, std::size_t n) {
    const unsigned char* const end = p + n;
    while (p < end && !invalid_) {
        if (!started_) {
            // A byte-order mark counts only at the very start of the file.
            static constexpr unsigned char kMark[] = {0xEF, 0xBB, 0xBF};
            if (*p == kMark[bomseen_]) {
                ++bomseen_;
                ++p;
                if (bomseen_ == 3) {
                    started_ = true;
                    s_.bom = true;
                    wide_ = true;
                }
                continue;
            }
            started_ = true;
            // Not a mark after all: go over the bytes taken for one as ordinary bytes.
            const unsigned char seen = bomseen_;
            bomseen_ = 0;
            if (seen > 0) {
                feed(kMark, seen);
                continue;
            }
        }
        unsigned char b = *p++;
        if (need_ == 0) {
            if (b < 0x80) {
                if (b == '\n') ++line_;
                // Plain ASCII runs are the common case: step over them without the decoder.
                while (p < end && *p < 0x80) {
                    if (*p == '\n') ++line_;
                    ++p;
                }
                continue;
            }
            wide_ = true;
            if (b >= 0xC2 && b <= 0xDF) {
                need_ = 1;
                value_ = b & 0x1Fu;
                min_ = 0x80;
            } else if (b >= 0xE0 && b <= 0xEF) {
                need_ = 2;
                value_ = b & 0x0Fu;
                min_ = 0x800;
            } else if (b >= 0xF0 && b <= 0xF4) {
                need_ = 3;
                value_ = b & 0x07u;
                min_ = 0x10000;
            } else {
                invalid_ = true;
            }
            continue;
        }
        if (!is_cont(b)) {
            invalid_ = true;
            continue;
        }
        value_ = (value_ << 6) | (b & 0x3Fu);
        if (--need_ > 0) continue;
        if (value_ < min_ || value_ > 0x10FFFF || (value_ >= 0xD800 && value_ <= 0xDFFF)) {
            invalid_ = true;
        } else if (value_ > 0xFF && s_.kind != Sniff::Beyond) {
            s_.kind = Sniff::Beyond;
            s_.line = line_;
            s_.point = value_;
        }
    }
}

Sniff Sniffer::finish() {
    if (!started_ && bomseen_ > 0) {
        // The file was no more than the start of a mark.
        const unsigned char seen = bomseen_;
        static constexpr unsigned char kMark[] = {0xEF, 0xBB, 0xBF};
        started_ = true;
        bomseen_ = 0;
        feed(kMark, seen);
    }
    Sniff out = s_;
    if (invalid_ || need_ > 0) {
        out = Sniff{};
        out.kind = wide_ ? Sniff::Latin1 : Sniff::Ascii;
        return out;
    }
    if (out.kind != Sniff::Beyond) out.kind = wide_ ? Sniff::Utf8 : Sniff::Ascii;
    return out;
}

Sniff sniff(std::string_view bytes) {
    Sniffer s;
    s.feed(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    return s.finish();
}

// ---------------------------------------------------------------------------------------------
// Decoding and encoding
// ---------------------------------------------------------------------------------------------

std::size_t Utf8Decoder::decode(const unsigned char* p, std::size_t n, unsigned char* out) {
    std::size_t o = 0;
    std::size_t i = 0;
    if (lead_ != 0 && n > 0) {
        if (is_cont(p[0])) {
            out[o++] = static_cast<unsigned char>(((lead_ & 0x1F) << 6) | (p[0] & 0x3F));
            i = 1;
        } else {
            out[o++] = lead_;  // cannot happen after a sniff; keep the byte rather than lose it
        }
        lead_ = 0;
    }
    while (i < n) {
        const unsigned char b = p[i];
        if (b < 0x80) {
            // Copy the ASCII run in one go.
            std::size_t j = i + 1;
            while (j < n && p[j] < 0x80)
                ++j;
            std::memmove(out + o, p + i, j - i);
            o += j - i;
            i = j;
            continue;
        }
        if (b == 0xC2 || b == 0xC3) {
            if (i + 1 == n) {
                lead_ = b;
                return o;
            }
            if (is_cont(p[i + 1])) {
                out[o++] = static_cast<unsigned char>(((b & 0x1F) << 6) | (p[i + 1] & 0x3F));
                i += 2;
                continue;
            }
        }
        out[o++] = b;
        ++i;
    }
    return o;
}

void latin1_to_utf8(std::string_view text, std::string& out) {
    out.reserve(out.size() + text.size());
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (b >> 6)));
            out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
        }
    }
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
