#include "sync/CProcCritSecGuard.h"

#include <afxwin.h>

#include "sync/CProcCritSec.h"
#include "sync/FormatString.h"

CProcCritSecGuard::CProcCritSecGuard(CProcCritSec* pProcCritSec, LPCSTR lpszFcn)
    : m_pProcCritSec(pProcCritSec), m_strFcn(lpszFcn != NULL ? lpszFcn : ""), m_bEntered(FALSE) {}

CProcCritSecGuard::~CProcCritSecGuard() { Leave(); }

BOOL CProcCritSecGuard::Enter() {
  if (m_pProcCritSec == NULL) return FALSE;
  BOOL bEntered = m_pProcCritSec->Enter();
  if (bEntered) {
    m_bEntered = TRUE;
  } else if (!m_strFcn.IsEmpty()) {
    CString strText;
    FormatString(strText, "Fcn: %s\nThread ID: %#x", static_cast<LPCSTR>(m_strFcn),
                 static_cast<unsigned>(GetCurrentThreadId()));
    AfxMessageBox(strText, MB_OK, 0);
  }
  return bEntered;
}

BOOL CProcCritSecGuard::Leave() {
  if (!m_bEntered) return FALSE;
  m_pProcCritSec->Leave();
  m_pProcCritSec = NULL;
  m_bEntered = FALSE;
  return TRUE;
}
