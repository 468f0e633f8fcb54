// The one token reader that every rule file of the generation system goes through, and the two
// ways the generation system reports: q_err for rule-file errors, q_line for any line it appends
// to a core file.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "globals.hpp"

// Token codes. Any other code is the single punctuation or quoted character of that code.
inline constexpr int kTokInclude = 1;  // handled inside the reader, never delivered
inline constexpr int kTokIdent = 3;
inline constexpr int kTokEof = 4;
inline constexpr int kTokInherit = 5;
inline constexpr int kTokChoose = 6;
inline constexpr int kTokRule = 7;
inline constexpr int kTokTransformation = 8;
inline constexpr int kTokPriority = 9;  // also _and_ and _lsp_
inline constexpr int kTokLineEnd = 10;
inline constexpr int kTokMakes = 11;  // also _rhs_
inline constexpr int kTokIlt = 12;
inline constexpr int kTokPre = 14;  // also _in_
inline constexpr int kTokSelect = 16;
inline constexpr int kTokIs = 17;
inline constexpr int kTokDefine = 18;  // handled inside the reader, never delivered
inline constexpr int kTokQuote = 34;
inline constexpr int kTokPercent = 37;

struct tokenelement {
    const char* tokenword;
    int token;
};
inline constexpr int kTokenRows = 25;
extern const std::array<tokenelement, kTokenRows> tokentable;

inline constexpr int kIdentMax = 39;       // characters kept of an identifier
inline constexpr int kMaxFiles = 6;        // the outermost file and five levels of %include
inline constexpr int kMaxExpansions = 20;  // macro expansions active at once
inline constexpr int kMsgCore = 7;         // the message core file

// While the current token is kTokIdent: the identifier, terminated. Copy it before q_next.
extern std::array<char, 64> identbuf;

extern std::string file_operation;  // the reading in progress, e.g. "attribute input"
extern FixStr<63> file_position;    // the place within the file, e.g. "rule NP"
extern int q_stat;                  // status of the last reading; 1 after a failed %include

// Starts a new reading of `fn`; `lfr` 1 delivers line ends as kTokLineEnd. Returns false (and
// the reading then yields only kTokEof) when the file cannot be opened.
bool openfile(const char* fn, int lfr);
int q_peep();
void q_next();
int str2tok();                 // keyword code of identbuf, or 0
const char* tok2str(int tok);  // description of a token for messages
void closefile();
// The definition of macro `name` in the reading in progress, or null.
const char* macrosearch(std::string_view name);
void macrofree();
// The next raw character of the reading (from the innermost macro expansion, else the top file):
// a byte, -1 at the end of a file, -2 where an expansion ran out.
int getone();

// The command TSTINPUT: one message line per token of the file.
void testinput(const char* fn);

// "ERROR <file_operation> <file_position> <a> <b> <c>" into the message core file.
void q_err(std::string_view msga, std::string_view msgb, std::string_view msgc);
// Appends `text` as the new last line of core file `corefile` (line object `linetype`), keeps it
// in that file's window and asks for a redraw when that file is on the screen. Returns false when
// the text store has no room for it (the line is then not added).
bool q_line(int corefile, int linetype, std::string_view text);
// q_line into the message core file as a plain text line.
bool q_msg(std::string_view text);

// Start-up and tests: closes every file, forgets every macro and empties the token queue.
void reset_input_base();
// Total length of macro text one reading may expand before further references are dropped
// (with one report); 8 MB unless set. For tests and fuzzing.
void set_macro_budget(long bytes);
// Files open at present (0 when no reading is in progress); for tests.
int open_file_count();

// Whether two names are the same. The linear searches of rule, transformation and terminal names
// use it: most candidates differ in length or first letter, which settles it at once.
inline bool same_name(std::string_view a, std::string_view b) {
    return a.size() == b.size() && (a.empty() || (a[0] == b[0] && a == b));
}
