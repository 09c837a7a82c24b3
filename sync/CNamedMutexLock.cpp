#include "sync/CNamedMutexLock.h"

CNamedMutexLock::CNamedMutexLock(LPCSTR lpszName)
    : m_hMutex(CreateMutexA(NULL, FALSE, lpszName)), m_bHeld(FALSE) {
  if (m_hMutex == NULL) return;
  DWORD dwWait = WaitForSingleObject(m_hMutex, INFINITE);
  // An owner that ended without releasing leaves the mutex abandoned; the
  // wait still hands it over.
  m_bHeld = dwWait == WAIT_OBJECT_0 || dwWait == WAIT_ABANDONED;
}

CNamedMutexLock::~CNamedMutexLock() {
  if (m_bHeld) ReleaseMutex(m_hMutex);
  if (m_hMutex != NULL) CloseHandle(m_hMutex);
}
