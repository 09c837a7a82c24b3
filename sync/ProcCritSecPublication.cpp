#include "sync/ProcCritSecPublication.h"

#include <afxwin.h>
#include <string.h>

#include "frame/SupportAddress.h"
#include "sync/FormatString.h"

namespace {

CRITICAL_SECTION* volatile g_pPublishedSection = NULL;

}  // namespace

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
