// The proxy that the system's internet settings hold for the current user,
// read and written below HKEY_CURRENT_USER: the values "ProxyEnable",
// "ProxyServer" and "AutoConfigURL" of the "Internet Settings" key, or, when
// the user dials in through the connection that "ModemEnabled" and
// "ModemProfile" of [Connection Options] in the user's "ldglobal.ini" name,
// that connection's binary value under "Internet Settings\Connections".
//
// The connection value: 8 bytes kept as they are, a 32-bit flags word
// (2: proxy in use, 4: automatic configuration), the 32-bit length L of the
// server list, the list text (no terminator; a zero byte inside it ends the
// text, as in a registry text, and a rewrite replaces all L bytes), then
// further bytes kept as they are. A value shorter than 16 bytes or whose L runs past its end is
// treated as unreadable: the readers give 0 and the writers write nothing.
//
// Construct, Load, then read the getters; the writers may be called at any
// time. The member order is part of the library's interface.
#pragma once

#include <afx.h>

class CProxySettings {
 public:
  CProxySettings();
  ~CProxySettings();

  // "ModemEnabled" is non-zero.
  static BOOL IsModemEnabled();
  // "ModemProfile", empty when absent.
  static CString GetModemProfile();

  // 1 when the dial-up connection's value is used, 0 for the machine-wide
  // values. Decided on the first call and kept for the object's life.
  BOOL UsesConnectionSettings();
  // The key that holds the values of the current mode.
  CString GetSettingsKeyPath();

  // 1 when the settings say a proxy (or automatic configuration) is in use.
  BOOL ReadProxyEnabled();
  // The proxy server list; 0 when nothing could be read.
  BOOL ReadProxyServer(CString& strList);

  // Reads and parses the settings into the fields, starting from a clean
  // state: no entries, protocol "http", host and port empty.
  void Load();

  BOOL IsEnabled() const;
  CString GetHost() const;
  CString GetPort() const;

  // Switches the proxy on or off in the settings; 1 when it was written.
  BOOL SetProxyEnabled(BOOL bEnable);
  BOOL Disable();
  // Makes "host:port" the proxy of the current protocol, writes the server
  // list back and switches the proxy on; 1 when both were written. When
  // either write failed, the fields are read again (as by Load), so that
  // the getters report what the settings hold.
  BOOL SetProxyServer(LPCSTR lpszServer);

  BOOL m_bEnabled;
  BOOL m_bOneProxyForAll;  // an entry named no protocol; never cleared by writers
  CString m_strHost;
  CString m_strPort;
  CString m_strProtocol;            // the key of the entry in use
  CMapStringToString m_mapEntries;  // protocol -> "host:port"
  int m_nConnectionMode;            // -1 not yet decided, 0 machine-wide, 1 connection

 private:
  CProxySettings(const CProxySettings&);
  CProxySettings& operator=(const CProxySettings&);

  BOOL WriteServerList(const CString& strList);
};
