// Settings kept in the registry: below the product's key
// "Software\Corvane\Lodestar\CurrentVersion" of HKEY_CURRENT_USER (per user)
// or HKEY_LOCAL_MACHINE, or below a key the caller names. Sections are key
// paths taken with CRegistryKey::ChangeKey: "\" is the store's root, and a
// section without a leading backslash is taken below the key that the
// previous operation left open, so callers give absolute sections.
//
// Hosts may derive from it; without a virtual destructor, a derived store is
// never deleted through a CRegSettingsStore or CSettingsStore pointer.
#pragma once

#include "config/CRegistryKey.h"
#include "config/CSettingsStore.h"

class CRegSettingsStore : public CSettingsStore {
 public:
  // The product key is created when missing and becomes the store's root.
  explicit CRegSettingsStore(BOOL bPerUser);
  // lpszRootPath in place of the product key; with null, the hive itself is
  // the root.
  CRegSettingsStore(BOOL bPerUser, LPCSTR lpszRootPath);
  ~CRegSettingsStore();

  BOOL SetBinary(LPCSTR lpszSection, LPCSTR lpszName, const BYTE* pData, DWORD* pcbData) override;
  // Unscrambled integers are REG_DWORD values. A scrambled integer is kept as
  // the REG_DWORD its scrambled decimal text spells when that text converts
  // back exactly, and otherwise as the scrambled text (REG_SZ).
  BOOL SetInt(LPCSTR lpszSection, LPCSTR lpszName, DWORD dwValue, BOOL bScrambled) override;
  BOOL SetString(LPCSTR lpszSection, LPCSTR lpszName, LPCSTR lpszValue, BOOL bScrambled) override;
  BOOL GetBinary(LPCSTR lpszSection, LPCSTR lpszName, BYTE* pData, DWORD* pcbData) override;
  BOOL GetInt(LPCSTR lpszSection, LPCSTR lpszName, DWORD* pdwValue, BOOL bScrambled) override;
  BOOL GetString(LPCSTR lpszSection, LPCSTR lpszName, CString& strValue, BOOL bScrambled) override;
  // "\Outer\Inner" and "Outer\Inner" delete Inner below Outer; "Name"
  // deletes Name below the root. The key must have no subkeys.
  BOOL DeleteSection(LPCSTR lpszSection) override;
  BOOL DeleteValue(LPCSTR lpszSection, LPCSTR lpszName) override;

  using CSettingsStore::GetInt;

  CRegistryKey* m_pKey;  // owned; null when it could not be allocated

 private:
  CRegSettingsStore(const CRegSettingsStore&) = delete;
  void operator=(const CRegSettingsStore&) = delete;

  BOOL GoToSection(LPCSTR lpszSection);
  BOOL GoToSectionForWrite(LPCSTR lpszSection);
};
