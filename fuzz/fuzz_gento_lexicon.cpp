// The terminals and lexicon readers, then word choice, on arbitrary bytes. The input up to the
// first byte 0 is the terminals file, up to the second the lexicon; the rest is a word pattern
// and a field pattern (split at the next byte 0) that every terminal is asked for.
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_gento_common.hpp"
#include "gento/terminal.hpp"
#include "lex_read.hpp"
#include "lex_scan.hpp"
#include "misc.hpp"

namespace {

std::string_view take(const std::uint8_t*& data, std::size_t& size) {
    const auto* zero = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t len = zero != nullptr ? static_cast<std::size_t>(zero - data) : size;
    std::string_view part(reinterpret_cast<const char*>(data), len);
    const std::size_t used = zero != nullptr ? len + 1 : len;
    data += used;
    size -= used;
    return part;
}

void write(const char* name, std::string_view s) {
    fuzzgento::write_file(name, reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

// Every stored entry keeps the form that the rest of the system relies on.
void check_entry(const char* e, int terminal) {
    const std::size_t len = std::strlen(e);
    if (len == 0 || len > static_cast<std::size_t>(kEntryLen) || e[len - 1] != '|') std::abort();
    if (*getfieldptr(e, kMinSeparators) == '\0') std::abort();  // six closed fields at least
    // Field 2 holds the terminal's name among whatever else was written there.
    const char* f2 = getfieldptr(e, 2);
    const std::string_view field2(f2, static_cast<std::size_t>(std::strchr(f2, '|') - f2));
    if (field2.find(terminal_table[static_cast<std::size_t>(terminal)]) == std::string_view::npos)
        std::abort();
    const int w = entry_weight(e);
    if (w < 0 || w > 9999) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzgento::init_once();
    fuzzgento::reset_each();
    reset_terminal();
    reset_lex_read();
    reset_lex_scan();
    write("lex.att",
          "NUMBER ( sg , pl ) PERSON ( first , second , third ) DEGREE ( pos < comp "
          "< sup ) %");
    readattr("lex.att");
    write("terms", take(data, size));
    write("lexicon", take(data, size));
    const std::string word(take(data, size));
    const std::string fields(take(data, size));
    read_terminals("terms");
    initdict();
    readdict("lexicon");
    for (int t = 0; t < dictterm; ++t) {
        for (recnode* r = dictionary[static_cast<std::size_t>(t)]; r != nullptr; r = r->previous)
            check_entry(r->recordptr, t);
    }
    seed = 7;
    for (int t = 0; t < terminal_count; ++t) {
        t_dict_lookup l;
        l.class_ = terminal_table[static_cast<std::size_t>(t)];
        l.preferredchoice = word;
        l.fields = fields;
        l.vf = static_cast<int>(word.size() % 7) - 5;
        text_to_comp_struct("NUMBER", 0);
        add_attr_to_list(l.attributes, std::move(comp_attr_register));
        for (int i = 0; i < 3; ++i) {
            getdictent(&l);
            if (l.error == 0 &&
                (l.dictionary == nullptr || match_wild("*", l.dictionary, 0, 0) != 1))
                std::abort();
        }
        exactword(word.c_str(), t < dictterm ? dictionary[static_cast<std::size_t>(t)] : nullptr);
    }
    text_to_comp_array("PERSON", 0);
    for (int t = 0; t < dictterm; ++t) {
        for (recnode* r = dictionary[static_cast<std::size_t>(t)]; r != nullptr; r = r->previous) {
            match_single_attr(r->recordptr);
            match_lsp(fields.c_str(), r->recordptr);
            match_wild(word.c_str(), r->recordptr, '"', '|');
        }
    }
    printlex();
    // The same lexicon read back as restored entries.
    openfile("lexicon", 1);
    for (int guard = 0; q_peep() != kTokEof && guard < 100000; ++guard)
        readentry(0);
    for (int i = 0; i < restored_count; ++i) {
        const char* e = restoredlexarray[static_cast<std::size_t>(i)].recordptr;
        if (e != nullptr && std::strlen(e) > static_cast<std::size_t>(kEntryLen)) std::abort();
    }
    reset_lex_read();
    return 0;
}
