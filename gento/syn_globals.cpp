#include "syn_globals.hpp"

#include "input_base.hpp"
#include "syn_builtIn.hpp"

std::array<t_dict_lookup, kLookups> dict_table;
int d_table_count = 0;
int global_barrier = 0;
int preselect_barrier = 0;
int global_delayptr = 0;

std::unique_ptr<pre_rule> preselect_list;
pre_rule* globalpre_list = nullptr;

int attr_form = 0;
int pre_status = 0;
pre_rule* pre_match = nullptr;
std::string bad_pst;

// clang-format off
const std::array<const char*, kPreStatuses> pre_error = {
    "",
    "No preselection rule",
    "Attribute error in PST",
    "No matching PST: ",
    "Matching PST has no right-hand side: ",
    "PST has no lexical entry: ",
    "All is well!",
};

const std::array<root_list, kRoots> tree_roots = {{
    {"!%!%!",    "DUMMY    "},
    {"QUESTION", "Question "},
    {"ANSWER",   "Answer   "},
    {"R_3",      "R_3      "},
    {"R_4",      "R_4      "},
    {"R_5",      "R_5      "},
    {"R_6",      "R_6      "},
    {"R_7",      "R_7      "},
    {"R_8",      "R_8      "},
    {"R_9",      "R_9      "},
    {"R_10",     "R_10     "},
    {"R_11",     "R_11     "},
    {"R_12",     "R_12     "},
    {"R_13",     "R_13     "},
    {"R_14",     "R_14     "},
    {"R_15",     "R_15     "},
    {"R_16",     "R_16     "},
    {"R_17",     "R_17     "},
    {"R_18",     "R_18     "},
    {"R_19",     "R_19     "},
    {"R_20",     "R_20     "},
}};
// clang-format on

int treestate = 0;
std::array<std::unique_ptr<std::string>, kRoots> genSentences;

namespace {

using PassTable = std::array<std::array<int, kPassSlots>, kPassRows>;

PassTable initial_passes() {
    PassTable t{};
    for (int r = 0; r < kPassRows; ++r) {
        const bool phonology = r == kPassRows - 1;
        t[static_cast<std::size_t>(r)] = {0, phonology ? 22 : 5, phonology ? 23 : 6, 0, 0, 0};
    }
    return t;
}

}  // namespace

PassTable morph_passes = initial_passes();

void clear_lookup(t_dict_lookup& d) {
    d.class_.clear();
    d.dictionary = nullptr;
    d.attributes.reset();
    d.preferredchoice.clear();
    d.error = 0;
    d.fields.clear();
    d.pointed_at = 0;
    d.vf = -1;
    purge_tree2(d.lspseq);
    d.lspseq = nullptr;
}

void reset_syn_globals() {
    for (t_dict_lookup& d : dict_table)
        clear_lookup(d);
    d_table_count = 0;
    global_barrier = 0;
    preselect_barrier = 0;
    global_delayptr = 0;
    preselect_list.reset();
    globalpre_list = nullptr;
    attr_form = 0;
    pre_status = 0;
    pre_match = nullptr;
    bad_pst.clear();
    treestate = 0;
    for (auto& s : genSentences)
        s.reset();
    morph_passes = initial_passes();
    reset_syntax();
}

// ---------------------------------------------------------------------------------------------
// Stored syntax
// ---------------------------------------------------------------------------------------------
std::unique_ptr<syn_rule> syntax_stack;
std::unique_ptr<transformation> trans_stack;

namespace {
// Unlinks a chain before its head goes, so that a long stack never recurses once per record.
template <typename T>
void release_chain(std::unique_ptr<T>& head) {
    std::unique_ptr<T> at = std::move(head);
    while (at)
        at = std::move(at->next);
}
}  // namespace

syn_rule::~syn_rule() {
    release_chain(next);
}
sub_trans::~sub_trans() {
    release_chain(next);
}
transformation::~transformation() {
    release_chain(next);
}

const char* getrule(std::string_view name) {
    for (const syn_rule* r = syntax_stack.get(); r != nullptr; r = r->next.get()) {
        if (r->barrier || !same_name(r->name, name)) continue;
        return r->rules ? r->rules->c_str() : nullptr;
    }
    return nullptr;
}

transformation* find_transf(std::string_view name) {
    for (transformation* t = trans_stack.get(); t != nullptr; t = t->next.get()) {
        if (!t->barrier && same_name(t->name, name)) return t;
    }
    return nullptr;
}

void add_barrier() {
    auto r = std::make_unique<syn_rule>();
    r->name = kBarrierName;
    r->barrier = true;
    r->next = std::move(syntax_stack);
    syntax_stack = std::move(r);
    auto t = std::make_unique<transformation>();
    t->name = kBarrierName;
    t->barrier = true;
    t->next = std::move(trans_stack);
    trans_stack = std::move(t);
}

void dump_syntax() {
    while (syntax_stack) {
        const bool was_barrier = syntax_stack->barrier;
        syntax_stack = std::move(syntax_stack->next);
        if (was_barrier) break;
    }
    // The built-ins below the first layer stay: they belong to no layer.
    while (trans_stack && trans_stack->functionPtr == nullptr) {
        const bool was_barrier = trans_stack->barrier;
        trans_stack = std::move(trans_stack->next);
        if (was_barrier) break;
    }
}

std::string printable_code(std::string_view coded) {
    std::string out;
    for (char ch : coded) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 32 || c == 255) {
            out += '{';
            out += std::to_string(c);
            out += '}';
        } else {
            out += ch;
        }
    }
    return out;
}

void print_cf() {
    for (const syn_rule* r = syntax_stack.get(); r != nullptr; r = r->next.get()) {
        q_msg(r->name);
        if (!r->barrier) q_msg(" rule: " + printable_code(r->rules ? *r->rules : "") + ": ");
    }
}

void reset_syntax() {
    release_chain(syntax_stack);
    release_chain(trans_stack);
    gInMemory = 0;
}
