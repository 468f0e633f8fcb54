// Paragraph reformat, justification and hyphenation.
#pragma once

#include <string_view>

// The soft hyphen written where a word is broken by hyphenation; shown as '-'.
inline constexpr unsigned char kSoftHyphen = 173;

// Where a word may be broken: `point` characters stay on the line (below 1: no break), and
// `at_hyphen` is true when the break follows a hyphen of the word, so no soft hyphen is added.
struct HyphenBreak {
    int point;
    bool at_hyphen;
};

// Refills the paragraph that starts at the cursor line between the margins (Ctrl-R); the old
// lines go to core file 0.
void reformat();

// The best break of `word` keeping at most `hmax` characters on the line, by the rules that the
// degree of hyphenation (HYPHENS) allows.
HyphenBreak hyphenate(std::string_view word, int hmax);

// Start-up state: the justification's rotating bit back at its first position.
void reset_reformat();
