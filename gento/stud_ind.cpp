#include "stud_ind.hpp"

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "gento/terminal.hpp"
#include "input_base.hpp"
#include "lex_read.hpp"
#include "lex_scan.hpp"
#include "morphology.hpp"
#include "stud_read.hpp"
#include "termutils.hpp"

treenode* current_inflected = nullptr;

namespace {

constexpr int kInflectFields[] = {5, 6};

struct Pointer {
    std::string word;      // with its quotes
    std::string terminal;  // empty: the terminal of the expected word's entry
};

// The related words made so far: nodes and the lookup records they point to. During an analysis
// the words of each (leaf, tag) are made once and kept until the analysis ends.
std::vector<treenode*> made_nodes;
std::vector<std::unique_ptr<t_dict_lookup>> made_lookups;
std::map<std::pair<const treenode*, int>, std::vector<treenode*>> related_cache;

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
const char* skip_blanks(const char* p) {
    while (is_blank(*p))
        ++p;
    return p;
}
bool is_identchar(char c) {
    return (charkind[static_cast<unsigned char>(c)] & kWordChar) != 0;
}

void report(std::string_view msg, std::string_view detail = "") {
    if (err_message_allowed()) q_err(msg, detail, "");
}

// After the group at p: past its ';' (outside double quotes), or at the '|' or the end that
// closes the field.
const char* after_group(const char* p) {
    bool quoted = false;
    for (; *p != '\0' && *p != '|'; ++p) {
        if (*p == '"') {
            quoted = !quoted;
        } else if (*p == ';' && !quoted) {
            return p + 1;
        }
    }
    return p;
}

// The quoted words of a group from p (after its ':'), each with its terminal when one follows
// a '/'. False, after a report, when a quote is not closed within the field.
bool words_of_group(const char* p, std::vector<Pointer>& out) {
    for (;;) {
        p = skip_blanks(p);
        if (*p != '"') return true;
        const char* start = p++;
        while (*p != '\0' && *p != '"' && *p != '|')
            ++p;
        if (*p != '"') {
            report("[Indirection] Closing quote missing", start);
            return false;
        }
        ++p;
        Pointer ptr{std::string(start, p), {}};
        p = skip_blanks(p);
        if (*p == '/') {
            p = skip_blanks(p + 1);
            while (is_identchar(*p))
                ptr.terminal += *p++;
            p = skip_blanks(p);
        }
        out.push_back(std::move(ptr));
        if (*p != ',' && *p != ':') return true;
        ++p;
    }
}

// The pointers of group `tag` in the field at p; none when the field has no such group.
std::vector<Pointer> pointers_under(const char* p, const std::string& tag) {
    std::vector<Pointer> out;
    for (;;) {
        p = skip_blanks(p);
        if (*p == '|') return out;
        if (*p == '\0') {
            report("[Indirection] Unexpected end of lexical entry");
            return out;
        }
        if (*p == '"') {  // a group without a tag
            p = after_group(p);
            continue;
        }
        std::string name;
        const char* q = p;
        for (; *q != '\0' && *q != ':' && *q != '|' && *q != ';'; ++q) {
            if (!is_blank(*q)) name += *q;
        }
        if (*q == '|') {
            report("Indirection not found", name);
            return out;
        }
        if (*q == '\0') {
            report("[Indirection] Unexpected end of lexical entry");
            return out;
        }
        if (*q == ';') {
            p = q + 1;
            continue;
        }
        if (name == tag) {
            if (!words_of_group(q + 1, out)) out.clear();
            return out;
        }
        p = after_group(q + 1);
    }
}

// The terminal name at the start of field 2 of an entry.
std::string terminal_of(const char* entry) {
    const char* p = getfieldptr(entry, 2);
    std::string name;
    while (p != nullptr && is_identchar(*p))
        name += *p++;
    return name;
}

void release_made() {
    for (treenode* n : made_nodes) {
        n->left = nullptr;
        n->right = nullptr;
        purge_node(n);
    }
    made_nodes.clear();
    made_lookups.clear();
    related_cache.clear();
    current_inflected = nullptr;
}

// The words that the leaf's entry points to under the tag, each a copy of the leaf with the
// related entry, inflected as the leaf is; none when one of them is not in the lexicon.
std::vector<treenode*> related_words(const treenode* leaf, const tag_table& tag) {
    std::vector<treenode*> copies;
    const t_dict_lookup* look = leaf->dictionary;
    if (look == nullptr || look->error != 0 || look->dictionary == nullptr) return copies;
    const char* entry = look->dictionary;
    const char* field = getfieldptr(entry, tag.field);
    if (field == nullptr || *field == '\0') return copies;  // the entry has no such field
    const std::vector<Pointer> pointers = pointers_under(field, tag.tag);
    for (const Pointer& ptr : pointers) {
        const std::string terminal = ptr.terminal.empty() ? terminal_of(entry) : ptr.terminal;
        const int t = lookup_terminal(terminal);
        const recnode* rec =
            t >= 0 && t < dictterm
                ? exactword(ptr.word.c_str(), dictionary[static_cast<std::size_t>(t)])
                : nullptr;
        if (rec == nullptr) {
            report("Indirection not found", ptr.word);
            return {};
        }
        auto lookup = std::make_unique<t_dict_lookup>();
        lookup->class_ = terminal;
        lookup->dictionary = rec->recordptr;
        lookup->error = 0;
        lookup->pointed_at = 1;
        // A copy keeps the leaf's place in the leaf sequence, so its rules see the same
        // neighbours.
        treenode* copy = copy_node(leaf);
        copy->left = leaf->left;
        copy->right = leaf->right;
        copy->morphed_word.clear();
        copy->dictionary = lookup.get();
        made_lookups.push_back(std::move(lookup));
        made_nodes.push_back(copy);
        for (int f : kInflectFields)
            morph_word(copy, f);
        copies.push_back(copy);
    }
    return copies;
}

}  // namespace

int err_match_syn(const treenode* leaf, const WordFit& fits, lexdiff& diff) {
    if (!err_in_analysis) release_made();
    if (leaf == nullptr) return 0;
    for (const tag_table* tag = taglist.get(); tag != nullptr; tag = tag->next.get()) {
        const auto key = std::make_pair(leaf, tag->tag_int);
        auto found = related_cache.find(key);
        if (found == related_cache.end())
            found = related_cache.emplace(key, related_words(leaf, *tag)).first;
        for (treenode* copy : found->second) {
            if (!copy->morphed_word.empty() && fits(copy->morphed_word)) {
                diff.matchclass = tag->tag_int;
                current_inflected = copy;
                return 1;
            }
        }
    }
    return 0;
}

int err_match_syn(std::string_view word, const treenode* leaf, lexdiff& diff) {
    return err_match_syn(
        leaf, [word](std::string_view w) { return w == word; }, diff);
}

void release_related() {
    release_made();
}

void reset_stud_ind() {
    release_made();
}
