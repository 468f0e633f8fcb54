// Shared set-up of the generation system's fuzz targets: a scratch directory to read rule files
// from, the store, and the character classes at their start-up values.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
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

inline void set_charkind() {
    charkind.fill(0);
    for (int c = 'A'; c <= 'Z'; ++c) charkind[static_cast<std::size_t>(c)] = 1;
    for (int c = 'a'; c <= 'z'; ++c) charkind[static_cast<std::size_t>(c)] = 1;
    for (int c = '0'; c <= '9'; ++c) charkind[static_cast<std::size_t>(c)] = 65;
    charkind['_'] = 1;
    charkind[4] = 7;
    for (int c : {192, 194, 199, 200, 201, 202, 206, 212, 217, 219, 224, 226, 231, 232, 233, 234,
                  238, 244, 249, 251}) {
        charkind[static_cast<std::size_t>(c)] = 1;
    }
}

// Once per process: work in a fresh directory, so that %include "f1" finds the pieces.
inline void init_once() {
    static bool done = false;
    if (done) return;
    done = true;
    char tmpl[] = "/tmp/oru_fuzzXXXXXX";
    if (mkdtemp(tmpl) == nullptr || chdir(tmpl) != 0) std::abort();
    set_charkind();
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
    std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(data),
                                                static_cast<std::streamsize>(size));
}

}  // namespace fuzzgento
