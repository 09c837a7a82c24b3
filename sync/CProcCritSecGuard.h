// Holds a CProcCritSec for one function: Enter when the function needs the
// section, and the guard leaves when it goes. A failed entry names the
// function and the thread in a message box. Only an entry that succeeded is
// ever left, so a failed nested entry keeps the thread's outer entry.
#pragma once

#include <windows.h>

#include <afx.h>

class CProcCritSec;

class CProcCritSecGuard {
 public:
  // lpszFcn: the holding function's name, or NULL. Does not enter.
  CProcCritSecGuard(CProcCritSec* pProcCritSec, LPCSTR lpszFcn);
  ~CProcCritSecGuard();  // Leave

  BOOL Enter();
  // Leaves what this guard entered and forgets the section: TRUE; FALSE when
  // it holds no entry.
  BOOL Leave();

  CProcCritSec* m_pProcCritSec;
  CString m_strFcn;
  BOOL m_bEntered;

 private:
  CProcCritSecGuard(const CProcCritSecGuard&);
  CProcCritSecGuard& operator=(const CProcCritSecGuard&);
};
