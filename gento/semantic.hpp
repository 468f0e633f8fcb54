// Semantic transformations: a semantic expression, a predicate with its arguments such as
// see(child, dog), becomes the text of a PRESELECT rule that makes the generator talk about
// exactly that. The valences that the attribute file gives to values tell how many arguments a
// predicate takes.
//
// File: transformations, each
//     [$] name : prototype , prototype , ... %
// `$` matches the expression's head only; otherwise the name is an expression whose items must
// match the expression's item by item (an item 0 on either side matches anything). A prototype
// is a clause of the PRESELECT rule in which #n stands for field n of the expression (every item
// a field, the head field 1) and @n for each element of the bracketed list in field n; a
// prototype after & is an expression to analyse in turn, #n there naming the top-level fields.
#pragma once

#include <memory>
#include <string>
#include <string_view>

inline constexpr int kSemBuf = 2000;  // characters of a name, prototype or expression, with 0
inline constexpr int kPreselectCore = 14;

struct sem_prot {
    int reanalyse = 0;  // 1: the prototype is an expression to analyse again
    std::string prototype;
    std::unique_ptr<sem_prot> next;
    ~sem_prot();
};

struct sem_trans {
    int form = 1;      // 1 the whole expression, 2 its head only
    std::string name;  // the pattern, normalised
    std::unique_ptr<sem_prot> first;
    sem_prot* last = nullptr;
    std::unique_ptr<sem_trans> next;
    ~sem_trans();
};
extern std::unique_ptr<sem_trans> sem_trans_list;  // newest first

struct sem_expr {
    std::string original;        // the expression; normalised by top_level
    std::string top_level_orig;  // the head and each top-level argument, each closed by '|'
    int analysed = 0;
};

extern int depthStack;  // nested reanalyses that are not their parent's last prototype

// SMTRANSF: replaces the transformations with those of the file.
void read_sem_trans(const char* filename);

// Normalises the expression (blanks and ')' dropped, '(' and ',' made '.', bracketed parts kept)
// and builds its top level. 0 on success, -1 after a report.
int top_level(sem_expr& semExpr);
// The newest transformation that matches, or null.
const sem_trans* sem_match(const sem_expr& new_sem_expr);

// Operation 106: the rule text for one expression, as lines of core file 14.
void analyse_sem_expr(const char* semantic);
// The same for an expression made from a reanalysis prototype, without the rule's first line.
void reanalyse_expr(const char* semantic);

void generate_preselections(const sem_expr& gen_expr, const sem_trans& selected_trans,
                            int subExpression);
// One clause (or one per element of a list field) from a prototype and a record of fields each
// closed by '|'. Clauses end with ';' so that the rule reads back as written; the last one
// (isLast 1) ends the rule with a line "%".
void write_preselections(std::string_view templ, std::string_view prot_string, int isLast);
// A reanalysis prototype with #n replaced by field n of `prot_string`.
std::string make_new_substring(std::string_view cur_prot, std::string_view prot_string);

// Tests and start-up: no transformations.
void reset_semantic();
