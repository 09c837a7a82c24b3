#include "packages/CExtensionApp.h"

#include "packages/PackageChecks.h"

BEGIN_MESSAGE_MAP(CExtensionApp, CWinApp)
END_MESSAGE_MAP()

CExtensionApp::CExtensionApp() : CWinApp(NULL) {}

CExtensionApp::~CExtensionApp() {}

void CExtensionApp::WinHelp(DWORD dwData, UINT nCmd) {
  if (!CheckHelpPackage(m_pMainWnd, FALSE)) return;
  CWinApp::WinHelp(dwData, nCmd);
}
