#include "indirect.hpp"

#include <cstdio>
#include <string>
#include <vector>

#include "attr_fns.hpp"
#include "input_base.hpp"
#include "lex_read.hpp"
#include "lex_scan.hpp"
#include "misc.hpp"
#include "syn_globals.hpp"
#include "termutils.hpp"

std::array<lex_strings, kSubstrings> substr;
int str_index = 0;
FixStr<99> chosen_pointer;
FixStr<39> category;

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool is_separator(char c) {
    return c == ',' || c == '/' || c == ':';
}
bool is_identchar(char c) {
    return (charkind[static_cast<unsigned char>(c)] & kWordChar) != 0;
}

template <typename... Args>
std::string format(const char* fmt, Args... args) {
    const int n = std::snprintf(nullptr, 0, fmt, args...);
    if (n <= 0) return {};
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(s.data(), s.size(), fmt, args...);
    s.resize(static_cast<std::size_t>(n));
    return s;
}

std::string_view string_at(const char* group, int i) {
    const lex_strings& s = substr[static_cast<std::size_t>(i)];
    return {group + s.start, static_cast<std::size_t>(s.count)};
}

// A string without the blanks around it.
std::string_view trimmed(std::string_view s) {
    while (!s.empty() && is_blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view unquoted(std::string_view s) {
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
    return s;
}

struct Pointer {
    std::string_view word;
    std::string_view cat;
};

// The pointers of the group split into substr at `group`: a ',' always starts a new pointer, a
// '/' or ':' after a pointer introduces its category.
std::vector<Pointer> pointers_of(const char* group, bool tagged) {
    std::vector<Pointer> out;
    bool after_pointer = false;
    for (int i = tagged ? 1 : 0; i < str_index; ++i) {
        const std::string_view s = trimmed(string_at(group, i));
        const char sep = substr[static_cast<std::size_t>(i)].sep;
        if (after_pointer && sep != ',' && i > 0) {
            out.back().cat = s;
            after_pointer = false;
            continue;
        }
        if (s.empty()) {
            after_pointer = false;
            continue;
        }
        out.push_back(Pointer{s, {}});
        after_pointer = true;
    }
    return out;
}

// The group's tag: its first string unless the group begins with a double quote.
bool group_tag(const char* group, std::string_view& tag) {
    const char* p = group;
    while (is_blank(*p))
        ++p;
    if (*p == '"' || str_index == 0) {
        tag = {};
        return false;
    }
    tag = trimmed(string_at(group, 0));
    return true;
}

// The terminal name at the start of field 2 of an entry.
std::string terminal_of(const char* entry) {
    const char* p = getfieldptr(entry, 2);
    std::string name;
    while (p != nullptr && is_identchar(*p))
        name += *p++;
    return name;
}

// Carries out one indirection of `node`; false when it failed (reported) and the rest stop.
bool one_indirection(treenode* node, const s_indirection& ind) {
    if (node->dictionary == nullptr) return false;
    const char* entry = node->dictionary->dictionary;
    if (entry == nullptr) {
        q_msg(
            format("wrong tag or field number? tag %s in field %d", ind.tag.c_str(), ind.fieldnum));
        return false;
    }
    findtag(entry, ind.fieldnum, ind.tag);
    if (chosen_pointer.empty()) {
        q_msg(format("No proper pointer obtained: tag %s, field %d in %s", ind.tag.c_str(),
                     ind.fieldnum, entry));
        return false;
    }
    if (d_table_count >= kLookups) {
        q_err("[Indirection] Lookup table full", "", "");
        return false;
    }
    attr_list attrs =
        ind.attributes.empty() ? nullptr : construct_attr_indir(node, ind.attributes.c_str());
    t_dict_lookup& look = dict_table[static_cast<std::size_t>(d_table_count)];
    clear_lookup(look);
    look.class_ = !category.empty() ? std::string(category.view()) : terminal_of(entry);
    look.attributes = duplicate_attr_list(attrs.get());
    look.preferredchoice = chosen_pointer.view();
    look.pointed_at = 1;
    getdictent(&look);
    if (look.error != 0) {
        q_err("Unable to match indirection pointer", "", "");
        q_msg(format("category: %s, pointer: %s, error number: %d", look.class_.c_str(),
                     look.preferredchoice.c_str(), look.error));
        clear_lookup(look);  // the node keeps the word it had
        return false;
    }
    node->dictionary = &look;
    node->index = d_table_count++;
    node->attributes = std::move(attrs);
    return true;
}

}  // namespace

const char* forward_next_tag(const char* text) {
    bool quoted = false;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '|') return p;
        if (*p == '"') {
            quoted = !quoted;
        } else if (*p == ';' && !quoted) {
            ++p;
            while (is_blank(*p))
                ++p;
            return p;
        }
    }
    q_err("[Indirection] Unexpected end of lexical entry", "", "");
    return nullptr;
}

const char* locate_strings(const char* text) {
    str_index = 0;
    bool quoted = false;
    bool reported = false;
    const char* start = text;
    char sep = 0;
    const auto close = [&](const char* end) {
        if (str_index >= kSubstrings) {
            if (!reported) q_err("[Indirection] Too many strings in one group", "", "");
            reported = true;
            return;
        }
        substr[static_cast<std::size_t>(str_index++)] =
            lex_strings{static_cast<int>(start - text), static_cast<int>(end - start), sep};
    };
    const char* p = text;
    for (; *p != '\0' && *p != '|'; ++p) {
        if (*p == '"') {
            quoted = !quoted;
        } else if (!quoted && *p == ';') {
            close(p);
            return p + 1;
        } else if (!quoted && is_separator(*p)) {
            close(p);
            sep = *p;
            start = p + 1;
        }
    }
    close(p);
    return p;
}

void findtag(const char* entry, int fieldnum, std::string_view tag) {
    chosen_pointer.clear();
    category.clear();
    if (entry == nullptr) return;
    const char* p = fieldnum >= 1 ? getfieldptr(entry, fieldnum) : nullptr;
    if (p == nullptr || *p == '\0') {
        q_msg(format("Field %d does not exist in %s", fieldnum, entry));
        return;
    }
    const std::string tagtext(tag);
    while (is_blank(*p))
        ++p;
    while (*p != '|' && *p != '\0') {
        const char* next = locate_strings(p);
        std::string_view own;
        const bool tagged = group_tag(p, own);
        if (own == tag) {
            const std::vector<Pointer> ptrs = pointers_of(p, tagged);
            if (ptrs.empty()) {
                q_msg(format("No pointers found for tag %s, field %d in %s", tagtext.c_str(),
                             fieldnum, entry));
                return;
            }
            const Pointer& chosen =
                ptrs[static_cast<std::size_t>(getrandom(static_cast<int>(ptrs.size())))];
            chosen_pointer.assign_cut(unquoted(chosen.word));
            category.assign_cut(chosen.cat);
            return;
        }
        p = next;
        while (is_blank(*p))
            ++p;
    }
    if (*p == '\0') {
        q_err("[Indirection] Unexpected end of lexical entry", "", "");
        return;
    }
    q_msg(format("Tag %s not present in field %d of %s", tagtext.c_str(), fieldnum, entry));
}

attr_list construct_attr_indir(const treenode* node, const char* text) {
    attr_list list;
    const char* r = text;
    while (*r != '\0' && *r != ']') {
        const bool own = *r == '!';
        if (own) ++r;
        const char* after = text_to_comp_array(r, 1);
        if (attr_index > 0) {
            if (!own) {
                append_attr(list, make_comp_attr());
            } else if (const s_comp_attr* mine = find_attr(node->attributes.get())) {
                comp_attr copy = dup_decon_comp_attr(mine);
                if (copy) append_attr(list, std::move(copy));
            }
        }
        // Whatever the item held that the parser did not take is passed over up to the next item.
        r = after;
        while (*r != '\0' && *r != ',' && *r != ']')
            ++r;
        if (*r == ',') ++r;
    }
    return list;
}

void process_indirect_ops(treenode* node) {
    if (node == nullptr) return;
    for (const s_indir_list* l = node->indirections.get(); l != nullptr; l = l->next.get()) {
        if (!l->indir_node || !one_indirection(node, *l->indir_node)) return;
    }
}

void process_indirections(treenode* tree) {
    if (tree == nullptr) return;
    // Depth first, a node's children before its following siblings; the tree's own siblings
    // are not part of it.
    // The stack's storage is kept for the next tree; a nested call finds none and makes its own.
    static std::vector<treenode*> spare;
    std::vector<treenode*> pending = std::move(spare);
    pending.assign(1, tree);
    while (!pending.empty()) {
        treenode* n = pending.back();
        pending.pop_back();
        if (n != tree && n->sibling != nullptr) pending.push_back(n->sibling);
        if (n->son != nullptr) {
            pending.push_back(n->son);
        } else {
            process_indirect_ops(n);
        }
    }
    spare = std::move(pending);
}

void reset_indirect() {
    substr.fill(lex_strings{});
    str_index = 0;
    chosen_pointer.clear();
    category.clear();
}
