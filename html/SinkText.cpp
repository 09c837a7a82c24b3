#include "html/SinkText.h"

#include <string.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Copies a buffer's content into a string, reusing its storage; zero bytes
// become spaces.
void AssignSinkText(CString& str, const CTextBuffer& buffer) {
  int nLength = buffer.GetLength();
  CopySinkText(str.GetBuffer(nLength), buffer.m_pBegin, nLength);
  str.ReleaseBuffer(nLength);
}

}  // namespace

// The string each thread reuses, and whether a sink call is using it.
struct CSinkString::Shared {
  CString str;
  bool bInUse = false;
};

namespace {

thread_local CSinkString::Shared t_shared;

}  // namespace

void CopySinkText(char* pDest, const char* pSource, int nLength) {
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
    if ((bytes - 0x0101010101010101ULL) & ~bytes & 0x8080808080808080ULL) break;
    memcpy(pDest + i, &bytes, 8);
  }
  for (; i < nLength; ++i) pDest[i] = pSource[i] ? pSource[i] : ' ';
}

LPCSTR MakeSinkText(CTextBuffer* pBuffer) {
  char* p = pBuffer->m_pBegin;
  char* pEnd = pBuffer->m_pCursor;
  while (p < pEnd && (p = static_cast<char*>(memchr(p, '\0', static_cast<size_t>(pEnd - p)))) != NULL) *p++ = ' ';
  return pBuffer->Terminate();
}

CSinkString::CSinkString(CTextBuffer* pBuffer) : m_pString(NULL), m_pShared(&t_shared) {
  pBuffer->Terminate();
  if (m_pShared->bInUse) {
    m_pShared = NULL;
    m_pString = &m_own.emplace();
  } else {
    m_pShared->bInUse = true;
    m_pString = &m_pShared->str;
  }
  AssignSinkText(*m_pString, *pBuffer);
}

CSinkString::~CSinkString() {
  if (!m_pShared) return;
  if (m_pShared->str.GetLength() > kMaxKeptLength) m_pShared->str.Empty();
  m_pShared->bInUse = false;
}
