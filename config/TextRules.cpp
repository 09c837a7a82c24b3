#include "config/TextRules.h"

#include <string.h>

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool HasLineBreak(LPCSTR lpszText) { return lpszText != NULL && strpbrk(lpszText, "\r\n") != NULL; }

CString WithTrailingBackslash(const CString& strDir) {
  if (strDir.IsEmpty() || strDir[strDir.GetLength() - 1] == '\\') return strDir;
  return strDir + '\\';
}
