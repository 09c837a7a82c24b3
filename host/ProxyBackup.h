// A copy of the user's proxy settings in a text file, taken before a host
// changes them and put back afterwards: the values "ProxyEnable" and
// "ProxyServer" of the user's internet settings, and the value of the
// dial-up connection that the user's settings name ("ModemProfile"), each
// with its registry type and bytes exactly, or marked absent. Putting them
// back writes each value as it was and removes the values that were absent,
// so nothing the proxy writers added stays behind.
//
// The file is text, one value a line:
//   [ldhost proxy settings]
//   ProxyEnable=4 01000000          (registry type, then the bytes in hex)
//   ProxyServer=absent
//   Connection=Example Dial-up      (only when a connection is named)
//   ConnectionValue=3 4600...
#pragma once

#include <stdio.h>
#include <windows.h>

#include <afx.h>

class ProxyBackup {
 public:
  // Reads the settings from the registry.
  void Take();
  // Writes them to path; false with the reason in why.
  bool Save(const char* path, CString& why) const;
  // Reads them from a file that Save wrote; false with the reason in why.
  bool Load(const char* path, CString& why);
  // Writes them back to the registry; false with the reason in why.
  bool Restore(CString& why) const;
  // One line per value for the user: "ProxyEnable: 1 (REG_DWORD)",
  // "ProxyServer: absent", ...
  void Describe(FILE* out) const;

 private:
  struct Value {
    bool present;
    DWORD type;
    CString bytes;  // may hold zero bytes
  };
  static bool Read(const char* keyPath, const char* name, Value& value);
  static bool Write(const char* keyPath, const char* name, const Value& value, CString& why);
  static CString Encode(const Value& value);
  static bool Decode(const CString& text, Value& value);
  static void DescribeValue(FILE* out, const char* label, const Value& value);

  Value m_enable;
  Value m_server;
  CString m_connection;  // empty: no connection named
  Value m_connectionValue;
};
