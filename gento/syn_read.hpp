// The syntax file reader: context-free rules, the preselection rule and transformations, each
// compiled into its coded text and pushed on the stacks as one new syntax layer.
#pragma once

#include <string>

#include "syn_globals.hpp"

// Reading status left by the last main syntax file and the last user syntax file: 2 when the
// file supplied a ROOT rule.
extern int synstat;
extern int userstat;

// Reads a syntax file as a new layer on top of what is loaded. q_stat is 2 afterwards when a
// rule named ROOT was stored.
void read_syntax(const char* filename);

// Takes the identifier characters at p and advances p past them.
std::string getident(const char*& p);

// The limits of what one rule may hold.
inline constexpr std::size_t kCfBufMax = 8191;    // coded text of a whole rule
inline constexpr std::size_t kRuleBufMax = 9998;  // coded text of one alternative
inline constexpr int kMaxVariables = 25;
inline constexpr int kMaxNesting = 19;
inline constexpr int kMaxChoiceAlternatives = 33;  // keeps a choice's count byte below '"'
inline constexpr int kMaxFieldNumber = 127;        // field and element bytes are signed
inline constexpr int kMaxGuardElements = 38;
inline constexpr int kMaxPriority = 999;

// Start-up and tests: no syntax status.
void reset_syn_read();
