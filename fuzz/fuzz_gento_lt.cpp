// The lexical transformations reader on arbitrary bytes, then every rule it loaded run over a
// small lexicon, and inline transformations in word choice. The input up to the first byte 0 is
// the LT file; the rest is added to the lexicon, so that entries beginning with _ilt_ come too.
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_gento_common.hpp"
#include "gento/terminal.hpp"
#include "globals.hpp"
#include "lex_read.hpp"
#include "lex_scan.hpp"
#include "lt_input.hpp"
#include "lt_mem.hpp"
#include "lt_misc.hpp"
#include "lt_rule.hpp"
#include "misc.hpp"
#include "syn_globals.hpp"
#include "uninstall.hpp"

namespace {

void write(const char* name, std::string_view s) {
    fuzzgento::write_file(name, reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

constexpr const char* kLexicon =
    "\"dog\"|N|sg|2|#1|$NOUN|\n\"cats\"|N|pl|1|#1|x,y|\n\"big\"|ADJ|<comp|1|#1|\n"
    "\"run\"|V|sg.third, NUMBER|3|#1|\"ran\"|\n";

// A run enumerates the product of the patterns' choices: only rules with few patterns are run,
// so that every input finishes quickly.
int patterns(const LTRULE& r) {
    int n = 0;
    for (const treenode* l = r.lsp1; l != nullptr; l = l->right)
        ++n;
    return n;
}

void check_run(const LTRULE& r) {
    if (InProgress != 0 || StackPtr) std::abort();
    for (const s_lt_var_list* v = r.rule_vars.get(); v != nullptr; v = v->next.get()) {
        if (lt_delayed[static_cast<std::size_t>(v->index)].fixed != 0) std::abort();
    }
    if (std::strlen(lt_result.data()) > static_cast<std::size_t>(kLtResult - 1)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzgento::init_once();
    fuzzgento::reset_each();
    reset_terminal();
    reset_lex_read();
    reset_lex_scan();
    reset_syn_globals();
    reset_lt_mem();
    reset_uninstall();
    write("lt.att",
          "NUMBER ( sg , pl ) PERSON ( first , second , third ) DEGREE ( pos < comp "
          "< sup ) %");
    readattr("lt.att");
    write("lt.tm", "N ADJ V ADV");
    read_terminals("lt.tm");
    const auto* zero = static_cast<const std::uint8_t*>(std::memchr(data, 0, size));
    const std::size_t head = zero != nullptr ? static_cast<std::size_t>(zero - data) : size;
    const std::string_view rest =
        zero != nullptr ? std::string_view(reinterpret_cast<const char*>(zero + 1), size - head - 1)
                        : std::string_view();
    write("lt.lex", std::string(kLexicon) + std::string(rest));
    initdict();
    readdict("lt.lex");
    fuzzgento::write_file("lt.ltr", data, head);
    readlextrans("lt.ltr");
    installed |= 2048;
    corenum = 1;
    for (int n = 1; n < kLtRules; ++n) {
        const LTRULE* r = ltruleheader[static_cast<std::size_t>(n)].get();
        if (r == nullptr) continue;
        if (std::strlen(r->rhs.c_str()) != r->rhs.size()) std::abort();
        if (patterns(*r) > 4) continue;
        inittrans(n);
        exectrans();
        check_run(*r);
        lt_getlspptr(2);
    }
    // Word choice over every terminal, where entries of the input may be inline transformations.
    seed = 7;
    for (int t = 0; t < terminal_count && d_table_count < kLookups; ++t) {
        t_dict_lookup& l = dict_table[static_cast<std::size_t>(d_table_count++)];
        l.class_ = terminal_table[static_cast<std::size_t>(t)];
        l.pointed_at = 1;
    }
    getwords(0);
    for (int i = 0; i < d_table_count; ++i) {
        const char* e = dict_table[static_cast<std::size_t>(i)].dictionary;
        if (e != nullptr && std::strlen(e) > static_cast<std::size_t>(kLtResult - 1)) std::abort();
    }
    reset_syn_globals();
    reset_lt_mem();
    reset_lex_read();
    return 0;
}
