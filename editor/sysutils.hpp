// System utilities: what the editor does when the terminal goes away.
#pragma once

// Saves every edited core file to an emergency copy beside it ("<name>.save", or
// "oru-core-N.save" in the current directory for an unnamed core file), never replacing an
// existing file. Safe to call from a signal handler. Returns the number of copies written.
int emergency_save_all();
