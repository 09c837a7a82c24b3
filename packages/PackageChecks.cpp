#include "packages/PackageChecks.h"

#include "config/ProductDirs.h"
#include "frame/CModuleLoader.h"
#include "packages/PackageDownload.h"

namespace {

const UINT kSystemDirSize = 780;

// A file (not a directory) that exists and was last modified no earlier
// than local midnight at the start of the given day; a zero year takes any
// date.
BOOL IsFileDatedFrom(const CString& strPath, int nYear, int nMonth, int nDay) {
  CFileStatus status;
  if (!CFile::GetStatus(strPath, status) || (status.m_attribute & CFile::directory)) return FALSE;
  if (nYear == 0) return TRUE;
  return status.m_mtime >= CTime(nYear, nMonth, nDay, 0, 0, 0);
}

BOOL IsEngineLoadable() {
  CModuleLoader loader("vdk200.dll");
  return loader.Load(FALSE);  // the loader unloads it again as it goes
}

BOOL IsEngineLibraryDated() {
  char szSystemDir[kSystemDirSize];
  UINT nLength = GetSystemDirectoryA(szSystemDir, kSystemDirSize);
  if (nLength == 0 || nLength >= kSystemDirSize) return FALSE;
  CString strPath(szSystemDir);
  if (strPath[strPath.GetLength() - 1] != '\\') strPath += '\\';
  return IsFileDatedFrom(strPath + "vdk200.dll", 1999, 7, 12);
}

}  // namespace

BOOL IsHelpPackageInstalled() {
  CString strProductDir;
  if (!GetProductDir(strProductDir)) return FALSE;
  return IsFileDatedFrom(strProductDir + "Help\\Lodestar.hlp", 2000, 5, 4);
}

BOOL IsVerityPackageInstalled(BOOL bTryLoad) {
  if (bTryLoad && !IsEngineLoadable()) return FALSE;
  CString strProgramDir;
  if (!GetProgramDir(strProgramDir)) return FALSE;
  const CString strCommonDir = strProgramDir + "common\\";
  return IsFileDatedFrom(strCommonDir + "vdk20.lic", 1999, 8, 23) &&
         IsFileDatedFrom(strCommonDir + "style\\style.lex", 1999, 12, 9) && IsEngineLibraryDated();
}

BOOL IsVerityEnglishInstalled() {
  CString strProgramDir;
  if (!GetProgramDir(strProgramDir)) return FALSE;
  return IsFileDatedFrom(strProgramDir + "common" + "\\English\\vdk20.syd", 0, 0, 0);
}

BOOL CheckHelpPackage(CWnd* pParent, BOOL bSetFocus) {
  if (IsHelpPackageInstalled()) return TRUE;
  OfferPackageDownload(pParent, PKG_HELP, bSetFocus);
  return FALSE;
}

BOOL CheckVerityPackage(CWnd* pParent, BOOL bSetFocus) {
  if (IsVerityPackageInstalled(TRUE)) return TRUE;
  OfferPackageDownload(pParent, PKG_VERITY, bSetFocus);
  return FALSE;
}

BOOL CheckVerityEnglishPackage(CWnd* pParent, BOOL bSetFocus) {
  const BOOL bEnglish = IsVerityEnglishInstalled();
  const BOOL bEngine = IsVerityPackageInstalled(TRUE);
  if (bEnglish && bEngine) return TRUE;
  UINT nPackages = 0;
  if (!bEnglish) nPackages |= PKG_VERITY_ENGLISH;
  if (!bEngine) nPackages |= PKG_VERITY;
  OfferPackageDownload(pParent, nPackages, bSetFocus);
  return FALSE;
}
