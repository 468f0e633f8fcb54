#include "print_procs.hpp"

#include <cstring>

#include "attr_data.hpp"
#include "attr_fns.hpp"
#include "dxio.hpp"
#include "input_base.hpp"
#include "lex_read.hpp"
#include "scrout.hpp"
#include "syn_globals.hpp"
#include "syn_misc.hpp"
#include "sysutils.hpp"
#include "termutils.hpp"
#include "uninstall.hpp"

int xmit = 0;
FixStr<kMaxPath> signature;
int siglen = 0;
std::array<std::vector<std::string>, kRecoverRows> recoveredstrings;
int nodetorecover = 0;
int nodecounter = 0;

namespace {

constexpr const char* kCause = "Unable to recover tree. Cause:";
constexpr int kGlobalPreselectionKind = 13;
constexpr int kGlobalPreselectionBit = 4096;

// ---------------------------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------------------------

// State of the store in progress.
struct StoreRun {
    bool to_driver = false;  // decided once: a driver that goes away ends the output
    bool stopped = false;    // the core file is full or the driver went away
    bool full = false;
    long left_out = 0;           // nodes whose path would exceed kMaxPath
    bool unrecoverable = false;  // a full-tree path too long for RECOVER was written
    LINE* first = nullptr;       // the first line written into the core file
    int first_number = 0;
};
StoreRun run;

void emit(std::string_view line) {
    if (run.stopped) return;
    if (run.to_driver) {
        if (progstate == 1) {
            transmit(line);
        } else {
            run.stopped = true;  // the driver went away: the rest has nowhere to go
        }
        return;
    }
    if (!q_line(corenum, kObjText, line)) {
        run.stopped = true;
        run.full = true;
    } else if (run.first == nullptr) {
        run.first = cur().header->up;
        run.first_number = cur().lncount;
    }
}

// The lines are read from the top: the window and the cursor go to the first one written (each
// new line had pulled them down to itself).
void show_first_line() {
    if (run.first == nullptr) return;
    COREFILE& cf = cur();
    cf.lnptr = run.first;
    cf.disln = run.first;
    cf.curline = run.first_number;
    cf.curcol = 1;
    redisplay = 1;
}

long count_nodes(const treenode* n) {
    long count = 0;
    for (; n != nullptr; n = n->sibling)
        count += 1 + count_nodes(n->son);
    return count;
}

// Steps into a first daughter or a next sister: false (and the nodes from `subtree` on, with
// their sisters, counted as left out) when the path would grow beyond kMaxPath.
bool push_step(char step, const treenode* subtree) {
    if (siglen >= kMaxPath) {
        run.left_out += count_nodes(subtree);
        return false;
    }
    signature.push_back(step);
    ++siglen;
    return true;
}

void pop_step() {
    if (siglen == 0) return;
    --siglen;
    signature.assign_cut(signature.view().substr(0, static_cast<std::size_t>(siglen)));
}

void leaves_of(const treenode* n, std::vector<const treenode*>& out) {
    for (; n != nullptr; n = n->sibling) {
        if (n->son == nullptr) {
            out.push_back(n);
        } else {
            leaves_of(n->son, out);
        }
    }
}

// A coded attribute field (up to its bar) with every segment by name and every blank as `blank`;
// `named` tells whether any segment was there. Other characters (signs, dots) are kept, or only
// the dots when `signs` is false.
std::string coded_field_names(const char* field3, std::string_view blank, bool* named = nullptr,
                              bool signs = true) {
    std::string out;
    if (named != nullptr) *named = false;
    for (const char* p = field3; *p != '\0' && *p != '|';) {
        if (*p == kAttrCode && p[1] != '\0' && p[2] != '\0') {
            const int type = static_cast<unsigned char>(p[1]);
            const int value = static_cast<unsigned char>(p[2]);
            out += att_get_name(type, value == kTypeOnly ? -1 : value);
            if (named != nullptr) *named = true;
            p += 3;
        } else if (*p == ' ') {
            out += blank;
            ++p;
        } else {
            if (signs || *p == '.') out += *p;
            ++p;
        }
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Reading back
// ---------------------------------------------------------------------------------------------

// One line of the lexicon section: an entry (its restored slot, null when refused), an entry
// that failed ("*terminal not found", "*no lexical entry found for") or an unused one.
struct LexLine {
    const char* text = nullptr;
    int error = 0;
    std::string class_;
};

struct Recovery {
    std::vector<LexLine> lex;
    std::array<bool, kRecoverRows> seen{};
    std::array<int, kRecoverRows> kind{};  // 1 full tree, 2 leaf list
};

// Refuses the file: the reading stops and what was cleared stays cleared.
bool refuse(std::string_view why, std::string_view what = "") {
    q_err(kCause, why, what);
    return false;
}

void skip_line() {
    while (q_peep() != kTokEof && q_peep() != kTokLineEnd)
        q_next();
    if (q_peep() == kTokLineEnd) q_next();
}

// The text a keyword token stood for, so that a name that happens to be one survives.
std::string keyword_text(int tok) {
    for (const tokenelement& t : tokentable) {
        if (t.token == tok && t.tokenword[0] != '\0') return t.tokenword;
    }
    return std::string(1, static_cast<char>(tok));
}

bool is_keyword(int tok) {
    return tok == kTokInherit || tok == kTokChoose || tok == kTokRule ||
           tok == kTokTransformation || tok == kTokPriority || tok == kTokMakes || tok == kTokIlt ||
           tok == kTokPre || tok == kTokSelect || tok == kTokIs;
}

// The rest of a "*..." lexicon line: words joined by one blank.
std::string star_line_text() {
    std::string text;
    q_next();  // the '*'
    for (int tok = q_peep(); tok != kTokEof && tok != kTokLineEnd; tok = q_peep()) {
        if (tok == kTokIdent) {
            if (!text.empty()) text += ' ';
            text += identbuf.data();
        } else {
            text += static_cast<char>(tok);
        }
        q_next();
    }
    if (q_peep() == kTokLineEnd) q_next();
    return text;
}

bool read_lexicon_line(Recovery& rec) {
    if (static_cast<int>(rec.lex.size()) >= kRecoverLines)
        return refuse("More than 1024 lines in the lexicon section.");
    LexLine line;
    if (q_peep() == '*') {
        const std::string text = star_line_text();
        constexpr std::string_view kNoTerminal = "terminal not found ";
        constexpr std::string_view kNoEntry = "no lexical entry found for ";
        if (text.starts_with(kNoTerminal)) {
            line.error = 1;
            line.class_ = text.substr(kNoTerminal.size());
        } else if (text.starts_with(kNoEntry)) {
            line.error = 3;
            line.class_ = text.substr(kNoEntry.size());
        }
    } else {
        const int before = restored_count;
        readentry(0);
        if (restored_count > before)
            line.text = restoredlexarray[static_cast<std::size_t>(restored_count - 1)].recordptr;
    }
    rec.lex.push_back(std::move(line));
    return true;
}

int row_of(long number) {
    if (number == kOldRootNumber) return kOldRootRow;
    return number >= 0 && number < kRoots ? static_cast<int>(number) : -1;
}

treenode*& top_of(int row) {
    if (row == 0) return root;
    if (row == kOldRootRow) return oldroot;
    return rootPtrs[static_cast<std::size_t>(row)];
}

const char* top_name(int row) {
    if (row == 0) return "ROOT";
    if (row == kOldRootRow) return "OLDROOT";
    return tree_roots[static_cast<std::size_t>(row)].name;
}

// "$t n" or "$l n": the section's number, its top, and its lines.
bool read_section(Recovery& rec, int nodetype) {
    long number = -1;
    if (q_peep() == kTokIdent) {
        const char* p = identbuf.data();
        number = 0;
        for (; *p >= '0' && *p <= '9' && number <= kOldRootNumber; ++p)
            number = number * 10 + (*p - '0');
        if (*p != '\0' || p == identbuf.data()) number = -1;
    }
    if (number < 0) return refuse("Section without a tree number.");
    const int row = row_of(number);
    if (row < 0) return refuse("No such tree number:", std::to_string(number));
    if (rec.seen[static_cast<std::size_t>(row)])
        return refuse("Tree given twice:", std::to_string(number));
    rec.seen[static_cast<std::size_t>(row)] = true;
    rec.kind[static_cast<std::size_t>(row)] = nodetype;
    skip_line();
    nodetorecover = static_cast<int>(number);
    nodecounter = 0;
    treenode*& top = top_of(row);
    if (top == nullptr) top = makenode(top_name(row));
    return xrestorenode(nodetype);
}

// Reads the file up to its end or a '%'. False when it was refused.
bool read_stored(Recovery& rec) {
    bool lexicon = false;
    for (int tok = q_peep(); tok != kTokEof && tok != kTokPercent; tok = q_peep()) {
        if (tok == '$') {
            q_next();
            if (q_peep() != kTokIdent) return refuse("Invalid identifier encountered.");
            const std::string id = identbuf.data();
            q_next();
            lexicon = false;
            if (id == "u" || id == "L") {
                skip_line();
                lexicon = id == "L";
            } else if (id == "t" || id == "l") {
                if (!read_section(rec, id == "t" ? 1 : 2)) return false;
            } else {
                return refuse("Invalid identifier encountered.", id);
            }
        } else if (lexicon && tok != kTokLineEnd) {
            if (!read_lexicon_line(rec)) return false;
        } else {
            q_next();
        }
    }
    return true;
}

// A node line in its parts: the `left` fields before the word, each closed by a bar; the word
// with its quotes; and the lookup field, the last one. The word is what lies between, so that a
// bar in it cannot shift the fields around it.
struct NodeLine {
    std::vector<std::string_view> left;
    std::string_view word;
    std::string_view lookup;
};

NodeLine split_node_line(std::string_view line, std::size_t left_fields) {
    NodeLine out;
    std::size_t pos = 0;
    while (out.left.size() < left_fields && pos <= line.size()) {
        const std::size_t bar = line.find('|', pos);
        if (bar == std::string_view::npos) {
            out.left.push_back(line.substr(pos));
            pos = line.size() + 1;
            break;
        }
        out.left.push_back(line.substr(pos, bar - pos));
        pos = bar + 1;
    }
    std::string_view rest = pos <= line.size() ? line.substr(pos) : std::string_view();
    if (rest.ends_with('|')) rest.remove_suffix(1);
    const std::size_t last = rest.rfind('|');
    out.word = last == std::string_view::npos ? rest : rest.substr(0, last);
    if (last != std::string_view::npos) out.lookup = rest.substr(last + 1);
    return out;
}

std::string_view field(const std::vector<std::string_view>& f, std::size_t i) {
    return i < f.size() ? f[i] : std::string_view();
}

// Names are what a syntax file can give a node: identifier characters, or none.
bool valid_name(std::string_view name) {
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c != '%' && (charkind[u] & kWordChar) == 0) return false;
    }
    return true;
}

// Compounds written by print_attr_list ("sg.third, nom", blanks dropped by the reader).
void parse_attributes(std::string_view text, attr_list& into, char separator) {
    const std::string s(text);
    const char* r = s.c_str();
    while (*r != '\0') {
        r = text_to_comp_array(r, 0);
        if (attr_index > 0) append_attr(into, make_comp_attr());
        while (*r != '\0' && *r != separator)
            ++r;
        if (*r == separator) ++r;
    }
}

// The data of a node line after its name: attributes, word and lookup (the indirection count
// only tells how many were followed).
bool fill_node(treenode* n, const NodeLine& line, std::string_view attributes) {
    parse_attributes(attributes, n->attributes, ',');
    // A word is written in quotes; one with a quote of its own could not be read back alike.
    const std::string_view word = line.word;
    if (!word.empty()) {
        if (word.size() < 2 || word.front() != '"' || word.back() != '"' ||
            word.substr(1, word.size() - 2).find('"') != std::string_view::npos)
            return refuse("Invalid word:", word);
        n->morphed_word = word.substr(1, word.size() - 2);
    }
    const std::string_view lex = line.lookup;
    if (lex.empty()) return true;
    if (!lex.starts_with("LEX_") || lex.size() == 4 || lex.size() > 8)
        return refuse("Invalid lookup field:", lex);
    int i = 0;
    for (char c : lex.substr(4)) {
        if (c < '0' || c > '9') return refuse("Invalid lookup field:", lex);
        i = i * 10 + (c - '0');
    }
    if (i >= d_table_count) return refuse("Lookup number out of range:", lex);
    n->index = i;
    n->dictionary = &dict_table[static_cast<std::size_t>(i)];
    return true;
}

// A new node named as the line says, or a refusal of a name no syntax could give.
treenode* new_node(std::string_view name) {
    if (!valid_name(name)) {
        refuse("Invalid name:", name);
        return nullptr;
    }
    return makenode(std::string(name).c_str());
}

bool rebuild_tree_line(treenode* top, std::string_view text) {
    const NodeLine line = split_node_line(text, 6);  // TREE, path, marker, name, attributes, count
    const std::string_view path = field(line.left, 1);
    const std::string_view name = field(line.left, 3);
    const std::string_view attributes = field(line.left, 4);
    if (path.size() > static_cast<std::size_t>(kRecoverablePath))
        return refuse("Path too long:", path);
    if (path == "N")
        return valid_name(name) ? fill_node(top, line, attributes) : refuse("Invalid name:", name);
    if (path.empty() || path.find_first_not_of("SR") != std::string_view::npos)
        return refuse("Invalid path:", path);
    if (path.front() == 'R') return refuse("The top of a tree has no sister:", path);
    treenode* at = top;
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
        at = path[i] == 'S' ? at->son : at->sibling;
        if (at == nullptr) return refuse("Path leads to no node:", path);
    }
    treenode*& slot = path.back() == 'S' ? at->son : at->sibling;
    if (slot != nullptr) return refuse("Path given twice:", path);
    slot = new_node(name);
    return slot != nullptr && fill_node(slot, line, attributes);
}

bool rebuild_list_line(treenode* top, treenode*& previous, std::string_view text) {
    const NodeLine line = split_node_line(text, 4);  // LIST, name, attributes, count
    treenode* n = new_node(field(line.left, 1));
    if (n == nullptr) return false;
    if (previous == nullptr) {
        top->son = n;
        top->right = n;
    } else {
        previous->sibling = n;
        previous->right = n;
        n->left = previous;
    }
    previous = n;
    return fill_node(n, line, field(line.left, 2));
}

void rebuild_lookups(const Recovery& rec) {
    file_position.assign_cut("lexicon");
    for (std::size_t i = 0; i < rec.lex.size(); ++i) {
        t_dict_lookup& d = dict_table[i];
        clear_lookup(d);
        const LexLine& line = rec.lex[i];
        if (line.text != nullptr) {
            d.dictionary = line.text;
            d.pointed_at = 1;
            const char* f2 = getfieldptr(line.text, 2);
            d.class_.assign(f2, std::strcspn(f2, "|"));
            parse_attributes(coded_field_names(getfieldptr(line.text, 3), " ", nullptr, false),
                             d.attributes, ' ');
        } else if (line.error != 0) {
            d.error = line.error;
            d.class_ = line.class_;
            d.pointed_at = 1;
        }
    }
    d_table_count = static_cast<int>(rec.lex.size());
}

bool rebuild_trees(const Recovery& rec) {
    for (int row = 0; row < kRecoverRows; ++row) {
        if (!rec.seen[static_cast<std::size_t>(row)]) continue;
        treenode* top = top_of(row);
        treenode* previous = nullptr;
        file_position.assign_cut("tree " +
                                 std::to_string(row == kOldRootRow ? kOldRootNumber : row));
        const bool tree = rec.kind[static_cast<std::size_t>(row)] == 1;
        for (const std::string& line : recoveredstrings[static_cast<std::size_t>(row)]) {
            const bool ok =
                tree ? rebuild_tree_line(top, line) : rebuild_list_line(top, previous, line);
            if (!ok) return false;
        }
        if (tree) thread(top);
    }
    return true;
}

void extract_sentences() {
    for (int i = 0; i < kRoots; ++i) {
        treenode* t = i == 0 ? root : rootPtrs[static_cast<std::size_t>(i)];
        if (t == nullptr) continue;
        leaf_words(t);
        postmorph();
        genSentences[static_cast<std::size_t>(i)] = std::make_unique<std::string>(sentbuf2.view());
    }
}

// Everything a generation or a recovery leaves. Recovered lookups are numbered from 0, so the
// global preselection, whose words held the first numbers, goes too.
void clear_results() {
    if ((installed & kGlobalPreselectionBit) != 0) uninstall_n(kGlobalPreselectionKind);
    clear_SE_PRE(1);
    for (auto& row : recoveredstrings)
        row.clear();
    nodecounter = 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------------------------

void transmit(std::string_view line) {
    if (xmit == 1 && progstate == 1 && driver_fd() >= 0) {
        progsend(std::string(line) + "\n");
        return;
    }
    q_line(corenum, kObjText, line);
}

std::string storepath(int style) {
    if (style == 1) return std::string(siglen == 0 ? "N" : signature.view()) + "|G|";
    if (style == 2) {
        std::string indent;
        for (char c : signature.view()) {
            if (c == 'S') indent += "  ";
        }
        return indent;
    }
    return {};
}

void storenode(const treenode* node, int style) {
    if (node == nullptr) return;
    std::string line = storepath(style);
    line += node->name;
    line += '|';
    line += print_attr_list(node->attributes.get());
    line += '|';
    line += std::to_string(indirect_count(node->indirections.get()));
    line += "|\"";
    line += node->morphed_word;
    line += "\"|";
    if (node->dictionary != nullptr) line += "LEX_" + std::to_string(node->index);
    line += '|';
    if (style == 1 && siglen > kRecoverablePath) run.unrecoverable = true;
    emit(line);
}

void storetree(const treenode* node, int style) {
    if (node == nullptr || run.stopped) return;
    storenode(node, style);
    const bool top = siglen == 0;
    if (node->son != nullptr && push_step('S', node->son)) {
        storetree(node->son, style);
        pop_step();
    }
    // The top's own sisters are not part of its tree.
    if (!top && node->sibling != nullptr && push_step('R', node->sibling)) {
        storetree(node->sibling, style);
        pop_step();
    }
}

void storeleafnodes(const treenode* node) {
    if (node == nullptr) return;
    std::vector<const treenode*> leaves;
    if (node->son == nullptr) {
        leaves.push_back(node);
    } else {
        leaves_of(node->son, leaves);
    }
    for (const treenode* leaf : leaves)
        storenode(leaf, 0);
}

void storesingle(const treenode* node, int number, int style) {
    if (node == nullptr) return;
    emit((style == 0 ? "$l " : "$t ") + std::to_string(number));
    signature.clear();
    siglen = 0;
    if (style == 0) {
        storeleafnodes(node);
    } else {
        storetree(node, style);
    }
}

std::string outputrecord(const char* record) {
    if (record == nullptr) return {};
    const char* f3 = getfieldptr(record, 3);
    std::string out(record, static_cast<std::size_t>(f3 - record));
    bool named = false;
    std::string names = coded_field_names(f3, ", ", &named);
    // Every compound was followed by a blank, now ", ", which the last one does not need.
    if (named && names.size() >= 3) names.resize(names.size() - 2);
    out += names;
    out += f3 + std::strcspn(f3, "|");
    return out;
}

void storelexicon() {
    emit("$L");
    for (int i = 0; i < d_table_count && !run.stopped; ++i) {
        const t_dict_lookup& d = dict_table[static_cast<std::size_t>(i)];
        const std::string label = "{LEX_" + std::to_string(i) + "} ";
        if (d.error == 2) continue;  // nothing to say, and a line would shift no numbers
        if (d.error == 1) {
            emit(label + "*terminal not found " + d.class_);
        } else if (d.error == 3) {
            emit(label + "*no lexical entry found for " + d.class_);
        } else if (d.dictionary == nullptr) {
            emit(label + "*unused");
        } else {
            emit(label + outputrecord(d.dictionary));
        }
    }
}

void store(int style, int destination) {
    xmit = destination;
    run = StoreRun{};
    run.to_driver = destination == 1 && progstate == 1 && driver_fd() >= 0;
    emit("$u");
    bool table = false;
    for (int i = 1; i < kRoots; ++i)
        table = table || rootPtrs[static_cast<std::size_t>(i)] != nullptr;
    if (!table) {
        storesingle(oldroot, kOldRootNumber, style);
        storesingle(root, 0, style);
    } else {
        for (int i = 1; i < kRoots; ++i)
            storesingle(rootPtrs[static_cast<std::size_t>(i)], i, style);
    }
    storelexicon();
    emit("%");
    if (style == 1 && destination == 1 && run.to_driver) emit("=");
    signature.clear();
    siglen = 0;
    show_first_line();
    if (run.left_out > 0) {
        q_msg("Paths longer than 99 steps: " + std::to_string(run.left_out) + " nodes not stored");
    }
    if (run.unrecoverable) q_msg("Paths longer than 38 steps stored: RECOVER cannot read them");
    if (run.full) diserr("files full; trees not completely stored");
}

// ---------------------------------------------------------------------------------------------
// Reading back
// ---------------------------------------------------------------------------------------------

bool xrestorenode(int nodetype) {
    const int row = nodetorecover == kOldRootNumber ? kOldRootRow : nodetorecover;
    if (row < 0 || row >= kRecoverRows) return refuse("No such tree number:");
    std::vector<std::string>& lines = recoveredstrings[static_cast<std::size_t>(row)];
    const std::string head = nodetype == 1 ? "TREE|" : "LIST|";
    std::string line;
    bool quoted = false;
    const auto keep = [&]() {
        if (line.empty()) return true;
        if (nodecounter >= kRecoverLines)
            return refuse("More than 1024 lines in tree:", std::to_string(nodetorecover));
        lines.push_back(head + line);
        ++nodecounter;
        line.clear();
        return true;
    };
    for (int tok = q_peep(); tok != kTokEof; tok = q_peep()) {
        if (!quoted && line.empty() && (tok == '$' || tok == kTokPercent)) break;
        if (tok == kTokLineEnd) {
            q_next();
            quoted = false;
            if (!keep()) return false;
            continue;
        }
        if (tok == kTokIdent) {
            // Refused at once: the rest of a path the reader cut would draw a report a letter.
            if (nodetype == 1 && line.empty() && std::strlen(identbuf.data()) > kRecoverablePath)
                return refuse("Path too long:", identbuf.data());
            line += identbuf.data();
        } else if (tok == kTokQuote) {
            line += '"';
            quoted = !quoted;
        } else if (is_keyword(tok)) {
            line += keyword_text(tok);
        } else {
            line += static_cast<char>(tok);
        }
        q_next();
    }
    return keep();
}

void restorenode(const char* filename) {
    const std::string name = filename != nullptr ? filename : "";
    if (name.empty()) {
        q_msg(std::string(kCause) + " filename not specified.");
        return;
    }
    file_operation = "stored tree input";
    file_position.clear();
    if (!openfile(name.c_str(), 1)) {
        file_operation.clear();
        q_msg(std::string(kCause) + " filename [" + name +
              "] does not exist or insufficient access");
        return;
    }
    clear_results();
    Recovery rec;
    bool ok = read_stored(rec);
    if (ok) {
        rebuild_lookups(rec);
        ok = rebuild_trees(rec);
    }
    if (ok) {
        extract_sentences();
    } else {
        clear_results();
    }
    signature.clear();
    siglen = 0;
    file_operation.clear();
    file_position.clear();
}

void talk(int rootnumber) {
    if (progstate != 1 || driver_fd() < 0) return;
    // A sentence that was not generated is sent empty: the driver reads up to END either way
    // and is never left waiting for an answer that does not come.
    const bool exists = rootnumber >= 0 && rootnumber < kRoots &&
                        genSentences[static_cast<std::size_t>(rootnumber)];
    const std::string sentence =
        exists ? *genSentences[static_cast<std::size_t>(rootnumber)] : std::string();
    progsend("START\n" + sentence + "\nEND\n");
}

int there_has_been_no_generation() {
    if (root != nullptr) return 0;
    for (const treenode* t : rootPtrs) {
        if (t != nullptr) return 0;
    }
    return 1;
}

void reset_print_procs() {
    xmit = 0;
    signature.clear();
    siglen = 0;
    for (auto& row : recoveredstrings)
        row.clear();
    nodetorecover = 0;
    nodecounter = 0;
    run = StoreRun{};
}
