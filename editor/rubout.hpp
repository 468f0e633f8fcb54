// Deletion of characters, fields and formula items.
#pragma once

void rubtxt();
void rubrec();
void rubgraph();
void rubmath();
void copyfield();
void rubfield();
