#include "sync/TThread.h"

#include "sync/CWorkerThreadObject.h"
#include "sync/FormatString.h"

namespace {

const UINT kNoRunExitCode = 0xFFFFFFFF;

// A handle of its own to the thread of a user-interface thread object,
// which closes its handle when it deletes itself at the thread's end.
HANDLE DuplicateThreadHandle(HANDLE hThread) {
  HANDLE hCopy = NULL;
  if (!DuplicateHandle(GetCurrentProcess(), hThread, GetCurrentProcess(), &hCopy, 0, FALSE,
                       DUPLICATE_SAME_ACCESS))
    return NULL;
  return hCopy;
}

}  // namespace

TThread::TThread(int nPriority, CRuntimeClass* pThreadClass)
    : m_bStop(FALSE),
      m_status(Invalid),
      m_nPriority(nPriority),
      m_pThreadClass(pThreadClass),
      m_pWinThread(NULL),
      m_hThread(NULL) {
  Trace("S->TThread::TThread\n");
  Trace("E->TThread::TThread\n");
}

TThread::~TThread() {
  Trace("S->TThread::~TThread\n");
  if (m_pWinThread == NULL) {
    Trace("E->TThread::~TThread m_pWinThread is NULL\n");
    return;
  }
  // A thread that was created but never started is still there too,
  // suspended: left alone it would wait forever, and it could run on a
  // deleted object if anything resumed it.
  if (GetStatus() != Invalid && (m_status == Running || m_status == Suspended || m_status == Created)) {
    EndRemainingThread();
  }
  ReleaseThreadObject();
  Trace("E->TThread::~TThread\n");
}

CWorkerThreadObject* TThread::WorkerObject() const {
  return IsWorkerForm() ? CWorkerThreadObject::From(m_pWinThread) : NULL;
}

void TThread::EndRemainingThread() {
  // A worker that has not entered its body, or has left it, ends by itself
  // once it runs: it must not be terminated inside the framework or the
  // system libraries, where it may hold a lock.
  CWorkerThreadObject* pObject = WorkerObject();
  if (pObject != NULL) {
    RequestStop();
    if (pObject->CloseGate() == CWorkerThreadObject::kWaitForIt) {
      ResumeFully();
      WaitForSingleObject(m_hThread, INFINITE);
      return;
    }
  }
  Trace("UNEXPECTED CONDITION: calling TerminateThread\n");
  TerminateThread(m_hThread, 0);
}

void TThread::ResumeFully() {
  while (static_cast<int>(ResumeThread(m_hThread)) > 1) {
  }
}

void TThread::ReleaseThreadObject() {
  if (IsWorkerForm()) {
    delete m_pWinThread;  // closes m_hThread, the object's own handle
  } else if (m_hThread != NULL) {
    CloseHandle(m_hThread);  // this object's duplicate
  }
  m_pWinThread = NULL;
  m_hThread = NULL;
}

CWinThread* TThread::BeginWorker() {
  // What AfxBeginThread does, with a thread object that carries the gate
  // to the body.
  CWorkerThreadObject* pThread = new CWorkerThreadObject(ThreadProc, this);
  pThread->m_bAutoDelete = FALSE;
  if (pThread->CreateThread(CREATE_SUSPENDED, 0, NULL)) {
    pThread->SetThreadPriority(m_nPriority);
    return pThread;
  }
  DWORD dwError = GetLastError();
  delete pThread;
  CString strError;
  FormatString(strError, "%lX (%lu)", dwError, dwError);
  CWinApp* pApp = AfxGetApp();
  if (pApp != NULL) pApp->WriteProfileString("AfxBeginThread", "LastError", strError);
  return NULL;
}

CWinThread* TThread::BeginUserInterface() {
  return AfxBeginThread(m_pThreadClass, m_nPriority, 0, CREATE_SUSPENDED, NULL);
}

int TThread::Create() {
  Trace("S->TThread::Create\n");
  if (m_pWinThread != NULL) {
    Trace("E->TThread::Create m_pWinThread already exists\n");
    return -1;
  }
  CWinThread* pThread = IsWorkerForm() ? BeginWorker() : BeginUserInterface();
  HANDLE hThread = NULL;
  if (pThread != NULL) {
    hThread = IsWorkerForm() ? pThread->m_hThread : DuplicateThreadHandle(pThread->m_hThread);
    if (hThread == NULL) {
      // Without a handle of its own the thread could not be steered: let it
      // run to its end, which frees its self-deleting object.
      pThread->ResumeThread();
      pThread = NULL;
    }
  }
  if (pThread == NULL) {
    m_status = Invalid;
    Trace("E->TThread::Create m_pWinThread is NULL\n");
    return -1;
  }
  m_pWinThread = pThread;
  m_hThread = hThread;
  InterlockedExchange(reinterpret_cast<volatile LONG*>(&m_bStop), FALSE);
  m_status = Created;
  Trace("E->TThread::Create\n");
  return 1;
}

int TThread::Start() {
  Trace("S->TThread::Start\n");
  if (m_status == Invalid) {
    int nResult = Create();
    if (nResult != 1) {
      Trace("E->TThread::Start m_status = Invalid\n");
      return nResult;
    }
  }
  m_status = Running;
  Trace("E->TThread::Start\n");
  return static_cast<int>(ResumeThread(m_hThread));
}

int TThread::Suspend() {
  Trace("S->TThread::Suspend\n");
  if (!HasSteerableThread()) {
    Trace("E->TThread::Suspend !m_pWinThread or m_status = Finished\n");
    return -1;
  }
  int nPrevious = static_cast<int>(SuspendThread(m_hThread));
  // A thread that has exited cannot be suspended: it stays as it was, and
  // GetStatus finds it finished.
  if (nPrevious != -1) m_status = Suspended;
  Trace("E->TThread::Suspend\n");
  return nPrevious;
}

int TThread::Resume() {
  Trace("S->TThread::Resume\n");
  if (!HasSteerableThread()) {
    Trace("E->TThread::Resume !m_pWinThread or m_status = Finished\n");
    return -1;
  }
  int nPrevious = static_cast<int>(ResumeThread(m_hThread));
  if (nPrevious == 0 || nPrevious == 1) m_status = Running;
  Trace("E->TThread::Resume\n");
  return nPrevious;
}

void TThread::RequestStop() {
  if (IsWorkerForm()) {
    InterlockedExchange(reinterpret_cast<volatile LONG*>(&m_bStop), TRUE);
    return;
  }
  HWND hMainWnd = MainWindowOfLiveThread();
  if (hMainWnd != NULL) PostMessageA(hMainWnd, kEndMessage, 0, 0);
}

HWND TThread::MainWindowOfLiveThread() {
  // The user-interface thread object deletes itself when its thread ends:
  // it is read only while the thread is held and still running.
  if (SuspendThread(m_hThread) == static_cast<DWORD>(-1)) return NULL;  // it has exited
  HWND hMainWnd = NULL;
  DWORD dwExitCode = 0;
  if (GetExitCodeThread(m_hThread, &dwExitCode) && dwExitCode == STILL_ACTIVE) {
    CWnd* pMainWnd = m_pWinThread->m_pMainWnd;
    if (pMainWnd != NULL) hMainWnd = pMainWnd->m_hWnd;
  }
  ResumeThread(m_hThread);
  return hMainWnd;
}

BOOL TThread::End(DWORD dwTimeoutMs) {
  Trace("S->TThread::End\n");
  GetStatus();
  if (m_status != Running && m_status != Suspended) {
    Trace("E->TThread::End m_status is not Running and not Suspended\n");
    return FALSE;
  }
  RequestStop();
  while (Resume() > 1) {
  }
  Trace("\tTThread::End before WaitForSingleObject, msec = %d\n", dwTimeoutMs);
  DWORD dwWait = WaitForSingleObject(m_hThread, dwTimeoutMs);
  Trace("\tTThread::End after WaitForSingleObject\n");
  Trace("E->TThread::End\n");
  return dwWait == WAIT_OBJECT_0;
}

int TThread::GetStatus() {
  Trace("S->TThread::GetStatus\n");
  if (m_pWinThread == NULL) {
    Trace("E->TThread::GetStatus m_pWinThread is NULL\n");
    return Invalid;
  }
  if (m_status == Running) {
    DWORD dwExitCode = 0;
    if (!GetExitCode(&dwExitCode)) {
      Trace("E->TThread::GetStatus Invalid\n");
      return Invalid;
    }
    if (dwExitCode != STILL_ACTIVE) {
      m_status = Finished;
      Trace("\tTThread::GetStatus m_status = Finished\n");
    }
  }
  Trace("E->TThread::GetStatus\n");
  return m_status;
}

UINT TThread::Run() { return kNoRunExitCode; }

UINT TThread::ThreadProc(LPVOID pParam) {
  if (pParam == NULL) return 0;
  TThread* pThis = static_cast<TThread*>(pParam);
  CWorkerThreadObject* pObject = BodyGateOf(pThis);
  if (pObject == NULL) return pThis->Run();  // not a thread that Create started
  // The owner went before the body was started: end as a thread without one.
  if (!pObject->EnterBody()) return kNoRunExitCode;
  UINT nResult = pThis->Run();
  pObject->LeaveBody();
  return nResult;
}

CWorkerThreadObject* TThread::BodyGateOf(TThread* pThread) {
  CWorkerThreadObject* pObject = CWorkerThreadObject::Current();
  return pObject != NULL && pObject->m_pThreadParams == pThread ? pObject : NULL;
}

BOOL TThread::IsStopRequested() { return m_bStop; }

void TThread::ExitIfStopRequested(UINT nExitCode) {
  if (!m_bStop) return;
  CWorkerThreadObject* pObject = BodyGateOf(this);
  if (pObject != NULL) pObject->LeaveBody();
  AfxEndThread(nExitCode, FALSE);
}

BOOL TThread::GetExitCode(DWORD* pdwExitCode) { return GetExitCodeThread(m_hThread, pdwExitCode); }

void TThread::Trace(LPCSTR, ...) {}
