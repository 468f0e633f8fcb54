#include "stud_read.hpp"

#include <string_view>

#include "input_base.hpp"

std::unique_ptr<tag_table> taglist;

tag_table::~tag_table() {
    auto p = std::move(next);
    while (p)
        p = std::move(p->next);
}

namespace {

int tag_count() {
    int n = 0;
    for (const tag_table* t = taglist.get(); t != nullptr; t = t->next.get())
        ++n;
    return n;
}

// A field number: digits only, at most three of them (larger numbers name no field).
int field_number(std::string_view text) {
    if (text.empty() || text.size() > 3) return -1;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

void add_tag(const std::string& name, int field) {
    std::unique_ptr<tag_table>* tail = &taglist;
    int n = kFirstTag;
    while (*tail) {
        tail = &(*tail)->next;
        ++n;
    }
    auto t = std::make_unique<tag_table>();
    t->tag = name;
    t->tag_int = n;
    t->field = field;
    *tail = std::move(t);
}

void read_tags() {
    std::string name;
    bool open = false;  // between the declaration's '(' and ')'
    bool reported = false;
    int field = -1;
    for (int tok = q_peep(); tok != kTokEof; tok = q_peep()) {
        if (tok == kTokIdent) {
            const std::string_view text = identbuf.data();
            if (!open) {
                name = text;
                file_position.assign_cut("tag " + name);
            } else if (field < 0 && field_number(text) >= 0) {
                field = field_number(text);
            } else if (!reported) {
                q_err("field number expected, found", text, "");
                reported = true;
            }
        } else if (tok == '(') {
            open = !name.empty();
            field = -1;
            reported = false;
        } else if (tok == ')' && open) {
            if (field < 0) {
                if (!reported) q_err("field number expected", "", "");
            } else if (field < 1 || field > kMaxTagField) {
                q_err("field number out of range", std::to_string(field), "");
            } else if (tag_count() >= kMaxTags) {
                q_err("too many tags; ignored", "", "");
            } else {
                add_tag(name, field);
            }
            open = false;
            name.clear();
            file_position.clear();
        }
        q_next();
    }
    if (open) q_err("last declaration incomplete", "", "");
}

}  // namespace

void tag_readtables(const char* filename) {
    file_operation = "tag info input";
    q_stat = 0;
    if (!openfile(filename, 0)) {
        q_err("unable to open file: ", filename != nullptr ? filename : "", "");
    } else {
        read_tags();
    }
    file_position.clear();
    file_operation.clear();
}

void clear_tag_tables() {
    taglist.reset();
}

const tag_table* err_get_tag_name(int n) {
    for (const tag_table* t = taglist.get(); t != nullptr; t = t->next.get()) {
        if (t->tag_int == n) return t;
    }
    return nullptr;
}

void reset_stud_read() {
    clear_tag_tables();
}
