// The application object: one per process, registered by its constructor
// and completed by AfxWinInit. It carries the application's names, its
// profile (a private INI file, or the registry once SetRegistryKey was
// called) and the message box hook that AfxMessageBox goes through.
#pragma once

#include <windows.h>

#include "CString.h"
#include "CWinThread.h"

class AFX_API CWinApp : public CWinThread {
  DECLARE_DYNAMIC(CWinApp)
 public:
  // A null name is chosen by AfxWinInit: the string resource
  // AFX_IDS_APP_TITLE when the resource chain has it, else m_pszExeName.
  CWinApp(LPCTSTR lpszAppName = NULL);

  // The strings below are allocated with malloc and freed by the
  // destructor; an application that replaces one frees the old value.
  LPCTSTR m_pszAppName;        // name shown to the user (message box captions)
  HINSTANCE m_hInstance;
  HINSTANCE m_hPrevInstance;
  LPTSTR m_lpCmdLine;
  int m_nCmdShow;
  LPCTSTR m_pszExeName;        // executable's file name without directory and extension
  LPCTSTR m_pszHelpFilePath;   // executable's path with the extension .HLP
  LPCTSTR m_pszProfileName;    // INI file (exe name + ".INI"), or the registry key's app name
  LPCTSTR m_pszRegistryKey;    // NULL: the profile is the INI file

  // Profile: HKCU\Software\<m_pszRegistryKey>\<m_pszProfileName>\<section>
  // once SetRegistryKey was called, else m_pszProfileName's INI file.
  UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
  BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
  CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = NULL);
  // A null value deletes the entry; a null entry deletes the section.
  BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);

  BOOL InitInstance() override;  // TRUE
  int ExitInstance() override;

  // Shows every AfxMessageBox. The default is a real message box owned by
  // the main (or active) window with the application's name as caption;
  // without an icon in nType, OK and Yes/No boxes get the exclamation icon.
  virtual int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt);
  // Help for the main window: its WinHelp, which runs the help engine on
  // m_pszHelpFilePath. Every call is counted first (AfxGetHelpCalls).
  virtual void WinHelp(DWORD dwData, UINT nCmd = HELP_CONTEXT);

 protected:
  // Moves the profile to the registry below HKCU\Software\<lpszRegistryKey>,
  // with the application's name as the key of this application.
  void SetRegistryKey(LPCTSTR lpszRegistryKey);
  void SetRegistryKey(UINT nIDRegistryKey);

 public:
  virtual ~CWinApp();

  // Registry keys of the profile, created when missing; the caller closes
  // them. NULL when the profile is not in the registry or a key cannot be
  // opened.
  HKEY GetAppRegistryKey();
  HKEY GetSectionKey(LPCTSTR lpszSection);

  // Fills the handles and the names that are still null (AfxWinInit).
  void SetCurrentHandles();

  DECLARE_MESSAGE_MAP()
};

AFX_API CWinApp* AfxGetApp();
AFX_API LPCTSTR AfxGetAppName();  // the application's m_pszAppName, or NULL
AFX_API HINSTANCE AfxGetInstanceHandle();
AFX_API HINSTANCE AfxGetResourceHandle();
AFX_API void AfxSetResourceHandle(HINSTANCE hInstResource);
// The calling thread's main window (see CWinThread::GetMainWnd), or NULL.
AFX_API CWnd* AfxGetMainWnd();

// The calls of CWinApp::WinHelp in this process: how many there were and,
// when pLatest is given and there was one, the arguments of the latest, so
// that a test or tool can tell whether help was asked for and with what.
struct AfxHelpCall {
  DWORD dwData;
  UINT nCmd;
};
AFX_API int AfxGetHelpCalls(AfxHelpCall* pLatest);

// Sets the instance and resource handles and completes the application
// object, if there is one. Hosts call it once before they use the framework.
AFX_API BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine,
                        int nCmdShow);

// Through the application's DoMessageBox (without an application: a
// message box with the executable's path as caption).
AFX_API int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The prompt is string resource nIDPrompt, found through the resource chain;
// nIDHelp defaults to nIDPrompt.
AFX_API int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
