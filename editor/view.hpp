// Views: the settings page and the read-only pages of the core files and the rule files, shown
// as one record in core file 19 through a built-in record template.
#pragma once

// VIEW: opens view 0 (settings, edited until Return), 1 (core files) or 2 (rule files; both
// shown until Return).
void view();
// Return in the settings page: stores the edited settings, closes the view and reopens the
// command line.
void viewterm();
// Closes the open view: core file 19 is emptied and the core file, record template and display
// in force before the view come back.
void resetcore();
// True while a view is open.
bool viewing();

// The built-in record template of view n (0 to 2).
const char* viewtemplate(int n);

void reset_view();
