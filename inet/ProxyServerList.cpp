#include "inet/ProxyServerList.h"

namespace {

const char kHttp[] = "http";

CString Trimmed(const CString& strText) {
  CString strResult(strText);
  strResult.TrimLeft();
  strResult.TrimRight();
  return strResult;
}

// Takes the text before the first ";" off the front of the list.
CString TakeEntry(CString& strList) {
  int nSeparator = strList.Find(';');
  if (nSeparator < 0) {
    CString strEntry(strList);
    strList.Empty();
    return strEntry;
  }
  CString strEntry = strList.Left(nSeparator);
  strList = strList.Mid(nSeparator + 1);
  return strEntry;
}

void AddEntry(const CString& strEntry, CMapStringToString& entries, CString& strProtocol, BOOL& bOneProxyForAll) {
  int nEquals = strEntry.Find('=');
  if (nEquals < 0) {
    strProtocol = kHttp;
    entries[kHttp] = strEntry;
    bOneProxyForAll = TRUE;
    return;
  }
  CString strKey = Trimmed(strEntry.Left(nEquals));
  if (strKey.IsEmpty()) return;
  if (strKey.CompareNoCase(kHttp) == 0) strProtocol = strKey;
  entries[strKey] = Trimmed(strEntry.Mid(nEquals + 1));
}

}  // namespace

void ParseProxyServerList(const CString& strList, CMapStringToString& entries, CString& strProtocol,
                          BOOL& bOneProxyForAll) {
  CString strRest(strList);
  while (!strRest.IsEmpty()) {
    // A trailing ";" or "; " leaves an empty entry, which names no proxy.
    CString strEntry = Trimmed(TakeEntry(strRest));
    if (!strEntry.IsEmpty()) AddEntry(strEntry, entries, strProtocol, bOneProxyForAll);
  }
}

void SplitProxyHostPort(const CString& strHostPort, CString& strHost, CString& strPort) {
  int nColon = strHostPort.Find(':');
  if (nColon < 0) {
    strHost = Trimmed(strHostPort);
    return;
  }
  strHost = Trimmed(strHostPort.Left(nColon));
  strPort = Trimmed(strHostPort.Mid(nColon + 1));
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
