// The error report of one compared sentence: the expected words aligned with the response words,
// missing and extra words named, and each aligned pair described by its match class.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "stud_err.hpp"

inline constexpr std::size_t kReportMax = 30000;  // characters of one report
inline constexpr std::size_t kPieceMax = 600;     // characters of one piece of a line

// The report for the matrix of m expected words by n response words (row-major).
std::string err_get_report(const std::vector<lexdiff>& matrix, int m, int n,
                           const err_lex_struct& words, const std::vector<std::string>& expected);
// kind 0: expected word `index` is missing; 1: response word `index` is extra.
std::string err_get_insertdelete(int index, int kind, std::string_view word);
std::string err_get_matchinfo(int c, int s, const lexdiff& diff, std::string_view expected,
                              std::string_view response);
