// Register operations of the expression evaluator.
#pragma once

void compute0();
void reginc();
void regclear();
void regdis();
void regshow();

// The register the operations above work on.
double regvalue();
