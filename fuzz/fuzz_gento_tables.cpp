// The tables file reader, then table references, on arbitrary bytes. The input up to the first
// byte 0 is the tables file; each further piece (cut at bytes 0) is evaluated as a morph
// expression on a leaf with a two-segment compound and one open value, and also with a table
// reference built from it.
#include <cstring>
#include <string>

#include "fuzz_gento_common.hpp"
#include "morphology.hpp"
#include "syn_globals.hpp"

namespace {
const char kAttrs[] = "NUMBER ( sg , pl ) PERSON ( first , second , third ) %";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzgento::init_once();
    fuzzgento::reset_each();
    reset_morphology();
    reset_syn_globals();
    const std::size_t filelen = fuzzgento::load_attrs_and_head(kAttrs, data, size, "tables");
    new_readtables("tables");
    for (const table* t = tablelist.get(); t != nullptr; t = t->next.get()) {
        long bars = 0;
        for (char c : t->elements)
            bars += c == '|' ? 1 : 0;
        if (t->count < 0 || bars < t->count) std::abort();
        if (t->count > 0 && t->elements.back() != '|') std::abort();
    }
    print_tables();

    treenode* n = makenode("N");
    comp_attr c;
    add_comp_attr(c, new_delay(1, 2, 1));
    add_comp_attr(c, new_delay(2, 3, 1));
    add_attr_to_list(n->attributes, std::move(c));
    comp_attr open;
    add_comp_attr(open, new_delay(2, -1, 0));
    add_attr_to_list(n->attributes, std::move(open));
    current_node = n;
    std::size_t start = filelen + 1;
    while (start <= size) {
        const auto* next =
            static_cast<const std::uint8_t*>(std::memchr(data + start, 0, size - start));
        const std::size_t end = next != nullptr ? static_cast<std::size_t>(next - data) : size;
        const std::string piece(reinterpret_cast<const char*>(data) + start, end - start);
        m_exp(piece.c_str());
        if (moutptr < 0 || moutptr > kMoutMax) std::abort();
        for (const table* t = tablelist.get(); t != nullptr; t = t->next.get()) {
            const std::string ref = t->tablename + "(" + piece + ")|";
            m_exp(ref.c_str());
            if (moutptr < 0 || moutptr > kMoutMax) std::abort();
            int radix = 0;
            const int idx = match_index(piece.c_str(), radix);
            if (idx >= 0 && (radix < 1 || idx >= radix)) std::abort();
            if (delayptr > 4000) break;
        }
        start = end + 1;
    }
    current_node = nullptr;
    purge_node(n);
    return 0;
}
