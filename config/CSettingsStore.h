// The one interface through which settings are read and written, whatever
// keeps them (the registry or an INI file). A value is addressed by a section
// and a name; each call chooses whether the value is kept scrambled. Every
// operation returns non-zero on success.
//
// Host modules may derive their own stores. The slot order of the virtual
// operations is part of the library's interface. There is no virtual
// destructor: a store is destroyed through its concrete type.
#pragma once

#include <afx.h>

class CSettingsStore {
 public:
  explicit CSettingsStore(BOOL bPerUser = FALSE);

  // Slot 0. Writes *pcbData bytes from pData.
  virtual BOOL SetBinary(LPCSTR lpszSection, LPCSTR lpszName, const BYTE* pData, DWORD* pcbData) = 0;
  // Slot 1.
  virtual BOOL SetInt(LPCSTR lpszSection, LPCSTR lpszName, DWORD dwValue, BOOL bScrambled) = 0;
  // Slot 2.
  virtual BOOL SetString(LPCSTR lpszSection, LPCSTR lpszName, LPCSTR lpszValue, BOOL bScrambled) = 0;
  // Slot 3. *pcbData is the buffer's size on entry and the value's size on
  // return.
  virtual BOOL GetBinary(LPCSTR lpszSection, LPCSTR lpszName, BYTE* pData, DWORD* pcbData) = 0;
  // Slot 4.
  virtual BOOL GetInt(LPCSTR lpszSection, LPCSTR lpszName, DWORD* pdwValue, BOOL bScrambled) = 0;
  // Slot 5.
  virtual BOOL GetString(LPCSTR lpszSection, LPCSTR lpszName, CString& strValue, BOOL bScrambled) = 0;
  // Slot 6.
  virtual BOOL DeleteSection(LPCSTR lpszSection) = 0;
  // Slot 7.
  virtual BOOL DeleteValue(LPCSTR lpszSection, LPCSTR lpszName) = 0;

  // Signed form of GetInt; *pnValue is left alone when the read fails.
  BOOL GetInt(LPCSTR lpszSection, LPCSTR lpszName, int* pnValue, BOOL bScrambled);
  // These two store the default when the read fails and always return TRUE.
  BOOL GetIntDefault(LPCSTR lpszSection, LPCSTR lpszName, DWORD* pdwValue, DWORD dwDefault, BOOL bScrambled);
  BOOL GetStringDefault(LPCSTR lpszSection, LPCSTR lpszName, CString& strValue, LPCSTR lpszDefault,
                        BOOL bScrambled);
  // Reads or writes a value whose name may itself be kept scrambled.
  // GetStringHiddenName assigns the default when the read fails and returns
  // the read's result; both return 0 without touching anything when the name
  // cannot be scrambled.
  BOOL GetStringHiddenName(LPCSTR lpszSection, LPCSTR lpszName, CString& strValue, LPCSTR lpszDefault,
                           BOOL bScrambledValue, BOOL bScrambledName);
  BOOL SetStringHiddenName(LPCSTR lpszSection, LPCSTR lpszName, LPCSTR lpszValue, BOOL bScrambledValue,
                           BOOL bScrambledName);

  BOOL m_bPerUser;  // the store works on the current user's data

 protected:
  // Not virtual: deleting a store through this interface is not supported.
  ~CSettingsStore();
};
