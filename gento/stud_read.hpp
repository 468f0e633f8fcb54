// The tag information file: which lexicon field holds the pointers of each kind of related word
// (synonyms, opposites...) that response analysis accepts in place of the expected word.
#pragma once

#include <memory>
#include <string>

// One declared tag. Tags are numbered from 5 in file order: the number is the match class that a
// response word related to the expected word by this tag receives.
struct tag_table {
    std::string tag;
    int tag_int = 0;
    int field = 0;  // the lexicon field that holds the tag's pointer groups
    std::unique_ptr<tag_table> next;
    tag_table() = default;
    tag_table(const tag_table&) = delete;
    tag_table& operator=(const tag_table&) = delete;
    ~tag_table();
};

inline constexpr int kFirstTag = 5;  // the number of the first tag of the file
inline constexpr int kMaxTags = 100;
inline constexpr int kMaxTagField = 127;
extern std::unique_ptr<tag_table> taglist;  // in file order

// Reads a tag information file: declarations NAME ( field ), adding to the table.
void tag_readtables(const char* filename);
void clear_tag_tables();
// The tag numbered n, or null.
const tag_table* err_get_tag_name(int n);

// Start-up and tests: no tags.
void reset_stud_read();
