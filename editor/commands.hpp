// Command operations: settings and queries.
#pragma once

void silent();
