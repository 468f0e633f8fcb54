#include "uninstall.hpp"

#include <cctype>

#include "attr_data.hpp"
#include "editor/terminal.hpp"
#include "gento/terminal.hpp"
#include "input_base.hpp"
#include "lex_read.hpp"
#include "lt_mem.hpp"
#include "morphology.hpp"
#include "scrout.hpp"
#include "stud_mor.hpp"
#include "stud_phon.hpp"
#include "stud_read.hpp"
#include "syn_globals.hpp"
#include "syn_misc.hpp"

namespace {
constexpr int kAT = 1, kUS = 2, kSY = 4, kMO = 8, kTB = 16, kTM = 32, kLE = 64, kIP = 128,
              kMR = 256, kTG = 512, kSM = 1024, kLX = 2048, kGP = 4096;
constexpr int kAll = 8191;
}  // namespace

// Kinds whose modules are still to come have no clear or initialise operation here yet.
const std::array<qfile_row, kKinds> qfile_table = {{
    {"dummy", 0, nullptr, nullptr, ' '},
    {"AT", kAT | kLE | kMR | kGP, clearattributes, clearattributes, 'a'},
    {"US", kUS, dump_syntax, dump_syntax, 'u'},
    {"SY", kUS | kSY, dump_syntax, dump_syntax, 's'},
    {"MO", kMO, clear_mrules, init_mrules, 'm'},
    {"TB", kTB, clear_tables, nullptr, 'T'},
    {"TM", kTM | kLE | kMR, clear_terminals, clear_terminals, 't'},
    {"LE", kLE | kGP, clearlexicon, nullptr, 'L'},
    {"IP", kIP, clear_phon_tables, clear_phon_tables, 'p'},
    {"MR", kMR, clear_mrdata, clear_mrdata, 'e'},
    {"TG", kTG, clear_tag_tables, clear_tag_tables, 'g'},
    {"SM", kSM, nullptr, nullptr, '@'},
    {"LX", kLX, purge_lt_rules, initialize_lt_rules, 'x'},
    {"GP", kGP, clear_GP, clear_GP, '@'},
    {"ALL", kAll, nullptr, nullptr, ' '},
}};

int installed = 0;
std::array<std::string, kLetterSlots> gentofilename;

void putgentofile(std::string_view name, char letter) {
    std::string cmd = "$mQ";
    cmd += letter;
    cmd += name;
    pltransmit(cmd);
    const int slot = static_cast<unsigned char>(letter) - kFirstLetter;
    if (slot >= 0 && slot < kLetterSlots) gentofilename[static_cast<std::size_t>(slot)] = name;
}

std::string bits_to_text(int bits) {
    std::string s;
    for (int n = 1; n <= 13; ++n) {
        if ((bits & (1 << (n - 1))) == 0) continue;
        if (!s.empty()) s += ", ";
        s += qfile_table[static_cast<std::size_t>(n)].name;
    }
    return s.empty() ? "none" : s;
}

int text_to_bits(std::string_view text) {
    for (char c : text) {
        if (std::isalpha(static_cast<unsigned char>(c)) == 0 && c != ',' && c != ' ') {
            diserr("improper character in parameter");
            return 0;
        }
    }
    int bits = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(',', start);
        if (end == std::string_view::npos) end = text.size();
        std::string name;
        for (char c : text.substr(start, end - start)) {
            if (c != ' ') name += c;
        }
        if (!name.empty()) {
            std::string upper;
            for (char c : name)
                upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            int mask = -1;
            for (int n = 1; n < kKinds; ++n) {
                if (upper == qfile_table[static_cast<std::size_t>(n)].name) {
                    mask = qfile_table[static_cast<std::size_t>(n)].mask;
                }
            }
            if (mask < 0) {
                q_msg(name + " not a file kind");
            } else {
                bits |= mask;
            }
        }
        start = end + 1;
    }
    return bits;
}

void uninstall(int mask) {
    int removed = 0;
    for (int n = 1; n <= 13; ++n) {
        const int bit = 1 << (n - 1);
        if ((mask & bit) == 0 || (installed & bit) == 0) continue;
        const qfile_row& row = qfile_table[static_cast<std::size_t>(n)];
        if (row.clear != nullptr) row.clear();
        putgentofile("", row.letter);
        removed |= bit;
    }
    // Trees, sentences and preselections point into the attributes, terminals and lexicon:
    // whichever of those goes takes every generation result with it, the global preselection
    // included, so that nothing is left to point into what was released.
    if ((removed & (kAT | kTM | kLE)) != 0) {
        clear_SE_PRE(1);
        if ((installed & kGP) != 0) {
            putgentofile("", qfile_table[13].letter);
            removed |= kGP;
        }
    }
    installed &= ~removed;
    q_msg("uninstalled: " + bits_to_text(removed));
}

void uninstall_n(int n) {
    if (n < 0 || n >= kKinds) return;
    uninstall(qfile_table[static_cast<std::size_t>(n)].mask);
}

void install_attributes(const char* filename) {
    uninstall_n(1);
    readattr(filename);
    putgentofile(filename != nullptr ? filename : "", 'a');
    installed |= kAT;
}

void reset_uninstall() {
    installed = 0;
    for (std::string& s : gentofilename)
        s.clear();
}
