#include "CWinApp.h"

#include <stdlib.h>
#include <string.h>

#include "AfxWinState.h"
#include "afxres.h"
#include "afxwin.h"

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

namespace {

// Guarded by AfxLockGlobals.
int g_nHelpCalls = 0;
AfxHelpCall g_latestHelpCall;

void ReplaceString(LPCTSTR& rpsz, LPCTSTR lpszNew) {
  free(const_cast<LPTSTR>(rpsz));
  rpsz = AfxDupString(lpszNew);
}

}  // namespace

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_pszAppName(AfxDupString(lpszAppName)),
      m_hInstance(NULL),
      m_hPrevInstance(NULL),
      m_lpCmdLine(NULL),
      m_nCmdShow(SW_SHOWNORMAL),
      m_pszExeName(NULL),
      m_pszHelpFilePath(NULL),
      m_pszProfileName(NULL),
      m_pszRegistryKey(NULL) {
  // The application runs on the thread that makes it.
  AfxThreadState* pThreadState = AfxGetThreadState();
  if (pThreadState != NULL) pThreadState->pCurrentWinThread = this;
  m_hThread = ::GetCurrentThread();
  m_nThreadID = ::GetCurrentThreadId();

  AfxProcessState& state = AfxGetProcessState();
  AfxLockGlobals lock;
  state.pCurrentWinApp = this;
}

CWinApp::~CWinApp() {
  {
    AfxProcessState& state = AfxGetProcessState();
    AfxLockGlobals lock;
    if (state.pCurrentWinApp == this) state.pCurrentWinApp = NULL;
  }
  free(const_cast<LPTSTR>(m_pszAppName));
  free(const_cast<LPTSTR>(m_pszRegistryKey));
  free(const_cast<LPTSTR>(m_pszExeName));
  free(const_cast<LPTSTR>(m_pszHelpFilePath));
  free(const_cast<LPTSTR>(m_pszProfileName));
  // The pseudo handle of the creating thread is not closed.
  m_hThread = NULL;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

void CWinApp::SetCurrentHandles() {
  AfxProcessState& state = AfxGetProcessState();
  {
    AfxLockGlobals lock;
    state.hCurrentInstanceHandle = m_hInstance;
    state.hCurrentResourceHandle = m_hInstance;
  }

  char szPath[MAX_PATH + 5];  // room for the .HLP that replaces the extension
  DWORD nLen = ::GetModuleFileNameA(m_hInstance, szPath, MAX_PATH);
  if (nLen == 0 || nLen >= MAX_PATH) nLen = 0;
  szPath[nLen] = '\0';
  char* pszName = strrchr(szPath, '\\');
  pszName = pszName != NULL ? pszName + 1 : szPath;
  char* pszExt = strrchr(pszName, '.');
  if (pszExt == NULL) pszExt = szPath + nLen;

  if (m_pszExeName == NULL) m_pszExeName = AfxDupString(CString(pszName, static_cast<int>(pszExt - pszName)));

  if (m_pszAppName == NULL) {
    char szTitle[256];
    m_pszAppName = AfxDupString(AfxLoadString(AFX_IDS_APP_TITLE, szTitle, sizeof(szTitle)) != 0
                                    ? szTitle
                                    : m_pszExeName);
  }

  if (m_pszHelpFilePath == NULL) {
    strcpy(pszExt, ".HLP");
    m_pszHelpFilePath = AfxDupString(szPath);
  }

  if (m_pszProfileName == NULL) {
    // A registry key chosen before the name was known uses the name now.
    m_pszProfileName = m_pszRegistryKey != NULL ? AfxDupString(m_pszAppName)
                                                : AfxDupString(CString(m_pszExeName) + ".INI");
  }
}

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey) {
  ReplaceString(m_pszRegistryKey, lpszRegistryKey);
  // The application's key below the registry key is its name.
  ReplaceString(m_pszProfileName, m_pszAppName);
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey) {
  char szRegistryKey[256];
  if (AfxLoadString(nIDRegistryKey, szRegistryKey, sizeof(szRegistryKey)) == 0) return;
  SetRegistryKey(szRegistryKey);
}

HKEY CWinApp::GetAppRegistryKey() {
  if (m_pszRegistryKey == NULL || m_pszProfileName == NULL) return NULL;
  HKEY hAppKey = NULL;
  HKEY hSoftKey = NULL;
  HKEY hCompanyKey = NULL;
  DWORD dwDisposition;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_WRITE | KEY_READ, &hSoftKey) ==
          ERROR_SUCCESS &&
      ::RegCreateKeyExA(hSoftKey, m_pszRegistryKey, 0, NULL, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE | KEY_READ, NULL, &hCompanyKey, &dwDisposition) ==
          ERROR_SUCCESS) {
    if (::RegCreateKeyExA(hCompanyKey, m_pszProfileName, 0, NULL, REG_OPTION_NON_VOLATILE,
                          KEY_WRITE | KEY_READ, NULL, &hAppKey, &dwDisposition) != ERROR_SUCCESS) {
      hAppKey = NULL;
    }
  }
  if (hSoftKey != NULL) ::RegCloseKey(hSoftKey);
  if (hCompanyKey != NULL) ::RegCloseKey(hCompanyKey);
  return hAppKey;
}

HKEY CWinApp::GetSectionKey(LPCTSTR lpszSection) {
  if (lpszSection == NULL) return NULL;
  HKEY hAppKey = GetAppRegistryKey();
  if (hAppKey == NULL) return NULL;
  HKEY hSectionKey = NULL;
  DWORD dwDisposition;
  if (::RegCreateKeyExA(hAppKey, lpszSection, 0, NULL, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE | KEY_READ, NULL, &hSectionKey, &dwDisposition) != ERROR_SUCCESS) {
    hSectionKey = NULL;
  }
  ::RegCloseKey(hAppKey);
  return hSectionKey;
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault) {
  if (m_pszRegistryKey == NULL) {
    return ::GetPrivateProfileIntA(lpszSection, lpszEntry, nDefault, m_pszProfileName);
  }
  HKEY hSecKey = GetSectionKey(lpszSection);
  if (hSecKey == NULL) return nDefault;
  DWORD dwValue = 0;
  DWORD dwType = REG_NONE;
  DWORD dwCount = sizeof(dwValue);
  LONG lResult = ::RegQueryValueExA(hSecKey, lpszEntry, NULL, &dwType,
                                    reinterpret_cast<LPBYTE>(&dwValue), &dwCount);
  ::RegCloseKey(hSecKey);
  // A value of another type is not this entry's number.
  if (lResult != ERROR_SUCCESS || dwType != REG_DWORD || dwCount != sizeof(dwValue)) return nDefault;
  return dwValue;
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue) {
  if (m_pszRegistryKey == NULL) {
    char szValue[16];
    wsprintfA(szValue, "%d", nValue);
    return ::WritePrivateProfileStringA(lpszSection, lpszEntry, szValue, m_pszProfileName);
  }
  HKEY hSecKey = GetSectionKey(lpszSection);
  if (hSecKey == NULL) return FALSE;
  DWORD dwValue = static_cast<DWORD>(nValue);
  LONG lResult = ::RegSetValueExA(hSecKey, lpszEntry, 0, REG_DWORD,
                                  reinterpret_cast<const BYTE*>(&dwValue), sizeof(dwValue));
  ::RegCloseKey(hSecKey);
  return lResult == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault) {
  if (lpszDefault == NULL) lpszDefault = "";
  if (m_pszRegistryKey == NULL) {
    // Grow the buffer until the whole value fits.
    CString strValue;
    for (DWORD nSize = 4096;; nSize *= 2) {
      DWORD nLen = ::GetPrivateProfileStringA(lpszSection, lpszEntry, lpszDefault,
                                              strValue.GetBuffer(static_cast<int>(nSize)), nSize,
                                              m_pszProfileName);
      if (nLen < nSize - 2 || nSize >= 0x1000000) {
        strValue.ReleaseBuffer(static_cast<int>(nLen < nSize ? nLen : nSize - 1));
        return strValue;
      }
    }
  }

  HKEY hSecKey = GetSectionKey(lpszSection);
  if (hSecKey == NULL) return lpszDefault;
  CString strValue;
  DWORD dwType = REG_NONE;
  DWORD dwCount = 0;
  LONG lResult = ::RegQueryValueExA(hSecKey, lpszEntry, NULL, &dwType, NULL, &dwCount);
  if (lResult == ERROR_SUCCESS && (dwType == REG_SZ || dwType == REG_EXPAND_SZ)) {
    // The stored text need not end in a zero; the buffer has one more byte.
    LPSTR pBuf = strValue.GetBuffer(static_cast<int>(dwCount));
    memset(pBuf, 0, dwCount + 1);
    lResult = ::RegQueryValueExA(hSecKey, lpszEntry, NULL, &dwType,
                                 reinterpret_cast<LPBYTE>(pBuf), &dwCount);
    strValue.ReleaseBuffer();
  } else if (lResult == ERROR_SUCCESS) {
    lResult = ERROR_INVALID_DATA;  // not a text value
  }
  ::RegCloseKey(hSecKey);
  if (lResult != ERROR_SUCCESS) return lpszDefault;
  return strValue;
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue) {
  if (m_pszRegistryKey == NULL) {
    return ::WritePrivateProfileStringA(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
  }
  LONG lResult;
  if (lpszEntry == NULL) {
    HKEY hAppKey = GetAppRegistryKey();
    if (hAppKey == NULL || lpszSection == NULL) {
      if (hAppKey != NULL) ::RegCloseKey(hAppKey);
      return FALSE;
    }
    lResult = ::RegDeleteKeyA(hAppKey, lpszSection);
    ::RegCloseKey(hAppKey);
  } else {
    HKEY hSecKey = GetSectionKey(lpszSection);
    if (hSecKey == NULL) return FALSE;
    if (lpszValue == NULL) {
      lResult = ::RegDeleteValueA(hSecKey, lpszEntry);
    } else {
      lResult = ::RegSetValueExA(hSecKey, lpszEntry, 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(lpszValue),
                                 static_cast<DWORD>(strlen(lpszValue) + 1));
    }
    ::RegCloseKey(hSecKey);
  }
  return lResult == ERROR_SUCCESS;
}

void CWinApp::WinHelp(DWORD dwData, UINT nCmd) {
  {
    AfxLockGlobals lock;
    ++g_nHelpCalls;
    g_latestHelpCall.dwData = dwData;
    g_latestHelpCall.nCmd = nCmd;
  }
  CWnd* pMainWnd = AfxGetMainWnd();
  if (pMainWnd != NULL) {
    pMainWnd->WinHelp(dwData, nCmd);
  } else {
    ::WinHelpA(NULL, m_pszHelpFilePath, nCmd, dwData);
  }
}

int AfxGetHelpCalls(AfxHelpCall* pLatest) {
  AfxLockGlobals lock;
  if (pLatest != NULL && g_nHelpCalls > 0) *pLatest = g_latestHelpCall;
  return g_nHelpCalls;
}

CWinApp* AfxGetApp() {
  AfxProcessState& state = AfxGetProcessState();
  AfxLockGlobals lock;
  return state.pCurrentWinApp;
}

LPCTSTR AfxGetAppName() {
  CWinApp* pApp = AfxGetApp();
  return pApp != NULL ? pApp->m_pszAppName : NULL;
}

HINSTANCE AfxGetInstanceHandle() {
  AfxProcessState& state = AfxGetProcessState();
  AfxLockGlobals lock;
  return state.hCurrentInstanceHandle;
}

HINSTANCE AfxGetResourceHandle() {
  AfxProcessState& state = AfxGetProcessState();
  AfxLockGlobals lock;
  return state.hCurrentResourceHandle;
}

void AfxSetResourceHandle(HINSTANCE hInstResource) {
  AfxProcessState& state = AfxGetProcessState();
  AfxLockGlobals lock;
  state.hCurrentResourceHandle = hInstResource;
}

CWnd* AfxGetMainWnd() {
  CWinThread* pThread = AfxGetThread();
  return pThread != NULL ? pThread->GetMainWnd() : NULL;
}

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow) {
  // Critical-error boxes of the system would interrupt file access.
  ::SetErrorMode(::SetErrorMode(0) | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  {
    AfxProcessState& state = AfxGetProcessState();
    AfxLockGlobals lock;
    state.hCurrentInstanceHandle = hInstance;
    state.hCurrentResourceHandle = hInstance;
  }
  CWinApp* pApp = AfxGetApp();
  if (pApp != NULL) {
    pApp->m_hInstance = hInstance;
    pApp->m_hPrevInstance = hPrevInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    pApp->SetCurrentHandles();
  }
  return TRUE;
}
