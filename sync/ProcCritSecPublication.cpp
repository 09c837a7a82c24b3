#include "sync/ProcCritSecPublication.h"

#include <afxwin.h>
#include <string.h>

#include "frame/SupportAddress.h"
#include "sync/FormatString.h"

namespace {

CRITICAL_SECTION* volatile g_pPublishedSection = NULL;

struct StaleSearch {
  CString strPrefix;       // "EXECUTABLE:"
  CStringArray astrStale;  // the names found
};

// The process id that a property name of this executable carries; 0 when
// the name is not one.
DWORD PublishedProcessId(LPCSTR lpszName, const CString& strPrefix) {
  const int nPrefix = strPrefix.GetLength();
  if (static_cast<int>(strlen(lpszName)) <= nPrefix || _strnicmp(lpszName, strPrefix, nPrefix) != 0) return 0;
  DWORD dwId = 0;
  for (LPCSTR p = lpszName + nPrefix; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9' || dwId > 429496728) return 0;
    dwId = dwId * 10 + static_cast<DWORD>(*p - '0');
  }
  return dwId;
}

bool IsProcessGone(DWORD dwProcessId) {
  HANDLE hProcess = OpenProcess(SYNCHRONIZE, FALSE, dwProcessId);
  if (hProcess == NULL) return GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
  bool bEnded = WaitForSingleObject(hProcess, 0) == WAIT_OBJECT_0;
  CloseHandle(hProcess);
  return bEnded;
}

BOOL CALLBACK CollectStalePublication(HWND, LPSTR lpszName, HANDLE, ULONG_PTR lParam) {
  StaleSearch* pSearch = reinterpret_cast<StaleSearch*>(lParam);
  if (HIWORD(reinterpret_cast<ULONG_PTR>(lpszName)) == 0) return TRUE;  // a property named by an atom
  DWORD dwId = PublishedProcessId(lpszName, pSearch->strPrefix);
  if (dwId != 0 && dwId != GetCurrentProcessId() && IsProcessGone(dwId)) pSearch->astrStale.Add(lpszName);
  return TRUE;
}

}  // namespace

void RemoveStalePublications(HWND hDesktop, const CString& strExecutable) {
  StaleSearch search;
  FormatString(search.strPrefix, "%s:", static_cast<LPCSTR>(strExecutable));
  EnumPropsExA(hDesktop, CollectStalePublication, reinterpret_cast<LPARAM>(&search));
  // Removed after the enumeration, which must not see the list change.
  for (int i = 0; i < search.astrStale.GetSize(); ++i) RemovePropA(hDesktop, search.astrStale[i]);
}

ModuleNameResult GetExecutableFileName(CString& rName) {
  char szPath[MAX_PATH];
  DWORD dwLength = GetModuleFileNameA(NULL, szPath, MAX_PATH);
  if (dwLength == 0 || dwLength >= MAX_PATH) return kNoModulePath;
  szPath[dwLength] = '\0';
  const char* pBackslash = strrchr(szPath, '\\');
  if (pBackslash == NULL) return kNoBackslash;
  rName = pBackslash + 1;
  return kModuleNameOk;
}

CString HostPropertyName(const CString& strExecutable) {
  CString strName;
  FormatString(strName, "%s:%lu", static_cast<LPCSTR>(strExecutable), GetCurrentProcessId());
  return strName;
}

void ShowSupportError(LPCSTR lpszMessage) {
  CString strText;
  FormatString(strText, "%s\nContact Corvane technical support via email at %s", lpszMessage, g_szSupportEmail);
  AfxMessageBox(strText, MB_OK, 0);
}

HWND CheckedPublicationDesktop(ModuleNameResult nameResult, LPCSTR lpszNoDesktop, LPCSTR lpszBadName) {
  HWND hDesktop = GetDesktopWindow();
  if (hDesktop == NULL) {
    ShowSupportError(lpszNoDesktop);
    return NULL;
  }
  if (nameResult == kNoBackslash) {
    ShowSupportError(lpszBadName);
    return NULL;
  }
  return hDesktop;
}

void RecordPublishedSection(CRITICAL_SECTION* pSection) {
  InterlockedExchangePointer(reinterpret_cast<PVOID volatile*>(&g_pPublishedSection), pSection);
}

void ForgetPublishedSection(CRITICAL_SECTION* pSection) {
  InterlockedCompareExchangePointer(reinterpret_cast<PVOID volatile*>(&g_pPublishedSection), NULL, pSection);
}

CRITICAL_SECTION* FindPublishedSection(const CString& strPropertyName) {
  HWND hDesktop = GetDesktopWindow();
  if (hDesktop == NULL) return NULL;
  CRITICAL_SECTION* pFound = static_cast<CRITICAL_SECTION*>(GetPropA(hDesktop, strPropertyName));
  if (pFound == NULL || pFound != g_pPublishedSection) return NULL;
  return pFound;
}
