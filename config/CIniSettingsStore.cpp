#include "config/CIniSettingsStore.h"

#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "config/ProductDirs.h"
#include "config/CRegSettingsStore.h"
#include "config/Scramble.h"
#include "config/TextRules.h"

namespace {

// What a read returns for a missing value. A stored value may happen to be
// this text, so a second read with another default tells the two apart.
const char kMissing[] = "defaultdefaultdefaultdefaultdefaultdefault";
const char kMissingAgain[] = "missing value, second probe";
const DWORD kFirstReadSize = 546;

// The profile reader drops one pair of matching quotation marks around a
// value and the blanks at either end. Such values get one more pair of
// quotation marks so they read back as written.
CString ProtectQuotesAndBlanks(const CString& strValue) {
  int nLength = strValue.GetLength();
  if (nLength == 0) return strValue;
  char chFirst = strValue[0];
  char chLast = strValue[nLength - 1];
  if ((chFirst == '"' || chFirst == '\'') && chFirst == chLast) return chFirst + strValue + chFirst;
  if (IsBlank(chFirst) || IsBlank(chLast)) return '"' + strValue + '"';
  return strValue;
}

bool IsDriveOrNetworkPath(LPCSTR lpszName) {
  if (lpszName[0] == '\\' && lpszName[1] == '\\') return true;
  return lpszName[0] != '\0' && lpszName[1] == ':';
}

}  // namespace

CIniSettingsStore::CIniSettingsStore(LPCSTR lpszFileName, BOOL bPerUser, int nUser) : CSettingsStore(bPerUser) {
  if (lpszFileName == NULL) return;
  if (bPerUser) {
    CString strDir;
    if (!GetDataDirOfUser(nUser, strDir)) return;
    m_strFile = WithTrailingBackslash(strDir) + lpszFileName;
  } else if (IsDriveOrNetworkPath(lpszFileName)) {
    m_strFile = lpszFileName;
  } else {
    CString strDir;
    CRegSettingsStore machineStore(FALSE);
    if (!machineStore.GetString("\\", "GlobalDataDir", strDir, FALSE)) strDir.Empty();
    m_strFile = WithTrailingBackslash(strDir) + lpszFileName;
  }
}

CIniSettingsStore::~CIniSettingsStore() {}

// Reads a value's text; FALSE when it is missing. bWholeValue grows the
// buffer (546, 1092, 2184, ... bytes) until the value fits.
BOOL CIniSettingsStore::ReadText(LPCSTR lpszSection, LPCSTR lpszName, BOOL bWholeValue, CString& strText) {
  if (m_strFile.IsEmpty() || lpszSection == NULL || lpszName == NULL) return FALSE;
  CByteArray buffer;
  buffer.SetSize(kFirstReadSize);
  LPSTR pText = reinterpret_cast<LPSTR>(buffer.GetData());
  DWORD nRead = GetPrivateProfileStringA(lpszSection, lpszName, kMissing, pText,
                                         static_cast<DWORD>(buffer.GetSize()), m_strFile);
  if (strcmp(pText, kMissing) == 0) {
    char probe[64];
    GetPrivateProfileStringA(lpszSection, lpszName, kMissingAgain, probe, sizeof probe, m_strFile);
    if (strcmp(probe, kMissing) != 0) return FALSE;
  }
  while (bWholeValue && nRead == static_cast<DWORD>(buffer.GetSize()) - 1) {
    buffer.SetSize(buffer.GetSize() * 2);
    pText = reinterpret_cast<LPSTR>(buffer.GetData());
    nRead = GetPrivateProfileStringA(lpszSection, lpszName, kMissing, pText,
                                     static_cast<DWORD>(buffer.GetSize()), m_strFile);
  }
  strText = pText;
  return TRUE;
}

// The text as the file holds it (quoted where needed) in strStored; FALSE
// when it cannot be held as it is.
BOOL CIniSettingsStore::StoredForm(LPCSTR lpszValue, CString& strStored) {
  if (lpszValue == NULL || HasLineBreak(lpszValue)) return FALSE;
  strStored = ProtectQuotesAndBlanks(lpszValue);
  return strStored.GetLength() <= kMaxValueLength;
}

BOOL CIniSettingsStore::CanStoreText(LPCSTR lpszValue) {
  CString strStored;
  return StoredForm(lpszValue, strStored);
}

// Line breaks in a section, name or value would break the file's structure
// (and could plant other values), and "=" in a name would split it.
BOOL CIniSettingsStore::WriteText(LPCSTR lpszSection, LPCSTR lpszName, const CString& strText) {
  if (m_strFile.IsEmpty() || lpszSection == NULL || lpszName == NULL) return FALSE;
  if (HasLineBreak(lpszSection) || HasLineBreak(lpszName) || strchr(lpszName, '=') != NULL) return FALSE;
  CString strStored;
  if (!StoredForm(strText, strStored)) return FALSE;
  return WritePrivateProfileStringA(lpszSection, lpszName, strStored, m_strFile) ? TRUE : FALSE;
}

BOOL CIniSettingsStore::SetBinary(LPCSTR lpszSection, LPCSTR lpszName, const BYTE* pData, DWORD* pcbData) {
  if (m_strFile.IsEmpty() || lpszSection == NULL || lpszName == NULL || pcbData == NULL) return FALSE;
  if (pData == NULL && *pcbData != 0) return FALSE;
  if (HasLineBreak(lpszSection) || HasLineBreak(lpszName) || strchr(lpszName, '=') != NULL) return FALSE;
  if (*pcbData > kMaxBinaryBytes) return FALSE;
  // A null buffer would make the system delete the value instead.
  BYTE empty = 0;
  BYTE* pBytes = pData != NULL ? const_cast<BYTE*>(pData) : &empty;
  return WritePrivateProfileStructA(lpszSection, lpszName, pBytes, *pcbData, m_strFile) ? TRUE : FALSE;
}

BOOL CIniSettingsStore::SetInt(LPCSTR lpszSection, LPCSTR lpszName, DWORD dwValue, BOOL bScrambled) {
  char text[16];
  snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(dwValue));
  CString strText(text);
  if (bScrambled && !ScrambleText(text, strText)) return FALSE;
  return WriteText(lpszSection, lpszName, strText);
}

BOOL CIniSettingsStore::SetString(LPCSTR lpszSection, LPCSTR lpszName, LPCSTR lpszValue, BOOL bScrambled) {
  if (lpszValue == NULL) return FALSE;
  CString strText(lpszValue);
  if (bScrambled && !ScrambleText(lpszValue, strText)) return FALSE;
  return WriteText(lpszSection, lpszName, strText);
}

BOOL CIniSettingsStore::GetBinary(LPCSTR lpszSection, LPCSTR lpszName, BYTE* pData, DWORD* pcbData) {
  if (pcbData == NULL) return FALSE;
  CString strHex;
  if (!ReadText(lpszSection, lpszName, TRUE, strHex)) return FALSE;
  // Two hex digits per byte, then two for the checksum.
  int nLength = strHex.GetLength();
  if (nLength < 2 || nLength % 2 != 0) return FALSE;
  DWORD cbStored = static_cast<DWORD>((nLength - 2) / 2);
  if (cbStored > *pcbData) {
    *pcbData = cbStored;
    return FALSE;
  }
  if (pData == NULL && cbStored != 0) return FALSE;
  BYTE empty = 0;
  if (!GetPrivateProfileStructA(lpszSection, lpszName, pData != NULL ? pData : &empty, cbStored, m_strFile))
    return FALSE;
  *pcbData = cbStored;
  return TRUE;
}

BOOL CIniSettingsStore::GetInt(LPCSTR lpszSection, LPCSTR lpszName, DWORD* pdwValue, BOOL bScrambled) {
  if (pdwValue == NULL) return FALSE;
  CString strText;
  if (!ReadText(lpszSection, lpszName, FALSE, strText)) return FALSE;
  if (bScrambled && !UnscrambleText(CString(strText), strText)) return FALSE;
  *pdwValue = static_cast<DWORD>(strtoul(strText, NULL, 0));
  return TRUE;
}

BOOL CIniSettingsStore::GetString(LPCSTR lpszSection, LPCSTR lpszName, CString& strValue, BOOL bScrambled) {
  CString strText;
  if (!ReadText(lpszSection, lpszName, TRUE, strText)) return FALSE;
  if (!bScrambled) {
    strValue = strText;
    return TRUE;
  }
  return UnscrambleText(strText, strValue);
}

BOOL CIniSettingsStore::DeleteSection(LPCSTR lpszSection) {
  if (m_strFile.IsEmpty() || lpszSection == NULL) return FALSE;
  return WritePrivateProfileStringA(lpszSection, NULL, NULL, m_strFile) ? TRUE : FALSE;
}

BOOL CIniSettingsStore::DeleteValue(LPCSTR lpszSection, LPCSTR lpszName) {
  if (m_strFile.IsEmpty() || lpszSection == NULL || lpszName == NULL) return FALSE;
  return WritePrivateProfileStringA(lpszSection, lpszName, NULL, m_strFile) ? TRUE : FALSE;
}
