// A module's way into the critical section that its executable published
// with CProcCritSecHost. The section is looked up on the first Enter and
// kept for the object's life. Each object counts its own entries; one
// thread entering twice through the same object is a programming error
// that is shown and undone.
#pragma once

#include <windows.h>

#include <afx.h>

class CProcCritSec {
 public:
  CProcCritSec();
  ~CProcCritSec();  // leaves once if an entry is still counted

  // Finds the section this process published: FALSE, without a message,
  // when there is none; set-up errors are shown in a message box.
  BOOL Init();
  // Enters the section (waiting for other threads). FALSE when there is no
  // section, or for a nested entry through this object, which is shown and
  // undone (the outer entry stays).
  BOOL Enter();
  // Leaves one counted entry; FALSE without a section or a counted entry.
  BOOL Leave();

  CRITICAL_SECTION* m_pCritSec;
  CString m_strModule;  // the executable's file name
  int m_nCount;

 private:
  CProcCritSec(const CProcCritSec&);
  CProcCritSec& operator=(const CProcCritSec&);
};
