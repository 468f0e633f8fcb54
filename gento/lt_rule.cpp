#include "lt_rule.hpp"

#include <new>
#include <string>

#include "attr_list.hpp"
#include "globals.hpp"
#include "input_base.hpp"
#include "lex_scan.hpp"
#include "lt_misc.hpp"
#include "scrout.hpp"
#include "uninstall.hpp"

namespace {

constexpr int kLtInstalled = 2048;  // installation bit of the LX kind
constexpr int kProgressEvery = 100;

LTRULE* selected_rule() {
    if (lt_rule_num < 1 || lt_rule_num >= kLtRules) return nullptr;
    return ltruleheader[static_cast<std::size_t>(lt_rule_num)].get();
}

// Matching reads the rules' own attribute table while this lives.
struct LtMatching {
    LtMatching() { MState = 1; }
    ~LtMatching() { MState = 0; }
    LtMatching(const LtMatching&) = delete;
    LtMatching& operator=(const LtMatching&) = delete;
};

bool word_matches(const std::string& pattern, const char* entry) {
    if (pattern.empty()) return true;
    const char* p = pattern.c_str();
    if (*p == '"') ++p;
    const bool quoted = *entry == '"';
    return match_wild(p, quoted ? entry + 1 : entry, '"', quoted ? '"' : '|') == 1;
}

// Records, as bound by this level, every variable of the rule that has a value now and had none
// before the level's candidate was matched.
void note_bindings(const LTRULE& rule, s_stacknode& level) {
    for (const s_lt_var_list* v = rule.rule_vars.get(); v != nullptr; v = v->next.get()) {
        t_delay& d = lt_delay_at(v->index);
        if (d.choice == -1 || d.fixed != 0) continue;
        d.fixed = 1;
        level.fixedvars.push_back(v->index);
    }
}

// Shows the count, and says why the run stopped when it did not end.
void stopped(const std::string& why) {
    progress(why + " -- " + std::to_string(numwords) + " words generated");
    q_stat = 2;
}

// Writes a derived entry into the current core file; keeps it for the resumed run when the store
// has no room for it.
bool write_entry(std::string_view text) {
    if (q_line(corenum, kObjRecord, text)) {
        cur().edited = 1;
        return true;
    }
    lt_pending.assign(text);
    --numwords;
    diserr("Text store full -- " + std::to_string(numwords) + " words generated");
    q_stat = 2;
    return false;
}

// One step of the run. Returns false when the run is over for now (ended, stopped or failed).
bool step(LTRULE& rule) {
    if (abortreq != 0) {
        stopped("Abort");
        return false;
    }
    if (!StackPtr) {
        q_msg("Total Words Generated: " + std::to_string(numwords) + ".");
        clearhelp();
        InProgress = 0;
        numwords = 0;
        return false;
    }
    if (lt_getdictent(StackPtr.get()) == kLtNoMore) {
        lt_pop_level();
        return true;
    }
    if (treenode* next = StackPtr->lsp->right) {
        if (lt_push_level(next)) return true;
        q_err("Terminal class not recognized - ", next->dictionary->class_, "");
        lt_cleanup(0);
        return false;
    }
    ++numwords;
    if (numwords % kProgressEvery == 0) progress(std::to_string(numwords) + " words generated");
    if (lt_apply_rule(rule.rhs.c_str(), rule.lsp1, 1) == 0) {
        lt_cleanup(0);
        return false;
    }
    if (resoverflow != 0) {
        q_err("   Result of LT rule too long ", "", "");
        lt_cleanup(0);
        return false;
    }
    return write_entry(lt_result.data());
}

void run(LTRULE& rule) {
    if (InProgress == 1 && lt_run_serial != lexicon_serial) {
        // The places the stack kept are gone with the lexicon they were in.
        lt_cleanup(0);
        q_msg("LT rule restarted: the lexicon has changed");
    }
    if (InProgress == 0) {
        numwords = 0;
        if (!lt_push_level(rule.lsp1)) {
            q_err("Terminal class not recognized - ", rule.lsp1->dictionary->class_, "");
            return;
        }
        InProgress = 1;
        lt_run_serial = lexicon_serial;
    }
    if (!lt_pending.empty()) {
        ++numwords;
        const std::string text = std::move(lt_pending);
        lt_pending.clear();
        if (!write_entry(text)) return;
    }
    while (step(rule)) {
    }
}

}  // namespace

void inittrans(int n) {
    file_operation = "Init LT Rule";
    q_stat = 0;
    lt_cleanup(1);
    if (n < 1 || n >= kLtRules) {
        q_stat = 1;
        q_err("Rule number out of range: ", std::to_string(n), "");
    } else if ((installed & kLtInstalled) == 0 || !ltruleheader[static_cast<std::size_t>(n)]) {
        q_stat = 1;
        q_err("Rule has not been loaded yet - ", std::to_string(n), "");
    } else {
        lt_rule_num = n;
        q_msg("LT rule selected: " + std::to_string(n) + ".");
    }
    file_operation.clear();
}

void exectrans() {
    LTRULE* rule = selected_rule();
    if (rule == nullptr || rule->lsp1 == nullptr) {
        q_err("No Rule has been initialized", "", "");
        return;
    }
    file_operation = "Exec LT Rule";
    q_stat = 0;
    abortreq = 0;
    try {
        run(*rule);
    } catch (const std::bad_alloc&) {
        q_err("   Unable to allocate memory", "", "");
        lt_cleanup(0);
    }
    file_operation.clear();
}

LtLookup lt_getdictent(s_stacknode* level) {
    if (level == nullptr || level->lsp == nullptr || level->lsp->dictionary == nullptr) {
        q_err("Software error -- lt_getdictent passed NULL parameter", "", "");
        return kLtNoMore;
    }
    t_dict_lookup& lookup = *level->lsp->dictionary;
    const LTRULE* rule = selected_rule();
    for (;;) {
        if (level->DictionaryPtr == nullptr) {
            // Class "?": the next terminal's entries, in terminal order.
            if (level->term_ind >= 0 && level->term_ind + 1 < dictterm) {
                ++level->term_ind;
                level->DictionaryPtr = dictionary[static_cast<std::size_t>(level->term_ind)];
                continue;
            }
            level->term_ind = -1;
            lt_unbind(*level);
            lookup.dictionary = nullptr;
            return kLtNoMore;
        }
        const recnode* candidate = level->DictionaryPtr;
        level->DictionaryPtr = candidate->previous;
        lt_unbind(*level);
        const char* entry = candidate->recordptr;
        if (entry == nullptr) continue;
        int attrs_match = 0;
        {
            const LtMatching matching;
            attrs_match = match_attr(entry, lookup.attributes.get());
        }
        if (rule != nullptr) note_bindings(*rule, *level);
        if (attrs_match == 1 && word_matches(lookup.preferredchoice, entry) &&
            match_lsp(lookup.fields.c_str(), entry) == 1) {
            lookup.dictionary = entry;
            lookup.error = 0;
            return kLtFound;
        }
    }
}
