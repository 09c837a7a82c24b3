#include "sync/TThread.h"

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
  // A thread that was created but never started is still there, suspended:
  // it goes like a running one, or it would wait forever and could run on a
  // deleted object if anything resumed it.
  if (GetStatus() != Invalid && (m_status == Running || m_status == Suspended || m_status == Created)) {
    Trace("UNEXPECTED CONDITION: calling TerminateThread\n");
    TerminateThread(m_hThread, 0);
  }
  ReleaseThreadObject();
  Trace("E->TThread::~TThread\n");
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
  CWinThread* pThread = AfxBeginThread(ThreadProc, this, m_nPriority, 0, CREATE_SUSPENDED, NULL);
  if (pThread != NULL) {
    pThread->m_bAutoDelete = FALSE;
    return pThread;
  }
  DWORD dwError = GetLastError();
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
  m_status = Suspended;
  Trace("E->TThread::Suspend\n");
  return static_cast<int>(SuspendThread(m_hThread));
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
  } else if (m_pWinThread->m_pMainWnd != NULL) {
    m_pWinThread->m_pMainWnd->PostMessage(kEndMessage, 0, 0);
  }
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
  return static_cast<TThread*>(pParam)->Run();
}

BOOL TThread::IsStopRequested() { return m_bStop; }

void TThread::ExitIfStopRequested(UINT nExitCode) {
  if (m_bStop) AfxEndThread(nExitCode, FALSE);
}

BOOL TThread::GetExitCode(DWORD* pdwExitCode) { return GetExitCodeThread(m_hThread, pdwExitCode); }

void TThread::Trace(LPCSTR, ...) {}
