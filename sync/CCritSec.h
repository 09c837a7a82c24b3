// A critical section of one process that counts the nested entries of the
// thread that holds it.
#pragma once

#include <windows.h>

class CCritSec {
 public:
  CCritSec();
  ~CCritSec();  // leaves once if an entry is still counted

  // TRUE exactly when this is the first, non-nested entry.
  BOOL Enter();
  // TRUE exactly when the last entry was left. Without a counted entry it
  // leaves nothing and returns FALSE.
  BOOL Leave();

  CRITICAL_SECTION m_critSec;
  int m_nCount;

 private:
  CCritSec(const CCritSec&);
  CCritSec& operator=(const CCritSec&);
};
