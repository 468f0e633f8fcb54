// Signal handlers.
#pragma once

void setsig();
