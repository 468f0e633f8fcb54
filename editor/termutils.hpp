// Key input and translation: the one reader of keys, and the character tables.
#pragma once

#include <array>
#include <cstdio>

#include "globals.hpp"

inline constexpr int kKeyIndexes = 624;
inline constexpr int kMappedKeys = 424;
inline constexpr int kFnStack = 10;  // nested function strings

extern std::array<int, kKeyIndexes> intran;
extern std::array<unsigned char, kMappedKeys> char_map;
extern std::array<int, 256> outtran;
extern std::array<int, 256> charkind;

// Class bits of charkind.
inline constexpr int kWordChar = 1;
inline constexpr int kWordSep = 2;
inline constexpr int kSentenceEnd = 4;
inline constexpr int kNumberChar = 64;

extern int escflg;  // prefix state: 0, 128, 256 or 384
// Function strings being read; entries 1 to fnptr are in use, a null entry is a pause.
extern std::array<const char*, kFnStack + 1> fnstack;
extern int fnptr;
// The ten user function strings (FUNCTION command).
extern std::array<Name, 10> fn;
// The current input stream: the keyboard (standard input) or the driver program's output.
extern FILE* inptr;

void setintran();
void fetchchar();
int orugetc();
void pushfn(const char* s);
void gcr();
int gnum();
void glett();
// The interrupt signal handler (Ctrl-_): queues Ctrl-C.
void IntHandler(int);
// Makes `stream` the keyboard and the current input stream (tests feed keys from memory).
// With nullptr nobody is at the keyboard: every key read from it is a carriage return, so a
// message that waits for an answer is acknowledged (unit tests run so).
void set_keyboard(FILE* stream);
// Where keys come from: the keyboard, or another stream such as the driver program's output.
void read_keyboard();
void read_stream(FILE* stream);
// Gives the line-drawing cells their Unicode box-drawing characters (UTF-8 terminals).
void use_unicode_drawing();
// Brings the key tables, the prefix state, the function strings and the input stream to their
// start-up values.
void reset_keys();
