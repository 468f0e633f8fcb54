// The terminal library at the terminfo level, and the byte stream to the terminal. Nothing else
// in the editor calls the terminal library or writes to standard output while the editor runs.
#pragma once

#include <string>

// Output goes into one buffer that is written to the terminal by term_flush, so a redraw is sent
// in one piece.
void term_putc(int ch);
void term_puts(const char* s);
void term_flush();

// Tests: bytes go to `sink` instead of the terminal while it is set (nullptr ends the capture).
void set_output_capture(std::string* sink);

// Loads the description of terminal `name` without touching the terminal (true when terminfo
// knows it). stermpars uses it to refuse an unknown terminal; tests use it with a capture.
bool load_terminfo(const char* name);
// True while a terminal description is loaded: only then do the wrappers below send anything.
bool terminfo_loaded();

void call_init_2string();
void call_enter_ca_mode();
void call_exit_ca_mode();
void call_cursor_address(int r, int c);
void call_clr_eol();
void call_clear_screen();
void call_initscr();
void call_intrflush();
void call_reset_prog_mode();
void call_reset_shell_mode();
int get_columns();
int get_lines();
void call_set_background();
void set_suspend();
void writespaces(int n);
// True when the terminal can clear to the end of a line (or no description is loaded).
bool can_clr_eol();
