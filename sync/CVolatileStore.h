// A named text value shared by the processes of one desktop and never
// written to disk: the text is a global atom, and a desktop-window property
// ("LdVltlOpt_NAME") holds that atom. A named mutex ("LdVltlMtx_NAME")
// serialises Set, Get and Unregister across processes, and a registration
// atom ("LdVltlRc_NAME") exists while any process takes part; a value can
// only be set while it exists.
//
// Each name holds exactly one reference of its value's atom, so two names
// that hold the same text do not disturb each other.
#pragma once

#include <windows.h>

#include <afx.h>

class CVolatileStore {
 public:
  // The name is used unchanged in the three system-wide names.
  explicit CVolatileStore(LPCSTR lpszName);
  ~CVolatileStore();  // unregisters when registered

  // Adds this object's registration (once per object); TRUE when it is in force.
  BOOL Register();
  // Publishes a new value: FALSE when nobody is registered or the text is
  // not a valid atom name (empty, or longer than kMaxValueLength); the old
  // value then stays.
  BOOL Set(LPCSTR lpszValue);
  // The current value, empty when none was set; TRUE whenever the value
  // could be read under the mutex.
  BOOL Get(CString& rValue);
  // Withdraws this object's registration; the value stays readable.
  void Unregister();

  static constexpr int kMaxValueLength = 255;

  CString m_strPropName;
  CString m_strMutexName;
  CString m_strRegName;
  ATOM m_atomReg;

 private:
  BOOL SetLocked(LPCSTR lpszValue);

  CVolatileStore(const CVolatileStore&);
  CVolatileStore& operator=(const CVolatileStore&);
};
