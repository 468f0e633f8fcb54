// File commands: text files in and out of core files, and key-string files read whole.
#pragma once

#include <climits>
#include <cstddef>
#include <string>
#include <string_view>

#include "encoding.hpp"

// Settings of the text file format (EDITOR OPTION 5 to 10).
extern int fetchstyle;  // 1: line-kind markers are recognised on reading
extern int octflag;     // 0: tabs are expanded to blanks on reading
extern int lfonly;      // 1: lines are written with a line feed only, 0: carriage return too

// Outcome of the last read: 0 fine, 1 stopped early (store full), 2 end of file, 3 bad picture.
extern int ioerr;

// As the last line of a range: every line, however many.
inline constexpr long kAllLines = LONG_MAX;

// The record check applied by FETCH, INSERT and APPEND: by default the checks of core file 18
// against the bit pattern. `compile` gets the pattern, `passes` tests the current line. Null
// entries bring back the default.
struct RecordCheck {
    bool (*compile)(std::string_view pattern);
    bool (*passes)();
};
void set_record_check(RecordCheck check);

// Reads lines first to last of the file after the cursor line of the current core file; each
// new line becomes the cursor line in turn. Returns ioerr and shows its message.
int gfile(const char* name, long first, long last, std::string_view check);
// Writes lines first to last of the current core file to an open descriptor, in the file format
// and the character set `cs` (kCsNone: the locale's), through `out` (by default a plain write
// that gives up on a pipe or device that takes nothing for a few seconds). Returns false when a
// write failed.
using WriteFn = bool (*)(int fd, const char* p, std::size_t n);
bool pfile(int fd, long first, long last, Charset cs = kCsLatin1, WriteFn out = nullptr);
// The marker a line of this object is written with ("\r", "\m" ...; empty for text).
const char* line_marker(int object);

// The operations of the file commands, on `curfile` and the converted parameters.
bool fetch_range(long first, long last, std::string_view check);
bool insert_range(long first, long last, std::string_view check);
bool append_range(long first, long last, std::string_view check);
bool save_range(long first, long last);       // the file was just created by the check
bool overwrite_range(long first, long last);  // replaces the file's contents
bool join_range(long first, long last);       // appends to the file
bool delete_file();
bool rename_file(std::string_view target);
bool update_file();
bool list_file(std::string_view file, long first, long last, long copies, std::string_view init);

// The command operations (rows of the command table): they read `curfile` and `param`.
void fetchfile();
void insrtfile();
void appendfile();
void savefile();
void ovrwritefile();
void join();
void emit();
void deletefile();
void newname();
void update();
void list();

// Key-string files: the whole file translated into one key string.
enum class KeyKind { Template = 0, Procedure = 1, Merge = 2 };
inline constexpr std::size_t kKeyBufSize = 5120;
// Returns the key string, which stays valid until the next read of the same kind that finds it
// no longer in use; null when the file cannot be read or is too long (with a message).
const char* readfile(const char* name, KeyKind kind);
// True while a key string handed out by readfile still lies in the memory a reader is using.
void set_keystring_in_use(bool (*in_use)(const char* begin, const char* end));

// EDITOR OPTION 13 shows the character set the current core file is written in, 14 makes it
// Latin-1, 15 UTF-8 (each showing the result).
void charset_option(int option);

// Last message the file commands showed (empty when none since the reset).
const std::string& file_message();

// Test seam: every write fails once `n` more bytes have been written; -1 never fails.
void file_fail_writes_after(long n);

void reset_file();
