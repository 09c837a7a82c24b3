// Holds a named mutex for one operation: creates or opens it by name, waits
// for it without a time-out, and releases and closes it when it goes.
#pragma once

#include <windows.h>

class CNamedMutexLock {
 public:
  explicit CNamedMutexLock(LPCSTR lpszName);
  ~CNamedMutexLock();

  // TRUE when the mutex was had and is now held.
  BOOL IsHeld() const { return m_bHeld; }

 private:
  HANDLE m_hMutex;
  BOOL m_bHeld;

  CNamedMutexLock(const CNamedMutexLock&);
  CNamedMutexLock& operator=(const CNamedMutexLock&);
};
