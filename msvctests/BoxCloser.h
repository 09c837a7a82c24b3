// Closes every dialog box (class "#32770") that this process shows while it
// lives, as a user would: with No where the box has it, else Cancel, else
// OK. A thread of its own polls the process's top-level windows, since the
// boxes may belong to any thread. Counts the boxes and keeps the caption of
// the last one.
#pragma once

#include <windows.h>

class BoxCloser {
 public:
  BoxCloser();   // starts watching
  ~BoxCloser();  // stops watching and waits for its thread

  int BoxesClosed() const { return m_nClosed; }
  const char* LastCaption() const { return m_szLastCaption; }

 private:
  static DWORD WINAPI Watch(LPVOID pSelf);
  static BOOL CALLBACK OnTopLevelWindow(HWND hWnd, LPARAM pSelf);
  void Close(HWND hBox);

  enum { kMaxSeen = 64 };
  HWND m_seen[kMaxSeen];  // boxes answered and maybe not yet gone
  int m_nSeen;
  volatile LONG m_nClosed;
  char m_szLastCaption[256];
  HANDLE m_hStop;
  HANDLE m_hThread;

  BoxCloser(const BoxCloser&);
  void operator=(const BoxCloser&);
};
