#include "attr_list.hpp"

#include "input_base.hpp"

std::array<t_delay, kDelaySize> delayed{};
int delayptr = 0;
std::array<t_delay, kDelaySize> lt_delayed{};
int lt_delayptr = 0;
int MState = 0;

std::array<attr_row, kAttrRows> attr{};
int attr_index = 0;
int all_values = 1;
int all_decon = 1;

// Chains are unlinked one record at a time, so that a long one cannot exhaust the stack.
s_comp_attr::~s_comp_attr() {
    auto p = std::move(another);
    while (p)
        p = std::move(p->another);
}

s_attr_list::~s_attr_list() {
    auto p = std::move(next);
    while (p)
        p = std::move(p->next);
}

namespace {

constexpr int kDelayLast = kDelaySize - 2;  // the last entry given out: 4999 in use at most

int take_delay(std::array<t_delay, kDelaySize>& table, int& ptr, int class_, int choice,
               int fixed) {
    int i = ptr;
    if (ptr > kDelayLast) {
        q_msg("Delay table exceeded");
        i = kDelayLast;
    } else {
        ++ptr;
    }
    table[static_cast<std::size_t>(i)] = t_delay{class_, choice, fixed};
    return i;
}

t_delay scratch;

}  // namespace

int new_delay(int class_, int choice, int fixed) {
    return take_delay(delayed, delayptr, class_, choice, fixed);
}

int lt_new_delay(int class_, int choice, int fixed) {
    return take_delay(lt_delayed, lt_delayptr, class_, choice, fixed);
}

t_delay& delay_at(int i) {
    if (i < 0 || i >= kDelaySize) {
        scratch = t_delay{};
        return scratch;
    }
    return delayed[static_cast<std::size_t>(i)];
}

t_delay& lt_delay_at(int i) {
    if (i < 0 || i >= kDelaySize) {
        scratch = t_delay{};
        return scratch;
    }
    return lt_delayed[static_cast<std::size_t>(i)];
}

comp_attr create_comp_attr() {
    return nullptr;
}

void add_comp_attr(comp_attr& compound, int index) {
    comp_attr* at = &compound;
    while (*at)
        at = &(*at)->another;
    *at = std::make_unique<s_comp_attr>();
    (*at)->index = index;
}

int attr_seg_count(const s_comp_attr* compound) {
    int n = 0;
    for (; compound != nullptr; compound = compound->another.get())
        ++n;
    return n;
}

int comp_attr_element(const s_comp_attr* compound, int n) {
    for (int i = 1; compound != nullptr; compound = compound->another.get(), ++i) {
        if (i == n) return compound->index;
    }
    return -1;
}

comp_attr duplicate_comp_attr(const s_comp_attr* compound) {
    comp_attr copy;
    comp_attr* at = &copy;
    for (; compound != nullptr; compound = compound->another.get()) {
        *at = std::make_unique<s_comp_attr>();
        (*at)->index = compound->index;
        at = &(*at)->another;
    }
    return copy;
}

void purge_comp_attr(comp_attr& compound) {
    compound.reset();
}

attr_list create_attr_list() {
    return nullptr;
}

void add_attr_to_list(attr_list& list, comp_attr compound) {
    attr_list* at = &list;
    while (*at)
        at = &(*at)->next;
    *at = std::make_unique<s_attr_list>();
    (*at)->attr_count = attr_seg_count(compound.get());
    (*at)->first = std::move(compound);
}

int attr_list_count(const s_attr_list* list) {
    int n = 0;
    for (; list != nullptr; list = list->next.get())
        ++n;
    return n;
}

const s_comp_attr* attr_list_element(const s_attr_list* list, int n) {
    for (int i = 1; list != nullptr; list = list->next.get(), ++i) {
        if (i == n) return list->first.get();
    }
    return nullptr;
}

attr_list duplicate_attr_list(const s_attr_list* list) {
    attr_list copy;
    attr_list* at = &copy;
    for (; list != nullptr; list = list->next.get()) {
        *at = std::make_unique<s_attr_list>();
        (*at)->attr_count = list->attr_count;
        (*at)->first = duplicate_comp_attr(list->first.get());
        at = &(*at)->next;
    }
    return copy;
}

void purge_attr_list(attr_list& list) {
    list.reset();
}

namespace {

bool same_indexes(const s_comp_attr* a, const s_comp_attr* b) {
    for (; a != nullptr && b != nullptr; a = a->another.get(), b = b->another.get()) {
        if (a->index != b->index) return false;
    }
    return a == nullptr && b == nullptr;
}

}  // namespace

int present_compound(const s_attr_list* list, const s_comp_attr* compound) {
    if (compound == nullptr) return 0;
    const int count = attr_seg_count(compound);
    for (; list != nullptr; list = list->next.get()) {
        if (list->attr_count == count && same_indexes(list->first.get(), compound)) return 1;
    }
    return 0;
}

void append_attr(attr_list& list, comp_attr compound) {
    if (present_compound(list.get(), compound.get())) return;  // the new one is released here
    add_attr_to_list(list, std::move(compound));
}

void combine_attr_list(attr_list& list, const s_attr_list* other) {
    for (; other != nullptr; other = other->next.get()) {
        if (!present_compound(list.get(), other->first.get())) {
            add_attr_to_list(list, duplicate_comp_attr(other->first.get()));
        }
    }
}

void new_attr_remove(attr_list& list, const s_comp_attr* compound) {
    if (compound == nullptr) return;
    for (attr_list* at = &list; *at; at = &(*at)->next) {
        if ((*at)->first.get() == compound) {
            attr_list gone = std::move(*at);
            *at = std::move(gone->next);
            return;
        }
    }
}

void reset_attr_list() {
    delayed.fill(t_delay{});
    lt_delayed.fill(t_delay{});
    delayptr = 0;
    lt_delayptr = 0;
    MState = 0;
    attr.fill(attr_row{});
    attr_index = 0;
    all_values = 1;
    all_decon = 1;
}
