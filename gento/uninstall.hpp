// The record of installed knowledge bases: which kinds are loaded, which go together when one is
// removed, and the names of the files last read for each.
#pragma once

#include <array>
#include <string>
#include <string_view>

using KindOp = void (*)();

struct qfile_row {
    const char* name;
    int mask;      // kinds removed together with this one
    KindOp clear;  // null: nothing to release (or the kind's module is not there yet)
    KindOp initialise;
    char letter;  // slot in gentofilename; blank for none
};
inline constexpr int kKinds = 15;  // rows 0 ("dummy") to 14 ("ALL")
extern const std::array<qfile_row, kKinds> qfile_table;

extern int installed;  // installation bits of the kinds loaded now

inline constexpr int kFirstLetter = 64;  // gentofilename covers the letters 64 to 'z'
inline constexpr int kLetterSlots = 'z' - kFirstLetter + 1;
extern std::array<std::string, kLetterSlots> gentofilename;

void putgentofile(std::string_view name, char letter);
void uninstall(int mask);
void uninstall_n(int n);
std::string bits_to_text(int bits);
// The union of the removal masks of the kinds named in a comma-separated list ("at, tm"); 0 and a
// message for a character other than letters, commas and blanks.
int text_to_bits(std::string_view text);

// ATTRIBUTE: removes the attributes and what depends on them, reads the file and
// records it as installed.
void install_attributes(const char* filename);

// Start-up and tests: nothing installed, no file names.
void reset_uninstall();
