#include "config/CSettingsStore.h"

#include "config/Scramble.h"

CSettingsStore::CSettingsStore(BOOL bPerUser) : m_bPerUser(bPerUser) {}

CSettingsStore::~CSettingsStore() {}

BOOL CSettingsStore::GetInt(LPCSTR lpszSection, LPCSTR lpszName, int* pnValue, BOOL bScrambled) {
  DWORD dwValue = 0;
  if (!GetInt(lpszSection, lpszName, &dwValue, bScrambled)) return FALSE;
  *pnValue = static_cast<int>(dwValue);
  return TRUE;
}

BOOL CSettingsStore::GetIntDefault(LPCSTR lpszSection, LPCSTR lpszName, DWORD* pdwValue, DWORD dwDefault,
                                   BOOL bScrambled) {
  if (!GetInt(lpszSection, lpszName, pdwValue, bScrambled)) *pdwValue = dwDefault;
  return TRUE;
}

BOOL CSettingsStore::GetStringDefault(LPCSTR lpszSection, LPCSTR lpszName, CString& strValue, LPCSTR lpszDefault,
                                      BOOL bScrambled) {
  if (!GetString(lpszSection, lpszName, strValue, bScrambled)) strValue = lpszDefault;
  return TRUE;
}

BOOL CSettingsStore::GetStringHiddenName(LPCSTR lpszSection, LPCSTR lpszName, CString& strValue,
                                         LPCSTR lpszDefault, BOOL bScrambledValue, BOOL bScrambledName) {
  CString strScrambledName;
  if (bScrambledName && !ScrambleText(lpszName, strScrambledName)) return FALSE;
  BOOL bRead = GetString(lpszSection, bScrambledName ? (LPCSTR)strScrambledName : lpszName, strValue, bScrambledValue);
  if (!bRead) strValue = lpszDefault;
  return bRead;
}

BOOL CSettingsStore::SetStringHiddenName(LPCSTR lpszSection, LPCSTR lpszName, LPCSTR lpszValue,
                                         BOOL bScrambledValue, BOOL bScrambledName) {
  CString strScrambledName;
  if (bScrambledName && !ScrambleText(lpszName, strScrambledName)) return FALSE;
  return SetString(lpszSection, bScrambledName ? (LPCSTR)strScrambledName : lpszName, lpszValue, bScrambledValue);
}
