// Shared set-up of the generation system's fuzz targets: a scratch directory to read rule files
// from, the store, and the character classes at their start-up values.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "attr_data.hpp"
#include "attr_fns.hpp"
#include "attr_list.hpp"
#include "corutils.hpp"
#include "input_base.hpp"
#include "termutils.hpp"
#include "trees.hpp"

namespace fuzzgento {

// Once per process: work in a fresh directory, so that %include "f1" finds the pieces.
inline void init_once() {
    static bool done = false;
    if (done) return;
    done = true;
    char tmpl[] = "/tmp/oru_fuzzXXXXXX";
    if (mkdtemp(tmpl) == nullptr || chdir(tmpl) != 0) std::abort();
    reset_keys();  // the character classes the reader relies on
    reset_store();
}

// Before each input: an empty store and no state left from the last one.
inline void reset_each() {
    reset_store();
    reset_input_base();
    reset_attr_list();
    reset_attr_fns();
    reset_trees();
    clearattributes();
}

inline void write_file(const std::string& name, const std::uint8_t* data, std::size_t size) {
    std::ofstream(name, std::ios::binary)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// Reads `attrs` as the attribute file, then writes the input up to its first byte 0 to the file
// `name`. Returns the length of that part; the rest of the input follows its byte 0.
inline std::size_t load_attrs_and_head(const std::string& attrs, const std::uint8_t* data,
                                       std::size_t size, const std::string& name) {
    write_file("attrs", reinterpret_cast<const std::uint8_t*>(attrs.data()), attrs.size());
    readattr("attrs");
    const auto* zero = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t head = zero != nullptr ? static_cast<std::size_t>(zero - data) : size;
    write_file(name, data, head);
    return head;
}

}  // namespace fuzzgento
