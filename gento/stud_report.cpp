#include "stud_report.hpp"

#include <cstdlib>

#include "stud_read.hpp"

namespace {

// A piece of a line is cut to its room; the line end that closes it is kept.
std::string cut(std::string piece) {
    if (piece.size() <= kPieceMax) return piece;
    const bool ends_line = piece.back() == '\n';
    piece.resize(kPieceMax - (ends_line ? 1 : 0));
    if (ends_line) piece += '\n';
    return piece;
}

std::string pair_text(std::string_view expected, std::string_view response) {
    std::string s(expected);
    s += '/';
    s += response;
    return s;
}

// The report so far; pieces that would pass its room are left out, and the closing line always
// has room.
class Report {
  public:
    void add(const std::string& piece) {
        if (text_.size() + piece.size() + kClosing.size() > kReportMax) return;
        text_ += piece;
    }
    std::string close() {
        text_ += kClosing;
        return std::move(text_);
    }

  private:
    static constexpr std::string_view kClosing = "***\n";
    std::string text_;
};

bool related(const lexdiff& d) {
    return d.matchclass != kDifferent;
}

}  // namespace

std::string err_get_insertdelete(int index, int kind, std::string_view word) {
    const std::string w(word);
    if (kind == 0) return cut("C" + std::to_string(index) + " --  MISSING  " + w + "\n");
    return cut("-- S" + std::to_string(index) + "  EXTRA    " + w + "\n");
}

std::string err_get_matchinfo(int c, int s, const lexdiff& diff, std::string_view expected,
                              std::string_view response) {
    const std::string prefix = "C" + std::to_string(c) + " S" + std::to_string(s) + "   ";
    const std::string words = pair_text(expected, response);
    const int cls = diff.matchclass;
    std::string line;
    if (cls == kSameWord) {
        line = prefix + cut("EXACT   " + words + "\n");
    } else if (cls == kSpelling) {
        line = prefix + cut("APPROX   " + words + "\n");
    } else if (cls == kInflection) {
        std::string text = "MORPH    " + words + " ";
        for (std::size_t i = 0; i < diff.breakup.size(); ++i) {
            if (i > 0) text += "OR  ";
            text += diff.breakup[i] + "  ";
        }
        line = prefix + cut(text + "\n");
    } else if (cls == kSameSound) {
        std::string text = "PHONO " + words + "   ";
        if (diff.error != "none" && !diff.error.empty()) {
            text += "\n" + diff.error + "\n";
        } else {
            for (const std::string& b : diff.breakup)
                text += b + " ";
            text += "\n";
        }
        line = prefix + cut(text);
    } else if (cls >= kFirstTag) {
        const tag_table* t = err_get_tag_name(cls);
        line = prefix + cut("LEX " + words + "  " + std::to_string(t != nullptr ? t->field : 0) +
                            ":" + (t != nullptr ? t->tag : std::string("?")) + "\n");
    } else {
        line = "unrecognizable match type\n";
    }
    return line;
}

std::string err_get_report(const std::vector<lexdiff>& matrix, int m, int n,
                           const err_lex_struct& words, const std::vector<std::string>& expected) {
    Report report;
    const auto at = [&](int i, int j) -> const lexdiff& {
        return matrix[static_cast<std::size_t>((i - 1) * n + (j - 1))];
    };
    const auto word = [&](int j) -> std::string_view {
        return words[static_cast<std::size_t>(j - 1)];
    };
    const auto exp = [&](int i) -> std::string_view {
        return expected[static_cast<std::size_t>(i - 1)];
    };
    bool correct = true;

    // Each expected word is aligned with the related response word nearest its position.
    std::vector<int> align(static_cast<std::size_t>(m) + 1, -2);
    for (int i = 1; i <= m; ++i) {
        int best = -1;
        for (int j = 1; j <= n; ++j) {
            if (!related(at(i, j))) continue;
            if (best < 0 || std::abs(i - j) < std::abs(i - best)) best = j;
        }
        if (best < 0) {
            report.add(err_get_insertdelete(i, 0, exp(i)));
            correct = false;
            continue;
        }
        align[static_cast<std::size_t>(i)] = best;
        if (best != i || at(i, best).matchclass != kSameWord) correct = false;
    }

    // Each response word claims the first related expected word not yet claimed.
    std::vector<int> used(static_cast<std::size_t>(m) + 1, 0);
    for (int j = 1; j <= n; ++j) {
        int claimed = -1;
        for (int i = 1; i <= m && claimed < 0; ++i) {
            if (used[static_cast<std::size_t>(i)] != 1 && related(at(i, j))) claimed = i;
        }
        if (claimed < 0) {
            report.add(err_get_insertdelete(j, 1, word(j)));
            correct = false;
        } else {
            used[static_cast<std::size_t>(claimed)] = 1;
        }
    }

    if (correct) {
        report.add("CORRECT\n");
    } else {
        for (int i = 1; i <= m; ++i) {
            const int j = align[static_cast<std::size_t>(i)];
            if (j == -2 || used[static_cast<std::size_t>(i)] != 1) continue;
            report.add(err_get_matchinfo(i, j, at(i, j), exp(i), word(j)));
        }
    }
    return report.close();
}
