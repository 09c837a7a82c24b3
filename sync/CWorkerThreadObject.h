// The framework thread object of a worker-form TThread: a CWinThread that
// runs TThread::ThreadProc, with a gate between the thread and its owner
// that settles whether the worker's body runs, is running, or has returned.
//
// The owner needs to know that before it ends a thread that is still
// there. A thread that has not yet entered the body is inside the framework
// or the system libraries (starting up, or parked suspended) and must never
// be terminated there: it could hold a lock that the process needs later.
// Closing the gate instead keeps it from entering the body, and it then ends
// by itself.
#pragma once

#include <afxwin.h>

class CWorkerThreadObject : public CWinThread {
  DECLARE_DYNAMIC(CWorkerThreadObject)
 public:
  CWorkerThreadObject(AFX_THREADPROC pfnThreadProc, LPVOID pParam);

  // pThread as a worker thread object; NULL when it is none (or NULL).
  static CWorkerThreadObject* From(CWinThread* pThread);
  // The calling thread's object, when that thread is a worker thread
  // started through one; otherwise NULL.
  static CWorkerThreadObject* Current() { return From(AfxGetThread()); }

  // On the thread: TRUE when the body may run (the gate was open); FALSE
  // when the owner has closed it.
  BOOL EnterBody();
  // On the thread, once the body has returned or ends the thread. When the
  // owner has meanwhile decided to terminate the thread, it waits here,
  // outside every lock, to be terminated.
  void LeaveBody();

  // On the owner: what to do with a thread that is still there.
  enum Fate {
    kWaitForIt,   // it never enters the body now, or has left it: it ends by itself
    kTerminate,   // it is in the body, and will not leave it before being terminated
  };
  Fate CloseGate();

 private:
  enum Gate { kOpen, kInBody, kLeft, kClosed, kCondemned };
  volatile LONG m_nGate;
};
