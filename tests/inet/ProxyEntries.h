// The entries of a proxy server list as a sorted map, for comparing.
#pragma once

#include <map>
#include <string>

#include "inet/ProxyServerList.h"

typedef std::map<std::string, std::string> Entries;

inline Entries EntriesOf(const CMapStringToString& map) {
  Entries entries;
  CString key, value;
  for (POSITION pos = map.GetStartPosition(); pos != NULL;) {
    map.GetNextAssoc(pos, key, value);
    entries[static_cast<LPCSTR>(key)] = static_cast<LPCSTR>(value);
  }
  return entries;
}

inline Entries ParsedEntries(const char* list) {
  CMapStringToString map(10);
  CString protocol("http");
  BOOL oneProxyForAll = FALSE;
  ParseProxyServerList(list, map, protocol, oneProxyForAll);
  return EntriesOf(map);
}
