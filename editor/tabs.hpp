// Tab stops.
#pragma once

void tabset();
void tabcur();
