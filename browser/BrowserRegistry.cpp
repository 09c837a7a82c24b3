#include "browser/BrowserRegistry.h"

#include <afxwin.h>

const char kAppPathNetscape[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Netscape.exe";
const char kAppPathIExplore[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
const char kAppPathMosaic[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\mosaic.exe";

namespace {

const DWORD kValueBufferSize = 260;
const DWORD kKeyNameBufferSize = 260;

}  // namespace

LONG ReadRegString(HKEY hRoot, LPCSTR lpszKey, LPCSTR lpszName, CString& strValue) {
  HKEY hKey = NULL;
  LONG lResult = RegOpenKeyExA(hRoot, lpszKey, 0, KEY_READ, &hKey);
  if (lResult != ERROR_SUCCESS) return lResult;
  // One byte more than the value may fill, so that a text stored without
  // its terminating zero still ends inside the buffer.
  char buffer[kValueBufferSize + 1] = {0};
  DWORD cbData = kValueBufferSize;
  DWORD dwType = REG_NONE;
  lResult = RegQueryValueExA(hKey, lpszName, NULL, &dwType, reinterpret_cast<BYTE*>(buffer), &cbData);
  RegCloseKey(hKey);
  if (lResult != ERROR_SUCCESS) return lResult;
  if (dwType != REG_SZ) return ERROR_INVALID_DATA;
  buffer[cbData < kValueBufferSize ? cbData : kValueBufferSize] = '\0';
  strValue = buffer;
  return ERROR_SUCCESS;
}

LONG ReadRegDefault(HKEY hRoot, LPCSTR lpszKey, CString& strValue) {
  return ReadRegString(hRoot, lpszKey, NULL, strValue);
}

LONG EnumRegSubkeys(HKEY hRoot, LPCSTR lpszKey, CStringArray& names) {
  HKEY hKey = NULL;
  LONG lResult = RegOpenKeyExA(hRoot, lpszKey, 0, KEY_READ, &hKey);
  if (lResult != ERROR_SUCCESS) return lResult;
  DWORD cSubKeys = 0;
  lResult = RegQueryInfoKeyA(hKey, NULL, NULL, NULL, &cSubKeys, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
  for (DWORD dwIndex = 0; lResult == ERROR_SUCCESS && dwIndex < cSubKeys; ++dwIndex) {
    char name[kKeyNameBufferSize] = {0};
    DWORD cchName = kKeyNameBufferSize;
    lResult = RegEnumKeyExA(hKey, dwIndex, name, &cchName, NULL, NULL, NULL, NULL);
    if (lResult == ERROR_SUCCESS) names.Add(name);
  }
  RegCloseKey(hKey);
  return lResult;
}

BOOL FindRegisteredProgram(LPCSTR lpszAppPathKey, CString& strPath) {
  CString strFound;
  if (ReadRegDefault(HKEY_LOCAL_MACHINE, lpszAppPathKey, strFound) != ERROR_SUCCESS) return FALSE;
  if (!PathExists(strFound)) return FALSE;
  strPath = strFound;
  return TRUE;
}

void QuoteIfContainsBlank(CString& strPath) {
  int nLength = strPath.GetLength();
  if (nLength == 0 || strPath.Find(' ') < 0) return;
  if (strPath[0] == '"' && strPath[nLength - 1] == '"') return;
  strPath = '"' + strPath + '"';
}

BOOL PathExists(LPCSTR lpszPath) {
  if (lpszPath == NULL || *lpszPath == '\0') return FALSE;
  CFileStatus status;
  return CFile::GetStatus(lpszPath, status);
}
