// The phonology tables reader on arbitrary bytes, then the same-sound test and a whole analysis.
// The input up to its first byte 0 is the tables file; the next piece is the expected word's
// sounds (field 8 of its lexicon line), the pieces after it are response words, which are also
// analysed together as one response against a sentence of that word.
#include <memory>

#include "fuzz_analysis_common.hpp"
#include "syn_misc.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzgento::init_once();
    const std::size_t head = fuzzgento::load_attrs_and_head("%", data, size, "sounds");
    const std::vector<std::string> pieces = fuzzanalysis::pieces_after_head(data, size, head);
    std::string sounds = pieces.empty() ? std::string("kat") : pieces[0];
    for (char& c : sounds)
        if (c == '"' || c == '|' || c == '\n' || c == '\r') c = 'a';
    fuzzanalysis::reset_and_load("\"cat\"|N|NUMBER|1|#1|$NOUN||\"" + sounds + "\"|$IPL|");
    phon_readtables("sounds");
    for (const table* t = phontablelist.get(); t != nullptr; t = t->next.get()) {
        if (t->tablename.size() != 1 || err_get_phontable_pointer(t->tablename) == nullptr)
            std::abort();
    }
    treenode* cat = fuzzanalysis::leaf("N", "cat", {"pl"});
    const std::string word = cat->morphed_word;
    std::string response;
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        lexdiff d;
        const int found = err_match_phono(pieces[i], cat, d);
        if (cat->morphed_word != word) std::abort();
        if (found != (d.matchclass == kSameSound ? 1 : 0) || !fuzzanalysis::breakups_sound(d))
            std::abort();
        if (response.size() + pieces[i].size() < 199) response += pieces[i] + " ";
    }
    // The whole analysis of the response against a sentence "the cats run".
    treenode* top = makenode("S");
    top->son = fuzzanalysis::leaf("N", "dog", {"sg"});
    top->son->sibling = cat;
    cat->sibling = fuzzanalysis::leaf("V", "run", {"pl", "third", "now"});
    rootPtrs[2] = top;
    genSentences[2] = std::make_unique<std::string>("dog cats run");
    err_analysis(std::string_view(response), false);
    if (err_in_analysis) std::abort();
    reset_trees();
    return 0;
}
