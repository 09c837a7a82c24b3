// Settings kept in an INI file. Sections and names are the file's own;
// strings and integers are text, binary values are kept in the system's
// structure format (hex digits and a checksum).
//
// Hosts may derive from it; without a virtual destructor, a derived store is
// never deleted through a CIniSettingsStore or CSettingsStore pointer.
#pragma once

#include "config/CSettingsStore.h"

class CIniSettingsStore : public CSettingsStore {
 public:
  // Per user: lpszFileName in the data directory of user nUser (the store
  // fails every operation when that user has none). Machine-wide: a drive
  // or network path as given, any other name in the global data directory
  // (the product key's "GlobalDataDir"), or as given when that is not set.
  // The file's full path must fit in MAX_PATH (259 characters and the
  // terminator), a bare name counted in the Windows directory, where the
  // system looks for it: a longer one leaves m_strFile empty, and every
  // operation fails without reading or writing anything.
  CIniSettingsStore(LPCSTR lpszFileName, BOOL bPerUser, int nUser);
  ~CIniSettingsStore();

  BOOL SetBinary(LPCSTR lpszSection, LPCSTR lpszName, const BYTE* pData, DWORD* pcbData) override;
  BOOL SetInt(LPCSTR lpszSection, LPCSTR lpszName, DWORD dwValue, BOOL bScrambled) override;
  BOOL SetString(LPCSTR lpszSection, LPCSTR lpszName, LPCSTR lpszValue, BOOL bScrambled) override;
  // Fails when the stored value is damaged or larger than *pcbData (which
  // then receives the stored size); on success *pcbData is the stored size.
  BOOL GetBinary(LPCSTR lpszSection, LPCSTR lpszName, BYTE* pData, DWORD* pcbData) override;
  // Decimal, "0x" hexadecimal or leading-zero octal text.
  BOOL GetInt(LPCSTR lpszSection, LPCSTR lpszName, DWORD* pdwValue, BOOL bScrambled) override;
  BOOL GetString(LPCSTR lpszSection, LPCSTR lpszName, CString& strValue, BOOL bScrambled) override;
  BOOL DeleteSection(LPCSTR lpszSection) override;
  BOOL DeleteValue(LPCSTR lpszSection, LPCSTR lpszName) override;

  using CSettingsStore::GetInt;

  // The longest value text the system's profile functions keep: a longer
  // one is stored as nothing or garbage, or breaks the file, while the write
  // reports success. Binary values take two hex digits per byte and two for
  // the checksum.
  enum { kMaxValueLength = 32766, kMaxBinaryBytes = (kMaxValueLength - 2) / 2 };
  // TRUE when a value of this text can be written and read back as it is:
  // no line break, and not longer than kMaxValueLength once the quotation
  // marks that protect it are added. Longer values and binary values over
  // kMaxBinaryBytes are refused without writing anything.
  static BOOL CanStoreText(LPCSTR lpszValue);

  CString m_strFile;  // full path of the file; empty when none could be formed

 private:
  static BOOL StoredForm(LPCSTR lpszValue, CString& strStored);
  // m_strFile names a file the system's profile functions can be given.
  BOOL HasUsableFile() const;

  CIniSettingsStore(const CIniSettingsStore&) = delete;
  void operator=(const CIniSettingsStore&) = delete;

  BOOL ReadText(LPCSTR lpszSection, LPCSTR lpszName, BOOL bWholeValue, CString& strText);
  BOOL WriteText(LPCSTR lpszSection, LPCSTR lpszName, const CString& strText);
};
