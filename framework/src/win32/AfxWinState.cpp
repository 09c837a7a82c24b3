#include "AfxWinState.h"

#include <string.h>

#include "afxwin.h"

namespace {

AfxProcessState* g_pProcessState = NULL;
DWORD g_tlsIndex = TLS_OUT_OF_INDEXES;

}  // namespace

AfxLockGlobals::AfxLockGlobals() { EnterCriticalSection(&g_pProcessState->lock); }

AfxLockGlobals::~AfxLockGlobals() { LeaveCriticalSection(&g_pProcessState->lock); }

BOOL AfxInitProcessState() {
  g_tlsIndex = TlsAlloc();
  if (g_tlsIndex == TLS_OUT_OF_INDEXES) return FALSE;
  g_pProcessState = new (afxNothrow) AfxProcessState;
  if (g_pProcessState == NULL) return FALSE;
  InitializeCriticalSection(&g_pProcessState->lock);
  return TRUE;
}

void AfxTermProcessState() {
  if (g_pProcessState == NULL) return;
  // Entries whose module never terminated its record (for example one
  // still loaded at process exit); each removes itself from the chain.
  while (g_pProcessState->pLibraryList != NULL) delete g_pProcessState->pLibraryList;
  AfxTermThreadState();
  // The state itself stays: objects of other modules (a static CWnd of a
  // library unloaded later) may still detach themselves from it.
}

AfxProcessState& AfxGetProcessState() { return *g_pProcessState; }

AfxThreadState* AfxPeekThreadState() {
  return static_cast<AfxThreadState*>(TlsGetValue(g_tlsIndex));
}

AfxThreadState* AfxGetThreadState() {
  AfxThreadState* pState = AfxPeekThreadState();
  if (pState == NULL) {
    pState = new (afxNothrow) AfxThreadState;
    if (pState != NULL) TlsSetValue(g_tlsIndex, pState);
  }
  return pState;
}

void AfxDeleteTempWindows() {
  AfxThreadState* pState = AfxPeekThreadState();
  if (pState == NULL) return;
  AfxHandleMap temporaries;
  temporaries.Swap(pState->temporaryWindows);
  for (int i = 0; i < temporaries.GetCount(); ++i) {
    CWnd* pWnd = temporaries.GetObjectAt(i);
    pWnd->m_hWnd = NULL;  // a wrapper never destroys its window
    delete pWnd;
  }
}

void AfxTermThreadState() {
  AfxThreadState* pState = AfxPeekThreadState();
  if (pState == NULL) return;
  AfxDeleteTempWindows();
  TlsSetValue(g_tlsIndex, NULL);
  delete pState;
}

HWND AfxGetSafeOwner(CWnd* pParent) {
  HWND hWnd = pParent != NULL ? pParent->m_hWnd : NULL;
  if (hWnd == NULL) {
    CWnd* pMain = AfxGetMainWnd();
    hWnd = pMain != NULL ? pMain->m_hWnd : ::GetActiveWindow();
  }
  // A pop-up cannot be owned by a child window.
  while (hWnd != NULL && (::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD)) hWnd = ::GetParent(hWnd);
  if (pParent == NULL && hWnd != NULL) hWnd = ::GetLastActivePopup(hWnd);
  return hWnd;
}

LPTSTR AfxDupString(LPCTSTR lpsz) { return lpsz != NULL ? _strdup(lpsz) : NULL; }
