// Small text rules shared by the settings stores, the scrambling, the
// directory lookups and the browser code.
#pragma once

#include <afx.h>

// Space, tab, line feed, vertical tab, form feed or carriage return.
bool IsBlank(char c);

// The text holds a carriage return or a line feed; false for null.
bool HasLineBreak(LPCSTR lpszText);

// The directory with a backslash at its end; an empty text stays empty, so
// that a missing directory never turns into the root of the current drive.
CString WithTrailingBackslash(const CString& strDir);
