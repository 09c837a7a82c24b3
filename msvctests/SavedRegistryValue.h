// One registry value kept as raw bytes, so that a check that has to change
// or hide it can put it back exactly, or remove it again when it was absent.
#pragma once

#include <string.h>

#include "afx.h"

struct SavedRegistryValue {
  SavedRegistryValue(HKEY hHive, const char* lpszKeyPath, const CString& strValueName)
      : hRoot(hHive), lpszKey(lpszKeyPath), strName(strValueName), bPresent(false), dwType(0), nSize(0) {}

  HKEY hRoot;
  const char* lpszKey;
  CString strName;
  bool bPresent;
  DWORD dwType;
  BYTE data[2048];
  DWORD nSize;

  void Save() {
    nSize = sizeof data;
    bPresent = ::RegGetValueA(hRoot, lpszKey, strName, RRF_RT_ANY, &dwType, data, &nSize) == ERROR_SUCCESS;
  }
  // Removes the value for the time being (Restore puts it back).
  bool Hide() const {
    HKEY hKey;
    if (::RegOpenKeyExA(hRoot, lpszKey, 0, KEY_SET_VALUE, &hKey) != ERROR_SUCCESS) return true;
    LONG nResult = ::RegDeleteValueA(hKey, strName);
    ::RegCloseKey(hKey);
    return nResult == ERROR_SUCCESS || nResult == ERROR_FILE_NOT_FOUND;
  }
  bool Restore() const {
    if (!bPresent) return Hide();
    HKEY hKey;
    if (::RegCreateKeyExA(hRoot, lpszKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &hKey, NULL) != ERROR_SUCCESS)
      return false;
    LONG nResult = ::RegSetValueExA(hKey, strName, 0, dwType, data, nSize);
    ::RegCloseKey(hKey);
    return nResult == ERROR_SUCCESS;
  }
  bool Equals(const SavedRegistryValue& other) const {
    return bPresent == other.bPresent &&
           (!bPresent || (dwType == other.dwType && nSize == other.nSize && memcmp(data, other.data, nSize) == 0));
  }
};
