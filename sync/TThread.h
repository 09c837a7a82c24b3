// One thread of the framework with a small, explicit life cycle: created
// suspended, started, suspended and resumed, ended with a time-out.
//
// Worker form (no thread class): derive from TThread and override Run; the
// thread runs Run and polls IsStopRequested (or ExitIfStopRequested) to
// learn that End wants it to stop. The TThread owns the framework thread
// object and deletes it in its destructor.
//
// User-interface form: name a framework thread class (CWinThread-derived,
// with DECLARE_DYNCREATE); End posts TThread::kEndMessage to the thread's
// main window, which is expected to end its thread. The framework thread
// object deletes itself when its thread ends; TThread keeps a handle of its
// own to the thread.
//
// The object must outlive its thread. Destroying it while the thread still
// exists ends the thread:
// - a worker that has not yet entered Run (created and never started, or
//   started a moment ago) is let run with the stop request set, skips Run
//   and ends with 0xFFFFFFFF; the destructor waits for it. So does a worker
//   whose Run has already returned.
// - a worker inside Run is terminated, like a user-interface thread that is
//   still there. Terminating a thread is the host's risk: the thread gets no
//   chance to clean up, and whatever it holds at that moment stays held for
//   the rest of the process (its heap blocks, the framework's and the C
//   run-time's per-thread data, a lock inside the system libraries, which
//   can make a later call of another thread wait forever).
//
// Ending and freeing a worker, in every case: call End, then destroy the
// object unless its thread is still inside Run. End returns TRUE when it
// stopped the thread in time; it returns FALSE both when the time ran out
// and when there was nothing to stop (the thread had already finished, was
// never started, or never created), and GetStatus tells the two apart:
//
//   BOOL bGone = worker->End(5000);
//   int nStatus = worker->GetStatus();
//   if (bGone || (nStatus != TThread::Running && nStatus != TThread::Suspended))
//     delete worker;  // Finished, Created or Invalid: nothing is terminated
//   else
//     ...;            // still in Run: call End again later, or keep it
//
// Waiting for End to return TRUE alone never frees a worker whose Run had
// already returned.
//
// A user-interface thread that has already exited (its InitInstance failed)
// has deleted its thread object; Suspend, Resume and End then refuse it, and
// End reads the main window only while the thread is held suspended and
// still running. The one instant that stays open is a thread held inside
// its own exit, after it deleted its object.
#pragma once

#include <windows.h>

#include <afxwin.h>

class CWorkerThreadObject;

class TThread {
 public:
  enum Status { Created = 0, Running = 1, Suspended = 2, Finished = 3, Invalid = 4 };
  // Posted (both parameters 0) to a user-interface thread's main window by End.
  static constexpr UINT kEndMessage = WM_USER + 300;

  TThread(int nPriority, CRuntimeClass* pThreadClass);
  virtual ~TThread();

  // Creates the thread suspended: 1, or -1 when there already is one or the
  // framework could not start it.
  int Create();
  // Creates the thread when there is none, then lets it run: the previous
  // suspend count, or -1.
  int Start();
  // Previous suspend count, or -1 without a thread or after it finished;
  // a suspend that fails leaves the status as it was.
  int Suspend();
  int Resume();
  // Asks the thread to end, resumes it fully and waits up to dwTimeoutMs;
  // TRUE when it ended in time. FALSE without waiting when the status is
  // neither Running nor Suspended (finished, never started, no thread):
  // GetStatus after a FALSE says whether the object may go (see above).
  virtual BOOL End(DWORD dwTimeoutMs);
  // Refreshes the status (a running thread that has exited becomes Finished).
  int GetStatus();
  // The worker's body; the base version does nothing and returns 0xFFFFFFFF.
  virtual UINT Run();

  // Entry point of the worker form; its parameter is the TThread.
  static UINT ThreadProc(LPVOID pParam);
  BOOL IsStopRequested();
  // Ends the calling thread with nExitCode when a stop was requested.
  void ExitIfStopRequested(UINT nExitCode);
  BOOL GetExitCode(DWORD* pdwExitCode);

  // Diagnostic trace texts of the class; they are discarded.
  static void Trace(LPCSTR lpszFormat, ...);

  // Written by the controlling thread and polled by the thread itself:
  // volatile, so a body that polls it in a loop reads it on every pass.
  volatile BOOL m_bStop;
  int m_status;
  int m_nPriority;
  CRuntimeClass* m_pThreadClass;
  CWinThread* m_pWinThread;
  HANDLE m_hThread;

 private:
  BOOL IsWorkerForm() const { return m_pThreadClass == NULL; }
  // A thread that Suspend and Resume may act on: there is one, not finished.
  BOOL HasSteerableThread() const { return m_pWinThread != NULL && m_status != Finished; }
  CWinThread* BeginWorker();
  CWinThread* BeginUserInterface();
  void RequestStop();
  HWND MainWindowOfLiveThread();
  CWorkerThreadObject* WorkerObject() const;
  // The gate of the calling thread's body when pThread started it.
  static CWorkerThreadObject* BodyGateOf(TThread* pThread);
  void EndRemainingThread();
  void ResumeFully();
  void ReleaseThreadObject();

  TThread(const TThread&);
  TThread& operator=(const TThread&);
};
