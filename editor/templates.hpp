// Record templates.
#pragma once

void writetemplate(int mode);
