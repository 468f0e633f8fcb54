// Compound attributes, attribute lists, the delay tables through which undecided attribute values
// are shared, and the working rows in which one compound is parsed or compared.
#pragma once

#include <array>
#include <memory>

#include "recycle.hpp"

// One segment of a compound: a position in the delay table.
struct s_comp_attr : Recycled<s_comp_attr> {
    int index = 0;
    std::unique_ptr<s_comp_attr> another;
    ~s_comp_attr();
};
// A compound attribute owns its chain of segments; no segments is the null compound.
using comp_attr = std::unique_ptr<s_comp_attr>;

struct s_attr_list : Recycled<s_attr_list> {
    int attr_count = 0;  // segments of `first`
    comp_attr first;
    std::unique_ptr<s_attr_list> next;
    ~s_attr_list();
};
using attr_list = std::unique_ptr<s_attr_list>;

// ---------------------------------------------------------------------------------------------
// Delay tables
// ---------------------------------------------------------------------------------------------
struct t_delay {
    int class_ = 0;   // attribute type number
    int choice = -1;  // value number, -1 while undecided
    int fixed = 0;    // 1 once the value is settled
};
inline constexpr int kDelaySize = 5000;
extern std::array<t_delay, kDelaySize> delayed;
extern int delayptr;
extern std::array<t_delay, kDelaySize> lt_delayed;
extern int lt_delayptr;
extern int MState;  // 1 while lexical transformations run

// A new entry of `delayed` (or of `lt_delayed`). At 4999 entries in use the table is full: the
// message "Delay table exceeded" is appended and the last entry is given out again.
int new_delay(int class_, int choice, int fixed);
int lt_new_delay(int class_, int choice, int fixed);
// The entry at `i`, or a scratch entry when `i` is out of the table, so that a stray index can
// never reach outside it.
t_delay& delay_at(int i);
t_delay& lt_delay_at(int i);

// ---------------------------------------------------------------------------------------------
// Working rows
// ---------------------------------------------------------------------------------------------
struct attr_row {
    int type = 0;
    int value = -1;
    int decon = 0;
    int ltindex = 0;
    int lttmp = 0;
};
inline constexpr int kAttrRows = 20;
extern std::array<attr_row, kAttrRows> attr;
extern int attr_index;
extern int all_values;
extern int all_decon;

// ---------------------------------------------------------------------------------------------
// Compounds and lists
// ---------------------------------------------------------------------------------------------
comp_attr create_comp_attr();
void add_comp_attr(comp_attr& compound, int index);
int attr_seg_count(const s_comp_attr* compound);
int comp_attr_element(const s_comp_attr* compound, int n);  // from 1; -1 when there is none
comp_attr duplicate_comp_attr(const s_comp_attr* compound);
void purge_comp_attr(comp_attr& compound);

attr_list create_attr_list();
void add_attr_to_list(attr_list& list, comp_attr compound);
int attr_list_count(const s_attr_list* list);
const s_comp_attr* attr_list_element(const s_attr_list* list, int n);  // from 1
attr_list duplicate_attr_list(const s_attr_list* list);
void purge_attr_list(attr_list& list);
int present_compound(const s_attr_list* list, const s_comp_attr* compound);
void append_attr(attr_list& list, comp_attr compound);
void combine_attr_list(attr_list& list, const s_attr_list* other);
void new_attr_remove(attr_list& list, const s_comp_attr* compound);

// Start-up and tests: empty delay tables and working rows.
void reset_attr_list();
