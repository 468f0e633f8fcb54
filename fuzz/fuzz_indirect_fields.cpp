// Pointer fields of lexicon entries, as indirection reads them, on arbitrary bytes: the input up
// to its first byte 0 is taken as a stored entry, the rest names the tag to look for.
#include <cstring>
#include <string>

#include "fuzz_gento_common.hpp"
#include "indirect.hpp"
#include "misc.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzgento::init_once();
    fuzzgento::reset_each();
    reset_indirect();
    const auto* zero = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t entrylen = zero != nullptr ? static_cast<std::size_t>(zero - data) : size;
    const std::string entry(reinterpret_cast<const char*>(data), entrylen);
    const std::string tag =
        zero != nullptr ? std::string(reinterpret_cast<const char*>(zero) + 1, size - entrylen - 1)
                        : std::string();
    const char* end = entry.c_str() + entry.size();
    for (const char* p = entry.c_str(); p < end; ++p) {
        const char* after = locate_strings(p);
        if (after < p || after > end || str_index > kSubstrings) std::abort();
        for (int i = 0; i < str_index; ++i) {
            const lex_strings& s = substr[static_cast<std::size_t>(i)];
            if (s.start < 0 || s.count < 0 || p + s.start + s.count > end) std::abort();
        }
        const char* next = forward_next_tag(p);
        if (next != nullptr && (next < p || next > end)) std::abort();
    }
    seed = 1;
    for (int field = 0; field < 10; ++field) {
        findtag(entry.c_str(), field, tag.c_str());
        if (chosen_pointer.size() > decltype(chosen_pointer)::capacity) std::abort();
    }
    return 0;
}
