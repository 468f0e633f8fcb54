// Line and word operations, and line drawing.
#pragma once

void ldexit();
void lddelin();
void ldleft();
void lddown();
void ldright();
void ldup();
void ldenter();
void lddelout();
void begline();
void endline();
void deline();
void marleft();
void maright();
void splitline();
void joinline();
void repchar();
void repline();
void delword();
void delwordend();
void xnextword();
void xprevword();
void flipchar();
void manynulines();
void xnextnumx();
