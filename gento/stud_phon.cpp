#include "stud_phon.hpp"

#include <unordered_map>
#include <vector>

#include "input_base.hpp"
#include "syn_globals.hpp"

std::unique_ptr<table> phontablelist;

namespace {

using Spellings = std::vector<std::string_view>;

// Per symbol byte: the first table of that symbol and its spellings (views into the table's
// elements), rebuilt whenever the list changes.
struct SymbolIndex {
    std::array<const table*, 256> tables{};
    std::array<Spellings, 256> spellings;
    void rebuild() {
        tables.fill(nullptr);
        for (Spellings& s : spellings)
            s.clear();
        for (const table* t = phontablelist.get(); t != nullptr; t = t->next.get()) {
            const auto sym = static_cast<unsigned char>(t->tablename[0]);
            if (tables[sym] != nullptr) continue;
            tables[sym] = t;
            std::string_view rest = t->elements;
            for (std::size_t bar = rest.find('|'); bar != std::string_view::npos;
                 bar = rest.find('|')) {
                spellings[sym].push_back(rest.substr(0, bar));
                rest.remove_prefix(bar + 1);
            }
        }
    }
};
SymbolIndex symbols;

// What the phonological test needs of a leaf, worked out once per leaf in an analysis: the
// spellings of each of its sounds, or none when it has no IPA string or one the tables do not
// cover (reported then).
struct Sounds {
    bool usable = false;
    std::vector<const Spellings*> syms;
};
std::unordered_map<const treenode*, std::string> ipa_cache;
std::unordered_map<const treenode*, Sounds> sounds_cache;

// ---------------------------------------------------------------------------------------------
// Reading the tables
// ---------------------------------------------------------------------------------------------

class PhonReader {
  public:
    void run() {
        tail_ = &phontablelist;
        while (*tail_)
            tail_ = &(*tail_)->next;
        for (int tok = q_peep(); tok != kTokEof; tok = q_peep()) {
            take(tok);
            q_next();
        }
        if (state_ != kIdle) q_err("last table incomplete", "", "");
    }

  private:
    enum State { kIdle, kSymbol, kOpen, kElement };

    void take(int tok) {
        switch (state_) {
            case kIdle:
                if (tok == kTokQuote) {
                    pending_.reset();
                    state_ = kSymbol;
                } else if (tok != '(' && tok != kTokPercent) {
                    unexpected(tok);
                }
                break;
            case kSymbol:
                if (tok == kTokQuote) {
                    state_ = kOpen;
                    if (!pending_) q_err("IPA symbol missing", "", "");
                } else {
                    // Each character starts a table of its own: the last one counts.
                    pending_ = std::make_unique<table>();
                    pending_->tablename = std::string(1, static_cast<char>(tok));
                    file_position.assign_cut("table " + pending_->tablename);
                }
                break;
            case kOpen:
                if (tok == kTokQuote) {
                    element_.clear();
                    state_ = kElement;
                } else if (tok == ')') {
                    close();
                } else if (tok != ',' && tok != '(' && tok != kTokPercent) {
                    unexpected(tok);
                }
                break;
            case kElement:
                if (tok == kTokQuote) {
                    if (pending_) {
                        pending_->elements += element_ + "|";
                        ++pending_->count;
                    }
                    state_ = kOpen;
                } else if (tok != '|') {  // a bar would split the spelling; the reader warned
                    element_ += static_cast<char>(tok);
                }
                break;
        }
    }

    void close() {
        state_ = kIdle;
        if (pending_) {
            if (err_get_phontable_pointer(pending_->tablename) != nullptr) {
                q_err("table name repeated", "", "");
            } else {
                *tail_ = std::move(pending_);
                tail_ = &(*tail_)->next;
                symbols.rebuild();
            }
        }
        pending_.reset();
        file_position.clear();
    }

    // Reported once for a run of such tokens.
    void unexpected(int tok) {
        if (!junk_) q_err("Unexpected symbol", tok2str(tok), "");
        junk_ = true;
    }

    State state_ = kIdle;
    bool junk_ = false;
    std::unique_ptr<table> pending_;
    std::string element_;
    std::unique_ptr<table>* tail_ = nullptr;
};

// ---------------------------------------------------------------------------------------------
// Spelling a word from its sounds
// ---------------------------------------------------------------------------------------------

using Breakdown = std::array<std::string_view, kIpaSymbols>;

// Spells `word` from the symbols' spellings, trying each spelling of a symbol in table order and
// backtracking; on success the spelling used for each symbol is in `path`. Positions already
// found hopeless are remembered, so a word is spelled in time proportional to its length.
class Speller {
  public:
    Speller(const std::vector<const Spellings*>& syms, std::string_view word)
        : syms_(syms), word_(word), failed_((syms.size() + 1) * (word.size() + 1), 0) {}

    bool run(Breakdown& path) { return from(0, 0, path); }

  private:
    bool from(std::size_t i, std::size_t j, Breakdown& path) {
        if (i == syms_.size()) return j == word_.size();
        if (j == word_.size()) return false;
        char& hopeless = failed_[i * (word_.size() + 1) + j];
        if (hopeless != 0) return false;
        for (std::string_view s : *syms_[i]) {
            if (word_.substr(j).starts_with(s)) {
                path[i] = s;
                if (from(i + 1, j + s.size(), path)) return true;
            }
        }
        hopeless = 1;
        return false;
    }

    const std::vector<const Spellings*>& syms_;
    std::string_view word_;
    std::vector<char> failed_;
};

}  // namespace

void phon_readtables(const char* filename) {
    file_operation = "phon table input";
    q_stat = 0;
    if (!openfile(filename, 0)) {
        q_err("unable to open file: ", filename != nullptr ? filename : "", "");
    } else {
        PhonReader().run();
    }
    file_position.clear();
    file_operation.clear();
}

void clear_phon_tables() {
    phontablelist.reset();
    symbols.rebuild();
    release_phon_cache();
}

const table* err_get_phontable_pointer(std::string_view s) {
    if (s.empty()) return nullptr;
    return symbols.tables[static_cast<unsigned char>(s[0])];
}

std::string ipa_of(treenode* leaf) {
    if (leaf == nullptr) return {};
    if (err_in_analysis) {
        const auto found = ipa_cache.find(leaf);
        if (found != ipa_cache.end()) return found->second;
    }
    const std::string saved = leaf->morphed_word;
    leaf->morphed_word.clear();
    const auto& row = morph_passes[static_cast<std::size_t>(kPassRows - 1)];
    for (int col = 1; col < kPassSlots && row[static_cast<std::size_t>(col)] != 0; ++col)
        morph_word(leaf, row[static_cast<std::size_t>(col)]);
    std::string ipa = std::move(leaf->morphed_word);
    leaf->morphed_word = saved;
    if (err_in_analysis) ipa_cache.emplace(leaf, ipa);
    return ipa;
}

namespace {

Sounds sounds_of(treenode* leaf) {
    Sounds s;
    const std::string ipa = ipa_of(leaf);
    if (ipa.empty()) return s;
    if (ipa.size() > static_cast<std::size_t>(kIpaSymbols)) {
        if (err_message_allowed()) {
            q_msg("ipa string of " + remove_spaceeater(leaf->morphed_word) + " has more than " +
                  std::to_string(kIpaSymbols) + " symbols; no phonological test");
        }
        return s;
    }
    for (char c : ipa) {
        const auto sym = static_cast<unsigned char>(c);
        if (symbols.tables[sym] == nullptr) {
            if (err_message_allowed()) q_msg("ipa symbol has no entry in phonology tables");
            return s;
        }
        s.syms.push_back(&symbols.spellings[sym]);
    }
    s.usable = true;
    return s;
}

}  // namespace

int err_match_phono(std::string_view word, treenode* leaf, lexdiff& diff) {
    if (!phontablelist || leaf == nullptr || word.empty()) return 0;
    Sounds fresh;
    const Sounds* sounds = &fresh;
    if (err_in_analysis) {
        auto found = sounds_cache.find(leaf);
        if (found == sounds_cache.end()) found = sounds_cache.emplace(leaf, sounds_of(leaf)).first;
        sounds = &found->second;
    } else {
        fresh = sounds_of(leaf);
    }
    if (!sounds->usable) return 0;
    const std::vector<const Spellings*>& syms = sounds->syms;
    Breakdown candidate{};
    if (!Speller(syms, word).run(candidate)) return 0;
    diff.matchclass = kSameSound;
    const std::string expected = remove_spaceeater(leaf->morphed_word);
    Breakdown source{};
    if (!Speller(syms, expected).run(source)) {
        diff.error = "ERROR: correct word does not match ipa string, though student response does";
        return 1;
    }
    for (std::size_t i = 0; i < syms.size(); ++i) {
        if (source[i] != candidate[i])
            diff.add_breakup(std::string(source[i]) + "/" + std::string(candidate[i]));
    }
    return 1;
}

void release_phon_cache() {
    ipa_cache.clear();
    sounds_cache.clear();
}

void reset_stud_phon() {
    clear_phon_tables();
}
