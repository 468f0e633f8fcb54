// Rectangles: a block of columns, between the column stars, across the starred lines. One store
// holds the last rectangle cut or copied, for every core file.
#pragma once

#include <string_view>

void makecstars();
void deleterect();
void insertrect();
void copyrect();
void insertcols();
void overwrect();
void cpclrrect();
void cpclrovrect();
void clearallstars();

// Removes the column stars of the current core file.
void clrcstars();
// The stored rectangle, row after row, and its size; empty before the first cut or copy.
std::string_view rectangle_store();
int rectangle_rows();
int rectangle_cols();
// Start-up state: no rectangle stored.
void reset_cstars();
