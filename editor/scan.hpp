// Find, scan and change.
#pragma once

void extchk();
void find();
void resfind();
void resnumber();
void rescheck();
void scantext();
