// A named text value shared by the processes of one desktop and never
// written to disk: the text is a global atom, and a desktop-window property
// ("LdVltlOpt_NAME") holds that atom. A named mutex ("LdVltlMtx_NAME")
// serialises Set, Get and Unregister across processes, and a registration
// atom ("LdVltlRc_NAME") exists while any process takes part; a value can
// only be set while it exists.
//
// Each name holds exactly one reference of its value's atom, so two names
// that hold the same text do not disturb each other.
//
// Atom names ignore letter case, and "#NNNN" names the integer atom NNNN,
// so a text is stored as it is only where the atom table keeps it exactly
// (an atom of another spelling, "Hello" for "HELLO", or "#0012" for "#12",
// is not taken). Otherwise it is stored encoded: the character 0x01, then
// the text with each upper-case letter written as 0x01 and the letter in
// lower case, and 0x01 itself doubled. Get undoes that. A process of an
// older build reads a text stored as it is like this build, and an encoded
// one in its encoded form; this build reads what an older build stored as
// that build would, unless it begins with 0x01.
//
// What stays in the system's atom table: the registration atom goes with
// the last registration. A value once set must stay readable after the last
// unregistration, until it is replaced or the user logs off, so its atom and
// the property (whose name is an atom too) stay: two atoms per value name
// that ever held a value. The table is shared by every program of the
// session (about 16,000 string atoms, also used for window classes and
// clipboard formats), so keep to a fixed set of value names instead of
// making names up at run time.
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
  // Publishes a new value: FALSE when nobody is registered, when the text is
  // empty or longer than kMaxValueLength, or when it cannot be stored so
  // that it reads back exactly (its encoded form is too long); the old
  // value then stays.
  BOOL Set(LPCSTR lpszValue);
  // The current value, exactly as Set was given it; empty when none was
  // set. TRUE whenever the value could be read under the mutex.
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
