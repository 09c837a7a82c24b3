#include "sync/CProcCritSec.h"

#include "sync/ProcCritSecPublication.h"

CProcCritSec::CProcCritSec() : m_pCritSec(NULL), m_nCount(0) {}

CProcCritSec::~CProcCritSec() {
  if (m_nCount > 0) Leave();
}

BOOL CProcCritSec::Init() {
  m_pCritSec = NULL;
  CString strExecutable;
  ModuleNameResult nameResult = GetExecutableFileName(strExecutable);
  if (nameResult == kNoModulePath) {
    ShowSupportError("ERROR: Unable to get the module file name (CProcCritSec::Init)");
    return FALSE;
  }
  if (CheckedPublicationDesktop(nameResult, "ERROR: Unable to get the desktop window (CProcCritSec::Init)",
                                "ERROR: Bad module file name (CProcCritSec::Init)") == NULL) {
    return FALSE;
  }
  m_strModule = strExecutable;
  m_pCritSec = FindPublishedSection(HostPropertyName(m_strModule));
  return m_pCritSec != NULL;
}

BOOL CProcCritSec::Enter() {
  if (m_pCritSec == NULL && !Init()) return FALSE;
  EnterCriticalSection(m_pCritSec);
  if (++m_nCount == 1) return TRUE;
  ShowSupportError("Error: unexpected re-entry of critical section");
  Leave();
  return FALSE;
}

BOOL CProcCritSec::Leave() {
  if (m_pCritSec == NULL) return FALSE;
  // Leaving a section this thread does not hold would corrupt it.
  if (m_nCount <= 0) return FALSE;
  --m_nCount;
  LeaveCriticalSection(m_pCritSec);
  return TRUE;
}
