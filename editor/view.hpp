// Views: the settings page and the core-file and rule-file views.
#pragma once

void viewterm();
void view();
