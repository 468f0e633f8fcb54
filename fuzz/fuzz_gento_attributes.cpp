// The attribute file reader, then the attribute-text parsers, on arbitrary bytes. The input up to
// the first byte 0 is the attribute file; the rest is used as attribute text.
#include <cstring>
#include <string>

#include "fuzz_gento_common.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzgento::init_once();
    fuzzgento::reset_each();
    const auto* zero = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t filelen = zero != nullptr ? static_cast<std::size_t>(zero - data) : size;
    fuzzgento::write_file("attrs", data, filelen);
    readattr("attrs");
    if (q_att_size != static_cast<int>(q_att_table.size())) std::abort();
    for (const q_att_record& r : q_att_table) {
        if (lookup_attr(r.name) != 1) std::abort();
        if (att_class != r.type && std::strcmp(att_get_name(att_class, att_value), r.name.c_str()))
            std::abort();
    }
    // Rule variables hold a few entries, so references in the text lead somewhere.
    for (int v = 1; v < 4; ++v)
        add_comp_attr(variable_table[static_cast<std::size_t>(v)],
                      new_delay(v % total_types, -1, 0));
    std::string text(reinterpret_cast<const char*>(data) + filelen, size - filelen);
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char* r = text.c_str() + at;
        const char* end = text_to_comp_array(r, static_cast<int>(at & 1));
        if (end < r || end > text.c_str() + text.size()) std::abort();
        comp_attr c = make_comp_attr();
        comp_attr d = dup_decon_comp_attr(c.get());
        print_comp_attr(c.get());
        text_to_comp_struct(r, static_cast<int>(at & 1));
        attr_list list;
        add_attr_to_list(list, std::move(comp_attr_register));
        add_attr_to_list(list, std::move(c));
        find_attr(list.get());
        find_attr_in_list(list.get(), d.get());
        print_attr_list(list.get());
        const auto b = static_cast<unsigned char>(*r);
        valid(b & 1 ? '<' : '>', b % 8, b / 8 % 8, b / 64);
        att_get_name(b % 8, b / 8 - 2);
        if (delayptr > 4000) reset_attr_list();
    }
    make_all_choices();
    return 0;
}
