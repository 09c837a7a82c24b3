#include "msvctests/BoxCloser.h"

#include <string.h>

BoxCloser::BoxCloser() : m_nSeen(0), m_nClosed(0) {
  m_szLastCaption[0] = 0;
  m_hStop = CreateEventA(NULL, TRUE, FALSE, NULL);
  m_hThread = CreateThread(NULL, 0, Watch, this, 0, NULL);
}

BoxCloser::~BoxCloser() {
  SetEvent(m_hStop);
  WaitForSingleObject(m_hThread, INFINITE);
  CloseHandle(m_hThread);
  CloseHandle(m_hStop);
}

DWORD WINAPI BoxCloser::Watch(LPVOID pSelf) {
  BoxCloser* pThis = static_cast<BoxCloser*>(pSelf);
  while (WaitForSingleObject(pThis->m_hStop, 10) == WAIT_TIMEOUT) {
    EnumWindows(OnTopLevelWindow, reinterpret_cast<LPARAM>(pThis));
  }
  return 0;
}

BOOL CALLBACK BoxCloser::OnTopLevelWindow(HWND hWnd, LPARAM pSelf) {
  DWORD nProcess = 0;
  GetWindowThreadProcessId(hWnd, &nProcess);
  char szClass[16];
  if (nProcess == GetCurrentProcessId() && IsWindowVisible(hWnd) &&
      GetClassNameA(hWnd, szClass, sizeof(szClass)) > 0 && strcmp(szClass, "#32770") == 0) {
    reinterpret_cast<BoxCloser*>(pSelf)->Close(hWnd);
  }
  return TRUE;
}

void BoxCloser::Close(HWND hBox) {
  // Drop boxes that have gone (their handles may come back), then answer a
  // box once only.
  int nKept = 0;
  bool bSeen = false;
  for (int i = 0; i < m_nSeen; ++i) {
    if (!IsWindow(m_seen[i])) continue;
    bSeen = bSeen || m_seen[i] == hBox;
    m_seen[nKept++] = m_seen[i];
  }
  m_nSeen = nKept;
  if (bSeen || m_nSeen == kMaxSeen) return;
  m_seen[m_nSeen++] = hBox;
  GetWindowTextA(hBox, m_szLastCaption, sizeof(m_szLastCaption));
  int nButton = GetDlgItem(hBox, IDNO) ? IDNO : GetDlgItem(hBox, IDCANCEL) ? IDCANCEL : IDOK;
  PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), 0);
  InterlockedIncrement(&m_nClosed);
}
