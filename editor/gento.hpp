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
void qtstinput();
