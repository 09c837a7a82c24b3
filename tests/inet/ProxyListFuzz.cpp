// libFuzzer target: any bytes parse without reading or writing out of
// bounds (a connection value's list may hold zero bytes) and give the
// entries of the text before the first zero byte; the entries have names,
// no blanks around keys or values, and written back as a list they parse
// to the same entries.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "ProxyEntries.h"
#include "inet/ProxyServerList.h"

namespace {

// Blanks (character 32) are what the parser trims.
bool HasOuterBlank(const CString& text) {
  int nLength = text.GetLength();
  return nLength > 0 && (text[0] == ' ' || text[nLength - 1] == ' ');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  CString list(reinterpret_cast<const char*>(pData), static_cast<int>(nSize));
  CMapStringToString entries(10);
  CString protocol("http");
  BOOL oneProxyForAll = FALSE;
  ParseProxyServerList(list, entries, protocol, oneProxyForAll);
  if (protocol.CompareNoCase("http") != 0) abort();
  const void* pZero = memchr(pData, 0, nSize);
  if (pZero != NULL) {
    size_t nText = static_cast<size_t>(static_cast<const uint8_t*>(pZero) - pData);
    if (ParsedEntries(CString(reinterpret_cast<const char*>(pData), static_cast<int>(nText))) != EntriesOf(entries))
      abort();
  }

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
