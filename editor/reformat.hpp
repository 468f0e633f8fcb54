// Paragraph reformat, justification and hyphenation.
#pragma once

void reformat();
