#include "config/Scramble.h"

#include <string.h>

#include "config/TextRules.h"

namespace {

// A run of consecutive character codes whose members rotate among themselves.
struct RotationGroup {
  unsigned char first;
  unsigned char last;
};

const RotationGroup kGroups[] = {
    {'a', 'z'},  // checked in the classing order: lower, upper, digit,
    {'A', 'Z'},  // then the three punctuation runs
    {'0', '9'},
    {'!', '/'},
    {'[', '`'},
    {'{', '~'},
};

// Punctuation that stays as it is: ':' ';' '<' '=' '>' '?' '@'.
bool IsKeptPunctuation(unsigned char c) { return c >= ':' && c <= '@'; }

// Rotates every character of the text; nDirection is +1 to scramble, -1 to
// unscramble. Returns false at the first character that cannot be handled.
bool Rotate(LPCSTR lpszSource, int nDirection, CString& strOut) {
  if (lpszSource == NULL) return false;
  int nLength = static_cast<int>(strlen(lpszSource));
  CString strResult;
  if (nLength == 0) {
    strOut = strResult;
    return true;
  }
  LPSTR pOut = strResult.GetBufferSetLength(nLength);
  for (int i = 0; i < nLength; ++i) {
    unsigned char c = static_cast<unsigned char>(lpszSource[i]);
    if (c >= 128) return false;
    const RotationGroup* pGroup = NULL;
    for (const RotationGroup& group : kGroups) {
      if (c >= group.first && c <= group.last) {
        pGroup = &group;
        break;
      }
    }
    if (pGroup == NULL) {
      if (!IsBlank(static_cast<char>(c)) && !IsKeptPunctuation(c)) return false;  // control characters, DEL
      pOut[i] = static_cast<char>(c);
      continue;
    }
    // Position p counts from 1 and the shift is p + 20, taken within the
    // group's size so that long texts cannot overflow.
    int nSize = pGroup->last - pGroup->first + 1;
    int nShift = static_cast<int>((static_cast<unsigned>(i) + 1u + 20u) % static_cast<unsigned>(nSize));
    int nOffset = (c - pGroup->first + nDirection * nShift + nSize) % nSize;
    pOut[i] = static_cast<char>(pGroup->first + nOffset);
  }
  strOut = strResult;
  return true;
}

}  // namespace

BOOL ScrambleText(LPCSTR lpszSource, CString& strOut) { return Rotate(lpszSource, +1, strOut) ? TRUE : FALSE; }

BOOL UnscrambleText(LPCSTR lpszSource, CString& strOut) { return Rotate(lpszSource, -1, strOut) ? TRUE : FALSE; }
