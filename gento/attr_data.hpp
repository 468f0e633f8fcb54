// The attribute store: the attribute types and their values read from the attribute file, the
// order among the values of a type, valences, and the name index that rule texts are looked up in.
#pragma once

#include <array>
#include <bitset>
#include <string>
#include <string_view>
#include <vector>

#include "globals.hpp"

inline constexpr int kAttrTypes = 254;   // type 0 is never used
inline constexpr int kAttrValues = 254;  // value 0 is never used
inline constexpr int kTypeNameLen = 31;

struct attr_table_entry {
    FixStr<kTypeNameLen> type;
    int entries = 1;                // one more than the number of values
    std::vector<std::string> list;  // value names by number; slot 0 unused
    std::vector<int> valence;
    int partial = 0;  // 1 when an order was declared among the values
    // For an ordered type, trans[a][b] is set when a is below or equal to b, after closure.
    std::vector<std::bitset<kAttrValues>> trans;
};
extern std::array<attr_table_entry, kAttrTypes> attr_table;
extern int total_types;  // one more than the highest type number in use

struct q_att_record {
    std::string name;
    int type = 0;
    int value = -1;  // -1: the name is a type's name
};
extern std::vector<q_att_record> q_att_table;  // sorted by name, bytewise
extern int q_att_size;
extern int att_class;  // results of lookup_attr
extern int att_value;
// Counts the changes of the name index, so that what was looked up in it can tell it is stale.
extern unsigned long attr_names_version;

void initattributes();
void clearattributes();
void readattr(const char* filename);
int lookup_attr(std::string_view name);
const char* att_get_name(int type, int value);
int valid(int sign, int class_, int dict_choice, int match_choice);
