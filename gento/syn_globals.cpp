#include "syn_globals.hpp"

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

void reset_lookup(t_dict_lookup& d) {
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

}  // namespace

PassTable morph_passes = initial_passes();

void reset_syn_globals() {
    for (t_dict_lookup& d : dict_table)
        reset_lookup(d);
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
}
