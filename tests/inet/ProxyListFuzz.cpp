// libFuzzer target: any bytes parse without reading or writing out of
// bounds (a connection value's list may hold zero bytes); for text without
// zero bytes, the entries have names, no blanks around keys or values, and
// written back as a list they parse to the same entries.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "ProxyEntries.h"
#include "inet/ProxyServerList.h"

namespace {

bool HasOuterBlank(const CString& text) {
  if (text.IsEmpty()) return false;
  CString trimmed(text);
  trimmed.TrimLeft();
  trimmed.TrimRight();
  return trimmed.GetLength() != text.GetLength();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  CString list(reinterpret_cast<const char*>(pData), static_cast<int>(nSize));
  CMapStringToString entries(10);
  CString protocol("http");
  BOOL oneProxyForAll = FALSE;
  ParseProxyServerList(list, entries, protocol, oneProxyForAll);
  if (protocol.CompareNoCase("http") != 0) abort();
  if (memchr(pData, 0, nSize) != NULL) return 0;

  CString key, value, host, port;
  for (POSITION pos = entries.GetStartPosition(); pos != NULL;) {
    entries.GetNextAssoc(pos, key, value);
    if (key.IsEmpty() || HasOuterBlank(key) || HasOuterBlank(value)) abort();
    SplitProxyHostPort(value, host, port);
    if (HasOuterBlank(host) || HasOuterBlank(port)) abort();
  }

  if (ParsedEntries(JoinProxyServerList(entries)) != EntriesOf(entries)) abort();
  return 0;
}
