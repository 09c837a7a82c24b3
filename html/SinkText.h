// Shared by the tokenizer and the forwarders: a tokenizer buffer as the
// zero-terminated text or the framework string a sink receives.
#pragma once

#include <afx.h>
#include <string.h>

#include "html/CTextBuffer.h"

namespace sink_text {

inline bool HasZeroByte(unsigned word) { return ((word - 0x01010101U) & ~word & 0x80808080U) != 0; }

// A 32-bit processor tests the two halves apart: no borrow to carry over.
inline bool HasZeroByte(unsigned long long word) {
  if (sizeof(void*) < 8) return HasZeroByte(static_cast<unsigned>(word)) | HasZeroByte(static_cast<unsigned>(word >> 32));
  return ((word - 0x0101010101010101ULL) & ~word & 0x8080808080808080ULL) != 0;
}

// Copies sizeof(Word) to 2 * sizeof(Word) bytes as two words that may
// overlap, when none of the bytes is zero; false (nothing written) otherwise.
template <typename Word>
inline bool CopyAsTwoWords(char* pDest, const char* pSource, int nLength) {
  Word first, last;
  memcpy(&first, pSource, sizeof(Word));
  memcpy(&last, pSource + nLength - sizeof(Word), sizeof(Word));
  if (HasZeroByte(first) || HasZeroByte(last)) return false;
  memcpy(pDest, &first, sizeof(Word));
  memcpy(pDest + nLength - sizeof(Word), &last, sizeof(Word));
  return true;
}

// CopySinkText for any length.
void CopyAnySinkText(char* pDest, const char* pSource, int nLength);

}  // namespace sink_text

// Copies nLength bytes; zero bytes become spaces, as in every name, value
// and text a sink receives. Most names, values and texts are at most 16
// bytes long: those are copied inline.
inline void CopySinkText(char* pDest, const char* pSource, int nLength) {
  if (nLength < 4) {
    for (int i = 0; i < nLength; ++i) pDest[i] = pSource[i] ? pSource[i] : ' ';
    return;
  }
  if (nLength < 8) {
    if (sink_text::CopyAsTwoWords<unsigned>(pDest, pSource, nLength)) return;
  } else if (nLength <= 16) {
    if (sink_text::CopyAsTwoWords<unsigned long long>(pDest, pSource, nLength)) return;
  }
  sink_text::CopyAnySinkText(pDest, pSource, nLength);
}

// Terminates the buffer's content in place and returns it; zero bytes
// inside become spaces, so a sink sees the whole content.
LPCSTR MakeSinkText(CTextBuffer* pBuffer);
