// An entry of the process's resource chain: one extension module whose
// resources the application finds as if they were its own. Entries are made
// with new; the framework owns them and frees them when the module
// terminates (AfxTermExtensionModule) or the framework shuts down.
#pragma once

#include <windows.h>

#include "AFX_EXTENSION_MODULE.h"
#include "CCmdTarget.h"

class AFX_API CDynLinkLibrary : public CCmdTarget {
  DECLARE_DYNAMIC(CDynLinkLibrary)
 public:
  // Adds the entry at the head of the chain (searched before older ones).
  CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem = FALSE);

  HMODULE m_hModule;
  HMODULE m_hResource;
  BOOL m_bSystem;  // searched after the application and non-system entries

  CDynLinkLibrary* m_pNextDLL;
  // Removes the entry from the chain.
  virtual ~CDynLinkLibrary();
};

// The module that has resource (lpszName, lpszType): the application's
// resource handle first, then every non-system entry of the chain, newest
// first, then the system entries. The application's resource handle when
// no module has it.
AFX_API HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType);
// Loads string nIDS from the first module in the same order that has a
// non-empty string nIDS. Returns its length; 0 and an empty buffer when
// none has it.
AFX_API int AfxLoadString(UINT nIDS, LPTSTR lpszBuf, UINT nMaxBuf = 256);
