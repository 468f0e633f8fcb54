#include "syn_tran.hpp"

#include <string_view>

#include "attr_fns.hpp"
#include "input_base.hpp"
#include "syn_cf.hpp"
#include "syn_read.hpp"
#include "termutils.hpp"

std::array<treenode*, kGuardEntries> guard_array{};

namespace {

// Priorities are compared against this starting minimum; the syntax reader keeps every written
// priority below it, so a record is always found while the list is not empty.
constexpr int kNoPriority = 1000;

constexpr unsigned char kVarRef = 255;
constexpr unsigned char kTagCode = 14;
constexpr unsigned char kTransCode = 8;
constexpr unsigned char kVfCode = 19;

unsigned char uc(char c) {
    return static_cast<unsigned char>(c);
}

// The position of the `,` or `]` that ends the attribute-list item at `r` (or the end of the
// text); quoted texts and variable references are passed whole.
const char* item_end(const char* r) {
    while (*r != '\0' && *r != ',' && *r != ']') {
        if (*r == '"') {
            ++r;
            while (*r != '\0' && *r != '"')
                ++r;
            if (*r == '"') ++r;
        } else if (uc(*r) == kVarRef && r[1] != '\0') {
            r += 2;
        } else {
            ++r;
        }
    }
    return r;
}

// The position after the attribute list that starts at `r` (its `[`).
const char* list_end(const char* r) {
    if (*r == '[') ++r;
    for (r = item_end(r); *r == ','; r = item_end(r + 1)) {
    }
    return *r == ']' ? r + 1 : r;
}

bool begins_attachment(char c) {
    const unsigned char u = uc(c);
    return u == '"' || u == kTagCode || u == kVfCode || u == kTransCode || u == '@' || u == '[' ||
           u == '/';
}

bool is_number(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// A decimal element number, capped past the last entry so that a huge one refers to nothing.
int element_number(std::string_view s) {
    int k = 0;
    for (char c : s) {
        k = k * 10 + (c - '0');
        if (k >= kGuardEntries) return kGuardEntries;
    }
    return k;
}

// The name at `p` (a run of identifier characters, as getident takes it) without copying it;
// `p` is left after it.
std::string_view name_at(const char*& p) {
    const char* start = p;
    while (*p != '\0' && (*p == '%' || (charkind[uc(*p)] & kWordChar) != 0))
        ++p;
    return {start, static_cast<std::size_t>(p - start)};
}

// One element of a coded guard; its name lies in the coded text. parse_guard sets every field
// of the elements it fills, so the table of a guard is left unfilled beyond them.
struct GuardElement {
    bool star;
    const char* name;
    std::size_t name_length;
    const char* attrs;  // its `[`, or null
};

// Splits a coded guard into its elements; -1 when there are more than the table can record.
int parse_guard(const char* g, std::array<GuardElement, kGuardEntries>& out) {
    int n = 0;
    while (*g != '\0') {
        if (*g != '*' && *g != ' ') {
            ++g;  // nothing an element begins with
            continue;
        }
        if (n >= kGuardEntries - 2) return -1;
        GuardElement& e = out[static_cast<std::size_t>(n++)];
        e.star = *g == '*';
        e.attrs = nullptr;
        e.name = nullptr;
        e.name_length = 0;
        ++g;
        if (e.star) continue;
        const std::string_view name = name_at(g);
        e.name = name.data();
        e.name_length = name.size();
        if (*g == '[') {
            e.attrs = g;
            g = list_end(g);
        }
    }
    return n;
}

bool element_matches(const GuardElement& e, const treenode* d) {
    if (!same_name(std::string_view(e.name, e.name_length), d->name)) return false;
    if (e.attrs == nullptr) return true;
    const char* p = e.attrs;
    return match_guard_attr(d, p) != 0;
}

// The daughters covered by guard element k, as a half-open run of siblings.
treenode* covered_end(int k) {
    return k + 1 < kGuardEntries ? guard_array[static_cast<std::size_t>(k + 1)] : nullptr;
}

// Builds a new daughter list one node or run at a time.
struct DaughterList {
    treenode* first = nullptr;
    treenode* last = nullptr;
    void append(treenode* n) {
        if (n == nullptr) return;
        if (last == nullptr) {
            first = n;
        } else {
            last->sibling = n;
        }
        last = n;
        while (last->sibling != nullptr)
            last = last->sibling;
    }
};

void relabel(s_attr_list* list, int old_index, int new_index) {
    for (; list != nullptr; list = list->next.get()) {
        for (s_comp_attr* s = list->first.get(); s != nullptr; s = s->another.get()) {
            if (s->index == old_index) s->index = new_index;
        }
    }
}

void relabel_below(treenode* first, int old_index, int new_index) {
    for (treenode* d = first; d != nullptr; d = d->sibling) {
        relabel(d->attributes.get(), old_index, new_index);
        relabel_below(d->son, old_index, new_index);
    }
}

// State of one top-level transform: how deep it is, the nodes in use when it began, and whether
// it has been stopped.
int depth = 0;
long nodes_at_start = 0;
bool terminated = false;

void terminate_here(const treenode* N) {
    if (!terminated) q_err("transformation terminated", N->name, "");
    terminated = true;
}

}  // namespace

void clear_guard_array() {
    guard_array.fill(nullptr);
}

transformation* find_low_priority(const treenode* N) {
    if (N == nullptr) return nullptr;
    transformation* best = nullptr;
    int low = kNoPriority;
    for (const trans_list_rec* r = N->transformation.get(); r != nullptr; r = r->next.get()) {
        if (r->trans != nullptr && r->trans->priority < low) {
            low = r->trans->priority;
            best = r->trans;
        }
    }
    return best;
}

void removeTrans(treenode* N, const transformation* trans) {
    if (N == nullptr || trans == nullptr) return;
    trans_list* at = &N->transformation;
    while (*at) {
        if ((*at)->trans != nullptr && (*at)->trans->name == trans->name) {
            trans_list gone = std::move(*at);
            *at = std::move(gone->next);
            return;
        }
        at = &(*at)->next;
    }
}

void transform(treenode* N) {
    if (N == nullptr) return;
    if (depth == 0) {
        nodes_at_start = nodepool::in_use();
        terminated = false;
    }
    if (depth >= kTransformDepth) {
        terminate_here(N);
        return;
    }
    ++depth;
    while (N->transformation) {
        if (terminated || nodepool::in_use() - nodes_at_start > kTransformNodes) {
            terminate_here(N);
            N->transformation.reset();
            break;
        }
        transformation* t = find_low_priority(N);
        if (t == nullptr) {
            // Only records that point nowhere are left; they can do nothing.
            N->transformation.reset();
            break;
        }
        if (t->functionPtr != nullptr) {
            const TransFunction fn = t->functionPtr;
            removeTrans(N, t);
            fn(N);
        } else {
            do_transform(N, t);
            removeTrans(N, t);
        }
    }
    for (treenode* d = N->son; d != nullptr; d = d->sibling)
        transform(d);
    --depth;
}

void do_transform(treenode* N, const transformation* T) {
    if (N == nullptr || T == nullptr) return;
    for (const sub_trans* alt = T->first.get(); alt != nullptr; alt = alt->next.get()) {
        clear_guard_array();
        if (match_guard(N->son, alt->guard.c_str()) != 0) {
            apply_rule(N, alt->rule.c_str());
            return;
        }
    }
}

int match_guard(treenode* sibptr, const char* guardptr) {
    if (guardptr == nullptr) return 0;
    std::array<GuardElement, kGuardEntries> el;  // filled up to n by parse_guard
    const int n = parse_guard(guardptr, el);
    if (n < 0) return 0;
    // Stars are lazy: each first covers nothing; when a later element fails, the most recent
    // star takes in one more daughter and matching resumes after it.
    int e = 0;
    treenode* d = sibptr;
    int star = -1;
    treenode* star_next = nullptr;  // where the most recent star's run would end next time
    for (;;) {
        if (e < n && el[static_cast<std::size_t>(e)].star) {
            guard_array[static_cast<std::size_t>(e + 1)] = d;
            star = e++;
            star_next = d;
            continue;
        }
        if (e < n && d != nullptr && element_matches(el[static_cast<std::size_t>(e)], d)) {
            guard_array[static_cast<std::size_t>(++e)] = d;
            d = d->sibling;
            continue;
        }
        if (e == n && d == nullptr) {
            guard_array[static_cast<std::size_t>(n + 1)] = nullptr;
            return 1;
        }
        if (star < 0 || star_next == nullptr) return 0;
        star_next = star_next->sibling;
        d = star_next;
        e = star + 1;
    }
}

int match_guard_attr(const treenode* N, const char*& guard) {
    if (*guard == '[') ++guard;
    bool ok = true;
    while (*guard != '\0' && *guard != ']') {
        const char* after = text_to_comp_array(guard, 1);
        if (ok && attr_index > 0 && find_attr(N->attributes.get()) == nullptr) ok = false;
        guard = item_end(after);
        if (*guard == ',') ++guard;
        if (!ok) {
            guard = list_end(guard);  // the rest need not be matched
            return 0;
        }
    }
    if (*guard == ']') ++guard;
    return ok ? 1 : 0;
}

void apply_rule(treenode* N, const char* rule) {
    if (N == nullptr || rule == nullptr || *rule == '\0') return;
    DaughterList out;
    const char* r = rule;
    while (*r != '\0') {
        if (*r != ' ') {
            ++r;  // nothing an element begins with
            continue;
        }
        ++r;
        const std::string_view name = name_at(r);
        if (is_number(name)) {
            const int k = element_number(name);
            if (k >= 1 && k < kGuardEntries) {
                const treenode* end = covered_end(k);
                for (const treenode* d = guard_array[static_cast<std::size_t>(k)];
                     d != nullptr && d != end; d = d->sibling)
                    out.append(copytree(d));
            }
        } else if (same_name(name, "ROOT")) {
            out.append(copytree(treestate == 1 ? root : oldroot));
        } else if (!name.empty()) {
            treenode* leaf = makenode(name);
            terminal_node(leaf);
            out.append(leaf);
        }
        if (!begins_attachment(*r)) continue;
        if (out.last != nullptr) {
            r = add_attachments(out.last, r, 4);
        } else {
            // Nothing has been made yet to carry them; they are read and dropped.
            q_err("Transformation: ", "attachments of an element that copies nothing: ", name);
            treenode* scratch = makenode(nullptr);
            r = add_attachments(scratch, r, 4);
            purge_tree(scratch);
        }
    }
    purge_tree2(N->son);
    N->son = out.first;
}

const char* construct_attr_tran(treenode* N, const char* r) {
    while (*r != '\0' && *r != ']') {
        int element = 0;
        bool removal = false;
        if (*r == '!' && r[1] != '\0') {
            element = static_cast<signed char>(r[1]);
            r += 2;
        } else if (*r == '-') {
            removal = true;
            ++r;
        }
        const char* after = text_to_comp_array(r, 1);
        r = item_end(after);
        if (*r == ',') ++r;
        if (attr_index == 0) continue;
        if (removal) {
            if (const s_comp_attr* c = find_attr(N->attributes.get()))
                new_attr_remove(N->attributes, c);
            continue;
        }
        comp_attr made;
        if (element != 0) {
            const treenode* from = element > 0 && element < kGuardEntries
                                       ? guard_array[static_cast<std::size_t>(element)]
                                       : nullptr;
            const s_comp_attr* c = from != nullptr ? find_attr(from->attributes.get()) : nullptr;
            if (c == nullptr) continue;
            made = dup_decon_comp_attr(c);
        } else {
            made = make_comp_attr();
        }
        if (!made) continue;
        if (attr_seg_count(made.get()) == 1) {
            // The new value takes the place of the node's value of that type, in the node and
            // in everything below it that shared the old one.
            if (const s_comp_attr* old = find_type_in_attr(made->index, N->attributes.get())) {
                const int old_index = old->index;
                new_attr_remove(N->attributes, old);
                change_attr(N, old_index, made->index, 1);
            }
        }
        append_attr(N->attributes, std::move(made));
    }
    return *r == ']' ? r + 1 : r;
}

void change_attr(treenode* N, int old_index, int new_index, int top) {
    if (N == nullptr || old_index == new_index) return;
    if (top != 1) relabel(N->attributes.get(), old_index, new_index);
    relabel_below(N->son, old_index, new_index);
}

void print_transf() {
    for (const transformation* t = trans_stack.get(); t != nullptr; t = t->next.get()) {
        q_msg(t->name);
        if (!t->barrier && t->functionPtr == nullptr && t->first)
            q_msg(" first RHS: " + printable_code(t->first->rule));
    }
}

void reset_syn_tran() {
    clear_guard_array();
    depth = 0;
    nodes_at_start = 0;
    terminated = false;
}
