// The proxy server list of the system's internet settings: entries separated
// by ";", each "protocol=host:port" or a "host:port" alone that applies to
// every protocol. Platform-free, so it also builds natively.
#pragma once

#include <afx.h>

// Adds the entries of strList to the map (protocol -> "host:port" text), left
// to right; a later entry for a protocol replaces an earlier one. An entry
// without "=" is the "http" entry: it makes "http" the protocol and sets
// bOneProxyForAll. A key equal to "http" in any letter case makes that key,
// as written, the protocol. Blanks around entries, keys and values are
// dropped; entries that are empty after that, and empty keys, are skipped.
void ParseProxyServerList(const CString& strList, CMapStringToString& entries, CString& strProtocol,
                          BOOL& bOneProxyForAll);

// Splits "host:port" at the first ":" into its trimmed parts. Without ":",
// the whole trimmed text is the host and strPort is left as it was.
void SplitProxyHostPort(const CString& strHostPort, CString& strHost, CString& strPort);

// The list text of the entries: "key=value" for every entry with a
// non-empty key, joined with ";" in the map's iteration order.
CString JoinProxyServerList(const CMapStringToString& entries);
