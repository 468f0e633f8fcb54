#include "input_base.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "corutils.hpp"
#include "editor/encoding.hpp"
#include "editor/terminal.hpp"
#include "linutils.hpp"
#include "termutils.hpp"

const std::array<tokenelement, kTokenRows> tokentable = {{
    {"INHERIT", 5},  {"inherit", 5},  {"CHOOSE", 6}, {"choose", 6},         {"SELECT", 16},
    {"select", 16},  {"RULE", 7},     {"rule", 7},   {"TRANSFORMATION", 8}, {"transformation", 8},
    {"%INCLUDE", 1}, {"%include", 1}, {"%", 37},     {"PRIORITY", 9},       {"priority", 9},
    {"_and_", 9},    {"_makes_", 11}, {"_ilt_", 12}, {"_lsp_", 9},          {"_rhs_", 11},
    {"_pre_", 14},   {"_in_", 14},    {"_is_", 17},  {"%define", 18},       {"", 255},
}};

std::array<char, 64> identbuf{};
std::string file_operation;
FixStr<63> file_position;
int q_stat = 0;

namespace {

// ---------------------------------------------------------------------------------------------
// Rule files: read whole on opening and decoded from UTF-8 when they are UTF-8 (Latin-1 files are
// taken byte for byte), then given out a byte at a time. A byte 255 ends the file, and the end
// stays: every later read gives the end again.
// ---------------------------------------------------------------------------------------------
constexpr int kEnd = -1;       // end of the file (or a byte 255)
constexpr int kMacroEnd = -2;  // an expansion ran out: it separates like a blank

class RuleFile {
  public:
    // False when the file cannot be read, or is UTF-8 holding a character that Latin-1 has not
    // (then reported here, with the line and the character).
    bool open(const char* name) {
        const int fd = ::open(sysname(name).c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return false;
        struct stat st {};
        // Only plain files: a device or a pipe could feed the reader without end.
        bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
        std::array<char, 1 << 16> chunk;
        while (ok) {
            const ssize_t n = ::read(fd, chunk.data(), chunk.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            text_.append(chunk.data(), static_cast<std::size_t>(n));
        }
        ::close(fd);
        if (!ok) return false;
        const Sniff s = decode_file_text(text_);
        if (s.kind == Sniff::Beyond) {
            q_err(std::string("file ") + name + ", line " + std::to_string(s.line) + ":",
                  codepoint_text(s.point) + " has no Latin-1 form;", "file not read");
            text_.clear();
            return false;
        }
        return true;
    }
    int get() {
        if (pos_ >= text_.size()) return kEnd;
        const auto c = static_cast<unsigned char>(text_[pos_++]);
        if (c == 255) {
            pos_ = text_.size();
            return kEnd;
        }
        return c;
    }

  private:
    std::string text_;
    std::size_t pos_ = 0;
};

struct fileinf {
    std::unique_ptr<RuleFile> fptr;
    std::string f_name;
    int f_line = 1;
};

struct macrodef {
    std::string name;
    std::string def;
    std::unique_ptr<macrodef> another;
    ~macrodef() {
        // Unlink the chain one record at a time, so a long dictionary cannot exhaust the stack.
        auto p = std::move(another);
        while (p)
            p = std::move(p->another);
    }
};

constexpr int kQueueSize = 45;
struct queuetype {
    std::array<int, kQueueSize> queue{};
    int head = 0;
    int tail = -1;
    int length = 0;
};

// Every expansion costs its length; past this total in one reading further references are
// dropped, so that macros referring to themselves many times cannot grow without end.
long expansion_limit = 8L << 20;

struct Reader {
    queuetype tokenq;
    int iptr = 0;
    int istate = 0;
    int ccount = 0;
    int lfret = 0;
    std::array<fileinf, kMaxFiles> filestack;
    int fsptr = -1;
    std::unique_ptr<macrodef> macrodict;
    std::array<const char*, kMaxExpansions + 1> macrostack{};
    int macroptr = 0;
    long expansion_budget = 0;
    bool budget_reported = false;
    bool truncated = false;  // the identifier being collected was reported as truncated
    int reports = 0;         // reports of this reading written
    long left_out = 0;       // reports of this reading past the cap
};

// Reports one reading may write; the rest are counted and their number is given at its end.
constexpr int kReadingReports = 100;

Reader rd;
std::array<char, 60> outbuf{};

bool is_identchar(int c) {
    return c >= 0 && c < 256 && (c == '%' || (charkind[static_cast<std::size_t>(c)] & 1) != 0);
}

void queue_token(int tok) {
    queuetype& q = rd.tokenq;
    if (q.length >= kQueueSize) return;  // one refill never comes near the size
    q.tail = (q.tail + 1) % kQueueSize;
    q.queue[static_cast<std::size_t>(q.tail)] = tok;
    ++q.length;
}

void empty_queue() {
    rd.tokenq.head = 0;
    rd.tokenq.tail = -1;
    rd.tokenq.length = 0;
}

void clear_ident() {
    identbuf[0] = '\0';
    rd.iptr = 0;
    rd.truncated = false;
}

// Whether a report may be written: while a file is read, only the first kReadingReports.
bool report_allowed() {
    if (rd.fsptr < 0) return true;
    if (rd.reports < kReadingReports) {
        ++rd.reports;
        return true;
    }
    ++rd.left_out;
    return false;
}

// A message text with control bytes and NUL shown as {n}: raw, they would reach the screen as
// line-drawing cells or terminal controls.
std::string readable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 32 || c == 127) {
            out += '{';
            out += std::to_string(c);
            out += '}';
        } else {
            out += ch;
        }
    }
    return out;
}

void macrofree_() {
    rd.macrodict.reset();
    rd.macroptr = 0;
    rd.macrostack.fill(nullptr);
}

const macrodef* macrosearch_(std::string_view name) {
    for (const macrodef* m = rd.macrodict.get(); m != nullptr; m = m->another.get()) {
        if (m->name == name) return m;
    }
    return nullptr;
}

// The next raw character: from the innermost active expansion, else from the top file.
int getone_() {
    while (rd.macroptr > 0) {
        const char*& p = rd.macrostack[static_cast<std::size_t>(rd.macroptr)];
        if (*p != '\0') return static_cast<unsigned char>(*p++);
        p = nullptr;
        --rd.macroptr;
        return kMacroEnd;
    }
    if (rd.fsptr < 0) return kEnd;
    return rd.filestack[static_cast<std::size_t>(rd.fsptr)].fptr->get();
}

void count_line() {
    if (rd.fsptr >= 0) ++rd.filestack[static_cast<std::size_t>(rd.fsptr)].f_line;
}

void close_and_pop() {
    if (rd.fsptr < 0) return;
    closefile();
    if (rd.fsptr == 0 && rd.left_out > 0) {
        q_msg(readable(file_operation) + ": " + std::to_string(rd.left_out) +
              " further reports of this reading left out");
    }
    --rd.fsptr;
}

void warn(int c) {
    std::string what;
    switch (c) {
        case '\t':
            what = "tab";
            break;
        case '\n':
            what = "new line";
            break;
        case '\r':
            what = "CR";
            break;
        case kEnd:
            what = "EOF";
            break;
        default:
            what.assign(1, static_cast<char>(c));
    }
    if (!report_allowed()) return;
    static constexpr std::array<const char*, 3> states = {"outside quotes/comments",
                                                          "within quotes", "within comments"};
    q_msg(readable(file_operation + " warning: " + what + " " +
                   states[static_cast<std::size_t>(rd.istate)]));
}

int keyword(const char* word) {
    // Every keyword begins with one of these; most identifiers are rejected on their first byte.
    switch (word[0]) {
        case 'I':
        case 'i':
        case 'C':
        case 'c':
        case 'S':
        case 's':
        case 'R':
        case 'r':
        case 'T':
        case 't':
        case 'P':
        case 'p':
        case '%':
        case '_':
            break;
        default:
            return 0;
    }
    for (const tokenelement& t : tokentable) {
        if (t.tokenword[0] == '\0') break;
        if (t.tokenword[0] == word[0] && std::strcmp(t.tokenword, word) == 0) return t.token;
    }
    return 0;
}

// %include: the file name between the next two double quotes (the first may already have been
// read, as the character that ended the keyword).
void include_file(bool quote_seen) {
    int c = 0;
    if (!quote_seen) {
        do {
            c = getone_();
            if (c == '\n') count_line();
        } while (c != '"' && c != kEnd);
    }
    std::string name;
    bool closed = false;
    if (quote_seen || c == '"') {
        while ((c = getone_()) != kEnd) {
            if (c == '"') {
                closed = true;
                break;
            }
            if (c == '\n') count_line();
            if (c >= 0 && name.size() < 79) name.push_back(static_cast<char>(c));
        }
    }
    if (!closed) {
        q_err("unable to open file: ", name, "");
        q_stat = 1;
        return;
    }
    if (rd.fsptr + 1 >= kMaxFiles) {
        q_err("inclusion depth too great ", name, "");
        q_stat = 1;
        return;
    }
    auto f = std::make_unique<RuleFile>();
    if (!f->open(name.c_str())) {
        q_err("unable to open file: ", name, "");
        q_stat = 1;
        return;
    }
    ++rd.fsptr;
    fileinf& fi = rd.filestack[static_cast<std::size_t>(rd.fsptr)];
    fi.fptr = std::move(f);
    fi.f_name = name;
    fi.f_line = 1;
}

bool is_blank(int c) {
    return c == ' ' || c == '\t';
}

// %define: the name, then the rest of the line as the definition. `endc` ended the keyword.
void define_macro(int endc) {
    if (endc == kMacroEnd) return;  // the keyword was the last word of an expansion
    if (rd.macroptr > 0) {
        // A definition cannot come out of an expansion: the rest of that expansion, which would
        // have been the definition, is dropped.
        const char*& p = rd.macrostack[static_cast<std::size_t>(rd.macroptr)];
        p += std::strlen(p);
        return;
    }
    if (endc == '\n' || endc == kEnd) return;  // nothing follows on this line
    int c = getone_();
    while (is_blank(c))
        c = getone_();
    std::string name;
    while (c != kEnd && c != '\n' && is_identchar(c)) {
        if (name.size() < 49) name.push_back(static_cast<char>(c));
        c = getone_();
    }
    while (is_blank(c))
        c = getone_();
    std::string def;
    while (c != kEnd && c != '\n') {
        if (c != '\r' && c >= 0 && def.size() < 999) def.push_back(static_cast<char>(c));
        c = getone_();
    }
    if (c == '\n') count_line();
    if (name.empty()) return;
    auto m = std::make_unique<macrodef>();
    m->name = std::move(name);
    m->def = std::move(def);
    m->another = std::move(rd.macrodict);
    rd.macrodict = std::move(m);
}

void expand_macro(const macrodef& m) {
    if (rd.macroptr >= kMaxExpansions) return;
    const long cost = static_cast<long>(m.def.size()) + 1;
    if (rd.expansion_budget < cost) {
        if (!rd.budget_reported) q_err("too many macro expansions: ", m.name, "");
        rd.budget_reported = true;
        return;
    }
    rd.expansion_budget -= cost;
    ++rd.macroptr;
    rd.macrostack[static_cast<std::size_t>(rd.macroptr)] = m.def.c_str();
}

// Ends a pending identifier. Returns true when `endc`, the character that ended it, was taken
// over (the opening quote of an %include name).
bool tokenize(int endc) {
    if (rd.iptr <= 0) return false;
    identbuf[static_cast<std::size_t>(rd.iptr)] = '\0';
    const int tok = keyword(identbuf.data());
    if (tok == kTokInclude) {
        clear_ident();
        include_file(endc == '"');
        return endc == '"';
    }
    if (tok == kTokDefine) {
        clear_ident();
        define_macro(endc);
        return false;
    }
    if (tok != 0) {
        queue_token(tok);
        clear_ident();
        return false;
    }
    if (identbuf[0] == '%') {
        if (const macrodef* m = macrosearch_(identbuf.data() + 1)) {
            clear_ident();
            expand_macro(*m);
            return false;
        }
    }
    queue_token(kTokIdent);
    return false;
}

void add_identchar(int c) {
    if (rd.iptr >= kIdentMax) {
        // Once per identifier: a long run of name characters would otherwise give one report
        // per character.
        if (!rd.truncated) {
            identbuf[static_cast<std::size_t>(rd.iptr)] = '\0';
            q_err("identifier truncated: ", identbuf.data(), "");
        }
        rd.truncated = true;
        return;
    }
    // Terminated when the identifier ends (tokenize).
    identbuf[static_cast<std::size_t>(rd.iptr++)] = static_cast<char>(c);
}

void outside(int c) {
    switch (c) {
        case kMacroEnd:
        case '\r':
        case ' ':
        case '\t':
            tokenize(c);
            return;
        case '\n':
            count_line();
            tokenize(c);
            if (rd.lfret == 1) queue_token(kTokLineEnd);
            return;
        case kEnd:
            tokenize(c);
            close_and_pop();
            return;
        case '"':
            if (tokenize(c)) return;
            queue_token(kTokQuote);
            rd.istate = 1;
            rd.ccount = 0;
            return;
        case '{':
            tokenize(c);
            rd.istate = 2;
            rd.ccount = 0;
            return;
        case '}':
            warn(c);
            tokenize(c);
            queue_token(c);
            return;
        default:
            if (is_identchar(c)) {
                add_identchar(c);
                return;
            }
            if (c < ' ') {
                // A control byte would pass for a keyword's code (7 for RULE, 18 for %define...):
                // it separates, with a warning, and is not delivered.
                warn(c);
                tokenize(c);
                return;
            }
            tokenize(c);
            queue_token(c);
    }
}

void within_quotes(int c) {
    if (c == kMacroEnd) return;
    ++rd.ccount;
    switch (c) {
        case '\r':
        case '\t':
            warn(c);
            return;
        case '\n':
            count_line();
            if (rd.lfret == 1) {
                warn(c);
                queue_token(kTokLineEnd);
                rd.istate = 0;
            }
            return;
        case kEnd:
            warn(c);
            close_and_pop();
            return;
        case '"':
            rd.istate = 0;
            if (rd.ccount > 80) q_err("warning: very long quoted string", "", "");
            queue_token(kTokQuote);
            return;
        case '{':
        case '|':
        case '}':
            warn(c);
            queue_token(c);
            return;
        default:
            if (c < ' ') {
                warn(c);  // as outside quotes: never delivered in place of a keyword code
                return;
            }
            queue_token(c);
    }
}

void within_comment(int c) {
    if (c == kMacroEnd) return;
    ++rd.ccount;
    switch (c) {
        case '}':
            rd.istate = 0;
            if (rd.ccount >= 301) q_err("warning: very long comment", "", "");
            return;
        case '{':
        case '|':
            warn(c);
            return;
        case '\n':
            count_line();
            if (rd.lfret == 1) warn(c);
            return;
        case kEnd:
            warn(c);
            close_and_pop();
            return;
        default:
            return;
    }
}

void replenish() {
    empty_queue();
    if (rd.fsptr < 0 && rd.macroptr == 0) {
        // Whatever is still pending ends with the input; then the end of input is sticky.
        if (rd.iptr > 0) tokenize(kEnd);
        if (rd.tokenq.length > 0 || rd.macroptr > 0) return;
        macrofree_();
        queue_token(kTokEof);
        return;
    }
    if (rd.macroptr == 0) {
        // The common case, straight from the file: stay here until something is queued or the
        // file or an expansion takes over.
        const int fs = rd.fsptr;
        RuleFile& f = *rd.filestack[static_cast<std::size_t>(fs)].fptr;
        do {
            const int c = f.get();
            if (rd.istate == 0) {
                if (is_identchar(c)) {
                    add_identchar(c);
                } else {
                    outside(c);
                }
            } else if (rd.istate == 1) {
                within_quotes(c);
            } else {
                within_comment(c);
            }
        } while (rd.tokenq.length == 0 && rd.macroptr == 0 && rd.fsptr == fs);
        return;
    }
    const int c = getone_();
    switch (rd.istate) {
        case 0:
            outside(c);
            break;
        case 1:
            within_quotes(c);
            break;
        default:
            within_comment(c);
            break;
    }
}

void fill_queue() {
    while (rd.tokenq.length == 0)
        replenish();
}

void close_all_files() {
    for (fileinf& f : rd.filestack) {
        f.fptr.reset();
        f.f_name.clear();
        f.f_line = 1;
    }
    rd.fsptr = -1;
}

}  // namespace

bool openfile(const char* fn, int lfr) {
    close_all_files();
    macrofree_();
    rd.istate = 0;
    rd.ccount = 0;
    clear_ident();
    empty_queue();
    rd.lfret = lfr;
    rd.expansion_budget = expansion_limit;
    rd.budget_reported = false;
    rd.reports = 0;
    rd.left_out = 0;
    auto f = std::make_unique<RuleFile>();
    const bool ok = fn != nullptr && f->open(fn);
    if (ok) {
        rd.fsptr = 0;
        rd.filestack[0].fptr = std::move(f);
        rd.filestack[0].f_name = fn;
        rd.filestack[0].f_line = 1;
    }
    fill_queue();
    return ok;
}

int q_peep() {
    fill_queue();
    const queuetype& q = rd.tokenq;
    return q.queue[static_cast<std::size_t>(q.head)];
}

void q_next() {
    queuetype& q = rd.tokenq;
    if (q.length > 0) {
        if (q.queue[static_cast<std::size_t>(q.head)] == kTokIdent) clear_ident();
        q.head = (q.head + 1) % kQueueSize;
        --q.length;
    }
    fill_queue();
}

int str2tok() {
    return keyword(identbuf.data());
}

const char* tok2str(int tok) {
    std::string s;
    switch (tok) {
        case kTokIdent:
            s = std::string("identifier: ") + identbuf.data();
            break;
        case kTokEof:
            s = "EOF";
            break;
        case kTokLineEnd:
            s = "linefeed";
            break;
        case kTokQuote:
            s = "quote";
            break;
        default:
            for (const tokenelement& t : tokentable) {
                if (t.token > 254) break;
                if (t.token == tok) {
                    s = std::string("token: ") + t.tokenword;
                    break;
                }
            }
            if (s.empty()) s = std::string("char '") + static_cast<char>(tok) + "'";
    }
    const std::size_t n = std::min(s.size(), outbuf.size() - 1);
    std::memcpy(outbuf.data(), s.data(), n);
    outbuf[n] = '\0';
    return outbuf.data();
}

void closefile() {
    if (rd.fsptr < 0) return;
    fileinf& f = rd.filestack[static_cast<std::size_t>(rd.fsptr)];
    f.fptr.reset();
    char lines[32];
    std::snprintf(lines, sizeof lines, "%d", f.f_line - 1);
    q_msg(readable("Finished reading " + file_operation + " from file '" + f.f_name + "' [" +
                   lines + " lines.]"));
    f.f_name.clear();
    f.f_line = 1;
}

void testinput(const char* fn) {
    file_operation = "test input";
    openfile(fn, 1);
    while (q_peep() != kTokEof) {
        q_msg(tok2str(q_peep()));
        q_next();
    }
    q_msg("end of input");
    file_operation.clear();
}

void q_err(std::string_view msga, std::string_view msgb, std::string_view msgc) {
    if (!report_allowed()) return;
    std::string line = "ERROR ";
    line += file_operation;
    line += ' ';
    line += file_position.view();
    line += ' ';
    line += msga;
    line += ' ';
    line += msgb;
    line += ' ';
    line += msgc;
    q_msg(readable(line));
}

namespace {

// Room that lines of the generation system leave free in the text store, so that messages
// can never fill it: the user can still type, and a last line says that messages were dropped.
constexpr long kMessageReserve = 100000;
bool dropped_reported = false;

// Appends the line, room permitting; q_line has made sure of the room.
bool q_line_into(int corefile, int linetype, std::string_view text);

long live_bytes() {
    long n = 0;
    for (const COREFILE& cf : core)
        n += cf.charcount;
    return n;
}

// Whether `need` more bytes fit below `limit`, compacting first when that would make room.
bool room_below(long limit, long need) {
    if (avail + need <= limit) return true;
    // Compaction brings avail down to the live bytes at most; when that is not enough it is
    // not tried, so that a flood of refused messages costs no compaction each.
    if (full == 0 && live_bytes() + need <= limit) garbage();
    return avail + need <= limit;
}

}  // namespace

bool q_line(int corefile, int linetype, std::string_view text) {
    if (corefile < 0 || corefile >= kCoreFiles) return false;
    const long need = static_cast<long>(text.size()) + 1;
    if (!room_below(hiaddr - kMessageReserve, need)) {
        if (!dropped_reported) {
            dropped_reported = true;
            const std::string_view note = "Text store nearly full: further lines dropped";
            if (room_below(hiaddr, static_cast<long>(note.size()) + 1)) {
                q_line_into(kMsgCore, kObjText, note);
            }
        }
        return false;
    }
    dropped_reported = false;
    return q_line_into(corefile, linetype, text);
}

namespace {

bool q_line_into(int corefile, int linetype, std::string_view text) {
    const int keep = corenum;
    corenum = corefile;
    COREFILE& cf = cur();
    cf.lnptr = cf.header->up;
    LINE* l = allocln(kObjNew, 0);
    if (l == nullptr) {
        corenum = keep;
        return false;
    }
    cadd_text(text);
    if (!text.empty() && linetype != kObjText && linetype >= kObjRecord && linetype <= kObjMath &&
        linetype != kObjPicture) {
        l->object = linetype;
    }
    cf.curline = cf.lncount;
    cf.curcol = 1;
    // Keep the new line in the window: when it would fall below, it becomes the top line.
    bool seen = false;
    LINE* row = cf.disln;
    for (int n = 0; n < depth && row != nullptr && row != cf.header; ++n, row = row->down) {
        if (row == l) {
            seen = true;
            break;
        }
    }
    if (!seen) cf.disln = l;
    corenum = keep;
    if (corefile == keep) redisplay = 1;
    return true;
}

}  // namespace

bool q_msg(std::string_view text) {
    return q_line(kMsgCore, kObjText, text);
}

void reset_input_base() {
    close_all_files();
    macrofree_();
    empty_queue();
    clear_ident();
    rd.istate = 0;
    rd.ccount = 0;
    rd.lfret = 0;
    file_operation.clear();
    file_position.clear();
    q_stat = 0;
    expansion_limit = 8L << 20;
    rd.reports = 0;
    rd.left_out = 0;
    dropped_reported = false;
}

int open_file_count() {
    return rd.fsptr + 1;
}

const char* macrosearch(std::string_view name) {
    const macrodef* m = macrosearch_(name);
    return m != nullptr ? m->def.c_str() : nullptr;
}

void macrofree() {
    macrofree_();
}

int getone() {
    return getone_();
}

void set_macro_budget(long bytes) {
    expansion_limit = bytes;
}
