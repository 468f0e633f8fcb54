// The generation system's operations in the editor.
#pragma once

#include <array>
#include <string>

#include "globals.hpp"
#include "trees.hpp"

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

// The student's response, collected by getresponse from the cursor to the end of the core file.
inline constexpr std::size_t kResponseLen = 199;
extern FixStr<kResponseLen> response;
extern bool response_cut;  // the last response collected was longer than kResponseLen
void getresponse();
// Per sentence number, the keys QERROR gave to run when a response matches that sentence.
extern std::array<std::string, kRoots> error_function;
// Start-up and tests: no response, no error functions, no roots set.
void reset_gento_cmds();
