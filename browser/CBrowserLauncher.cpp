#include "browser/CBrowserLauncher.h"

#include <afxwin.h>
#include <string.h>

#include "config/CIniSettingsStore.h"
#include "config/CUserDirs.h"
#include "config/ProductDirs.h"

namespace {

struct LaunchErrorText {
  DWORD dwCode;
  const char* pszText;
};

// The error results of the shell's execute service.
const LaunchErrorText g_launchErrorTexts[] = {
    {0, "The operating system is out of memory or resources."},
    {2, "The specified file was not found."},
    {3, "The specified path was not found."},
    {11, "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image)."},
    {5, "The operating system denied access to the specified file."},
    {27, "The filename association is incomplete or invalid."},
    {30, "The DDE transaction could not be completed because other DDE transactions were being processed."},
    {29, "The DDE transaction failed."},
    {28, "The DDE transaction could not be completed because the request timed out."},
    {32, "The specified dynamic-link library was not found."},
    {2, "The specified file was not found."},
    {31, "There is no application associated with the given filename extension."},
    {8, "There was not enough memory to complete the operation."},
    {3, "The specified path was not found."},
    {26, "A sharing violation occurred."},
};

const char kLauncherProgram[] = "brwsapp.exe";
const char kRequestSection[] = "Data";

LPCSTR OrEmpty(LPCSTR lpszText) { return lpszText != NULL ? lpszText : ""; }

void ShowLaunchMessage(LPCSTR lpszUrl, LPCSTR lpszText) {
  CString strMessage;
  strMessage.Format("An error occurred in opening Url [%s] in the browser.\n\n%s\n", OrEmpty(lpszUrl), lpszText);
  AfxMessageBox(strMessage, MB_OK, 0);
}

void ShowSystemLaunchError(DWORD dwCode, LPCSTR lpszUrl) {
  const char* pszText = "Unknown Error";
  for (const LaunchErrorText& row : g_launchErrorTexts)
    if (row.dwCode == dwCode) pszText = row.pszText;
  CString strDetail;
  strDetail.Format("%d --> %s", static_cast<int>(dwCode), pszText);
  ShowLaunchMessage(lpszUrl, strDetail);
}

// The file name part of a path.
CString FileNameOf(LPCSTR lpszPath) {
  const char* pszSlash = strrchr(lpszPath, '\\');
  return CString(pszSlash != NULL ? pszSlash + 1 : lpszPath);
}

}  // namespace

int CBrowserLauncher::Launch(LPCSTR lpszUrl, LPCSTR lpszPostData, int bNewWindow, int bFile) {
  m_dwError = 0;
  // Each value is one line of the request file: a line break would end it
  // early and could plant other values, and a value longer than the file
  // can keep would reach the launcher as garbage.
  bool bPostDataStorable = lpszPostData == NULL || CIniSettingsStore::CanStoreText(lpszPostData);
  if (!CIniSettingsStore::CanStoreText(lpszUrl) || !bPostDataStorable) {
    m_dwError = ERROR_INVALID_PARAMETER;
    return 1;
  }
  CString strDataDir;
  CUserDirs userDirs;
  if (!userDirs.GetDataDirOfUser(0, strDataDir)) return 1;
  CString strProgramDir;
  if (!GetProgramDir(strProgramDir)) return 1;

  char requestPath[MAX_PATH] = {0};
  if (GetTempFileNameA(strDataDir, "msg", 0, requestPath) == 0) {
    m_dwError = GetLastError();
    return 1;
  }
  CString strRequestName = FileNameOf(requestPath);

  // Write failures do not stop the launch: the launcher reports a request
  // it cannot use.
  CIniSettingsStore request(strRequestName, TRUE, 0);
  request.SetString(kRequestSection, "Url", lpszUrl, FALSE);
  if (lpszPostData != NULL)
    request.SetString(kRequestSection, "PostData", lpszPostData, FALSE);
  else
    request.DeleteValue(kRequestSection, "PostData");
  request.SetInt(kRequestSection, "bFile", static_cast<DWORD>(bFile), FALSE);
  request.SetInt(kRequestSection, "bNew", static_cast<DWORD>(bNewWindow), FALSE);

  CString strProgram = strProgramDir + kLauncherProgram;
  CString strCommandLine(strRequestName);  // the process may write into its command line
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  ZeroMemory(&process, sizeof process);
  if (!CreateProcessA(strProgram, strCommandLine.GetBuffer(0), NULL, NULL, FALSE, 0, NULL, NULL, &startup,
                      &process)) {
    m_dwError = GetLastError();
    // Nobody will ever read the request: it goes, and the start's error
    // stays what the caller learns.
    DeleteFileA(requestPath);
    return 1;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 0;
}

int CBrowserLauncher::OpenUrl(LPCSTR lpszUrl, LPCSTR lpszPostData) { return Launch(lpszUrl, lpszPostData, 0, 0); }

int CBrowserLauncher::OpenUrl(int, LPCSTR lpszUrl, LPCSTR lpszPostData) {
  return Launch(lpszUrl, lpszPostData, 0, 0);
}

int CBrowserLauncher::OpenLocalFile(LPCSTR lpszPath) { return Launch(lpszPath, NULL, 0, 1); }

int CBrowserLauncher::OpenUrlInNewWindow(LPCSTR lpszUrl, LPCSTR lpszPostData) {
  return Launch(lpszUrl, lpszPostData, 1, 0);
}

int CBrowserLauncher::OpenLocalFileInNewWindow(LPCSTR lpszPath) { return Launch(lpszPath, NULL, 1, 1); }

void CBrowserLauncher::ReportLaunchError(LPCSTR lpszUrl, int nStatus) {
  switch (nStatus) {
    case 1:
    case 2:
      ShowSystemLaunchError(m_dwError, lpszUrl);
      break;
    case 3:
      ShowLaunchMessage(lpszUrl, "This link requires the POST method and as a result the DDE data exceeds the size limit.");
      break;
    case 6:
      ShowLaunchMessage(lpszUrl, "This link requires the POST method and it cannot be supported through the selected browser.");
      break;
    case 8:
      ShowLaunchMessage(lpszUrl, "Tried to launch a browser that is either not available or is not supported.");
      break;
    default:
      break;
  }
}
