#include "attr_data.hpp"

#include <algorithm>
#include <cctype>
#include <unordered_map>

#include "input_base.hpp"

std::array<attr_table_entry, kAttrTypes> attr_table;
int total_types = 1;
std::vector<q_att_record> q_att_table;
int q_att_size = 0;
int att_class = 0;
int att_value = -1;
unsigned long attr_names_version = 0;

namespace {

void empty_entry(attr_table_entry& e) {
    e.type.clear();
    e.entries = 1;
    e.list.assign(1, std::string());
    e.valence.assign(1, 0);
    e.partial = 0;
    e.trans.clear();
}

// Token kinds of the attribute file, one bit each so that expected sets are masks.
enum Kind : int {
    kIdent = 1,
    kOpen = 2,
    kClose = 4,
    kComma = 8,
    kLess = 16,
    kPercent = 32,
    kEnd = 64,
    kOther = 128,
};

Kind kind_of(int tok) {
    switch (tok) {
        case kTokIdent:
            return kIdent;
        case '(':
            return kOpen;
        case ')':
            return kClose;
        case ',':
            return kComma;
        case '<':
            return kLess;
        case kTokPercent:
            return kPercent;
        case kTokEof:
            return kEnd;
        default:
            return kOther;
    }
}

class AttrReader {
  public:
    void run() {
        int expected = kIdent;
        for (;;) {
            const int tok = q_peep();
            const Kind k = kind_of(tok);
            if ((expected & k) == 0) q_err("Inappropriate", tok2str(tok), "");
            switch (k) {
                case kIdent:
                    expected = identifier(identbuf.data());
                    break;
                case kOpen:
                    in_list_ = true;
                    prev_ = 0;
                    lt_pending_ = false;
                    expected = kIdent;
                    break;
                case kClose:
                    close_list();
                    expected = kIdent | kPercent;
                    break;
                case kComma:
                    lt_pending_ = false;
                    expected = kIdent;
                    break;
                case kLess:
                    lt_pending_ = true;
                    expected = kIdent;
                    break;
                case kPercent:
                    while (q_peep() != kTokEof)
                        q_next();  // the rest is not read
                    close_list();
                    return;
                case kEnd:
                    close_list();
                    return;
                case kOther:
                    break;
            }
            q_next();
        }
    }

  private:
    int identifier(const std::string& name) {
        if (!in_list_) {
            start_type(name);
            return kOpen;
        }
        if (std::isdigit(static_cast<unsigned char>(name[0])) != 0) {
            valence_ = number(name);
            return kIdent;
        }
        add_value(name);
        return kClose | kComma | kLess;
    }

    static int number(const std::string& digits) {
        long n = 0;
        for (char c : digits) {
            if (std::isdigit(static_cast<unsigned char>(c)) == 0) break;
            n = std::min(n * 10 + (c - '0'), 1'000'000'000L);
        }
        return static_cast<int>(n);
    }

    void start_type(const std::string& name) {
        type_ = 0;
        if (name.size() > static_cast<std::size_t>(kTypeNameLen)) {
            q_err("attribute type name too long:", name, "");
            return;
        }
        if (total_types >= kAttrTypes) {
            q_err("too many attribute types:", name, "");
            return;
        }
        type_ = total_types++;
        attr_table_entry& e = attr_table[static_cast<std::size_t>(type_)];
        empty_entry(e);
        e.type.assign(name);
    }

    void add_value(const std::string& name) {
        const int pending = valence_;
        valence_ = 0;
        if (type_ == 0) return;  // the type was refused
        attr_table_entry& e = attr_table[static_cast<std::size_t>(type_)];
        int v = 0;
        for (int i = 1; i < e.entries; ++i) {
            if (e.list[static_cast<std::size_t>(i)] == name) v = i;
        }
        if (v == 0) {
            if (e.entries >= kAttrValues) {
                q_err("Table full", e.type.view(), "");
            } else {
                v = e.entries++;
                e.list.push_back(name);
                e.valence.push_back(pending);
            }
        }
        if (lt_pending_ && prev_ > 0 && v > 0) {
            if (e.trans.size() < static_cast<std::size_t>(kAttrValues)) e.trans.resize(kAttrValues);
            e.trans[static_cast<std::size_t>(prev_)].set(static_cast<std::size_t>(v));
            e.partial = 1;
        }
        lt_pending_ = false;
        prev_ = v;
    }

    // Ends a value list: an ordered type gets the transitive closure of its order.
    void close_list() {
        if (!in_list_) return;
        in_list_ = false;
        if (type_ == 0) return;
        attr_table_entry& e = attr_table[static_cast<std::size_t>(type_)];
        if (e.partial == 0) return;
        const auto n = static_cast<std::size_t>(e.entries);
        for (std::size_t i = 0; i < n; ++i)
            e.trans[i].set(i);
        for (std::size_t k = 0; k < n; ++k) {
            for (std::size_t i = 0; i < n; ++i) {
                if (e.trans[i].test(k)) e.trans[i] |= e.trans[k];
            }
        }
    }

    int type_ = 0;
    bool in_list_ = false;
    int prev_ = 0;
    bool lt_pending_ = false;
    int valence_ = 0;
};

// Names to their first row of q_att_table: attribute texts are parsed at every step of a
// generation, and each name in them is looked up here.
std::unordered_map<std::string_view, std::size_t> name_index;

void build_index() {
    q_att_table.clear();
    name_index.clear();
    ++attr_names_version;
    for (int t = 1; t < total_types; ++t) {
        const attr_table_entry& e = attr_table[static_cast<std::size_t>(t)];
        q_att_table.push_back({std::string(e.type.view()), t, -1});
        for (int v = 1; v < e.entries; ++v) {
            q_att_table.push_back({e.list[static_cast<std::size_t>(v)], t, v});
        }
    }
    std::stable_sort(q_att_table.begin(), q_att_table.end(),
                     [](const q_att_record& a, const q_att_record& b) { return a.name < b.name; });
    q_att_size = static_cast<int>(q_att_table.size());
    for (std::size_t i = 0; i < q_att_table.size(); ++i)
        name_index.emplace(q_att_table[i].name, i);  // the first of equal names stays
    for (std::size_t i = 1; i < q_att_table.size(); ++i) {
        if (q_att_table[i].name == q_att_table[i - 1].name) {
            q_err("Warning: attribute value", q_att_table[i].name, "duplicated");
        }
    }
}

}  // namespace

void initattributes() {
    for (attr_table_entry& e : attr_table)
        empty_entry(e);
    total_types = 1;
}

void clearattributes() {
    initattributes();
    q_att_table.clear();
    name_index.clear();
    ++attr_names_version;
    q_att_size = 0;
}

void readattr(const char* filename) {
    file_operation = "attribute input";
    q_stat = 0;
    if (!openfile(filename, 0)) {
        q_err("unable to open file: ", filename != nullptr ? filename : "", "");
    } else {
        AttrReader().run();
    }
    build_index();
    file_operation.clear();
}

int lookup_attr(std::string_view name) {
    const auto it = name_index.find(name);
    if (it == name_index.end()) return 0;
    const q_att_record& r = q_att_table[it->second];
    att_class = r.type;
    att_value = r.value;
    return 1;
}

const char* att_get_name(int type, int value) {
    if (type < 1 || type >= total_types) return "IllegalClass";
    const attr_table_entry& e = attr_table[static_cast<std::size_t>(type)];
    if (value == -1) return e.type.c_str();
    if (value < 0 || value >= e.entries) return "IllegalValue";
    return e.list[static_cast<std::size_t>(value)].c_str();
}

int valid(int sign, int class_, int dict_choice, int match_choice) {
    if (class_ < 1 || class_ >= total_types) return dict_choice == match_choice ? 1 : 0;
    const attr_table_entry& e = attr_table[static_cast<std::size_t>(class_)];
    const auto in_range = [&e](int v) { return v >= 0 && v < e.entries; };
    if (e.partial == 0 || !in_range(dict_choice) || !in_range(match_choice) ||
        (sign != '<' && sign != '>')) {
        return dict_choice == match_choice ? 1 : 0;
    }
    const auto below = [&e](int a, int b) {
        return e.trans[static_cast<std::size_t>(a)].test(static_cast<std::size_t>(b));
    };
    return (sign == '<' ? below(match_choice, dict_choice) : below(dict_choice, match_choice)) ? 1
                                                                                               : 0;
}
