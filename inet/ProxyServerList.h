// The proxy server list of the system's internet settings: entries separated
// by ";", each "protocol=host:port" or a "host:port" alone that applies to
// every protocol. Platform-free, so it also builds natively.
//
// Every function reads a text up to its first zero byte, as the registry
// keeps texts, whatever length the string says: a connection value's list
// may hold a zero byte, and what follows it is never an entry. Trimming
// drops blanks (character 32) only, as the list's format defines them: a
// tab or a line break stays part of its entry.
#pragma once

#include <afx.h>

// Adds the entries of strList to the map (protocol -> "host:port" text), left
// to right; a later entry for a protocol replaces an earlier one. An entry
// without "=" is the "http" entry: it makes "http" the protocol and sets
// bOneProxyForAll. A key equal to "http" in any letter case makes that key,
// as written, the protocol. Blanks around entries, keys and values are
// dropped; entries that are empty after that, and empty keys, are skipped.
// Time grows in proportion to the list's length.
void ParseProxyServerList(const CString& strList, CMapStringToString& entries, CString& strProtocol,
                          BOOL& bOneProxyForAll);

// Splits "host:port" at the first ":" into its parts without blanks at
// either end. Without ":", the whole text is the host and strPort is left
// as it was.
void SplitProxyHostPort(const CString& strHostPort, CString& strHost, CString& strPort);

// The list text of the entries: "key=value" for every entry with a
// non-empty key, joined with ";" in the map's iteration order.
CString JoinProxyServerList(const CMapStringToString& entries);
