#include "inet/CProxySettings.h"

#include <string.h>

#include "config/CIniSettingsStore.h"
#include "config/CRegSettingsStore.h"
#include "inet/ProxyServerList.h"

namespace {

const char kInternetSettingsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const char kConnectionsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
const char kRoot[] = "\\";
const char kProxyEnable[] = "ProxyEnable";
const char kProxyServer[] = "ProxyServer";
const char kAutoConfigUrl[] = "AutoConfigURL";

const char kUserSettingsFile[] = "ldglobal.ini";
const char kConnectionOptions[] = "Connection Options";

const DWORD kFirstReadSize = 512;

// Layout of a connection value.
const size_t kFlagsOffset = 8;
const size_t kListLengthOffset = 12;
const size_t kListOffset = 16;
const DWORD kProxyInUse = 2;
const DWORD kAutoConfigInUse = 4;

typedef CByteArray Blob;

// Reads a binary value into a 512-byte buffer and, when that fails with
// another size reported, once more into a buffer one byte larger than the
// size reported. On success the blob has the value's size.
bool ReadBinaryWithRetry(CSettingsStore& store, LPCSTR lpszName, Blob& blob) {
  DWORD cbData = kFirstReadSize;
  blob.RemoveAll();
  blob.SetSize(kFirstReadSize);
  BOOL bRead = store.GetBinary(kRoot, lpszName, blob.GetData(), &cbData);
  if (!bRead && cbData != kFirstReadSize) {
    if (cbData >= 0x7FFFFFFF) return false;
    blob.RemoveAll();
    blob.SetSize(static_cast<int>(cbData) + 1);
    cbData = static_cast<DWORD>(blob.GetSize());
    bRead = store.GetBinary(kRoot, lpszName, blob.GetData(), &cbData);
  }
  if (!bRead || cbData > static_cast<DWORD>(blob.GetSize())) return false;
  blob.SetSize(static_cast<int>(cbData));
  return true;
}

DWORD DwordAt(const Blob& blob, size_t nOffset) {
  DWORD dwValue;
  memcpy(&dwValue, blob.GetData() + nOffset, sizeof dwValue);
  return dwValue;
}

void AppendDword(Blob& blob, DWORD dwValue) {
  const BYTE* pBytes = reinterpret_cast<const BYTE*>(&dwValue);
  blob.Append(pBytes, sizeof dwValue);
}

// A connection value is usable when it holds the 16 header bytes and the
// whole server list that its length field announces.
bool IsWellFormed(const Blob& blob) {
  size_t nSize = static_cast<size_t>(blob.GetSize());
  return nSize >= kListOffset && DwordAt(blob, kListLengthOffset) <= nSize - kListOffset;
}

// The dial-up connection's value, and its name as the settings file gives
// it, so that a rewrite goes to the value that was read.
bool ReadConnectionValue(CSettingsStore& store, Blob& blob, CString* pstrProfile = NULL) {
  CString strProfile = CProxySettings::GetModemProfile();
  if (pstrProfile != NULL) *pstrProfile = strProfile;
  return ReadBinaryWithRetry(store, strProfile, blob) && IsWellFormed(blob);
}

BOOL WriteBlob(CSettingsStore& store, LPCSTR lpszName, const Blob& blob) {
  DWORD cbData = static_cast<DWORD>(blob.GetSize());
  return store.SetBinary(kRoot, lpszName, blob.GetData(), &cbData);
}

// The connection value with its server list replaced by strList; the bytes
// before and after the list stay as they were.
void WithServerList(const Blob& blob, const CString& strList, Blob& rewritten) {
  DWORD dwOldLength = DwordAt(blob, kListLengthOffset);
  DWORD dwNewLength = static_cast<DWORD>(strList.GetLength());
  rewritten.RemoveAll();
  rewritten.Append(blob.GetData(), static_cast<int>(kListLengthOffset));
  AppendDword(rewritten, dwNewLength);
  const BYTE* pList = reinterpret_cast<const BYTE*>(static_cast<LPCSTR>(strList));
  rewritten.Append(pList, static_cast<int>(dwNewLength));
  int nRest = static_cast<int>(kListOffset + dwOldLength);
  rewritten.Append(blob.GetData() + nRest, blob.GetSize() - nRest);
}

}  // namespace

CProxySettings::CProxySettings()
    : m_bEnabled(FALSE), m_bOneProxyForAll(FALSE), m_strProtocol("http"), m_mapEntries(10), m_nConnectionMode(-1) {}

CProxySettings::~CProxySettings() {}

BOOL CProxySettings::IsModemEnabled() {
  CIniSettingsStore store(kUserSettingsFile, TRUE, 0);
  DWORD dwEnabled = 0;
  store.GetIntDefault(kConnectionOptions, "ModemEnabled", &dwEnabled, 0, FALSE);
  return dwEnabled != 0;
}

CString CProxySettings::GetModemProfile() {
  CIniSettingsStore store(kUserSettingsFile, TRUE, 0);
  CString strProfile;
  if (!store.GetString(kConnectionOptions, "ModemProfile", strProfile, FALSE)) strProfile.Empty();
  return strProfile;
}

BOOL CProxySettings::UsesConnectionSettings() {
  if (m_nConnectionMode == -1) {
    m_nConnectionMode = 0;
    if (IsModemEnabled()) {
      CRegSettingsStore store(TRUE, kConnectionsKey);
      Blob blob;
      if (ReadBinaryWithRetry(store, GetModemProfile(), blob)) m_nConnectionMode = 1;
    }
  }
  return m_nConnectionMode == 1;
}

CString CProxySettings::GetSettingsKeyPath() {
  return UsesConnectionSettings() ? kConnectionsKey : kInternetSettingsKey;
}

BOOL CProxySettings::ReadProxyEnabled() {
  CRegSettingsStore store(TRUE, GetSettingsKeyPath());
  if (UsesConnectionSettings()) {
    Blob blob;
    if (!ReadConnectionValue(store, blob)) return FALSE;
    return (DwordAt(blob, kFlagsOffset) & (kProxyInUse | kAutoConfigInUse)) != 0;
  }

  // "ProxyEnable" is a 4-byte binary value on some systems, an integer on
  // others; with the integer 0, an automatic configuration script still
  // counts as a proxy in use.
  DWORD dwWord = 0;
  DWORD cbWord = sizeof dwWord;
  if (store.GetBinary(kRoot, kProxyEnable, reinterpret_cast<BYTE*>(&dwWord), &cbWord)) return dwWord != 0;
  DWORD dwValue = 0;
  if (!store.GetInt(kRoot, kProxyEnable, &dwValue, FALSE)) return FALSE;
  if (dwValue != 0) return TRUE;
  CString strUrl;
  return store.GetString(kRoot, kAutoConfigUrl, strUrl, FALSE) && !strUrl.IsEmpty();
}

BOOL CProxySettings::ReadProxyServer(CString& strList) {
  CRegSettingsStore store(TRUE, GetSettingsKeyPath());
  if (!UsesConnectionSettings()) return store.GetString(kRoot, kProxyServer, strList, FALSE);

  Blob blob;
  if (!ReadConnectionValue(store, blob)) return FALSE;
  strList = CString(reinterpret_cast<LPCSTR>(blob.GetData() + kListOffset),
                    static_cast<int>(DwordAt(blob, kListLengthOffset)));
  return TRUE;
}

void CProxySettings::Load() {
  // Nothing of an earlier Load survives: an entry since removed from the
  // list must not stay in use.
  m_mapEntries.RemoveAll();
  m_bOneProxyForAll = FALSE;
  m_strProtocol = "http";
  m_strHost.Empty();
  m_strPort.Empty();

  m_bEnabled = ReadProxyEnabled();
  CString strList;
  if (ReadProxyServer(strList)) ParseProxyServerList(strList, m_mapEntries, m_strProtocol, m_bOneProxyForAll);
  CString strEntry;
  if (m_mapEntries.Lookup(m_strProtocol, strEntry)) SplitProxyHostPort(strEntry, m_strHost, m_strPort);
  if (m_strHost.IsEmpty()) m_bEnabled = FALSE;
}

BOOL CProxySettings::IsEnabled() const { return m_bEnabled; }

CString CProxySettings::GetHost() const { return m_strHost; }

CString CProxySettings::GetPort() const { return m_strPort; }

BOOL CProxySettings::SetProxyEnabled(BOOL bEnable) {
  CRegSettingsStore store(TRUE, GetSettingsKeyPath());
  if (UsesConnectionSettings()) {
    Blob blob;
    CString strProfile;
    if (!ReadConnectionValue(store, blob, &strProfile)) return FALSE;
    DWORD dwFlags = DwordAt(blob, kFlagsOffset);
    dwFlags = bEnable ? (dwFlags | kProxyInUse) : (dwFlags & ~kProxyInUse);
    memcpy(blob.GetData() + kFlagsOffset, &dwFlags, sizeof dwFlags);
    return WriteBlob(store, strProfile, blob);
  }

  // Written back in the form the value has: binary of the size it has, or
  // an integer.
  DWORD dwWord = 0;
  DWORD cbWord = sizeof dwWord;
  DWORD dwValue = bEnable ? 1 : 0;
  if (store.GetBinary(kRoot, kProxyEnable, reinterpret_cast<BYTE*>(&dwWord), &cbWord))
    return store.SetBinary(kRoot, kProxyEnable, reinterpret_cast<const BYTE*>(&dwValue), &cbWord);
  return store.SetInt(kRoot, kProxyEnable, dwValue, FALSE);
}

BOOL CProxySettings::Disable() { return SetProxyEnabled(FALSE); }

BOOL CProxySettings::SetProxyServer(LPCSTR lpszServer) {
  if (lpszServer == NULL) return FALSE;
  BOOL bEnabledWritten = SetProxyEnabled(TRUE);
  m_mapEntries[m_strProtocol] = lpszServer;
  CString strList = m_bOneProxyForAll ? CString(lpszServer) : JoinProxyServerList(m_mapEntries);
  BOOL bListWritten = WriteServerList(strList);
  m_bEnabled = TRUE;
  // The getters give the proxy now in use, not the one Load found.
  m_strHost.Empty();
  m_strPort.Empty();
  SplitProxyHostPort(lpszServer, m_strHost, m_strPort);
  if (bEnabledWritten && bListWritten) return TRUE;
  // Not all of it was written: the fields report what the settings hold.
  Load();
  return FALSE;
}

BOOL CProxySettings::WriteServerList(const CString& strList) {
  CRegSettingsStore store(TRUE, GetSettingsKeyPath());
  if (!UsesConnectionSettings()) return store.SetString(kRoot, kProxyServer, strList, FALSE);

  Blob blob;
  CString strProfile;
  if (!ReadConnectionValue(store, blob, &strProfile)) return FALSE;
  Blob rewritten;
  WithServerList(blob, strList, rewritten);
  return WriteBlob(store, strProfile, rewritten);
}
