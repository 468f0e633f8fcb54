// The lexicon: reading lexicon files into the stored entry form, one list of entries per
// terminal, and the entries read back with stored trees.
//
// Stored entry: fields closed by '|' (at least six), at most 1023 characters:
//   1 the word as written ("dog" with its quotes), 2 the terminal, 3 the coded attributes,
//   4 the weight as four digits, 5 on further fields as written.
// Coded attributes: per compound an optional sign '<' or '>', then its segments, each the byte
// 25, the type number and the value number (255: the type only) as single bytes, joined by '.',
// then a blank; compounds in ascending order of their first type.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kEntryLen = 1023;      // characters of a stored entry
inline constexpr int kEntryCompounds = 25;  // attribute compounds of one entry
inline constexpr int kCompoundLen = 39;     // coded characters of one compound
inline constexpr int kRestoredEntries = 1024;
inline constexpr int kMinSeparators = 6;
inline constexpr char kAttrCode = 25;  // starts a coded segment: 25, type, value
inline constexpr unsigned char kTypeOnly = 255;
inline constexpr char kIltMark = 12;    // an entry carrying lexical sequence patterns
inline constexpr int kMaxReports = 50;  // reports per lexicon file; all are counted

// One coded compound of a stored entry.
struct lex_comp {
    const char* start = nullptr;  // its first byte (a sign or the code 25)
    int count = 0;                // its segments
    int first_type = 0;           // the type of its first segment
};
// The compound of a coded attribute field that starts at `p`; `p` is left at the next one (or at
// the field's end). Segments are skipped as units: their bytes are never taken for blanks.
lex_comp next_compound(const char*& p);

// One entry of a terminal's list. The store owns both the record and its text.
struct recnode {
    recnode* previous = nullptr;  // the next older entry of the same list
    char* recordptr = nullptr;    // the stored entry, terminated
    // Where fields 3 (coded attributes) and 4 (weight) begin, found once when the entry is
    // stored: word choice reads them for every entry of a terminal at every lookup. Entries keep
    // their length for life (a frequency code rewrites the weight digits in place).
    const char* attributes = nullptr;
    char* weight = nullptr;
    // Its compounds, laid out when it was stored (entries of the restored store have none).
    const lex_comp* compounds = nullptr;
    int ncompounds = 0;
};

extern std::vector<recnode*> dictionary;  // newest entry per terminal, or null
extern int dictterm;                      // terminals the store was made for; -1: no lexicon
// Changes whenever the store is cleared, so that whoever keeps a place in it can tell.
extern long lexicon_serial;

// Entries read back with stored trees, in file order. A line that was refused keeps its place
// with a null recordptr, so that the n-th lexicon line of the file stays entry n.
extern std::array<recnode, kRestoredEntries> restoredlexarray;
extern recnode* lastrestored;  // the last slot filled, or null
extern int restored_count;     // slots used

void initdict();
void readdict(const char* filename);
// Reads one entry (one line) of the reading in progress: into its terminal's list for
// `linktolexicon` 1, into the restored entries for 0. Returns 1 when the entry was accepted.
int readentry(int linktolexicon);
void clearlexicon();
void clearrecoveredlexicon();
void printlex();
// A stored entry as a user reads it: coded attributes as their names (compounds separated by
// ", "), any other byte below 32 as {n}.
std::string printable_entry(const char* record);

// Where field `field` (from 1) of a stored entry begins; coded segments in field 3 are skipped
// as units, so their bytes are never taken for separators. The empty text for no record, and
// the terminating zero when the entry has fewer fields.
const char* getfieldptr(const char* record, int field);
char* getfieldptr(char* record, int field);
// The entry's weight (field 4), 0 when it is empty.
int entry_weight(const char* record);
// The weight written at the start of field 4 (up to four digits), 0 when there is none.
int weight_digits(const char* field4);

// Entries accepted and errors counted by the last readdict.
extern long lex_words;
extern long lex_errors;

// Start-up and tests: no lexicon, no restored entries.
void reset_lex_read();
