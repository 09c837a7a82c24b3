#include "inet/ProxyServerList.h"

#include <string.h>

namespace {

const char kHttp[] = "http";

// Narrows [pBegin, pEnd) to the text without blanks at either end.
void TrimBlanks(const char*& pBegin, const char*& pEnd) {
  while (pBegin < pEnd && *pBegin == ' ') ++pBegin;
  while (pEnd > pBegin && pEnd[-1] == ' ') --pEnd;
}

// The first ch in [pBegin, pEnd), or pEnd.
const char* FindIn(const char* pBegin, const char* pEnd, char ch) {
  const void* pFound = memchr(pBegin, ch, static_cast<size_t>(pEnd - pBegin));
  return pFound != NULL ? static_cast<const char*>(pFound) : pEnd;
}

CString TextOf(const char* pBegin, const char* pEnd) { return CString(pBegin, static_cast<int>(pEnd - pBegin)); }

// The end of a text that may hold zero bytes: its first zero byte, as for a
// text read from the registry.
const char* TextEnd(const CString& strText) {
  LPCSTR pszText = strText;
  return pszText + strlen(pszText);
}

// One entry, [pBegin, pEnd) without blanks at either end and not empty.
void AddEntry(const char* pBegin, const char* pEnd, CMapStringToString& entries, CString& strProtocol,
              BOOL& bOneProxyForAll) {
  const char* pEquals = FindIn(pBegin, pEnd, '=');
  if (pEquals == pEnd) {
    strProtocol = kHttp;
    entries[kHttp] = TextOf(pBegin, pEnd);
    bOneProxyForAll = TRUE;
    return;
  }
  const char* pKeyEnd = pEquals;
  TrimBlanks(pBegin, pKeyEnd);
  if (pBegin == pKeyEnd) return;
  CString strKey = TextOf(pBegin, pKeyEnd);
  const char* pValue = pEquals + 1;
  TrimBlanks(pValue, pEnd);
  if (strKey.CompareNoCase(kHttp) == 0) strProtocol = strKey;
  entries[strKey] = TextOf(pValue, pEnd);
}

}  // namespace

void ParseProxyServerList(const CString& strList, CMapStringToString& entries, CString& strProtocol,
                          BOOL& bOneProxyForAll) {
  // Each entry is read where it lies in the list: nothing of the rest is
  // copied, so a long list costs time in proportion to its length.
  const char* pListEnd = TextEnd(strList);
  for (const char* pEntry = strList; pEntry < pListEnd;) {
    const char* pSeparator = FindIn(pEntry, pListEnd, ';');
    const char* pEnd = pSeparator;
    TrimBlanks(pEntry, pEnd);
    // A trailing ";" or "; " leaves an empty entry, which names no proxy.
    if (pEntry < pEnd) AddEntry(pEntry, pEnd, entries, strProtocol, bOneProxyForAll);
    if (pSeparator == pListEnd) break;
    pEntry = pSeparator + 1;
  }
}

void SplitProxyHostPort(const CString& strHostPort, CString& strHost, CString& strPort) {
  const char* pBegin = strHostPort;
  const char* pEnd = TextEnd(strHostPort);
  const char* pColon = FindIn(pBegin, pEnd, ':');
  const char* pHostEnd = pColon;
  TrimBlanks(pBegin, pHostEnd);
  strHost = TextOf(pBegin, pHostEnd);
  if (pColon == pEnd) return;
  const char* pPort = pColon + 1;
  TrimBlanks(pPort, pEnd);
  strPort = TextOf(pPort, pEnd);
}

CString JoinProxyServerList(const CMapStringToString& entries) {
  CString strList;
  CString strKey, strValue;
  for (POSITION pos = entries.GetStartPosition(); pos != NULL;) {
    entries.GetNextAssoc(pos, strKey, strValue);
    if (strKey.IsEmpty()) continue;
    if (!strList.IsEmpty()) strList += ';';
    strList += strKey + "=" + strValue;
  }
  return strList;
}
