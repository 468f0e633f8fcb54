// The tag information reader on arbitrary bytes, then the related-word test through the tags it
// made. The input up to its first byte 0 is the tag file; the next piece is the pointer field
// (field 10) of a lexicon line for "big", the pieces after it are response words.
#include "fuzz_analysis_common.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzgento::init_once();
    const std::size_t head = fuzzgento::load_attrs_and_head("%", data, size, "tags");
    const std::vector<std::string> pieces = fuzzanalysis::pieces_after_head(data, size, head);
    std::string field = pieces.empty() ? std::string() : pieces[0];
    for (char& c : field)
        if (c == '\n' || c == '\r') c = ' ';  // one lexicon line
    fuzzanalysis::reset_and_load("\"big\"|ADJ||1|#1|||||" + field + "|");
    tag_readtables("tags");
    int n = kFirstTag;
    for (const tag_table* t = taglist.get(); t != nullptr; t = t->next.get(), ++n) {
        if (t->tag_int != n || t->field < 1 || t->field > kMaxTagField || t->tag.empty())
            std::abort();
    }
    if (n - kFirstTag > kMaxTags) std::abort();
    treenode* big = fuzzanalysis::leaf("ADJ", "big", {});
    treenode* dog = fuzzanalysis::leaf("N", "dog", {"pl"});
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        for (treenode* l : {big, dog}) {
            lexdiff d;
            const int found = err_match_syn(pieces[i], l, d);
            if (found != (d.matchclass >= kFirstTag ? 1 : 0)) std::abort();
            if (found == 1 &&
                (err_get_tag_name(d.matchclass) == nullptr || current_inflected == nullptr ||
                 current_inflected->morphed_word != pieces[i])) {
                std::abort();
            }
        }
    }
    reset_stud_ind();
    purge_node(big);
    purge_node(dog);
    return 0;
}
