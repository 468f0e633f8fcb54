// The morphological error reader on arbitrary bytes, then the variants it makes and the test
// with their explanations. The input up to its first byte 0 is the error file; the pieces after
// it are response words compared with a noun and a verb.
#include "fuzz_analysis_common.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzgento::init_once();
    const std::size_t head = fuzzgento::load_attrs_and_head("%", data, size, "errors");
    const std::vector<std::string> pieces = fuzzanalysis::pieces_after_head(data, size, head);
    fuzzanalysis::reset_and_load();
    merror_readtables("errors");
    for (const auto& row : mrdata) {
        // Each row: pairs sorted by type, then value, ended by a type 0.
        for (int i = 2; i + 1 < kMrRow && row[static_cast<std::size_t>(i)] != 0; i += 2) {
            const int t0 = row[static_cast<std::size_t>(i) - 2];
            const int v0 = row[static_cast<std::size_t>(i) - 1];
            if (row[static_cast<std::size_t>(i)] < t0 ||
                (row[static_cast<std::size_t>(i)] == t0 &&
                 row[static_cast<std::size_t>(i) + 1] <= v0))
                std::abort();
        }
    }
    print_merror_tables();
    if (!mrmodify()) return 0;
    treenode* dog = fuzzanalysis::leaf("N", "dog", {"sg"});
    treenode* run = fuzzanalysis::leaf("V", "run", {"sg", "third", "now"});
    for (treenode* l : {dog, run}) {
        make_variants(l);
        int count = 0;
        for (const morphvar* mv = l->mvar.get(); mv != nullptr; mv = mv->next.get()) {
            if (++count > kMaxVariants || mv->attrcomb[0] < 1 || mv->attrcomb[0] > kMrSlots)
                std::abort();
        }
        for (const std::string& word : pieces) {
            lexdiff d;
            const int found = compare_var(word, l, d);
            if (found == 1 && (d.breakup.empty() || !fuzzanalysis::breakups_sound(d))) std::abort();
            if (found == 0 && !d.breakup.empty()) std::abort();
        }
        l->mvar.reset();
    }
    purge_node(dog);
    purge_node(run);
    return 0;
}
