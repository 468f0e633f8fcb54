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
