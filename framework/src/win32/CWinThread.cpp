#include "CWinThread.h"

#include <process.h>

#include "AfxWinState.h"
#include "afxwin.h"

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

namespace {

// Hand-over between CreateThread and the new thread: the new thread sets
// itself up (thread state, message queue) and reports on hReady; it then
// waits on hGo, which CreateThread sets once it has suspended the thread
// when asked to.
struct ThreadStartup {
  CWinThread* pThread;
  HANDLE hReady;
  HANDLE hGo;
  BOOL bError;
};

unsigned __stdcall ThreadEntry(void* pParam) {
  ThreadStartup* pStartup = static_cast<ThreadStartup*>(pParam);
  CWinThread* pThread = pStartup->pThread;

  AfxThreadState* pState = AfxGetThreadState();
  if (pState == NULL) {
    pStartup->bError = TRUE;
    ::SetEvent(pStartup->hReady);
    _endthreadex(static_cast<unsigned>(-1));
  }
  pState->pCurrentWinThread = pThread;
  // The thread's message queue, so that messages posted to the thread
  // before it runs are kept.
  MSG msg;
  ::PeekMessageA(&msg, NULL, WM_USER, WM_USER, PM_NOREMOVE);

  HANDLE hGo = pStartup->hGo;  // pStartup is gone once hReady is set
  ::SetEvent(pStartup->hReady);
  ::WaitForSingleObject(hGo, INFINITE);
  ::CloseHandle(hGo);

  UINT nResult;
  if (pThread->m_pfnThreadProc != NULL) {
    nResult = (*pThread->m_pfnThreadProc)(pThread->m_pThreadParams);
  } else if (!pThread->InitInstance()) {
    nResult = static_cast<UINT>(pThread->ExitInstance());
  } else {
    nResult = static_cast<UINT>(pThread->Run());
  }
  AfxEndThread(nResult);
}

// Common tail of both forms of AfxBeginThread.
CWinThread* StartThread(CWinThread* pThread, int nPriority, UINT nStackSize, DWORD dwCreateFlags,
                        LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs)) {
    DWORD dwError = ::GetLastError();
    pThread->Delete();
    ::SetLastError(dwError);
    return NULL;
  }
  pThread->SetThreadPriority(nPriority);
  if (!(dwCreateFlags & CREATE_SUSPENDED)) pThread->ResumeThread();
  return pThread;
}

}  // namespace

void CWinThread::CommonConstruct() {
  m_pMainWnd = NULL;
  m_bAutoDelete = TRUE;
  m_hThread = NULL;
  m_nThreadID = 0;
  ZeroMemory(&m_msgCur, sizeof(m_msgCur));
}

CWinThread::CWinThread() : m_pThreadParams(NULL), m_pfnThreadProc(NULL) { CommonConstruct(); }

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_pThreadParams(pParam), m_pfnThreadProc(pfnThreadProc) {
  CommonConstruct();
}

CWinThread::~CWinThread() {
  if (m_hThread != NULL) ::CloseHandle(m_hThread);
  AfxThreadState* pState = AfxPeekThreadState();
  if (pState != NULL && pState->pCurrentWinThread == this) pState->pCurrentWinThread = NULL;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize,
                              LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  if (m_hThread != NULL) {
    ::SetLastError(ERROR_ALREADY_EXISTS);  // one thread per object
    return FALSE;
  }
  ThreadStartup startup = {this, ::CreateEventA(NULL, TRUE, FALSE, NULL),
                           ::CreateEventA(NULL, TRUE, FALSE, NULL), FALSE};
  if (startup.hReady == NULL || startup.hGo == NULL) {
    DWORD dwError = ::GetLastError();
    if (startup.hReady != NULL) ::CloseHandle(startup.hReady);
    if (startup.hGo != NULL) ::CloseHandle(startup.hGo);
    ::SetLastError(dwError);
    return FALSE;
  }

  unsigned nThreadID = 0;
  m_hThread = reinterpret_cast<HANDLE>(_beginthreadex(lpSecurityAttrs, nStackSize, &ThreadEntry,
                                                      &startup, dwCreateFlags | CREATE_SUSPENDED,
                                                      &nThreadID));
  if (m_hThread == NULL) {
    DWORD dwError = ::GetLastError();
    ::CloseHandle(startup.hReady);
    ::CloseHandle(startup.hGo);
    ::SetLastError(dwError);
    return FALSE;
  }
  m_nThreadID = nThreadID;

  // Let the thread set itself up, then hold it if the caller asked for a
  // suspended thread.
  ::ResumeThread(m_hThread);
  ::WaitForSingleObject(startup.hReady, INFINITE);
  ::CloseHandle(startup.hReady);
  if (dwCreateFlags & CREATE_SUSPENDED) ::SuspendThread(m_hThread);

  if (startup.bError) {
    ::WaitForSingleObject(m_hThread, INFINITE);
    ::CloseHandle(m_hThread);
    m_hThread = NULL;
    m_nThreadID = 0;
    ::CloseHandle(startup.hGo);
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  ::SetEvent(startup.hGo);
  return TRUE;
}

int CWinThread::GetThreadPriority() { return ::GetThreadPriority(m_hThread); }

BOOL CWinThread::SetThreadPriority(int nPriority) {
  return ::SetThreadPriority(m_hThread, nPriority);
}

DWORD CWinThread::SuspendThread() { return ::SuspendThread(m_hThread); }

DWORD CWinThread::ResumeThread() { return ::ResumeThread(m_hThread); }

BOOL CWinThread::PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostThreadMessageA(m_nThreadID, message, wParam, lParam);
}

BOOL CWinThread::InitInstance() { return FALSE; }

int CWinThread::Run() {
  BOOL bIdle = TRUE;
  LONG lIdleCount = 0;
  for (;;) {
    while (bIdle && !::PeekMessageA(&m_msgCur, NULL, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(lIdleCount++)) bIdle = FALSE;
    }
    do {
      if (!PumpMessage()) return ExitInstance();
      bIdle = TRUE;
      lIdleCount = 0;
    } while (::PeekMessageA(&m_msgCur, NULL, 0, 0, PM_NOREMOVE));
  }
}

BOOL CWinThread::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWinThread::PumpMessage() {
  if (!::GetMessageA(&m_msgCur, NULL, 0, 0)) return FALSE;  // WM_QUIT
  if (!PreTranslateMessage(&m_msgCur)) {
    ::TranslateMessage(&m_msgCur);
    ::DispatchMessageA(&m_msgCur);
  }
  return TRUE;
}

BOOL CWinThread::OnIdle(LONG lCount) {
  if (lCount >= 0) AfxDeleteTempWindows();
  return lCount < 0;
}

int CWinThread::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

CWnd* CWinThread::GetMainWnd() {
  if (m_pMainWnd != NULL) return m_pMainWnd;
  return CWnd::FromHandle(::GetActiveWindow());
}

void CWinThread::Delete() {
  if (m_bAutoDelete) delete this;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                           UINT nStackSize, DWORD dwCreateFlags,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  if (pfnThreadProc == NULL) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return NULL;
  }
  return StartThread(new CWinThread(pfnThreadProc, pParam), nPriority, nStackSize, dwCreateFlags,
                     lpSecurityAttrs);
}

CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs) {
  if (pThreadClass == NULL || !pThreadClass->IsDerivedFrom(RUNTIME_CLASS(CWinThread))) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return NULL;
  }
  CWinThread* pThread = static_cast<CWinThread*>(pThreadClass->CreateObject());
  if (pThread == NULL) {
    ::SetLastError(ERROR_INVALID_PARAMETER);  // the class cannot be created dynamically
    return NULL;
  }
  pThread->m_pThreadParams = NULL;
  return StartThread(pThread, nPriority, nStackSize, dwCreateFlags, lpSecurityAttrs);
}

void AfxEndThread(UINT nExitCode, BOOL bDelete) {
  AfxThreadState* pState = AfxPeekThreadState();
  if (pState != NULL) {
    CWinThread* pThread = pState->pCurrentWinThread;
    if (pThread != NULL) {
      // The application object belongs to its creator, never to its thread.
      if (bDelete && pThread != AfxGetApp()) pThread->Delete();
      pState->pCurrentWinThread = NULL;
    }
  }
  AfxTermThreadState();
  _endthreadex(nExitCode);
}

CWinThread* AfxGetThread() {
  AfxThreadState* pState = AfxPeekThreadState();
  return pState != NULL ? pState->pCurrentWinThread : NULL;
}
