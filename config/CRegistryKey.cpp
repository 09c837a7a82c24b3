#include "config/CRegistryKey.h"

#include <string.h>

LPCSTR CRegistryKey::ParentKeyName = "..";

namespace {

// Joins a key path and a relative name into an absolute path (one that
// begins with a backslash), without doubling the separator.
CString AbsoluteChild(const CString& strPath, LPCSTR lpszName) {
  CString strResult(strPath);
  if (strResult.IsEmpty() || strResult[0] != '\\') strResult = "\\" + strResult;
  if (strResult[strResult.GetLength() - 1] != '\\') strResult += '\\';
  strResult += lpszName;
  return strResult;
}

}  // namespace

CRegistryKey::CRegistryKey() : m_hRoot(NULL) { Init(); }

CRegistryKey::CRegistryKey(HKEY hRoot) : m_hRoot(hRoot) { Init(); }

CRegistryKey::CRegistryKey(HKEY hRoot, LPCSTR lpszPath, BOOL bCreate, BOOL bMakeRoot) : m_hRoot(hRoot) {
  Init();
  LONG lResult = Open(lpszPath, kDefaultAccess);
  if (lResult != ERROR_SUCCESS && bCreate) lResult = Create(lpszPath);
  if (lResult == ERROR_SUCCESS && bMakeRoot) {
    m_hRoot = m_hKey;
    m_hKey = NULL;
    m_bOwnsRoot = TRUE;
    m_strPath.Empty();
  }
  m_lResult = lResult;
}

CRegistryKey::~CRegistryKey() {
  if (m_hKey != NULL) RegCloseKey(m_hKey);
  if (m_hRoot != NULL && m_bOwnsRoot) RegCloseKey(m_hRoot);
}

void CRegistryKey::Init() {
  m_hKey = NULL;
  m_bOwnsRoot = FALSE;
  m_lResult = ERROR_SUCCESS;
  ParentKeyName = "..";
}

void CRegistryKey::SetRoot(HKEY hRoot) {
  if (hRoot == m_hRoot) return;
  // An owned root would otherwise leak, and the destructor would close the
  // caller's key in its place.
  if (m_bOwnsRoot && m_hRoot != NULL) RegCloseKey(m_hRoot);
  m_bOwnsRoot = FALSE;
  m_hRoot = hRoot;
}

HKEY CRegistryKey::BaseFor(LPCSTR lpszPath, LPCSTR* ppszSubPath) const {
  if (lpszPath[0] == '\\') {
    *ppszSubPath = lpszPath + 1;
    return m_hRoot;
  }
  *ppszSubPath = lpszPath;
  return m_hKey != NULL ? m_hKey : m_hRoot;
}

// Makes hNewKey the open key. lpszPath is the path it was opened with, taken
// from the open key when one was open and the path is relative.
void CRegistryKey::Adopt(HKEY hNewKey, LPCSTR lpszPath) {
  bool bRelativeToKey = m_hKey != NULL && lpszPath[0] != '\\' && !m_strPath.IsEmpty();
  CString strNewPath = bRelativeToKey ? m_strPath + "\\" + lpszPath : CString(lpszPath);
  Close();
  m_hKey = hNewKey;
  m_strPath = strNewPath;
}

LONG CRegistryKey::Open(LPCSTR lpszPath) { return Open(lpszPath, kDefaultAccess); }

LONG CRegistryKey::Open(LPCSTR lpszPath, REGSAM samDesired) {
  if (lpszPath == NULL || lpszPath[0] == '\0') return ERROR_INVALID_NAME;
  LPCSTR lpszSubPath;
  HKEY hBase = BaseFor(lpszPath, &lpszSubPath);
  HKEY hNewKey = NULL;
  LONG lResult = RegOpenKeyExA(hBase, lpszSubPath, 0, samDesired, &hNewKey);
  if (lResult != ERROR_SUCCESS) return lResult;
  Adopt(hNewKey, lpszPath);
  return ERROR_SUCCESS;
}

LONG CRegistryKey::Create(LPCSTR lpszPath) {
  if (lpszPath == NULL) return ERROR_INVALID_NAME;
  LPCSTR lpszSubPath;
  HKEY hBase = BaseFor(lpszPath, &lpszSubPath);
  HKEY hNewKey = NULL;
  LONG lResult = RegCreateKeyExA(hBase, lpszSubPath, 0, NULL, REG_OPTION_NON_VOLATILE, kDefaultAccess, NULL,
                                 &hNewKey, NULL);
  if (lResult != ERROR_SUCCESS) return lResult;
  Adopt(hNewKey, lpszPath);
  return ERROR_SUCCESS;
}

BOOL CRegistryKey::Close() {
  if (m_hKey == NULL) return TRUE;
  if (RegCloseKey(m_hKey) != ERROR_SUCCESS) return FALSE;
  m_hKey = NULL;
  return TRUE;
}

BOOL CRegistryKey::OpenTarget(const CString& strOpenPath, const CString& strTarget) {
  if (Open(strOpenPath, kDefaultAccess) != ERROR_SUCCESS) return FALSE;
  m_strPath = strTarget;
  return TRUE;
}

BOOL CRegistryKey::ChangeKey(LPCSTR lpszPath) {
  if (lpszPath == NULL || lpszPath[0] == '\0') return FALSE;
  LPCSTR lpszParent = ParentKeyName != NULL ? ParentKeyName : "..";

  if (strcmp(lpszPath, lpszParent) == 0) {
    if (m_strPath.IsEmpty() || m_hKey == NULL) return TRUE;  // already at the root
    int nLast = m_strPath.ReverseFind('\\');
    if (nLast <= 0) {
      Close();
      m_hKey = NULL;  // back at the root even if the registry refused to close
      m_strPath.Empty();
      return TRUE;
    }
    CString strTarget = m_strPath.Left(nLast);
    if (strTarget[0] != '\\') strTarget = "\\" + strTarget;
    return OpenTarget(strTarget, strTarget);
  }

  CString strArgument(lpszPath);
  if (strArgument[0] == '\\') {
    if (m_hKey != NULL && m_strPath == strArgument) return TRUE;
    return OpenTarget(strArgument, strArgument);
  }

  // Relative: below the open key, or below the root when none is open.
  CString strTarget = m_hKey != NULL ? AbsoluteChild(m_strPath, strArgument) : AbsoluteChild("", strArgument);
  return OpenTarget(strArgument, strTarget);
}

LONG CRegistryKey::QueryValue(LPCSTR lpszName, DWORD* pdwType, BYTE* pData, DWORD* pcbData) {
  return RegQueryValueExA(m_hKey, lpszName, NULL, pdwType, pData, pcbData);
}

LONG CRegistryKey::SetValue(LPCSTR lpszName, DWORD dwType, const BYTE* pData, DWORD cbData) {
  return RegSetValueExA(m_hKey, lpszName, 0, dwType, pData, cbData);
}

LONG CRegistryKey::EnumKey(DWORD dwIndex, LPSTR lpszName, DWORD* pcchName) {
  return RegEnumKeyExA(m_hKey, dwIndex, lpszName, pcchName, NULL, NULL, NULL, NULL);
}

LONG CRegistryKey::EnumValue(DWORD dwIndex, LPSTR lpszName, DWORD* pcchName, DWORD* pdwType, BYTE* pData,
                             DWORD* pcbData) {
  return RegEnumValueA(m_hKey, dwIndex, lpszName, pcchName, NULL, pdwType, pData, pcbData);
}

LONG CRegistryKey::QueryInfo(LPSTR lpszClass, DWORD* pcchClass, DWORD* pcSubKeys, DWORD* pcchMaxSubKeyName,
                             DWORD* pcchMaxClass, DWORD* pcValues, DWORD* pcchMaxValueName, DWORD* pcbMaxValueData,
                             DWORD* pcbSecurityDescriptor, FILETIME* pftLastWriteTime) {
  return RegQueryInfoKeyA(m_hKey, lpszClass, pcchClass, NULL, pcSubKeys, pcchMaxSubKeyName, pcchMaxClass, pcValues,
                          pcchMaxValueName, pcbMaxValueData, pcbSecurityDescriptor, pftLastWriteTime);
}

LONG CRegistryKey::DeleteKey(LPCSTR lpszSubKey) { return RegDeleteKeyA(m_hKey, lpszSubKey); }

LONG CRegistryKey::DeleteValue(LPCSTR lpszName) { return RegDeleteValueA(m_hKey, lpszName); }
