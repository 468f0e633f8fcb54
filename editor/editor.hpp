// The edit loop and the operation table.
#pragma once

#include <array>

using Handler = void (*)();

// Side-effect bits of an operation.
inline constexpr int kSideLine = 1;  // recompute the cursor's line number afterwards
inline constexpr int kSideEdit = 2;  // mark the core file edited
inline constexpr int kSideFill = 8;  // adds text: not carried out while the store is full

struct edtable {
    int sideffects;
    int replimit;
    int cmpmask;
    std::array<Handler, 8> operatn;
};

inline constexpr int kEditOps = 107;  // operation codes 0 to 106 go through the table
extern const std::array<edtable, kEditOps> edittable;

void editor();
// Steps 2 to 4 of the loop for one operation code: repeat count, permission, handler, redraw.
// Returns true when the operation was carried out.
bool dispatch(int code);
void reset_editor();

void insline();
void nuline();
void inmode();
void goodbye();
void identify();
