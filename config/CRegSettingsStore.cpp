#include "config/CRegSettingsStore.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "config/ProductKey.h"
#include "config/Scramble.h"

static_assert(sizeof(long) == 4, "strtol must range-check 32-bit values");

namespace {

// Reads a string value whatever its length: the registry is asked for the
// size when the first buffer is too small. Data stored without a
// terminating zero is terminated here.
LONG QueryText(CRegistryKey& key, LPCSTR lpszName, DWORD* pdwType, CString& strText) {
  CByteArray buffer;
  buffer.SetSize(512);
  for (int nAttempt = 0; nAttempt < 8; ++nAttempt) {
    DWORD cbData = static_cast<DWORD>(buffer.GetSize() - 1);
    LONG lResult = key.QueryValue(lpszName, pdwType, buffer.GetData(), &cbData);
    if (lResult == ERROR_MORE_DATA) {
      if (cbData >= 0x7FFFFFFF) return ERROR_NOT_ENOUGH_MEMORY;
      buffer.RemoveAll();  // the value may grow between calls: try again
      buffer.SetSize(static_cast<int>(cbData) + 1);
      continue;
    }
    if (lResult != ERROR_SUCCESS) return lResult;
    buffer[cbData] = 0;
    strText = reinterpret_cast<LPCSTR>(buffer.GetData());
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

CString SignedDecimal(DWORD dwValue) {
  char text[16];
  snprintf(text, sizeof text, "%d", static_cast<int>(dwValue));
  return CString(text);
}

// The number a decimal text spells, as atoi reads it (leading digits only),
// without atoi's undefined overflow.
DWORD DecimalValue(LPCSTR lpszText) { return static_cast<DWORD>(strtol(lpszText, NULL, 10)); }

// True when the text is exactly the signed decimal form of a 32-bit integer,
// so that keeping the number loses nothing.
bool SpellsInteger(const CString& strText, DWORD* pdwValue) {
  errno = 0;
  char* pEnd = NULL;
  long nValue = strtol(strText, &pEnd, 10);
  if (errno == ERANGE || pEnd == static_cast<LPCSTR>(strText) || *pEnd != '\0') return false;
  DWORD dwValue = static_cast<DWORD>(nValue);
  if (SignedDecimal(dwValue) != strText) return false;  // leading zero, plus sign, blanks
  *pdwValue = dwValue;
  return true;
}

}  // namespace

CRegSettingsStore::CRegSettingsStore(BOOL bPerUser) : CSettingsStore(bPerUser) {
  m_pKey = new (afxNothrow)
      CRegistryKey(bPerUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, kProductKey, TRUE, TRUE);
}

CRegSettingsStore::CRegSettingsStore(BOOL bPerUser, LPCSTR lpszRootPath) : CSettingsStore(bPerUser) {
  HKEY hHive = bPerUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
  if (lpszRootPath != NULL)
    m_pKey = new (afxNothrow) CRegistryKey(hHive, lpszRootPath, TRUE, TRUE);
  else
    m_pKey = new (afxNothrow) CRegistryKey(hHive);
}

CRegSettingsStore::~CRegSettingsStore() { delete m_pKey; }

BOOL CRegSettingsStore::GoToSection(LPCSTR lpszSection) {
  return m_pKey != NULL && lpszSection != NULL && m_pKey->ChangeKey(lpszSection);
}

BOOL CRegSettingsStore::GoToSectionForWrite(LPCSTR lpszSection) {
  if (m_pKey == NULL || lpszSection == NULL) return FALSE;
  return m_pKey->ChangeKey(lpszSection) || m_pKey->Create(lpszSection) == ERROR_SUCCESS;
}

BOOL CRegSettingsStore::SetBinary(LPCSTR lpszSection, LPCSTR lpszName, const BYTE* pData, DWORD* pcbData) {
  if (pcbData == NULL || (pData == NULL && *pcbData != 0)) return FALSE;
  if (!GoToSectionForWrite(lpszSection)) return FALSE;
  return m_pKey->SetValue(lpszName, REG_BINARY, pData, *pcbData) == ERROR_SUCCESS;
}

BOOL CRegSettingsStore::SetInt(LPCSTR lpszSection, LPCSTR lpszName, DWORD dwValue, BOOL bScrambled) {
  if (!GoToSectionForWrite(lpszSection)) return FALSE;
  if (!bScrambled)
    return m_pKey->SetValue(lpszName, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue), sizeof dwValue) ==
           ERROR_SUCCESS;

  CString strScrambled;
  if (!ScrambleText(SignedDecimal(dwValue), strScrambled)) return FALSE;
  DWORD dwSpelled = 0;
  if (SpellsInteger(strScrambled, &dwSpelled))
    return m_pKey->SetValue(lpszName, REG_DWORD, reinterpret_cast<const BYTE*>(&dwSpelled), sizeof dwSpelled) ==
           ERROR_SUCCESS;
  // Negative numbers and texts with a leading zero would not read back from
  // a number: keep the text.
  return m_pKey->SetValue(lpszName, REG_SZ, reinterpret_cast<const BYTE*>(static_cast<LPCSTR>(strScrambled)),
                          strScrambled.GetLength() + 1) == ERROR_SUCCESS;
}

BOOL CRegSettingsStore::SetString(LPCSTR lpszSection, LPCSTR lpszName, LPCSTR lpszValue, BOOL bScrambled) {
  if (lpszValue == NULL) return FALSE;
  CString strValue(lpszValue);
  if (bScrambled && !ScrambleText(lpszValue, strValue)) return FALSE;
  if (!GoToSectionForWrite(lpszSection)) return FALSE;
  return m_pKey->SetValue(lpszName, REG_SZ, reinterpret_cast<const BYTE*>(static_cast<LPCSTR>(strValue)),
                          strValue.GetLength() + 1) == ERROR_SUCCESS;
}

BOOL CRegSettingsStore::GetBinary(LPCSTR lpszSection, LPCSTR lpszName, BYTE* pData, DWORD* pcbData) {
  if (pcbData == NULL) return FALSE;
  if (!GoToSection(lpszSection)) {
    *pcbData = 0;
    return FALSE;
  }
  DWORD dwType = REG_NONE;
  LONG lResult = m_pKey->QueryValue(lpszName, &dwType, pData, pcbData);
  return lResult == ERROR_SUCCESS && dwType == REG_BINARY;
}

BOOL CRegSettingsStore::GetInt(LPCSTR lpszSection, LPCSTR lpszName, DWORD* pdwValue, BOOL bScrambled) {
  if (pdwValue == NULL || !GoToSection(lpszSection)) return FALSE;
  DWORD dwType = REG_NONE;
  DWORD dwStored = 0;
  DWORD cbData = sizeof dwStored;
  LONG lResult = m_pKey->QueryValue(lpszName, &dwType, reinterpret_cast<BYTE*>(&dwStored), &cbData);
  bool bIsDword = lResult == ERROR_SUCCESS && dwType == REG_DWORD && cbData == sizeof dwStored;
  if (!bScrambled) {
    if (!bIsDword) return FALSE;
    *pdwValue = dwStored;
    return TRUE;
  }

  CString strScrambled;
  if (bIsDword) {
    strScrambled = SignedDecimal(dwStored);
  } else if (lResult == ERROR_MORE_DATA || (lResult == ERROR_SUCCESS && dwType == REG_SZ)) {
    if (QueryText(*m_pKey, lpszName, &dwType, strScrambled) != ERROR_SUCCESS || dwType != REG_SZ) return FALSE;
  } else {
    return FALSE;
  }
  CString strDecimal;
  if (!UnscrambleText(strScrambled, strDecimal)) return FALSE;
  *pdwValue = DecimalValue(strDecimal);
  return TRUE;
}

BOOL CRegSettingsStore::GetString(LPCSTR lpszSection, LPCSTR lpszName, CString& strValue, BOOL bScrambled) {
  if (!GoToSection(lpszSection)) return FALSE;
  DWORD dwType = REG_NONE;
  CString strStored;
  if (QueryText(*m_pKey, lpszName, &dwType, strStored) != ERROR_SUCCESS || dwType != REG_SZ) return FALSE;
  if (!bScrambled) {
    strValue = strStored;
    return TRUE;
  }
  return UnscrambleText(strStored, strValue);
}

BOOL CRegSettingsStore::DeleteSection(LPCSTR lpszSection) {
  if (m_pKey == NULL || lpszSection == NULL) return FALSE;
  // Split at the first backslash into the key to open and the key to delete.
  CString strParent("\\");
  LPCSTR lpszChild = lpszSection;
  LPCSTR lpszSeparator = strchr(lpszSection, '\\');
  if (lpszSeparator != NULL) {
    if (lpszSeparator != lpszSection) strParent = CString(lpszSection, static_cast<int>(lpszSeparator - lpszSection));
    lpszChild = lpszSeparator + 1;
  }
  // An empty name would make the registry delete the opened key itself, and
  // with it every value of the store's root.
  if (lpszChild[0] == '\0') return FALSE;
  if (!m_pKey->ChangeKey(strParent)) return FALSE;
  return m_pKey->DeleteKey(lpszChild) == ERROR_SUCCESS;
}

BOOL CRegSettingsStore::DeleteValue(LPCSTR lpszSection, LPCSTR lpszName) {
  if (!GoToSection(lpszSection)) return FALSE;
  return m_pKey->DeleteValue(lpszName) == ERROR_SUCCESS;
}
