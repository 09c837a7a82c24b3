#include "html/SinkText.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// From this length on a text is copied whole and then searched for zeros.
const int kLongText = 256;

void ReplaceZeroBytesWithSpaces(char* p, char* pEnd) {
  while (p < pEnd && (p = static_cast<char*>(memchr(p, '\0', static_cast<size_t>(pEnd - p)))) != NULL) *p++ = ' ';
}

}  // namespace

void sink_text::CopyAnySinkText(char* pDest, const char* pSource, int nLength) {
  if (nLength >= kLongText) {
    // The runtime's copy and search are the fastest there are for long
    // runs; zero bytes are rare, so the second pass only reads.
    memcpy(pDest, pSource, static_cast<size_t>(nLength));
    ReplaceZeroBytesWithSpaces(pDest, pDest + nLength);
    return;
  }
  int i = 0;
#if defined(__SSE2__)
  // Sixteen bytes at a time while none of them is zero.
  const __m128i zero = _mm_setzero_si128();
  for (; nLength - i >= 16; i += 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pSource + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, zero))) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pDest + i), bytes);
  }
#endif
  // Then eight at a time while none of them is zero.
  for (; nLength - i >= 8; i += 8) {
    unsigned long long bytes;
    memcpy(&bytes, pSource + i, 8);
    if (HasZeroByte(bytes)) break;
    memcpy(pDest + i, &bytes, 8);
  }
  for (; i < nLength; ++i) pDest[i] = pSource[i] ? pSource[i] : ' ';
}

LPCSTR MakeSinkText(CTextBuffer* pBuffer) {
  ReplaceZeroBytesWithSpaces(pBuffer->m_pBegin, pBuffer->m_pCursor);
  return pBuffer->Terminate();
}
