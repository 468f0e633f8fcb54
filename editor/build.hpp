// Typing: building text, records and formulas, and the delete ring.
#pragma once

void bldtxt();
void bldrec();
void bldmath();
void copytxt();
void recword();
void recfield();
void rectxt();
void recrec();
void recmath();
void instabrow();
void instabcol();
void makeobject();
