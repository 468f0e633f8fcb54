// Signal handlers. The handlers only note that a signal came; the work it asks for (redrawing,
// stopping, saving) is done by sigwork at the next safe point: before each key is read, and
// whenever a wait for a key is interrupted.
#pragma once

void setsig();
void sigwork();

// Brings the screen back whole: reads the window size again (keeping the cursor line in view,
// with a beep when `resized` and the size did change) and redraws everything with the cursor
// where the user had it. Used after a resize, a resume and a shell escape.
void retake_screen(bool resized);
// Carries out a pending hang-up or termination at once (emergency copies, then the end); used
// where the editor waits on something other than the keyboard.
void end_if_pending();
