#include "stud_mor.hpp"

#include <algorithm>
#include <list>
#include <map>
#include <utility>
#include <vector>

#include "attr_data.hpp"
#include "attr_fns.hpp"
#include "input_base.hpp"
#include "morphology.hpp"
#include "scrout.hpp"

std::array<std::array<int, kMrRow>, kTerminals> mrdata{};
std::array<std::array<std::array<int, kMrValues + 1>, kMrSlots + 1>, kTerminals> mrmod{};
std::array<int, kMrSlots + 1> comb{};
int hitype = 0;
int term = 0;

namespace {

constexpr int kInflectFields[] = {5, 6};  // the fields that inflect a variant

using Pair = std::pair<int, int>;  // {type, value}; value -1: every value of the type

std::vector<Pair> pairs_of(int t) {
    std::vector<Pair> out;
    const auto& row = mrdata[static_cast<std::size_t>(t)];
    for (int i = 0; i + 1 < kMrRow && row[static_cast<std::size_t>(i)] != 0; i += 2)
        out.emplace_back(row[static_cast<std::size_t>(i)], row[static_cast<std::size_t>(i) + 1]);
    return out;
}

void store_pairs(int t, const std::vector<Pair>& pairs) {
    auto& row = mrdata[static_cast<std::size_t>(t)];
    row.fill(0);
    std::size_t i = 0;
    for (const Pair& p : pairs) {
        row[i++] = p.first;
        row[i++] = p.second;
    }
}

int values_of(int type) {
    if (type < 1 || type >= total_types) return 0;
    return attr_table[static_cast<std::size_t>(type)].entries - 1;
}

// The alternative values of each type of a row, in slot order: a whole-type pair stands for
// every value of its type.
std::vector<std::pair<int, std::vector<int>>> slots_of(const std::vector<Pair>& pairs) {
    std::vector<std::pair<int, std::vector<int>>> slots;
    for (const auto& [type, value] : pairs) {
        if (slots.empty() || slots.back().first != type) slots.push_back({type, {}});
        std::vector<int>& values = slots.back().second;
        if (value >= 0) {
            values.push_back(value);
        } else {
            for (int v = 1; v <= values_of(type); ++v)
                values.push_back(v);
        }
    }
    return slots;
}

// ---------------------------------------------------------------------------------------------
// Reading the morphological error file
// ---------------------------------------------------------------------------------------------

// At a row's ')': sorted by type, then value (a whole-type pair first), and cleaned of repeated
// pairs and of values of a type already taken whole.
void finish_row(int t) {
    std::vector<Pair> pairs = pairs_of(t);
    std::sort(pairs.begin(), pairs.end());
    std::vector<Pair> kept;
    for (const Pair& p : pairs) {
        if (!kept.empty() &&
            (kept.back() == p || (kept.back().first == p.first && kept.back().second == -1))) {
            continue;
        }
        kept.push_back(p);
    }
    store_pairs(t, kept);
    const auto slots = slots_of(kept);
    const bool too_many = slots.size() > static_cast<std::size_t>(kMrSlots) ||
                          std::any_of(slots.begin(), slots.end(), [](const auto& s) {
                              return s.second.size() > static_cast<std::size_t>(kMrValues);
                          });
    if (too_many) {
        q_err("Maximum allowable types/values for a terminal",
              terminal_table[static_cast<std::size_t>(t)], "");
    }
}

void add_pair(int t, const char* name) {
    if (lookup_attr(name) == 0) {
        q_err("Attribute not in attribute list", name, "");
        return;
    }
    std::vector<Pair> pairs = pairs_of(t);
    if (pairs.size() >= static_cast<std::size_t>(kMrPairs)) {
        q_err("Maximum allowable types/values for a terminal", name, "");
        return;
    }
    pairs.emplace_back(att_class, att_value);
    store_pairs(t, pairs);
}

void read_merrors() {
    int t = -1;         // the terminal of the entry being read
    bool open = false;  // within its '(' ... ')'
    for (int tok = q_peep(); tok != kTokEof; tok = q_peep()) {
        if (tok == kTokIdent) {
            const char* name = identbuf.data();
            if (open) {
                add_pair(t, name);
            } else {
                t = lookup_terminal(name);
                file_position.assign_cut(std::string("terminal ") + name);
                if (t < 0) q_err("Terminal not in terminal list", name, "");
            }
        } else if (tok == '(') {
            // After an unknown terminal the names that follow are taken as terminals again.
            open = t >= 0;
        } else if (tok == ')') {
            if (open) finish_row(t);
            open = false;
            t = -1;
            file_position.clear();
        }
        q_next();
    }
    if (open) finish_row(t);
}

// ---------------------------------------------------------------------------------------------
// Variants
// ---------------------------------------------------------------------------------------------

// The list's first one-segment compound of the type of delay entry d, or null.
s_comp_attr* segment_of_type(s_attr_list* list, int d) {
    const int type = delay_at(d).class_;
    for (; list != nullptr; list = list->next.get()) {
        s_comp_attr* s = list->first.get();
        if (attr_seg_count(s) == 1 && delay_at(s->index).class_ == type) return s;
    }
    return nullptr;
}

// The next combination of the odometer (the last slot counting fastest); false when it has come
// round to all zeros again.
bool advance() {
    for (int k = hitype; k >= 1; --k) {
        int& c = comb[static_cast<std::size_t>(k)];
        const int count = mrmod[static_cast<std::size_t>(term)][static_cast<std::size_t>(k)][0];
        if (++c <= count) return true;
        c = 0;
    }
    return false;
}

void add_variant(treenode* leaf, treenode* scratch) {
    attr_list list = duplicate_attr_list(leaf->attributes.get());
    auto mv = std::make_unique<morphvar>();
    int changed = 0;
    for (int k = 1; k <= hitype; ++k) {
        const int c = comb[static_cast<std::size_t>(k)];
        if (c == 0) continue;
        const int d = mrmod[static_cast<std::size_t>(term)][static_cast<std::size_t>(k)]
                           [static_cast<std::size_t>(c)];
        mv->attrcomb[static_cast<std::size_t>(++changed)] = d;
        if (s_comp_attr* seg = segment_of_type(list.get(), d)) {
            seg->index = d;
        } else {
            comp_attr single;
            add_comp_attr(single, d);
            add_attr_to_list(list, std::move(single));
        }
    }
    mv->attrcomb[0] = changed;
    scratch->attributes = std::move(list);
    scratch->morphed_word.clear();
    for (int f : kInflectFields)
        morph_word(scratch, f);
    mv->variant = scratch->morphed_word;
    mv->next = std::move(leaf->mvar);
    leaf->mvar = std::move(mv);
}

// ---------------------------------------------------------------------------------------------
// Explanations
// ---------------------------------------------------------------------------------------------

std::pair<int, int> type_value(int d) {
    const t_delay& e = delay_at(d);
    return {e.class_, e.choice};
}

difference explain(const morphvar& mv, const treenode* leaf) {
    difference diff;
    const int changed = std::clamp(mv.attrcomb[0], 0, kMrSlots);
    for (int i = 1; i <= changed; ++i) {
        const int d = mv.attrcomb[static_cast<std::size_t>(i)];
        const s_comp_attr* own = find_type_in_attr(d, leaf->attributes.get());
        if (own == nullptr) {
            diff.left[static_cast<std::size_t>(diff.ltind++)] = d;
        } else if (delay_at(own->index).choice != delay_at(d).choice) {
            diff.left[static_cast<std::size_t>(diff.ltind++)] = d;
            diff.right[static_cast<std::size_t>(diff.rtind++)] = own->index;
        }
    }
    return diff;
}

// Bit 1: e holds a value that n lacks; bit 2: n holds one that e lacks.
int compare_explanations(const difference& n, const difference& e) {
    int result = 0;
    int i = 0;
    int j = 0;
    while (i < n.ltind && j < e.ltind) {
        const auto a = type_value(n.left[static_cast<std::size_t>(i)]);
        const auto b = type_value(e.left[static_cast<std::size_t>(j)]);
        if (a == b) {
            ++i;
            ++j;
        } else if (b < a) {
            result |= 1;
            ++j;
        } else {
            result |= 2;
            ++i;
        }
    }
    if (j < e.ltind) result |= 1;
    if (i < n.ltind) result |= 2;
    return result;
}

std::string print_indexes(const std::array<int, kMrSlots * 2>& indexes, int count) {
    attr_list list;
    for (int i = 0; i < count; ++i) {
        comp_attr single;
        add_comp_attr(single, indexes[static_cast<std::size_t>(i)]);
        add_attr_to_list(list, std::move(single));
    }
    return print_attr_list(list.get());
}

std::string print_combination(const morphvar& mv) {
    std::array<int, kMrSlots * 2> indexes{};
    const int changed = std::clamp(mv.attrcomb[0], 0, kMrSlots);
    for (int i = 0; i < changed; ++i)
        indexes[static_cast<std::size_t>(i)] = mv.attrcomb[static_cast<std::size_t>(i) + 1];
    return print_indexes(indexes, changed);
}

}  // namespace

void merror_readtables(const char* filename) {
    file_operation = "morph error input";
    q_stat = 0;
    if (!openfile(filename, 0)) {
        q_err("unable to open file: ", filename != nullptr ? filename : "", "");
    } else {
        read_merrors();
    }
    file_position.clear();
    file_operation.clear();
}

void clear_mrdata() {
    for (auto& row : mrdata)
        row.fill(0);
}

void print_merror_tables() {
    for (int t = 0; t < terminal_count; ++t) {
        q_msg(terminal_table[static_cast<std::size_t>(t)]);
        for (int v : mrdata[static_cast<std::size_t>(t)]) {
            if (v != 0) q_msg(std::to_string(v));
        }
    }
}

bool mrmodify() {
    for (auto& t : mrmod)
        for (auto& slot : t)
            slot.fill(0);
    // One fixed delay entry per distinct {type, value}: fixed entries never change, so terminals
    // and slots can share them, and the table holds what many terminals need.
    const int terminals = std::clamp(terminal_count, 0, kTerminals);
    std::vector<std::vector<std::pair<int, std::vector<int>>>> rows(kTerminals);
    std::map<Pair, int> made;
    for (int t = 0; t < terminals; ++t) {
        rows[static_cast<std::size_t>(t)] = slots_of(pairs_of(t));
        for (const auto& [type, values] : rows[static_cast<std::size_t>(t)])
            for (int v : values)
                made.emplace(Pair{type, v}, -1);
    }
    if (delayptr + static_cast<int>(made.size()) >= kDelaySize - 1) {
        q_msg("Delay table exceeded");
        return false;
    }
    for (auto& [p, index] : made)
        index = new_delay(p.first, p.second, 1);
    for (int t = 0; t < terminals; ++t) {
        auto& slots = mrmod[static_cast<std::size_t>(t)];
        int k = 0;
        for (const auto& [type, values] : rows[static_cast<std::size_t>(t)]) {
            if (k == kMrSlots) break;
            auto& slot = slots[static_cast<std::size_t>(++k)];
            for (int v : values) {
                if (slot[0] == kMrValues) break;
                slot[static_cast<std::size_t>(++slot[0])] = made[Pair{type, v}];
            }
        }
        slots[0][0] = k;
    }
    return true;
}

void make_variants(treenode* leaf) {
    if (leaf == nullptr || leaf->name.empty()) return;
    const int t = lookup_terminal(leaf->name);
    if (t < 0) return;
    term = t;
    hitype = mrmod[static_cast<std::size_t>(t)][0][0];
    if (hitype == 0) return;
    comb.fill(0);
    // One copy carries each combination in turn; it sees the leaf's neighbours, so rules that
    // look at the next word inflect it as they did the leaf.
    treenode* scratch = copy_node(leaf);
    scratch->left = leaf->left;
    scratch->right = leaf->right;
    int made = 0;
    while (advance()) {
        if (made++ == kMaxVariants) {
            if (err_message_allowed()) {
                q_msg("More than " + std::to_string(kMaxVariants) + " variants of " +
                      leaf->morphed_word + "; the rest are left out");
            }
            break;
        }
        add_variant(leaf, scratch);
    }
    scratch->left = nullptr;
    scratch->right = nullptr;
    purge_node(scratch);
}

void all_variants(treenode* tree) {
    for (treenode* leaf : err_leaves(tree))
        make_variants(leaf);
}

void release_variants(treenode* tree) {
    for (treenode* leaf : err_leaves(tree))
        leaf->mvar.reset();
}

int compare_var(const treenode* leaf, const WordFit& fits, lexdiff& diff) {
    if (leaf == nullptr) return 0;
    std::list<difference> listed;
    bool found = false;
    for (const morphvar* mv = leaf->mvar.get(); mv != nullptr; mv = mv->next.get()) {
        if (!fits(mv->variant)) continue;
        found = true;
        const difference n = explain(*mv, leaf);
        bool keep = true;
        for (auto e = listed.begin(); e != listed.end() && keep;) {
            const int r = compare_explanations(n, *e);
            if (r == 0 || r == 2) {
                keep = false;
            } else if (r == 1) {
                e = listed.erase(e);
            } else {
                ++e;
            }
        }
        if (keep) listed.push_front(n);
    }
    if (!found) return 0;
    for (const difference& e : listed)
        diff.add_breakup(print_indexes(e.right, e.rtind) + "/" + print_indexes(e.left, e.ltind));
    return 1;
}

int compare_var(std::string_view word, const treenode* leaf, lexdiff& diff) {
    return compare_var(
        leaf, [word](std::string_view v) { return v == word; }, diff);
}

void generate_enumerations() {
    std::vector<int> roots = err_roots_to_test();
    if (roots.empty()) {
        for (int r = 0; r < kRoots; ++r) {
            if (err_root_tree(r) != nullptr) roots.push_back(r);
        }
    }
    if (roots.empty()) {
        diserr("Error: ROOT tree does not exist");
        return;
    }
    progress("Beginning enumerations");
    const int saved = delayptr;
    const bool prepared = mrmodify();
    for (int r : roots) {
        treenode* tree = err_root_tree(r);
        if (prepared) all_variants(tree);
        q_msg("CURRENT ROOT : R" + std::to_string(r));
        for (const treenode* leaf : err_leaves(tree)) {
            if (leaf->morphed_word.empty()) continue;
            q_msg("");
            q_msg("ORIGINAL WORD: " + remove_spaceeater(leaf->morphed_word));
            q_msg("");
            q_msg("Morphological variations:     Attribute list:");
            for (const morphvar* mv = leaf->mvar.get(); mv != nullptr; mv = mv->next.get())
                q_msg(print_combination(*mv) + ";" + mv->variant);
            q_msg("");
        }
        release_variants(tree);
    }
    delayptr = saved;
    clearhelp();
}

void reset_stud_mor() {
    clear_mrdata();
    for (auto& t : mrmod)
        for (auto& slot : t)
            slot.fill(0);
    comb.fill(0);
    hitype = 0;
    term = 0;
}
