// The reading side of the file boundary on arbitrary bytes: the character-set sniffer, the UTF-8
// decoder fed in pieces, and FETCH of the bytes as a file followed by writing it back. Checks
// that sniffing and decoding do not depend on where the input is cut, that a UTF-8 file decodes
// to text that encodes back to it, and that any other file is left byte for byte.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "corutils.hpp"
#include "encoding.hpp"
#include "file.hpp"
#include "globals.hpp"
#include "termutils.hpp"

namespace {

Sniff sniff_cut(std::string_view s, std::size_t cut) {
    Sniffer sn;
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    cut = std::min(cut, s.size());
    sn.feed(p, cut);
    sn.feed(p + cut, s.size() - cut);
    return sn.finish();
}

void check_decoding(std::string_view in, std::size_t cut) {
    const Sniff whole = sniff(in);
    const Sniff pieces = sniff_cut(in, cut);
    set_wide_paths(false);  // the sniffer's narrower steps find the same
    const Sniff narrow = sniff(in);
    set_wide_paths(true);
    for (const Sniff& s : {pieces, narrow}) {
        if (whole.kind != s.kind || whole.bom != s.bom || whole.offset != s.offset ||
            whole.point != s.point) {
            std::abort();
        }
    }
    std::string text(in);
    decode_file_text(text);
    if (whole.kind != Sniff::Utf8) {
        if (text != in) std::abort();  // byte for byte
        return;
    }
    std::string back;
    latin1_to_utf8(text, back);
    if (back != in.substr(whole.bom ? 3 : 0)) std::abort();

    // The decoder gives the same text whatever the pieces.
    std::string buf(in.substr(whole.bom ? 3 : 0));
    auto* p = reinterpret_cast<unsigned char*>(buf.data());
    Utf8Decoder d;
    const std::size_t at = std::min(cut, buf.size());
    std::size_t n = d.decode(p, at, p);
    n += d.decode(p + at, buf.size() - at, p + n);
    if (std::string_view(buf.data(), n) != text) std::abort();
}

// The current core file's lines, each with its kind and a line end.
std::string contents() {
    std::string all;
    for (const LINE* l = cur().header->down; l != cur().header; l = l->down) {
        all += static_cast<char>('0' + l->object);
        all.append(reinterpret_cast<const char*>(textbase.data() + l->index),
                   static_cast<std::size_t>(l->length));
        all += '\n';
    }
    return all;
}

// FETCH the bytes from a file and write the core file out again: nothing may go wrong on the way.
void check_fetch(std::string_view in) {
    static const int file = ::memfd_create("fuzz-in", 0);
    static const int out = ::memfd_create("fuzz-out", 0);
    if (file < 0 || out < 0) return;
    if (::ftruncate(file, 0) != 0 || ::lseek(file, 0, SEEK_SET) != 0) return;
    if (::write(file, in.data(), in.size()) != static_cast<ssize_t>(in.size())) return;
    curfile.assign("/proc/self/fd/" + std::to_string(file));
    // The portable decoder, the block-shuffling one and the wide reader read the same lines.
    set_shuffle_paths(false);
    set_wide_paths(false);
    fetch_range(1, kAllLines, "");
    const std::string portable = contents();
    set_shuffle_paths(true);
    fetch_range(1, kAllLines, "");
    if (contents() != portable) std::abort();
    set_wide_paths(true);
    fetch_range(1, kAllLines, "");
    if (contents() != portable) std::abort();
    if (::ftruncate(out, 0) != 0 || ::lseek(out, 0, SEEK_SET) != 0) return;
    pfile(out, 1, kAllLines, static_cast<Charset>(cur().encoding));
    // A file the format leaves alone (no tabs, carriage returns, vertical tabs, markers or
    // trailing blanks; a line feed at the end) comes back byte for byte, less a byte-order mark.
    const Sniff s = sniff(in);
    const std::string_view body = in.substr(s.kind == Sniff::Utf8 && s.bom ? 3 : 0);
    if (s.kind == Sniff::Beyond || body.empty() || body.back() != '\n' ||
        body.find_first_of("\t\r\v\\") != std::string_view::npos ||
        body.find(" \n") != std::string_view::npos) {
        return;
    }
    std::string back(body.size() + 1, '\0');
    if (::pread(out, back.data(), back.size(), 0) != static_cast<ssize_t>(body.size()) ||
        std::string_view(back.data(), body.size()) != body) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool once = [] {
        reset_keys();
        set_keyboard(nullptr);  // messages that wait are answered with Return
        reset_store();
        return true;
    }();
    (void)once;
    if (size == 0) return 0;
    const std::size_t cut = data[0];
    const std::string_view in(reinterpret_cast<const char*>(data) + 1, size - 1);
    check_decoding(in, cut);
    check_fetch(in.substr(0, 1 << 16));
    return 0;
}
