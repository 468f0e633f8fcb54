#include "attr_fns.hpp"

#include <cstdint>
#include <string>
#include <vector>

#include "attr_data.hpp"
#include "input_base.hpp"
#include "misc.hpp"
#include "termutils.hpp"

std::array<comp_attr, kRuleVariables> variable_table;
comp_attr comp_attr_register;

pre_rule::~pre_rule() {
    purge_tree2(RHS);
    auto p = std::move(next);
    while (p)
        p = std::move(p->next);
}

namespace {

constexpr unsigned char kVarRef = 255;  // followed by one byte: the variable's number
constexpr std::size_t kPrintMax = 1024;

bool is_namechar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return c == '%' || (u != kVarRef && (charkind[u] & 1) != 0);
}

// One item of an attribute text.
struct Item {
    bool var = false;
    int type = 0;  // of a name
    int value = -1;
    int varnum = 0;  // of a variable reference
    int decon = 0;
};

// Reads the items at `r` into `items`. On an unknown name the rest of the attribute text is
// passed over, reported, `items` emptied and `known` cleared. Returns the position after the
// attribute text.
const char* parse_items(const char* r, int decon_allowed, std::vector<Item>& items, bool& known) {
    items.clear();
    known = true;
    int decon = 0;
    if (decon_allowed == 1 && *r == '/') {
        decon = 1;
        ++r;
    }
    for (;;) {
        if (static_cast<unsigned char>(*r) == kVarRef) {
            if (r[1] == '\0') return r + 1;
            Item it;
            it.var = true;
            it.varnum = static_cast<unsigned char>(r[1]);
            it.decon = decon;
            items.push_back(it);
            r += 2;
        } else if (is_namechar(*r)) {
            const char* start = r;
            while (is_namechar(*r))
                ++r;
            if (lookup_attr(std::string_view(start, static_cast<std::size_t>(r - start))) == 0) {
                while (is_namechar(*r) || *r == '.' || (decon_allowed == 1 && *r == '/') ||
                       (static_cast<unsigned char>(*r) == kVarRef && r[1] != '\0')) {
                    r += static_cast<unsigned char>(*r) == kVarRef ? 2 : 1;
                }
                q_err("Unknown attribute",
                      std::string_view(start, static_cast<std::size_t>(r - start)), "");
                items.clear();
                known = false;
                return r;
            }
            items.push_back(Item{false, att_class, att_value, 0, decon});
        } else {
            return r;
        }
        if (*r == '.') {
            decon = 0;
            ++r;
        } else if (decon_allowed == 1 && *r == '/') {
            decon = 1;
            ++r;
        } else {
            return r;
        }
    }
}

const s_comp_attr* variable(int n) {
    if (n < 1 || n >= kRuleVariables) return nullptr;
    return variable_table[static_cast<std::size_t>(n)].get();
}

bool add_row(int type, int value, int decon, bool& reported) {
    if (attr_index >= kAttrRows) {
        if (!reported) q_err("too many attribute segments", "", "");
        reported = true;
        return false;
    }
    attr[static_cast<std::size_t>(attr_index++)] = attr_row{type, value, decon, 0, 0};
    return true;
}

void set_summaries() {
    all_values = 1;
    all_decon = 1;
    for (int i = 0; i < attr_index; ++i) {
        if (attr[static_cast<std::size_t>(i)].value == -1) all_values = 0;
        if (attr[static_cast<std::size_t>(i)].decon == 0) all_decon = 0;
    }
}

comp_attr compound_from_rows(bool all) {
    comp_attr c;
    for (int i = 0; i < attr_index; ++i) {
        const attr_row& row = attr[static_cast<std::size_t>(i)];
        if (!all && row.decon != 0) continue;
        add_comp_attr(c, new_delay(row.type, row.value, row.value == -1 ? 0 : 1));
    }
    return c;
}

void decompose(const s_comp_attr* compound, bool lt) {
    attr_index = 0;
    bool reported = false;
    for (; compound != nullptr; compound = compound->another.get()) {
        const t_delay& d = lt ? lt_delay_at(compound->index) : delay_at(compound->index);
        if (!add_row(d.class_, d.choice, 0, reported)) break;
        if (lt) attr[static_cast<std::size_t>(attr_index - 1)].ltindex = compound->index;
    }
    set_summaries();
}

const char* name_of(const t_delay& d) {
    return att_get_name(d.class_, d.fixed == 0 ? -1 : d.choice);
}

}  // namespace

namespace {

// The working rows of parsed items: variables give the rows of their compounds.
void items_to_rows(const std::vector<Item>& items) {
    attr_index = 0;
    bool reported = false;
    for (const Item& it : items) {
        if (!it.var) {
            add_row(it.type, it.value, it.decon, reported);
            continue;
        }
        for (const s_comp_attr* s = variable(it.varnum); s != nullptr; s = s->another.get()) {
            const t_delay& d = delay_at(s->index);
            add_row(d.class_, d.choice, it.decon, reported);
        }
    }
    set_summaries();
}

// The compound of parsed items, into comp_attr_register; deconstruction items are left out.
void items_to_register(const std::vector<Item>& items) {
    comp_attr c;
    for (const Item& it : items) {
        if (it.decon != 0) continue;
        if (!it.var) {
            add_comp_attr(c, new_delay(it.type, it.value, it.value == -1 ? 0 : 1));
            continue;
        }
        for (const s_comp_attr* s = variable(it.varnum); s != nullptr; s = s->another.get()) {
            add_comp_attr(c, s->index);
        }
    }
    comp_attr_register = std::move(c);
}

// A generation parses the same few attribute texts of its rules again and again. A parse is kept
// by the text's address together with the bytes it read, up to and with the one that ended it, so
// that a text at a reused address never finds another text's parse; a new attribute index makes
// every kept parse stale, as it may name other types and values. A text with an unknown name is
// never kept: each use reports it.
struct KeptParse {
    const char* at = nullptr;
    int decon_allowed = 0;
    unsigned long names_version = 0;
    std::string bytes;
    std::vector<Item> items;

    bool holds(const char* r, int decon) const {
        if (at != r || decon_allowed != decon || names_version != attr_names_version) return false;
        // Stops at the first difference, so never reads past the end of a shorter text.
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (r[i] != bytes[i]) return false;
        }
        return true;
    }
};
constexpr std::size_t kKeptBits = 9;
std::array<KeptParse, std::size_t{1} << kKeptBits> kept;

KeptParse& kept_slot(const char* r) {
    const auto a = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(r));
    return kept[static_cast<std::size_t>((a * 0x9E3779B97F4A7C15ULL) >> (64 - kKeptBits))];
}

// The items of the attribute text at `r`, and in `end` the position after it.
const std::vector<Item>& parsed(const char* r, int decon_allowed, const char*& end) {
    KeptParse& k = kept_slot(r);
    if (k.holds(r, decon_allowed)) {
        end = r + k.bytes.size() - 1;
        return k.items;
    }
    bool known = true;
    end = parse_items(r, decon_allowed, k.items, known);
    if (known) {
        k.at = r;
        k.decon_allowed = decon_allowed;
        k.names_version = attr_names_version;
        k.bytes.assign(r, static_cast<std::size_t>(end - r) + 1);
    } else {
        k.at = nullptr;
    }
    return k.items;
}

}  // namespace

const char* text_to_comp_array(const char* r, int decon_allowed) {
    const char* end = r;
    items_to_rows(parsed(r, decon_allowed, end));
    return end;
}

const char* text_to_comp_struct(const char* r, int decon_allowed) {
    const char* end = r;
    items_to_register(parsed(r, decon_allowed, end));
    return end;
}

const char* text_to_comp_both(const char* r, int decon_allowed) {
    const char* end = r;
    const std::vector<Item>& items = parsed(r, decon_allowed, end);
    items_to_register(items);
    items_to_rows(items);
    return end;
}

comp_attr make_comp_attr() {
    return compound_from_rows(false);
}
comp_attr make_full_comp_attr() {
    return compound_from_rows(true);
}

comp_attr dup_decon_comp_attr(const s_comp_attr* compound) {
    comp_attr c;
    for (int i = 0; compound != nullptr; compound = compound->another.get(), ++i) {
        if (i < attr_index && attr[static_cast<std::size_t>(i)].decon != 0) continue;
        add_comp_attr(c, compound->index);
    }
    return c;
}

void decompose_comp_attr(const s_comp_attr* compound) {
    decompose(compound, false);
}
void lt_decompose_comp_attr(const s_comp_attr* compound) {
    decompose(compound, true);
}

int compare_comp_attr(const s_comp_attr* a, const s_comp_attr* b) {
    if (attr_seg_count(a) != attr_seg_count(b)) return 0;
    for (; a != nullptr; a = a->another.get(), b = b->another.get()) {
        const t_delay& da = delay_at(a->index);
        const t_delay& db = delay_at(b->index);
        if (da.class_ != db.class_) return 0;
        if (da.fixed != 0 && da.choice != db.choice) return 0;
    }
    return 1;
}

const s_comp_attr* find_attr_in_list(const s_attr_list* list, const s_comp_attr* compound) {
    const int count = attr_seg_count(compound);
    for (; list != nullptr; list = list->next.get()) {
        if (list->attr_count == count && compare_comp_attr(compound, list->first.get()) != 0) {
            return list->first.get();
        }
    }
    return nullptr;
}

pre_rule* look_for_attr(const s_comp_attr* compound, pre_rule* rules) {
    for (; rules != nullptr; rules = rules->next.get()) {
        if (compare_comp_attr(compound, rules->PST.get()) != 0) return rules;
    }
    return nullptr;
}

const s_comp_attr* find_attr(const s_attr_list* list) {
    for (; list != nullptr; list = list->next.get()) {
        if (attr_seg_count(list->first.get()) != attr_index) continue;
        bool match = true;
        int i = 0;
        for (const s_comp_attr* s = list->first.get(); s != nullptr && match;
             s = s->another.get(), ++i) {
            const attr_row& row = attr[static_cast<std::size_t>(i)];
            if (MState != 1) {
                if (delay_at(s->index).fixed == 0 && row.value != -1) make_choice(s->index);
            }
            const t_delay& d = MState == 1 ? lt_delay_at(s->index) : delay_at(s->index);
            match = d.class_ == row.type && (d.choice == row.value || row.value == -1);
        }
        if (match) return list->first.get();
    }
    return nullptr;
}

const s_comp_attr* find_type_in_attr(int delindex, const s_attr_list* header) {
    const int type = delay_at(delindex).class_;
    for (; header != nullptr; header = header->next.get()) {
        const s_comp_attr* s = header->first.get();
        if (attr_seg_count(s) == 1 && delay_at(s->index).class_ == type) return s;
    }
    return nullptr;
}

void make_choice(int i) {
    if (i < 0 || i >= kDelaySize) return;
    t_delay& d = delayed[static_cast<std::size_t>(i)];
    if (d.fixed != 0) return;
    if (d.class_ < 1 || d.class_ >= total_types) return;
    const int values = attr_table[static_cast<std::size_t>(d.class_)].entries - 1;
    if (values < 1) return;  // a type without values has nothing to choose from
    d.choice = getrandom(values) + 1;
    d.fixed = 1;
}

void make_all_choices() {
    for (int i = 0; i < delayptr; ++i)
        make_choice(i);
}

std::string print_comp_attr(const s_comp_attr* compound) {
    std::string s;
    for (; compound != nullptr; compound = compound->another.get()) {
        if (!s.empty()) s += '.';
        s += name_of(delay_at(compound->index));
        if (s.size() >= kPrintMax) break;
    }
    if (s.size() > kPrintMax) s.resize(kPrintMax);
    return s;
}

std::string print_attr_list(const s_attr_list* list) {
    std::string s;
    for (const s_attr_list* l = list; l != nullptr; l = l->next.get()) {
        if (l != list) s += ", ";
        s += print_comp_attr(l->first.get());
    }
    return s;
}

void reset_attr_fns() {
    for (comp_attr& v : variable_table)
        v.reset();
    comp_attr_register.reset();
    for (KeptParse& k : kept)
        k.at = nullptr;
}
