// The library's string formatter: printf-style formatting into a framework
// string of any length.
#pragma once

#include <afx.h>

// Formats into rString, replacing its text. The text is formatted into a
// buffer of 256 characters, grown by 256 characters while it does not fit.
void FormatString(CString& rString, LPCSTR lpszFormat, ...);
