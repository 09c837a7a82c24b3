#include "packages/PackageDownload.h"

#include <string.h>

#include "config/ProductDirs.h"
#include "frame/resource.h"
#include "packages/PackageChecks.h"

namespace {

const char kPackageFileName[] = "package1.ini";
const char kDownloaderName[] = "ldsdnl.exe";
const char kRequestSection[] = "CUSTOMorFULL";
const int kValueSize = 1024;  // a value or display name of up to 1,023 characters
const DWORD kKeyListStep = 4096;
// A key-name list that still fills a buffer this large is not read; without
// a bound a section that keeps growing, or a read that keeps failing, would
// grow the buffer for ever.
const DWORD kKeyListLimit = 1024 * 1024;

struct PackageEntry {
  UINT nMask;
  LPCSTR lpszKey;
  LPCSTR lpszDefaultName;
};

const PackageEntry kPackages[] = {
    {PKG_VERITY | PKG_VERITY_ENGLISH, "Verity", "Linguistic Analysis"},
    {PKG_SPELL, "Spell", "Spell Checker"},
    {PKG_HELP, "Help", "Lodestar Help"},
};

BOOL GetPackageDir(CString& strDir) {
  if (!GetProgramDir(strDir)) return FALSE;
  strDir += "Packages\\";
  return TRUE;
}

CString LoadText(UINT nId) {
  CString strText;
  strText.LoadString(nId);
  return strText;
}

// With a parent: its message box (caption NULL: the application's name),
// after giving it the focus when asked. Without: the application's box.
int ShowMessage(CWnd* pParent, BOOL bSetFocus, LPCSTR lpszText, LPCSTR lpszCaption, UINT nType) {
  if (pParent == NULL) return AfxMessageBox(lpszText, nType, 0);
  if (bSetFocus) pParent->SetFocus();
  return pParent->MessageBox(lpszText, lpszCaption, nType);
}

CString ReadProfileValue(LPCSTR lpszSection, LPCSTR lpszKey, LPCSTR lpszDefault, const CString& strFile) {
  CString strValue;
  DWORD nLength = GetPrivateProfileStringA(lpszSection, lpszKey, lpszDefault, strValue.GetBuffer(kValueSize),
                                           kValueSize, strFile);
  strValue.ReleaseBuffer(static_cast<int>(nLength));
  return strValue;
}

CString PackageName(const PackageEntry& package, const CString& strPackageFile) {
  return ReadProfileValue(package.lpszKey, "Package", package.lpszDefaultName, strPackageFile);
}

// The package directory, whose package file is made writable. FALSE after
// telling the user why there is none.
BOOL PreparePackageFile(CWnd* pParent, BOOL bSetFocus, CString& strPackageDir) {
  CFileStatus status;
  // A directory of that name is no package file either.
  if (!GetPackageDir(strPackageDir) || !CFile::GetStatus(strPackageDir + kPackageFileName, status) ||
      (status.m_attribute & CFile::directory)) {
    ShowMessage(pParent, bSetFocus, LoadText(IDS_PACKAGE_DIR_MISSING), NULL, MB_OK);
    return FALSE;
  }
  const CString strPackageFile = strPackageDir + kPackageFileName;
  if (!(status.m_attribute & CFile::readOnly)) return TRUE;

  status.m_attribute &= ~CFile::readOnly;
  status.m_mtime = CTime();  // the attributes only; the file keeps its times
  try {
    CFile::SetStatus(strPackageFile, status);
  } catch (CFileException* pError) {
    pError->Delete();
    ShowMessage(pParent, bSetFocus, LoadText(IDS_PACKAGE_READ_ONLY), NULL, MB_OK);
    return FALSE;
  }
  return TRUE;
}

// The names of the request section's keys, each followed by a zero and the
// list by one more. FALSE when the list does not fit into the largest
// buffer allowed.
BOOL ReadRequestKeyNames(const CString& strPackageFile, CString& strNames, DWORD& nLength) {
  for (DWORD nSize = kKeyListStep; nSize <= kKeyListLimit; nSize += kKeyListStep) {
    LPSTR pBuffer = strNames.GetBuffer(static_cast<int>(nSize));
    nLength = GetPrivateProfileStringA(kRequestSection, NULL, "", pBuffer, nSize, strPackageFile);
    if (nLength < nSize - 2) return TRUE;
  }
  return FALSE;
}

// Turns the marks "A" (any case) of earlier requests into "B".
void DemoteEarlierRequests(const CString& strPackageFile, LPCSTR pNames, DWORD nLength) {
  for (LPCSTR pName = pNames; pName < pNames + nLength && *pName != '\0'; pName += strlen(pName) + 1) {
    if (ReadProfileValue(kRequestSection, pName, "", strPackageFile).CompareNoCase("A") == 0) {
      WritePrivateProfileStringA(kRequestSection, pName, "B", strPackageFile);
    }
  }
}

BOOL StartDownloader(const CString& strPackageDir) {
  const CString strProgram = strPackageDir + kDownloaderName;
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  ZeroMemory(&process, sizeof process);
  if (!CreateProcessA(strProgram, NULL, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) return FALSE;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return TRUE;
}

void RunPackageDownloader(CWnd* pParent, UINT nPackages, BOOL bSetFocus, const CString& strPackageDir) {
  const CString strPackageFile = strPackageDir + kPackageFileName;

  // The key list is read before anything is written, so that a list too
  // long to read leaves the file as it was.
  CString strNames;
  DWORD nNamesLength = 0;
  if (!ReadRequestKeyNames(strPackageFile, strNames, nNamesLength)) {
    AfxMessageBox(LoadText(IDS_PACKAGE_DOWNLOADER_FAILED), MB_OK, 0);
    return;
  }

  WritePrivateProfileStringA("PACKAGE2", "IsPackage2", "No", strPackageFile);
  DemoteEarlierRequests(strPackageFile, strNames, nNamesLength);
  for (const PackageEntry& package : kPackages) {
    if (nPackages & package.nMask) WritePrivateProfileStringA(kRequestSection, package.lpszKey, "A", strPackageFile);
  }
  WritePrivateProfileStringA(kRequestSection, "Install", "Yes", strPackageFile);
  if (pParent != NULL) {
    CString strHandle;
    strHandle.Format("%lX", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(pParent->GetSafeHwnd())));
    WritePrivateProfileStringA(kRequestSection, "HANDLE", strHandle, strPackageFile);
    if (bSetFocus) pParent->SetFocus();
  }

  if (!StartDownloader(strPackageDir)) AfxMessageBox(LoadText(IDS_PACKAGE_DOWNLOADER_FAILED), MB_OK, 0);
}

}  // namespace

void OfferPackageDownload(CWnd* pParent, UINT nPackages, BOOL bSetFocus) {
  CString strPackageDir;
  if (!PreparePackageFile(pParent, bSetFocus, strPackageDir)) return;
  const CString strPackageFile = strPackageDir + kPackageFileName;

  CString strList;
  for (const PackageEntry& package : kPackages) {
    if (nPackages & package.nMask) strList += "\t" + PackageName(package, strPackageFile) + "\n";
  }
  CString strQuestion;
  strQuestion.Format(LoadText(IDS_PACKAGE_QUESTION), static_cast<LPCSTR>(strList));
  if (ShowMessage(pParent, bSetFocus, strQuestion, LoadText(IDS_PACKAGE_CAPTION), MB_YESNO) == IDYES) {
    RunPackageDownloader(pParent, nPackages, bSetFocus, strPackageDir);
  }
}

void OfferVerityUpdate(CWnd* pParent) {
  CString strPackageDir;
  if (!PreparePackageFile(pParent, FALSE, strPackageDir)) return;
  const CString strPackageFile = strPackageDir + kPackageFileName;

  CString strQuestion;
  strQuestion.Format(LoadText(IDS_PACKAGE_UPDATE_QUESTION),
                     static_cast<LPCSTR>(PackageName(kPackages[0], strPackageFile)));
  if (ShowMessage(pParent, FALSE, strQuestion, LoadText(IDS_PACKAGE_CAPTION), MB_YESNO) == IDYES) {
    RunPackageDownloader(pParent, PKG_VERITY, FALSE, strPackageDir);
  }
}
