// Rectangles between column stars.
#pragma once

void makecstars();
void deleterect();
void insertrect();
void copyrect();
void insertcols();
void overwrect();
void cpclrrect();
void cpclrovrect();
void clearallstars();
