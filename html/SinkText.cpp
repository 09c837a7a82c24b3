#include "html/SinkText.h"

#include <string.h>

namespace {

// The string each thread reuses, and whether a sink call is using it.
struct SharedSinkString {
  CString str;
  bool bInUse = false;
};

thread_local SharedSinkString t_shared;

void AssignBytes(CString& str, LPCSTR pBytes, int nLength) {
  char* pDest = str.GetBuffer(nLength);
  if (nLength > 0) memcpy(pDest, pBytes, static_cast<size_t>(nLength));
  str.ReleaseBuffer(nLength);
}

}  // namespace

LPCSTR MakeSinkText(CTextBuffer* pBuffer) {
  char* p = pBuffer->m_pBegin;
  char* pEnd = pBuffer->m_pCursor;
  while (p < pEnd && (p = static_cast<char*>(memchr(p, '\0', static_cast<size_t>(pEnd - p)))) != NULL) *p++ = ' ';
  return pBuffer->Terminate();
}

CSinkString::CSinkString(CTextBuffer* pBuffer) : m_pString(&m_strOwn), m_bShared(false) {
  LPCSTR pszText = MakeSinkText(pBuffer);
  SharedSinkString& shared = t_shared;
  if (!shared.bInUse) {
    shared.bInUse = true;
    m_bShared = true;
    m_pString = &shared.str;
  }
  AssignBytes(*m_pString, pszText, pBuffer->GetLength());
}

CSinkString::~CSinkString() {
  if (!m_bShared) return;
  SharedSinkString& shared = t_shared;
  if (shared.str.GetLength() > kMaxKeptLength) shared.str.Empty();
  shared.bInUse = false;
}
