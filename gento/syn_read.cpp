#include "syn_read.hpp"

#include <array>
#include <new>
#include <string_view>
#include <vector>

#include "attr_data.hpp"
#include "input_base.hpp"
#include "syn_builtIn.hpp"
#include "termutils.hpp"

int synstat = 0;
int userstat = 0;

namespace {

// Reader contexts: which construct is being read.
constexpr int kCfGuard = 1;
constexpr int kCfRhs = 2;
constexpr int kTrGuard = 3;
constexpr int kTrRhs = 4;
constexpr int kIndirection = 5;
constexpr int kClauseAttr = 6;
constexpr int kPreRhs = 7;
constexpr int kPreTag = 8;

constexpr char kRhsStart = 7;
constexpr char kTransName = 8;
constexpr char kInherit = 5;
constexpr char kChoose = 6;
constexpr char kPreCode = 14;
constexpr char kSelect = 16;
constexpr char kIsCode = 17;
constexpr char kVfCode = 19;
constexpr char kVariable = static_cast<char>(255);

// ---------------------------------------------------------------------------------------------
// Reader state: one reading at a time
// ---------------------------------------------------------------------------------------------
std::string cf_buf;   // the rule being read
std::string rulebuf;  // the alternative, guard or clause being read
std::string second;   // one compound attribute
std::array<std::string, kMaxVariables + 1> varnames;
int curvar = 1;
std::array<int, kMaxNesting + 1> posstack{};
std::array<int, kMaxNesting + 1> cvstack{};
std::array<int, kMaxNesting + 1> altcount{};
int nestlevel = 0;
int errorflag = 0;
bool toolong = false;  // the alternative outgrew rulebuf; the rule is being skipped
bool pretag = false;   // a '/' ends the compound attribute being read

void syn_err(std::string_view a, std::string_view b = "", std::string_view c = "") {
    q_err(a, b, c);
    errorflag = 1;
}

// Every byte of an alternative goes in through here, so rulebuf can never outgrow its limit.
void put(std::string_view s) {
    if (toolong) return;
    if (rulebuf.size() + s.size() > kRuleBufMax) {
        toolong = true;
        syn_err("Rule too long. ");
        return;
    }
    rulebuf += s;
}
void put(char c) {
    put(std::string_view(&c, 1));
}
void put_second(std::string_view s) {
    if (second.size() + s.size() > kRuleBufMax) {
        toolong = true;
        syn_err("Rule too long. ");
        return;
    }
    second += s;
}

std::string ident() {
    return std::string(identbuf.data());
}

// The numeric value of the identifier at hand: its leading decimal digits, 0 for none. Numbers
// that cannot be held in a coded byte count as 0, so they are reported as missing.
int ident_number() {
    long v = 0;
    for (const char* p = identbuf.data(); *p >= '0' && *p <= '9'; ++p) {
        v = v * 10 + (*p - '0');
        if (v > kMaxFieldNumber) return 0;
    }
    return static_cast<int>(v);
}

void skip_to_rule_end() {
    while (q_peep() != kTokPercent && q_peep() != kTokEof)
        q_next();
}

// ---------------------------------------------------------------------------------------------
// Compound attributes and attribute lists
// ---------------------------------------------------------------------------------------------
// Reads a compound attribute into `second`. Returns false when it had an error.
bool read_compattr(int context) {
    const int saved_error = errorflag;
    errorflag = 0;
    second.clear();
    bool expect_name = true;
    bool any = false;
    for (;;) {
        const int tok = q_peep();
        if (tok == kTokIdent) {
            const std::string name = ident();
            if (!expect_name) {
                if (pretag) break;
                syn_err("Unexpected identifier: " + name + " in attribute");
                q_next();
                continue;
            }
            int var = 0;
            if (context == kCfRhs) {
                for (int v = curvar - 1; v >= 1 && var == 0; --v) {
                    if (varnames[static_cast<std::size_t>(v)] == name) var = v;
                }
            }
            if (var != 0) {
                put_second(std::string{kVariable, static_cast<char>(var)});
            } else if (lookup_attr(name) != 0) {
                put_second(name);
            } else {
                syn_err("Unknown attribute", name);
            }
            q_next();
            expect_name = false;
            any = true;
        } else if (tok == '.' || tok == '/') {
            if (tok == '/' && pretag) break;
            if (tok == '/' && !any && second.empty()) {
                put_second("/");  // a leading '/' marks the first segment
                q_next();
                continue;
            }
            if (expect_name) {
                syn_err(std::string("Unexpected ") + tok2str(tok) + " in attribute");
                q_next();
                continue;
            }
            put_second(std::string(1, static_cast<char>(tok)));
            q_next();
            expect_name = true;
        } else {
            break;
        }
    }
    if (!any || expect_name) syn_err("Missing compound attribute.");
    const bool ok = errorflag == 0;
    errorflag |= saved_error;
    return ok;
}

void read_attrlist(int context) {
    put('[');
    q_next();
    for (;;) {
        const int tok = q_peep();
        if (tok == kTokIdent) {
            if (context == kTrRhs && ident_number() != 0) {
                put('!');
                put(static_cast<char>(ident_number()));
                q_next();
                if (q_peep() == '!') {
                    q_next();
                } else {
                    syn_err("! missing");
                }
            }
            read_compattr(context);
            put(second);
            if (q_peep() == kTokPre) {
                q_next();
                put(kPreCode);
                read_compattr(context);
                put(second);
            }
        } else if (tok == kTokPre) {
            q_next();
            put(kPreCode);
            read_compattr(context);
            put(second);
        } else if (tok == '!') {
            if (context == kIndirection) {
                put('!');
                q_next();
                read_compattr(context);
                put(second);
            } else {
                syn_err("! not permitted in this context.");
                q_next();
            }
        } else if (tok == '-') {
            if (context == kTrRhs) {
                put('-');
                q_next();
                read_compattr(context);
                put(second);
            } else {
                syn_err("MINUS not permitted in this context.");
                q_next();
            }
        } else if (tok == '/') {
            read_compattr(context);
            put(second);
        } else {
            break;
        }
        if (toolong) return;
        if (q_peep() == ',') {
            put(',');
            q_next();
        }
    }
    // Whoever interprets the list reads up to its ']', so a list without one is refused.
    if (q_peep() == ']') {
        put(']');
        q_next();
    } else {
        syn_err("Missing ] after attribute list: ", tok2str(q_peep()));
    }
}

// ---------------------------------------------------------------------------------------------
// Name chains and attachments
// ---------------------------------------------------------------------------------------------
void read_names() {
    std::string chain;
    std::string name = ident();
    q_next();
    while (q_peep() == ':') {
        q_next();
        if (q_peep() != kTokIdent) {
            syn_err(std::string("Colon followed by ") + tok2str(q_peep()));
            break;
        }
        chain += kTransName;
        chain += name;
        name = ident();
        q_next();
    }
    put(' ');
    put(name);
    put(chain);
}

bool ends_restriction(int tok) {
    switch (tok) {
        case kTokEof:
        case kTokPercent:
        case '(':
        case ')':
        case '/':
        case ';':
        case '<':
        case '>':
        case '[':
        case '|':
            return true;
        default:
            // Keyword codes would stand in the coded text as codes of their own.
            return tok < 32 && tok != kTokIdent;
    }
}

// A quoted literal, its quotes included. Control bytes would be taken for codes, so they are
// refused.
void read_literal() {
    put('"');
    q_next();
    for (;;) {
        const int tok = q_peep();
        if (tok == kTokEof) {
            syn_err("Unmatched Quote.");
            return;
        }
        q_next();
        if (tok == kTokQuote) break;
        if (tok < 32 || tok == 255) {
            syn_err("Improper token: ", tok2str(tok));
            continue;
        }
        put(static_cast<char>(tok));
    }
    put('"');
}

void read_restriction() {
    const int field = ident_number();
    q_next();
    if (field == 0) syn_err("Missing field number in restriction.");
    put('/');
    put(static_cast<char>(field == 0 ? 1 : field));
    if (q_peep() == '=') {
        q_next();
    } else {
        syn_err("Expecting equals ['='].");
    }
    put('=');
    bool expect_value = true;
    for (;;) {
        const int tok = q_peep();
        if (ends_restriction(tok) || toolong) break;
        if (tok == kTokIdent) {
            if (!expect_value) break;
            put(ident());
            q_next();
            expect_value = false;
        } else if (tok == kTokQuote) {
            if (!expect_value) break;
            read_literal();
            expect_value = false;
        } else if (tok == ',') {
            if (expect_value) {
                syn_err("Spurious comma in restriction.");
            } else {
                put(',');
                expect_value = true;
            }
            q_next();
        } else {
            put(static_cast<char>(tok));
            q_next();
        }
    }
}

void read_vf(int sign) {
    q_next();
    if (q_peep() != kTokIdent) {
        q_err("Improper token follows + or $: ", tok2str(q_peep()), "");
        return;
    }
    // Without digits there is no value: taking it for 0 would silently make the word
    // never chosen.
    if (identbuf[0] < '0' || identbuf[0] > '9') {
        q_err("Improper token follows + or $: ", tok2str(q_peep()), "");
        q_next();
        return;
    }
    put(kVfCode);
    if (sign == '$') put('-');
    for (const char* p = identbuf.data(); *p >= '0' && *p <= '9'; ++p)
        put(*p);
    q_next();
}

void read_indirection() {
    q_next();
    put('@');
    int field = 0;
    if (q_peep() == kTokIdent) {
        field = ident_number();
        q_next();
    }
    if (field == 0) syn_err("Missing field number in indirection.");
    put(static_cast<char>(field == 0 ? 1 : field));
    if (q_peep() == ':') {
        q_next();
        if (q_peep() == kTokIdent) {
            put(':');
            put(ident());
            q_next();
        } else {
            syn_err("Expecting tag name.");
        }
    }
    if (q_peep() == '[') read_attrlist(kIndirection);
}

void read_attachments(int context) {
    if (q_peep() == '[') read_attrlist(context);
    while (q_peep() == '/' && !toolong) {
        q_next();
        const int tok = q_peep();
        if (tok == kTokIdent) {
            read_restriction();
        } else if (tok == kTokPre) {
            q_next();
            pretag = true;
            const bool ok = read_compattr(context);
            pretag = false;
            if (ok) {
                put(kPreCode);
                put(second);
            }
        } else if (tok == kTokQuote) {
            read_literal();
        } else if (tok == '+' || tok == '$') {
            read_vf(tok);
        } else if (tok == '@') {
            read_indirection();
        } else {
            syn_err("Improper token follows / : ", tok2str(tok));
            q_next();
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Context-free rules
// ---------------------------------------------------------------------------------------------
bool declare(const std::string& name, std::vector<int>& group) {
    if (curvar > kMaxVariables) {
        syn_err("Too many variables active. ", name);
        return false;
    }
    varnames[static_cast<std::size_t>(curvar)] = name;
    group.push_back(curvar);
    ++curvar;
    return true;
}

// The variable groups of an INHERIT, CHOOSE or SELECT clause: names separated by commas, each
// group closed by ':' and what follows it, which `read_group` reads and codes for the group.
template <typename ReadGroup>
void read_clause_groups(ReadGroup read_group) {
    q_next();
    std::vector<int> group;
    for (;;) {
        const int tok = q_peep();
        if (tok == kTokIdent) {
            declare(ident(), group);
            q_next();
        } else if (tok == ',') {
            q_next();
        } else if (tok == ':') {
            q_next();
            read_group(group);
            group.clear();
        } else {
            if (tok == ';') q_next();
            break;
        }
        if (toolong) break;
    }
}

// INHERIT or CHOOSE: each group's ':' is followed by one attribute.
void read_inherit_choose(char code) {
    read_clause_groups([code](const std::vector<int>& group) {
        read_compattr(kClauseAttr);
        for (int v : group) {
            put(code);
            put(static_cast<char>(v));
            put(second);
        }
    });
}

// SELECT: each group's ':' is followed by an optional attribute, then a preselection tag.
void read_select() {
    read_clause_groups([](const std::vector<int>& group) {
        std::string first;
        if (q_peep() != kTokPre) {
            read_compattr(kClauseAttr);
            first = second;
        }
        if (q_peep() == kTokPre) {
            q_next();
        } else {
            syn_err("Improper token: ", tok2str(q_peep()));
        }
        read_compattr(kCfRhs);
        for (int v : group) {
            put(kSelect);
            put(static_cast<char>(v));
            put(first);
            put(kPreCode);
            put(second);
        }
    });
}

void open_choice() {
    q_next();
    if (nestlevel >= kMaxNesting) {
        syn_err("Choices Nested too deep. ");
        return;
    }
    put('(');
    ++nestlevel;
    const auto lv = static_cast<std::size_t>(nestlevel);
    posstack[lv] = static_cast<int>(rulebuf.size());
    put('\1');
    put('|');
    cvstack[lv] = curvar;
    altcount[lv] = 1;
}

void next_choice() {
    q_next();
    if (nestlevel == 0) {
        syn_err("| appears outside parentheses");
        return;
    }
    const auto lv = static_cast<std::size_t>(nestlevel);
    if (altcount[lv] >= kMaxChoiceAlternatives) {
        syn_err("Too many alternatives in a choice. ");
        return;
    }
    put('|');
    curvar = cvstack[lv];
    ++altcount[lv];
}

void close_choice() {
    q_next();
    if (nestlevel == 0) {
        syn_err("Unmatched )");
        return;
    }
    const auto lv = static_cast<std::size_t>(nestlevel);
    put(')');
    const auto pos = static_cast<std::size_t>(posstack[lv]);
    if (pos < rulebuf.size()) rulebuf[pos] = static_cast<char>(altcount[lv]);
    curvar = cvstack[lv];
    --nestlevel;
}

void read_cf_rhs() {
    put(kRhsStart);
    nestlevel = 0;
    for (;;) {
        const int tok = q_peep();
        if (tok == kTokPercent || tok == '<' || tok == '>' || tok == kTokEof || toolong) break;
        if (tok == kTokIdent) {
            read_names();
            read_attachments(kCfRhs);
        } else if (tok == kTokInherit) {
            read_inherit_choose(kInherit);
        } else if (tok == kTokChoose) {
            read_inherit_choose(kChoose);
        } else if (tok == kTokSelect) {
            read_select();
        } else if (tok == '(') {
            open_choice();
        } else if (tok == '|') {
            next_choice();
        } else if (tok == ')') {
            close_choice();
        } else {
            syn_err("Improper token: ", tok2str(tok));
            q_next();
        }
    }
    if (nestlevel > 0 && !toolong) syn_err("There are unmatched ('s");
    nestlevel = 0;
}

// A guard of a context-free alternative, after its '<'. Returns false on an error.
bool read_cf_guard() {
    for (;;) {
        const int tok = q_peep();
        if (tok == ':') {
            put(':');
            q_next();
            return errorflag == 0;
        }
        if (tok == kTokIdent || tok == '/') {
            read_compattr(kCfGuard);
            put(second);
        } else if (tok == ',' || tok == '|' || tok == '(' || tok == ')') {
            put(static_cast<char>(tok));
            q_next();
        } else if (tok == kTokPre || tok == kTokIs) {
            put(tok == kTokPre ? kPreCode : kIsCode);
            q_next();
            read_compattr(kCfRhs);
            put(second);
        } else {
            syn_err(std::string("Encountered ") + tok2str(tok) + " instead of colon.");
            return false;
        }
        if (toolong) return false;
    }
}

// Appends the alternative just read to the rule; false when the rule must be dropped.
bool finish_alternative() {
    if (errorflag != 0 || toolong) return false;
    if (cf_buf.size() + rulebuf.size() > kCfBufMax) {
        q_err("Rule too long. ", "(the whole rule exceeds 8191 bytes)", "");
        return false;
    }
    cf_buf += rulebuf;
    return true;
}

bool read_cf_body() {
    bool guarded = false;
    int tok = q_peep();
    if (tok != '<' && tok != '>') {
        rulebuf.clear();
        read_cf_rhs();
        if (!finish_alternative()) return false;
    }
    for (tok = q_peep(); tok == '<' || tok == '>'; tok = q_peep()) {
        rulebuf.clear();
        q_next();
        put(static_cast<char>(tok));
        const int before = curvar;
        if (tok == '<') {
            guarded = true;
            if (!read_cf_guard()) return false;
        }
        read_cf_rhs();
        if (guarded) curvar = before;
        if (!finish_alternative()) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// The preselection rule
// ---------------------------------------------------------------------------------------------
bool read_preselect_body() {
    bool first = true;
    bool after_semicolon = false;
    while (q_peep() != kTokPercent && q_peep() != kTokEof) {
        if (!first && !after_semicolon) return false;
        first = false;
        after_semicolon = false;
        rulebuf.clear();
        if (!read_compattr(kPreTag) || toolong) return false;
        put(second);
        if (q_peep() == ':') {
            put(':');
            q_next();
            if (q_peep() == kTokIdent) {
                // A faulty right-hand side is left out; the clause keeps its tag.
                const std::size_t keep = rulebuf.size();
                read_names();
                read_attachments(kPreRhs);
                if (toolong) return false;
                if (errorflag != 0) rulebuf.resize(keep);
                errorflag = 0;
            }
        }
        if (q_peep() == ';') {
            put(';');
            q_next();
            after_semicolon = true;
        }
        if (!finish_alternative()) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Transformations
// ---------------------------------------------------------------------------------------------
bool read_trans_guard() {
    int elements = 0;
    for (;;) {
        const int tok = q_peep();
        if (tok == kTokIdent) {
            put(' ');
            put(ident());
            q_next();
            if (q_peep() == '[') read_attrlist(kTrGuard);
        } else if (tok == '*') {
            put('*');
            q_next();
        } else {
            break;
        }
        if (++elements > kMaxGuardElements) {
            syn_err("Too many guard elements. ");
            return false;
        }
        if (toolong) return false;
    }
    if (q_peep() == ':') {
        q_next();
    } else {
        syn_err("Expecting Colon.");
    }
    return true;
}

std::unique_ptr<transformation> read_transformation(const std::string& name) {
    q_next();
    auto t = std::make_unique<transformation>();
    t->name = name;
    t->priority = 5;
    if (q_peep() == kTokPriority) {
        q_next();
        int p = 0;
        if (q_peep() == kTokIdent) {
            long v = 0;
            for (const char* c = identbuf.data(); *c >= '0' && *c <= '9' && v <= kMaxPriority; ++c)
                v = v * 10 + (*c - '0');
            p = static_cast<int>(v > kMaxPriority ? kMaxPriority : v);
            q_next();
        }
        if (p == 0) {
            q_err("Expecting Transformation Priority.", "", "");
        } else {
            t->priority = p;
        }
    }
    std::unique_ptr<sub_trans>* tail = &t->first;
    while (q_peep() != kTokPercent && q_peep() != kTokEof) {
        errorflag = 0;
        rulebuf.clear();
        if (!read_trans_guard() || errorflag != 0) return nullptr;
        auto alt = std::make_unique<sub_trans>();
        alt->guard = rulebuf;
        rulebuf.clear();
        while (q_peep() == kTokIdent && !toolong) {
            read_names();
            read_attachments(kTrRhs);
        }
        if (errorflag != 0 || toolong) return nullptr;
        alt->rule = rulebuf;
        q_next();  // the token that closes the alternative, whatever it is
        *tail = std::move(alt);
        tail = &(*tail)->next;
    }
    return t;
}

// ---------------------------------------------------------------------------------------------
// Rules
// ---------------------------------------------------------------------------------------------
void store_rule(const std::string& name, bool& root_seen) {
    auto r = std::make_unique<syn_rule>();
    r->name = name;
    try {
        r->rules = std::make_unique<std::string>(cf_buf);
    } catch (const std::bad_alloc&) {
        q_msg("* WARNING *  Rule ignored:  " + name);
    }
    r->next = std::move(syntax_stack);
    syntax_stack = std::move(r);
    cf_buf.clear();
    if (name == "ROOT") root_seen = true;
}

void read_rule(bool& root_seen) {
    const int tok = q_peep();
    if (tok != kTokIdent) {
        q_err(std::string("Encountered ") + tok2str(tok) + " instead of rule name.", "", "");
        q_next();
        return;
    }
    const std::string name = ident();
    file_position.assign_cut(name);
    q_next();
    if (q_peep() == '=') {
        q_next();
    } else {
        q_err("Rule name must be followed by =. ", "", "");
    }
    cf_buf.clear();
    curvar = 1;
    errorflag = 0;
    toolong = false;
    nestlevel = 0;
    pretag = false;
    bool stored = false;
    if (q_peep() == kTokTransformation) {
        std::unique_ptr<transformation> t = read_transformation(name);
        if (t) {
            t->next = std::move(trans_stack);
            trans_stack = std::move(t);
            stored = true;
        }
    } else if (name == "PRESELECT") {
        if (read_preselect_body()) {
            store_rule(name, root_seen);
            stored = true;
        }
    } else if (read_cf_body()) {
        store_rule(name, root_seen);
        stored = true;
    }
    if (!stored) skip_to_rule_end();
    if (q_peep() == kTokPercent) q_next();
    cf_buf.clear();
    rulebuf.clear();
}

}  // namespace

void read_syntax(const char* filename) {
    file_operation = "Syntax Input";
    file_position.clear();
    // Cleared before opening, so an inclusion that fails at the very start still shows.
    q_stat = 0;
    openfile(filename != nullptr ? filename : "", 0);
    bool root_seen = false;
    try {
        add_built_in();
        add_barrier();
        while (q_peep() != kTokEof)
            read_rule(root_seen);
    } catch (const std::bad_alloc&) {
        q_err("Inadequate working space", "", "");
        while (q_peep() != kTokEof)
            q_next();
    }
    if (root_seen) q_stat = 2;
    file_operation.clear();
    file_position.clear();
}

std::string getident(const char*& p) {
    if (p == nullptr) return {};
    const char* start = p;
    for (;; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c == 0 || (c != '%' && (charkind[c] & kWordChar) == 0)) break;
    }
    return {start, static_cast<std::size_t>(p - start)};
}

void reset_syn_read() {
    synstat = 0;
    userstat = 0;
}
