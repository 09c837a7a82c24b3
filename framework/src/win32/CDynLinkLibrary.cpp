#include "CDynLinkLibrary.h"

#include "AfxWinState.h"
#include "afxwin.h"

IMPLEMENT_DYNAMIC(CDynLinkLibrary, CCmdTarget)

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(bSystem) {
  AfxProcessState& processState = AfxGetProcessState();
  AfxLockGlobals lock;
  m_pNextDLL = processState.pLibraryList;
  processState.pLibraryList = this;
}

CDynLinkLibrary::~CDynLinkLibrary() {
  AfxProcessState& processState = AfxGetProcessState();
  AfxLockGlobals lock;
  for (CDynLinkLibrary** ppLink = &processState.pLibraryList; *ppLink != NULL;
       ppLink = &(*ppLink)->m_pNextDLL) {
    if (*ppLink == this) {
      *ppLink = m_pNextDLL;
      break;
    }
  }
}

namespace {

// Walks the modules in search order (application, non-system chain
// entries, system chain entries) until visit returns TRUE; returns the
// module it stopped at, or NULL. Runs under the framework lock.
template <typename Visit>
HINSTANCE SearchResourceChain(Visit visit) {
  AfxProcessState& state = AfxGetProcessState();
  AfxLockGlobals lock;
  if (visit(state.hCurrentResourceHandle)) return state.hCurrentResourceHandle;
  for (int bSystem = FALSE; bSystem <= TRUE; ++bSystem) {
    for (CDynLinkLibrary* pDLL = state.pLibraryList; pDLL != NULL; pDLL = pDLL->m_pNextDLL) {
      if (!pDLL->m_bSystem == !bSystem && pDLL->m_hResource != NULL && visit(pDLL->m_hResource)) {
        return pDLL->m_hResource;
      }
    }
  }
  return NULL;
}

}  // namespace

HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType) {
  HINSTANCE hInst = SearchResourceChain(
      [&](HINSTANCE hModule) { return ::FindResourceA(hModule, lpszName, lpszType) != NULL; });
  return hInst != NULL ? hInst : AfxGetResourceHandle();
}

int AfxLoadString(UINT nIDS, LPTSTR lpszBuf, UINT nMaxBuf) {
  if (lpszBuf == NULL || nMaxBuf == 0) return 0;
  // Strings are stored in blocks of 16; a module without the block cannot
  // have the string, one with the block may still hold it empty.
  LPCSTR lpszBlock = MAKEINTRESOURCEA((nIDS >> 4) + 1);
  int nLen = 0;
  SearchResourceChain([&](HINSTANCE hModule) {
    if (::FindResourceA(hModule, lpszBlock, RT_STRING) == NULL) return false;
    nLen = ::LoadStringA(hModule, nIDS, lpszBuf, static_cast<int>(nMaxBuf));
    return nLen != 0;
  });
  if (nLen == 0) lpszBuf[0] = '\0';
  return nLen;
}
