#include "lex_read.hpp"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "attr_data.hpp"
#include "gento/terminal.hpp"
#include "input_base.hpp"
#include "scrout.hpp"

std::vector<recnode*> dictionary;
int dictterm = -1;
long lexicon_serial = 0;
std::array<recnode, kRestoredEntries> restoredlexarray;
recnode* lastrestored = nullptr;
int restored_count = 0;
long lex_words = 0;
long lex_errors = 0;

namespace {

// Entries live in large blocks that are released together, each record right before its text:
// a lexicon of many thousands of entries costs a handful of allocations, and walking a list
// reads memory in one sweep.
class TextArena {
  public:
    char* store(std::string_view s) { return place(s, 0); }
    recnode* store_entry(std::string_view s) {
        char* at = place(s, sizeof(recnode));
        auto* node = new (at - sizeof(recnode)) recnode{};  // the block owns its bytes
        node->recordptr = at;
        node->attributes = getfieldptr(at, 3);
        node->weight = getfieldptr(at, 4);
        lay_out_compounds(*node);
        return node;
    }
    void clear() {
        blocks_.clear();
        used_ = 0;
    }

  private:
    // The entry's compounds, found once: word choice tests them for every lookup of the terminal.
    void lay_out_compounds(recnode& node) {
        int n = 0;
        for (const char* p = node.attributes; *p != '\0' && *p != '|';)
            n += next_compound(p).count > 0 ? 1 : 0;
        auto* comps =
            reinterpret_cast<lex_comp*>(allocate(sizeof(lex_comp) * static_cast<std::size_t>(n)));
        int i = 0;
        for (const char* p = node.attributes; *p != '\0' && *p != '|' && i < n;) {
            const lex_comp c = next_compound(p);
            if (c.count > 0) new (&comps[i++]) lex_comp(c);
        }
        node.compounds = comps;
        node.ncompounds = n;
    }

    // Room for a header of `head` bytes and the terminated text; returns where the text goes.
    char* place(std::string_view s, std::size_t head) {
        char* p = allocate(head + s.size() + 1) + head;
        std::copy(s.begin(), s.end(), p);
        p[s.size()] = '\0';
        return p;
    }

    char* allocate(std::size_t bytes) {
        constexpr std::size_t kAlign = alignof(recnode);
        static_assert(alignof(lex_comp) <= kAlign);
        const std::size_t need = (bytes + kAlign - 1) / kAlign * kAlign;
        if (blocks_.empty() || kBlock - used_ < need) {
            blocks_.push_back(std::make_unique<char[]>(std::max(kBlock, need)));
            used_ = 0;
        }
        char* p = blocks_.back().get() + used_;
        used_ += need;
        return p;
    }

    static constexpr std::size_t kBlock = 256 * 1024;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t used_ = 0;
};

TextArena lexicon_text;
TextArena restored_text;

// Errors of the file being read: all are counted, the first kMaxReports are reported.
void lex_err(std::string_view a, std::string_view b = "", std::string_view c = "") {
    ++lex_errors;
    if (lex_errors <= kMaxReports) q_err(a, b, c);
}

using Compound = FixStr<kCompoundLen>;

int first_type(const Compound& c) {
    const std::string_view v = c.view();
    const std::size_t at = v.find(kAttrCode);
    return at == std::string_view::npos || at + 1 >= v.size()
               ? 0
               : static_cast<unsigned char>(v[at + 1]);
}

// One entry while its line is read.
class EntryBuilder {
  public:
    int read_line();  // as readentry: 1 when accepted; the stored text is then in text()
    std::string_view text() const { return {buf_.data(), len_}; }
    const std::string& terminal() const { return terminal_; }
    bool taken() const { return taken_; }

  private:
    void put(char c) {
        if (len_ < static_cast<std::size_t>(kEntryLen)) {
            buf_[len_++] = c;
        } else {
            overflow_ = true;
        }
    }
    void put(std::string_view s) {
        for (char c : s)
            put(c);
    }
    void reject(std::string_view a, std::string_view b = "") {
        lex_err(a, b);
        rejected_ = true;
    }
    void token(int tok);
    void attribute_token(int tok);
    void weight_token(int tok);
    void close_compound();
    void close_field(bool by_bar);
    bool finish();

    std::array<char, kEntryLen + 1> buf_{};
    std::size_t len_ = 0;
    bool overflow_ = false;
    bool rejected_ = false;
    bool taken_ = false;  // some token was met: the line was not empty
    int field_ = 1;
    int separators_ = 0;
    bool ends_with_bar_ = false;
    std::string terminal_;
    std::vector<Compound> compounds_;
    Compound compound_;
    int weight_ = -1;
    bool weight_seen_ = false;
};

void EntryBuilder::close_compound() {
    // Only a compound that names some attribute is kept; stray signs or dots alone say nothing.
    if (compound_.view().find(kAttrCode) != std::string_view::npos) {
        if (static_cast<int>(compounds_.size()) >= kEntryCompounds) {
            reject("Too many attribute compounds in entry; at most", "25");
        } else {
            compounds_.push_back(compound_);
        }
    }
    compound_.clear();
}

void EntryBuilder::close_field(bool by_bar) {
    if (field_ == 3) {
        close_compound();
        std::stable_sort(
            compounds_.begin(), compounds_.end(),
            [](const Compound& a, const Compound& b) { return first_type(a) < first_type(b); });
        for (const Compound& c : compounds_) {
            put(c.view());
            put(' ');
        }
    } else if (field_ == 4) {
        if (weight_ >= 0 || by_bar) {
            int w = weight_ >= 0 ? weight_ : 1;
            std::array<char, 4> digits{};
            for (int k = 3; k >= 0; --k, w /= 10)
                digits[static_cast<std::size_t>(k)] = static_cast<char>('0' + w % 10);
            put(std::string_view(digits.data(), digits.size()));
        }
    }
}

void EntryBuilder::attribute_token(int tok) {
    switch (tok) {
        case kTokIdent: {
            if (lookup_attr(identbuf.data()) == 0) {
                reject("Unknown attribute", identbuf.data());
                return;
            }
            const std::array<char, 3> seg = {
                kAttrCode, static_cast<char>(att_class),
                static_cast<char>(att_value < 0 ? kTypeOnly : static_cast<unsigned>(att_value))};
            if (!compound_.append(std::string_view(seg.data(), seg.size()))) {
                reject("Attribute compound too long; at most 39 coded characters", "");
            }
            return;
        }
        case '.':
        case '<':
        case '>':
            if (!compound_.push_back(static_cast<char>(tok))) {
                reject("Attribute compound too long; at most 39 coded characters", "");
            }
            return;
        case ',':
            close_compound();
            return;
        default:
            lex_err("Unexpected character in attribute field", tok2str(tok));
            return;
    }
}

void EntryBuilder::weight_token(int tok) {
    if (tok != kTokIdent || weight_seen_) return;
    weight_seen_ = true;
    const char* p = identbuf.data();
    if (*p < '0' || *p > '9') return;
    int w = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        w = std::min(9999, w * 10 + (*p - '0'));
    weight_ = w;
}

void EntryBuilder::token(int tok) {
    if (tok == '|') {
        close_field(true);
        put('|');
        ++separators_;
        ends_with_bar_ = true;
        ++field_;
        return;
    }
    ends_with_bar_ = false;
    if (field_ == 3) {
        attribute_token(tok);
        return;
    }
    if (field_ == 4) {
        weight_token(tok);
        return;
    }
    if (tok == kTokIdent) {
        put(identbuf.data());
        if (field_ == 2 && terminal_.empty()) terminal_ = identbuf.data();
    } else {
        // Punctuation and quoted characters are their own codes; so are keywords, which are
        // kept as their one-byte codes.
        put(static_cast<char>(tok));
    }
    if (field_ == 1) file_position.assign_cut(text().substr(0, kIdentMax));
}

bool EntryBuilder::finish() {
    if (field_ == 3 || field_ == 4) close_field(false);
    if (overflow_) {
        lex_err("Entry is too long");
        return false;
    }
    if (separators_ < 2) {
        lex_err("Entry has fewer than two complete fields");
        return false;
    }
    while (separators_ < kMinSeparators) {
        put('|');
        ++separators_;
        ends_with_bar_ = true;
    }
    if (!ends_with_bar_) put('|');
    if (overflow_) {
        lex_err("Entry is too long");
        return false;
    }
    if (len_ >= 2 && buf_[0] == '\\' && buf_[1] == 'r') {
        std::copy(buf_.begin() + 2, buf_.begin() + static_cast<long>(len_), buf_.begin());
        len_ -= 2;
    }
    if (lookup_terminal(terminal_) < 0) {
        lex_err("Terminal not found:", terminal_);
        return false;
    }
    return true;
}

int EntryBuilder::read_line() {
    file_position.clear();
    for (int tok = q_peep(); tok != kTokEof; tok = q_peep()) {
        if (tok == kTokLineEnd) {
            q_next();
            break;
        }
        taken_ = true;
        if (!rejected_) token(tok);
        q_next();
    }
    if (!taken_ || rejected_) return 0;
    return finish() ? 1 : 0;
}

int link_entry(const EntryBuilder& e) {
    const int t = lookup_terminal(e.terminal());
    if (t < 0 || t >= dictterm) {
        lex_err("Terminal not found:", e.terminal());
        return 0;
    }
    recnode* node = lexicon_text.store_entry(e.text());
    recnode*& head = dictionary[static_cast<std::size_t>(t)];
    node->previous = head;
    head = node;
    return 1;
}

int restore_entry(const EntryBuilder& e, bool accepted) {
    if (restored_count >= kRestoredEntries) {
        lex_err("Too many restored lexical entries; at most", "1024");
        return 0;
    }
    recnode& node = restoredlexarray[static_cast<std::size_t>(restored_count++)];
    node.recordptr = accepted ? restored_text.store(e.text()) : nullptr;
    node.attributes = getfieldptr(node.recordptr, 3);
    node.weight = getfieldptr(node.recordptr, 4);
    node.previous = lastrestored;
    lastrestored = &node;
    return accepted ? 1 : 0;
}

}  // namespace

void initdict() {
    clearlexicon();
    dictionary.assign(static_cast<std::size_t>(terminal_count), nullptr);
    dictterm = terminal_count;
}

int readentry(int linktolexicon) {
    EntryBuilder e;
    const int accepted = e.read_line();
    try {
        if (linktolexicon == 1) return accepted == 1 ? link_entry(e) : 0;
        return e.taken() ? restore_entry(e, accepted == 1) : 0;
    } catch (const std::bad_alloc&) {
        lex_err("Inadequate working space");
        return 0;
    }
}

void readdict(const char* filename) {
    file_operation = "lexicon input";
    q_stat = 0;
    lex_words = 0;
    lex_errors = 0;
    if (dictterm < 0) initdict();
    if (!openfile(filename, 1)) {
        q_err("unable to open file: ", filename != nullptr ? filename : "", "");
    } else {
        while (q_peep() != kTokEof) {
            if (readentry(1) != 1) continue;
            if (++lex_words % 100 == 0) {
                progress("Lexical Entries Processed: " + std::to_string(lex_words));
            }
        }
    }
    file_position.clear();
    q_msg("Total Words: " + std::to_string(lex_words) +
          ". Number of Errors: " + std::to_string(lex_errors));
    file_operation.clear();
}

void clearlexicon() {
    ++lexicon_serial;
    dictionary.clear();
    dictterm = -1;
    lexicon_text.clear();
}

void clearrecoveredlexicon() {
    // Only the slots a reading filled hold anything; every generation clears them.
    for (int i = 0; i < restored_count; ++i)
        restoredlexarray[static_cast<std::size_t>(i)] = recnode{};
    lastrestored = nullptr;
    restored_count = 0;
    restored_text.clear();
    lex_errors = 0;  // a reading of stored trees reports its own first errors
}

void printlex() {
    for (int t = 0; t < dictterm; ++t) {
        for (const recnode* r = dictionary[static_cast<std::size_t>(t)]; r != nullptr;
             r = r->previous) {
            q_msg(printable_entry(r->recordptr));
        }
    }
}

namespace {

void put_printable(std::string& out, char ch) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 32) {
        out += '{';
        out += std::to_string(c);
        out += '}';
    } else {
        out += ch;
    }
}

// Field 3 written out: each compound's segments by name, compounds separated by ", ".
const char* printable_attributes(std::string& out, const char* p) {
    bool first = true;
    while (*p != '\0' && *p != '|') {
        if (*p == ' ') {
            ++p;
            continue;
        }
        if (!first) out += ", ";
        first = false;
        while (*p != '\0' && *p != '|' && *p != ' ') {
            if (*p == kAttrCode && p[1] != '\0' && p[2] != '\0') {
                const auto type = static_cast<unsigned char>(p[1]);
                const auto value = static_cast<unsigned char>(p[2]);
                out += att_get_name(type, value == kTypeOnly ? -1 : value);
                p += 3;
            } else {
                put_printable(out, *p++);
            }
        }
    }
    return p;
}

}  // namespace

std::string printable_entry(const char* record) {
    std::string out;
    if (record == nullptr) return out;
    const char* p = record;
    for (int field = 1; *p != '\0'; ++field) {
        if (field == 3) {
            p = printable_attributes(out, p);
        } else {
            while (*p != '\0' && *p != '|')
                put_printable(out, *p++);
        }
        if (*p == '|') out += *p++;
    }
    return out;
}

lex_comp next_compound(const char*& p) {
    lex_comp c{p, 0, 0};
    while (*p != '\0' && *p != '|' && *p != ' ') {
        if (*p == kAttrCode) {
            if (c.count++ == 0 && p[1] != '\0') c.first_type = static_cast<unsigned char>(p[1]);
            for (int k = 0; k < 3 && *p != '\0'; ++k)
                ++p;
        } else {
            ++p;
        }
    }
    if (*p == ' ') ++p;
    return c;
}

const char* getfieldptr(const char* record, int field) {
    if (record == nullptr) return "";
    const char* p = record;
    for (int f = 1; f < field; ++f) {
        if (f == 3) {
            while (*p != '\0' && *p != '|') {
                if (*p == kAttrCode) {
                    for (int k = 0; k < 3 && *p != '\0'; ++k)
                        ++p;
                } else {
                    ++p;
                }
            }
        } else {
            p = strchrnul(p, '|');
        }
        if (*p == '\0') return p;
        ++p;
    }
    return p;
}

char* getfieldptr(char* record, int field) {
    if (record == nullptr) return nullptr;
    return record + (getfieldptr(static_cast<const char*>(record), field) - record);
}

int entry_weight(const char* record) {
    return weight_digits(getfieldptr(record, 4));
}

int weight_digits(const char* p) {
    int w = 0;
    for (int k = 0; k < 4 && *p >= '0' && *p <= '9'; ++k, ++p)
        w = w * 10 + (*p - '0');
    return w;
}

void reset_lex_read() {
    clearlexicon();
    clearrecoveredlexicon();
    lex_words = 0;
    lex_errors = 0;
}
