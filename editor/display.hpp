// Display of core files: what the screen shows and when it is redrawn.
#pragma once

void display();
void discur();
void gendis();
void putstats();
void putfname();
void prtabs();
