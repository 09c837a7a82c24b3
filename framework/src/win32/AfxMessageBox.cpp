// The application message box and the default DoMessageBox.
#include <windows.h>

#include "AfxWinState.h"
#include "afxwin.h"

namespace {

// A message box owned by the main (or active) window. Boxes that ask or
// inform without an icon of their own get the exclamation icon.
int ShowAppMessageBox(LPCTSTR lpszCaption, LPCTSTR lpszPrompt, UINT nType) {
  if ((nType & MB_ICONMASK) == 0) {
    switch (nType & MB_TYPEMASK) {
      case MB_OK:
      case MB_OKCANCEL:
      case MB_YESNO:
      case MB_YESNOCANCEL:
        nType |= MB_ICONEXCLAMATION;
        break;
    }
  }
  return ::MessageBoxA(AfxGetSafeOwner(NULL), lpszPrompt, lpszCaption, nType);
}

}  // namespace

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt) {
  return ShowAppMessageBox(m_pszAppName, lpszPrompt, nType);
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp) {
  CWinApp* pApp = AfxGetApp();
  if (pApp != NULL) return pApp->DoMessageBox(lpszText, nType, nIDHelp);
  // No application: the executable's path stands for its name.
  char szPath[MAX_PATH];
  if (::GetModuleFileNameA(NULL, szPath, MAX_PATH) == 0) szPath[0] = '\0';
  szPath[MAX_PATH - 1] = '\0';
  return ShowAppMessageBox(szPath, lpszText, nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
  CString strPrompt;
  strPrompt.LoadString(nIDPrompt);
  if (nIDHelp == static_cast<UINT>(-1)) nIDHelp = nIDPrompt;
  return AfxMessageBox(strPrompt, nType, nIDHelp);
}
