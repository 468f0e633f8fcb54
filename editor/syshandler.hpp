// Signal handlers. The handlers only note that a signal came; the work it asks for (redrawing,
// stopping, saving) is done by sigwork at the next safe point: before each key is read, and
// whenever a wait for a key is interrupted.
#pragma once

void setsig();
void sigwork();
