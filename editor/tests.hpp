// Diagnostic dump of the text store.
#pragma once

// Operation 38: dumps the store to "test.file" and says on the help line whether it could.
void show();
// Writes the dump to `testfile`; false when the file could not be opened or written.
bool showcore(const char* testfile);
