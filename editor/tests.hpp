// Diagnostic dump of the text store.
#pragma once

void show();
bool showcore(const char* testfile);
