// Applies the tokenizer's text rules to a string in place: character
// references decoded, CR dropped, each run of line feeds after other text
// folded into one space. "<" has no meaning here. Returns 0 and leaves the
// string unchanged when it is empty or memory runs out.
#pragma once

#include <afx.h>

BOOL NormalizeText(CString& strText);
