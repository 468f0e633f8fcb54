// Shared set-up of the response-analysis fuzz targets: a small rule set (attributes, terminals,
// lexicon, morphology rules) read from files, and leaves that point to its entries.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "fuzz_gento_common.hpp"
#include "gento/terminal.hpp"
#include "lex_read.hpp"
#include "lex_scan.hpp"
#include "morphology.hpp"
#include "stud_err.hpp"
#include "stud_ind.hpp"
#include "stud_mor.hpp"
#include "stud_phon.hpp"
#include "stud_read.hpp"
#include "syn_globals.hpp"
#include "termutils.hpp"

namespace fuzzanalysis {

inline void write(const std::string& name, const std::string& text) {
    fuzzgento::write_file(name, reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

// Before each input: the rule set read afresh, and the analysis modules empty. `extra` is one
// more lexicon line.
inline void reset_and_load(const std::string& extra = "") {
    fuzzgento::reset_each();
    set_keyboard(nullptr);  // a message ("No student response") is answered with Return
    reset_stud_ind();
    reset_stud_err();
    reset_stud_mor();
    reset_stud_phon();
    reset_stud_read();
    reset_morphology();
    reset_syn_globals();
    reset_lex_scan();
    reset_lex_read();
    reset_terminal();
    write("a.att", "NUMBER ( sg , pl ) PERSON ( first , second , third ) TENSE ( now , then ) %");
    readattr("a.att");
    write("t.tm", "N V ADJ");
    read_terminals("t.tm");
    write("l.lex",
          "\"dog\"|N|NUMBER|1|#1|$NOUN||\"dOg\"|$IPL|SYN:\"hound\";ANT:\"cat\"|\n"
          "\"hound\"|N|NUMBER|0|#1|$NOUN|\n\"cat\"|N|NUMBER|0|#1|$NOUN|\n"
          "\"run\"|V|NUMBER, PERSON, TENSE|1|#1|$VERB||\"rVn\"|$IPL|\n" +
              extra + "\n");
    initdict();
    readdict("l.lex");
    write("m.mor",
          "RULE NOUN sg : ! ; * : ! \"s\" ;\n"
          "RULE VERB then : ! \"ned\" ; third , sg : ! \"s\" ; * : ! ;\n"
          "RULE IPL sg , now : ! ; * : ! \"z\" ;\n");
    new_readmorph("m.mor");
    morph_passes[kPassRows - 1] = {0, 8, 9, 0, 0, 0};
}

// A leaf of `terminal` with the entry of `word` and one-segment compounds of the named values.
inline treenode* leaf(const char* terminal, const char* word,
                      std::initializer_list<const char*> values) {
    treenode* n = makenode(terminal);
    for (const char* v : values) {
        if (lookup_attr(v) == 0) continue;
        comp_attr c;
        add_comp_attr(c, new_delay(att_class, att_value, 1));
        add_attr_to_list(n->attributes, std::move(c));
    }
    if (d_table_count >= kLookups) return n;
    t_dict_lookup& d = dict_table[static_cast<std::size_t>(d_table_count)];
    n->index = d_table_count++;
    n->dictionary = &d;
    const int t = lookup_terminal(terminal);
    const recnode* r = t >= 0 && t < dictterm ? exactword(("\"" + std::string(word) + "\"").c_str(),
                                                          dictionary[static_cast<std::size_t>(t)])
                                              : nullptr;
    d.dictionary = r != nullptr ? r->recordptr : nullptr;
    d.error = r != nullptr ? 0 : 3;
    morph_word(n, 5);
    morph_word(n, 6);
    return n;
}

// The input's pieces after its first byte 0, cut at further bytes 0.
inline std::vector<std::string> pieces_after_head(const std::uint8_t* data, std::size_t size,
                                                  std::size_t head) {
    std::vector<std::string> out;
    std::size_t start = head + 1;
    while (start <= size) {
        std::size_t end = start;
        while (end < size && data[end] != 0)
            ++end;
        out.emplace_back(reinterpret_cast<const char*>(data) + start, end - start);
        start = end + 1;
    }
    return out;
}

inline bool breakups_sound(const lexdiff& d) {
    if (d.breakup.size() > kBreakups) return false;
    for (const std::string& b : d.breakup) {
        if (b.find('/') == std::string::npos) return false;
    }
    return true;
}

}  // namespace fuzzanalysis
