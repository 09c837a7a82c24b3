#include "sync/CWorkerThreadObject.h"

IMPLEMENT_DYNAMIC(CWorkerThreadObject, CWinThread)

CWorkerThreadObject::CWorkerThreadObject(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : CWinThread(pfnThreadProc, pParam), m_nGate(kOpen) {}

CWorkerThreadObject* CWorkerThreadObject::From(CWinThread* pThread) {
  if (pThread == NULL || !pThread->IsKindOf(RUNTIME_CLASS(CWorkerThreadObject))) return NULL;
  return static_cast<CWorkerThreadObject*>(pThread);
}

BOOL CWorkerThreadObject::EnterBody() {
  return InterlockedCompareExchange(&m_nGate, kInBody, kOpen) == kOpen;
}

void CWorkerThreadObject::LeaveBody() {
  if (InterlockedCompareExchange(&m_nGate, kLeft, kInBody) == kCondemned) {
    for (;;) Sleep(INFINITE);
  }
}

CWorkerThreadObject::Fate CWorkerThreadObject::CloseGate() {
  LONG nBefore = InterlockedCompareExchange(&m_nGate, kClosed, kOpen);
  if (nBefore == kInBody) nBefore = InterlockedCompareExchange(&m_nGate, kCondemned, kInBody);
  return nBefore == kInBody ? kTerminate : kWaitForIt;
}
