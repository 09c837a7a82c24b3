#include "template/BrandingText.h"

#include <string.h>

#include "config/CIniSettingsStore.h"
#include "config/ProductDirs.h"

namespace {

const char kBrandingFile[] = "Branding\\branding.ini";
const char kProductSection[] = "Product";
const UINT kAppTitleStringId = 57344;  // the framework's application title

BOOL ReadBrandingValue(CIniSettingsStore& store, LPCSTR pszName, CString& strValue) {
  return store.GetString(kProductSection, pszName, strValue, FALSE) && !strValue.IsEmpty();
}

CString ReadProductTitle() {
  CString strTitle;
  CString strPath;
  if (GetBrandingIniPath(strPath)) {
    CIniSettingsStore store(strPath, FALSE, 0);
    if (ReadBrandingValue(store, "TitleShort", strTitle) || ReadBrandingValue(store, "Title", strTitle))
      return strTitle;
  }
  if (!strTitle.LoadString(kAppTitleStringId)) strTitle.Empty();
  return strTitle;
}

}  // namespace

BOOL GetBrandingIniPath(CString& strPath) {
  CString strProgramDir;
  if (!GetProgramDir(strProgramDir)) return FALSE;
  strPath = strProgramDir + kBrandingFile;
  return TRUE;
}

BOOL GetProductTitle(LPSTR pszBuffer, int nBufferSize) {
  const CString strTitle = ReadProductTitle();
  if (pszBuffer == NULL || nBufferSize < strTitle.GetLength() + 1) return FALSE;
  memcpy(pszBuffer, static_cast<LPCSTR>(strTitle), strTitle.GetLength() + 1);
  return TRUE;
}

CString ApplyProductTitle(LPCSTR pszText) {
  CString strResult;
  if (pszText == NULL) return strResult;
  const CString strTitle = ReadProductTitle();
  LPCSTR pszRest = pszText;
  for (LPCSTR pszFound; (pszFound = strstr(pszRest, "%s")) != NULL; pszRest = pszFound + 2) {
    strResult += CString(pszRest, static_cast<int>(pszFound - pszRest));
    strResult += strTitle;
  }
  strResult += pszRest;
  return strResult;
}
