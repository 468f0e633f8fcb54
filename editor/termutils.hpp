// Key input and translation: the one reader of keys, and the character tables.
#pragma once

#include <array>

extern std::array<int, 624> intran;
extern std::array<unsigned char, 424> char_map;
extern std::array<int, 256> outtran;
extern std::array<int, 256> charkind;

void setintran();
void fetchchar();
void pushfn(const char* s);
void gcr();
int gnum();
void glett();
