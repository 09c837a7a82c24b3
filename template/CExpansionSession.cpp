#include "template/CExpansionSession.h"

#include <string.h>

#if defined(_WIN32)
#include <io.h>
#define LDX_WRITE _write
#else
#include <unistd.h>
#define LDX_WRITE ::write
#endif

namespace {

thread_local CExpansionSession* t_pOpenSession = NULL;

}  // namespace

BOOL WriteToRuntimeFile(int hFile, const char* pBytes, UINT nCount) {
  while (nCount > 0) {
    const UINT nChunk = nCount < 0x40000000u ? nCount : 0x40000000u;
    const int nWritten = static_cast<int>(LDX_WRITE(hFile, pBytes, nChunk));
    if (nWritten <= 0) return FALSE;
    pBytes += nWritten;
    nCount -= static_cast<UINT>(nWritten);
  }
  return TRUE;
}

CExpansionSession::CExpansionSession(const void* pOwner, int hFile)
    : m_pOwner(pOwner),
      m_pPrevious(t_pOpenSession),
      m_hFile(hFile),
      m_pBuffer(NULL),
      m_nBuffered(0),
      m_bWriteFailed(false),
      m_bFailed(false) {
  if (hFile != -1) m_pBuffer = new (afxNothrow) char[kFileBufferSize];
  for (CBlockLength& length : m_lengths) length = CBlockLength{NULL, 0};
  for (CSearch& search : m_searches) search = CSearch{-1, -1};
  t_pOpenSession = this;
}

CExpansionSession::~CExpansionSession() {
  Flush();
  delete[] m_pBuffer;
  t_pOpenSession = m_pPrevious;
}

CExpansionSession* CExpansionSession::Find(const void* pOwner) {
  for (CExpansionSession* p = t_pOpenSession; p != NULL; p = p->m_pPrevious)
    if (p->m_pOwner == pOwner) return p;
  return NULL;
}

void CExpansionSession::WriteThrough(const char* pBytes, UINT nCount) {
  if (!WriteToRuntimeFile(m_hFile, pBytes, nCount)) m_bWriteFailed = true;
}

// Write when the bytes do not fit the buffer's rest: the buffer is filled
// to the brim and written, so that the file gets whole buffers (whole pages)
// at a time; a piece of a whole buffer or more goes straight to the file.
void CExpansionSession::WriteOutOfBuffer(const char* pBytes, UINT nCount) {
  if (m_pBuffer == NULL) {
    WriteThrough(pBytes, nCount);
    return;
  }
  while (nCount > 0) {
    if (m_nBuffered == 0 && nCount >= kFileBufferSize) {
      const UINT nWhole = nCount - nCount % kFileBufferSize;
      WriteThrough(pBytes, nWhole);
      pBytes += nWhole;
      nCount -= nWhole;
      continue;
    }
    const UINT nRoom = kFileBufferSize - m_nBuffered;
    const UINT nPart = nCount < nRoom ? nCount : nRoom;
    memcpy(m_pBuffer + m_nBuffered, pBytes, nPart);
    m_nBuffered += nPart;
    pBytes += nPart;
    nCount -= nPart;
    if (m_nBuffered == kFileBufferSize) Flush();
  }
}

BOOL CExpansionSession::Flush() {
  if (m_nBuffered > 0) {
    WriteThrough(m_pBuffer, m_nBuffered);
    m_nBuffered = 0;
  }
  return !m_bWriteFailed;
}

bool CExpansionSession::LookupSearch(Marker which, int nFrom, int* pnFound) const {
  const CSearch& search = m_searches[which];
  if (search.nFrom < 0 || nFrom < search.nFrom) return false;
  if (search.nFound >= 0 && nFrom > search.nFound) return false;
  *pnFound = search.nFound;
  return true;
}

void CExpansionSession::RememberSearch(Marker which, int nFrom, int nFound) {
  m_searches[which] = CSearch{nFrom, nFound};
}
