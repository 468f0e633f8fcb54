// The terminals of the grammar: the word classes that the lexicon's entries belong to. A
// terminal's number is its place in the table, from 0.
#pragma once

#include <array>
#include <string>
#include <string_view>

inline constexpr int kTerminals = 128;
extern std::array<std::string, kTerminals> terminal_table;
extern int terminal_count;

// Reads a terminals file: identifiers, each naming one terminal.
void read_terminals(const char* file_name);
// The number of the terminal named by `symbol` up to its first '|' (or its end), or -1.
int lookup_terminal(std::string_view symbol);
void clear_terminals();

// Start-up and tests: no terminals.
void reset_terminal();
