// Reads the record of calls of the stand-in LDUSERDB.DLL in the program
// directory. Holds a reference of its own to the library, so the record
// stays readable between the bindings that load and unload it.
#pragma once

#include <windows.h>

#include <vector>

#include "lduserdb.h"

class UserDbCallLog {
 public:
  UserDbCallLog();
  ~UserDbCallLog();
  UserDbCallLog(const UserDbCallLog&) = delete;
  UserDbCallLog& operator=(const UserDbCallLog&) = delete;

  HMODULE Module() const { return m_module; }
  void Reset();
  std::vector<UserDbCall> Calls() const;

 private:
  HMODULE m_module;
  UserDbCallCountFn m_count;
  UserDbGetCallFn m_get;
  UserDbResetFn m_reset;
};
