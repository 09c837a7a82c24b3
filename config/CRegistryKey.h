// A registry key that moves between keys like a shell between directories:
// absolute paths ("\A\B") start at the root, relative paths at the open key,
// and ".." steps up one level. The object holds a root (a predefined hive, or
// a key it opened itself), at most one open key below it, and that key's path.
//
// Registry-level calls return the registry's own result code (0 on success);
// ChangeKey and Close return a BOOL.
#pragma once

#include <windows.h>

#include <afx.h>

class CRegistryKey {
 public:
  // Access rights of every key the object opens or creates on its own:
  // KEY_READ | KEY_WRITE.
  enum { kDefaultAccess = 0x2001F };

  CRegistryKey();
  explicit CRegistryKey(HKEY hRoot);
  // Opens lpszPath below hRoot, creating it when it cannot be opened and
  // bCreate is set; with bMakeRoot the key becomes the root ("\" names it).
  // Never fails: the open/create result is kept in m_lResult.
  CRegistryKey(HKEY hRoot, LPCSTR lpszPath, BOOL bCreate, BOOL bMakeRoot);
  ~CRegistryKey();

  void Init();
  // Replaces the root. A root that this object opened itself is closed first.
  void SetRoot(HKEY hRoot);

  LONG Open(LPCSTR lpszPath);
  LONG Open(LPCSTR lpszPath, REGSAM samDesired);
  LONG Create(LPCSTR lpszPath);
  BOOL Close();
  BOOL ChangeKey(LPCSTR lpszPath);

  LONG QueryValue(LPCSTR lpszName, DWORD* pdwType, BYTE* pData, DWORD* pcbData);
  LONG SetValue(LPCSTR lpszName, DWORD dwType, const BYTE* pData, DWORD cbData);
  LONG EnumKey(DWORD dwIndex, LPSTR lpszName, DWORD* pcchName);
  LONG EnumValue(DWORD dwIndex, LPSTR lpszName, DWORD* pcchName, DWORD* pdwType, BYTE* pData, DWORD* pcbData);
  LONG QueryInfo(LPSTR lpszClass, DWORD* pcchClass, DWORD* pcSubKeys, DWORD* pcchMaxSubKeyName,
                 DWORD* pcchMaxClass, DWORD* pcValues, DWORD* pcchMaxValueName, DWORD* pcbMaxValueData,
                 DWORD* pcbSecurityDescriptor, FILETIME* pftLastWriteTime);
  LONG DeleteKey(LPCSTR lpszSubKey);
  LONG DeleteValue(LPCSTR lpszName);

  // The name ChangeKey treats as the step to the parent key; every
  // construction sets it back to "..".
  static AFX_EXT_DATA LPCSTR ParentKeyName;

  HKEY m_hKey;        // the open key, or null when the object is at the root
  HKEY m_hRoot;       // where absolute paths start
  CString m_strPath;  // path of the open key below the root
  BOOL m_bOwnsRoot;   // m_hRoot was opened by this object
  LONG m_lResult;     // result of the full constructor's open/create

 private:
  CRegistryKey(const CRegistryKey&) = delete;
  void operator=(const CRegistryKey&) = delete;

  // The key a path is taken from, and the path without its leading
  // backslash when it is taken from the root.
  HKEY BaseFor(LPCSTR lpszPath, LPCSTR* ppszSubPath) const;
  void Adopt(HKEY hNewKey, LPCSTR lpszPath);
  BOOL OpenTarget(const CString& strOpenPath, const CString& strTarget);
};
