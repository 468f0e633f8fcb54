// The generation system's operations in the editor.
#pragma once

void qcompsingle();
void qglobpre();
void generate();
void resumelx();
void qcompare();
void disp_sent();
void qnewcompare();
void qenummorph();
void qmakepre();
void initgento();

// Commands of the command line; the file name is in curfile.
void qattribute();
void qsyntax();
void qmorphology();
void qlexicon();
void qtbls();
void qtmnls();
void quser();
void qipa();
void qmrpherror();
void qsmtransf();
void qtginfo();
void qlxtransf();
void qrmfiles();
void qrxtransf();
void qaddlex();
void qmpasses();
void qdisplay();
void qfreq();
void qrootset();
void qrandomseed();
void qpseed();
void qtstinput();
void qerror();
void qstore();
void qrecover();
void qtalk();
