#include "gento/terminal.hpp"

#include "input_base.hpp"

std::array<std::string, kTerminals> terminal_table;
int terminal_count = 0;

namespace {
// Lexicon lines and leaves tend to come in runs of one class, so the last hit is tried first.
int last_found = -1;

int find_terminal(std::string_view name) {
    if (last_found >= 0 && last_found < terminal_count &&
        same_name(terminal_table[static_cast<std::size_t>(last_found)], name)) {
        return last_found;
    }
    for (int i = 0; i < terminal_count; ++i) {
        if (same_name(terminal_table[static_cast<std::size_t>(i)], name)) {
            last_found = i;
            return i;
        }
    }
    return -1;
}

void add_terminal(const std::string& name) {
    if (find_terminal(name) >= 0) {
        q_err("Repeated terminal", name, "");
    } else if (terminal_count >= kTerminals) {
        q_err("Too many terminals; ignored:", name, "");
    } else {
        terminal_table[static_cast<std::size_t>(terminal_count++)] = name;
    }
}
}  // namespace

void read_terminals(const char* file_name) {
    file_operation = "terminals input";
    q_stat = 0;
    if (!openfile(file_name, 0)) {
        q_err("unable to open file: ", file_name != nullptr ? file_name : "", "");
    } else {
        for (int tok = q_peep(); tok != kTokEof; tok = q_peep()) {
            if (tok == kTokIdent) {
                add_terminal(std::string(identbuf.data()));
            } else {
                q_err("Unexpected symbol", tok2str(tok), "");
            }
            q_next();
        }
    }
    file_operation.clear();
}

int lookup_terminal(std::string_view symbol) {
    const std::size_t bar = symbol.find('|');
    if (bar != std::string_view::npos) symbol = symbol.substr(0, bar);
    return find_terminal(symbol);
}

void clear_terminals() {
    for (int i = 0; i < terminal_count; ++i)
        terminal_table[static_cast<std::size_t>(i)].clear();
    terminal_count = 0;
    last_found = -1;
}

void reset_terminal() {
    clear_terminals();
}
