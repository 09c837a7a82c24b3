#include "AFX_EXTENSION_MODULE.h"

#include "AfxWinState.h"
#include "afxwin.h"

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule) {
  {
    AfxProcessState& processState = AfxGetProcessState();
    AfxLockGlobals lock;
    if (processState.bRefuseExtensionModules) return FALSE;
  }
  if (state.bInitialized) return TRUE;
  if (hModule == NULL) return FALSE;
  state.bInitialized = TRUE;
  state.hModule = hModule;
  state.hResource = hModule;
  state.pFirstSharedClass = NULL;
  state.pFirstSharedFactory = NULL;
  return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll) {
  if (!state.bInitialized) return;
  AfxProcessState& processState = AfxGetProcessState();
  AfxLockGlobals lock;  // the lock is re-entrant: each entry unlinks itself under it
  CDynLinkLibrary* pDLL = processState.pLibraryList;
  while (pDLL != NULL) {
    CDynLinkLibrary* pNextDLL = pDLL->m_pNextDLL;
    if (bAll || pDLL->m_hModule == state.hModule) delete pDLL;
    pDLL = pNextDLL;
  }
}

void AfxSetRefuseExtensionModules(BOOL bRefuse) {
  AfxProcessState& processState = AfxGetProcessState();
  AfxLockGlobals lock;
  processState.bRefuseExtensionModules = bRefuse;
}
