// Signal handlers. The handlers only note that a signal came; the work it asks for (redrawing,
// stopping, saving) is done by sigwork at the next safe point: before each key is read, and
// whenever a wait for a key is interrupted.
#pragma once

void setsig();
void sigwork();
// Carries out a pending hang-up or termination at once (emergency copies, then the end); used
// where the editor waits on something other than the keyboard.
void end_if_pending();
