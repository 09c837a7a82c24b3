// A thread of the framework: a worker thread that runs one function, or a
// user-interface thread with its own message loop (InitInstance, Run,
// ExitInstance). Each thread started here knows its CWinThread object
// (AfxGetThread). An object with m_bAutoDelete set is deleted when its
// thread ends; otherwise its owner deletes it, and m_hThread stays open
// until then.
#pragma once

#include <windows.h>

#include "CCmdTarget.h"

class CWnd;

typedef UINT (*AFX_THREADPROC)(LPVOID);

class AFX_API CWinThread : public CCmdTarget {
  DECLARE_DYNAMIC(CWinThread)
 public:
  CWinThread();
  // Starts the thread. It has its message queue when this returns, so
  // PostThreadMessage works at once, also while it is suspended
  // (CREATE_SUSPENDED in dwCreateFlags).
  BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0,
                    LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);

  CWnd* m_pMainWnd;    // the thread's main window
  BOOL m_bAutoDelete;  // delete this object when the thread ends (default TRUE)

  HANDLE m_hThread;  // owned by this object: closed by the destructor
  operator HANDLE() const { return m_hThread; }
  DWORD m_nThreadID;

  int GetThreadPriority();
  BOOL SetThreadPriority(int nPriority);
  DWORD SuspendThread();
  DWORD ResumeThread();
  BOOL PostThreadMessage(UINT message, WPARAM wParam, LPARAM lParam);

  // User-interface threads: TRUE enters Run; FALSE ends the thread with
  // ExitInstance's result. The base version returns FALSE.
  virtual BOOL InitInstance();
  // Message loop; ends on WM_QUIT and returns ExitInstance().
  virtual int Run();
  // TRUE when the message needs no translation and dispatch.
  virtual BOOL PreTranslateMessage(MSG* pMsg);
  // Gets and dispatches one message; FALSE on WM_QUIT.
  virtual BOOL PumpMessage();
  // Idle work while the queue is empty (frees the thread's temporary window
  // objects); TRUE asks for more idle calls.
  virtual BOOL OnIdle(LONG lCount);
  // The thread's exit code: the WM_QUIT message's wParam.
  virtual int ExitInstance();
  // m_pMainWnd, or else the active window.
  virtual CWnd* GetMainWnd();

  virtual ~CWinThread();
  // Deletes this object when m_bAutoDelete is set.
  virtual void Delete();

  MSG m_msgCur;  // the message being handled

  // Worker form, as AfxBeginThread makes it.
  CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
  LPVOID m_pThreadParams;
  AFX_THREADPROC m_pfnThreadProc;

 private:
  void CommonConstruct();
};

// Worker thread running pfnThreadProc(pParam); its result is the exit code.
AFX_API CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                                   int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                                   DWORD dwCreateFlags = 0,
                                   LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
// User-interface thread of a CWinThread-derived class made with its
// CreateObject. NULL when the class is not such a class or the thread cannot
// be started.
AFX_API CWinThread* AfxBeginThread(CRuntimeClass* pThreadClass,
                                   int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                                   DWORD dwCreateFlags = 0,
                                   LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
// Ends the calling thread with nExitCode. Its thread object is deleted only
// when bDelete and the object's m_bAutoDelete are both set.
[[noreturn]] AFX_API void AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);
// The calling thread's CWinThread (the application on the thread that made
// it), or NULL.
AFX_API CWinThread* AfxGetThread();
