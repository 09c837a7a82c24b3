// The reversible scrambling that keeps a settings value from being read at a
// glance. Letters, digits and most punctuation are rotated within their group
// by an amount that grows with the character's position; white space and the
// characters ':' to '@' are kept. Only 7-bit printable text and white space
// can be scrambled.
#pragma once

#include <afx.h>

// Both return TRUE and set strOut (same length as lpszSource) on success.
// They fail for a null source and for text holding a byte from 128 up or a
// control character that is not white space; strOut is then left as it was.
BOOL ScrambleText(LPCSTR lpszSource, CString& strOut);
BOOL UnscrambleText(LPCSTR lpszSource, CString& strOut);
