// Application base class for hosts whose help is an optional package:
// asking for help first makes sure the help package is installed (and
// offers its download when it is not), and shows help only when it is.
#pragma once

#include <afxwin.h>

class CExtensionApp : public CWinApp {
 public:
  CExtensionApp();  // the application's name is chosen by AfxWinInit
  ~CExtensionApp() override;

  // The framework's help with both arguments unchanged, once the help
  // package passes its check (messages owned by the main window, the focus
  // left where it is); otherwise nothing is shown.
  void WinHelp(DWORD dwData, UINT nCmd = HELP_CONTEXT) override;

  DECLARE_EXT_MESSAGE_MAP()
};
