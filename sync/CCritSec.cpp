#include "sync/CCritSec.h"

CCritSec::CCritSec() : m_nCount(0) { InitializeCriticalSection(&m_critSec); }

CCritSec::~CCritSec() {
  if (m_nCount > 0) Leave();
  DeleteCriticalSection(&m_critSec);
}

BOOL CCritSec::Enter() {
  EnterCriticalSection(&m_critSec);
  return ++m_nCount == 1;
}

BOOL CCritSec::Leave() {
  // Leaving a section this thread does not hold would corrupt it.
  if (m_nCount <= 0) return FALSE;
  --m_nCount;
  BOOL bLast = m_nCount == 0;
  LeaveCriticalSection(&m_critSec);
  return bLast;
}
