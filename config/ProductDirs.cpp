#include "config/ProductDirs.h"

#include <windows.h>

#include "config/CRegSettingsStore.h"
#include "config/CRegistryKey.h"
#include "config/CUserDirs.h"
#include "config/TextRules.h"

namespace {

CString g_strProductDirCache;
CString g_strProgramDirCache;
CString g_strUserDataDirCache;

typedef BOOL (*DirLookup)(CString& strDir);

// Fills an empty cache through the lookup. An empty directory counts as not
// recorded (it would turn into the root of the current drive).
BOOL CachedDir(CString& strCache, DirLookup lookup, CString& strDir) {
  if (strCache.IsEmpty()) {
    CString strFound;
    if (!lookup(strFound) || strFound.IsEmpty()) return FALSE;
    strCache = WithTrailingBackslash(strFound);
  }
  strDir = strCache;
  return TRUE;
}

BOOL ReadProductValue(LPCSTR lpszName, CString& strValue) {
  CRegSettingsStore machineStore(FALSE);
  return machineStore.GetString("\\", lpszName, strValue, FALSE);
}

BOOL LookUpProductDir(CString& strDir) { return ReadProductValue("ProductDir", strDir); }
BOOL LookUpProgramDir(CString& strDir) { return ReadProductValue("ProgramDir", strDir); }
BOOL LookUpUserDataDir(CString& strDir) { return GetDataDirOfUser(0, strDir); }

// A zero-terminated text value of at most MAX_PATH bytes; FALSE when it
// cannot be read.
BOOL ReadPathValue(CRegistryKey& key, LPCSTR lpszName, CString& strValue) {
  char buffer[MAX_PATH + 1] = {0};
  DWORD cbData = MAX_PATH;
  DWORD dwType = REG_NONE;
  if (key.QueryValue(lpszName, &dwType, reinterpret_cast<BYTE*>(buffer), &cbData) != ERROR_SUCCESS) return FALSE;
  buffer[cbData < MAX_PATH ? cbData : MAX_PATH] = '\0';
  strValue = buffer;
  return TRUE;
}

}  // namespace

BOOL GetProductDir(CString& strDir) { return CachedDir(g_strProductDirCache, LookUpProductDir, strDir); }

BOOL GetProgramDir(CString& strDir) { return CachedDir(g_strProgramDirCache, LookUpProgramDir, strDir); }

BOOL GetUserDataDir(CString& strDir) { return CachedDir(g_strUserDataDirCache, LookUpUserDataDir, strDir); }

BOOL GetDataDirOfUser(int nUser, CString& strDir) {
  CUserDirs userDirs;
  return userDirs.GetDataDirOfUser(nUser, strDir);
}

int GetOsPlatform() {
  OSVERSIONINFOA info;
  ZeroMemory(&info, sizeof info);
  info.dwOSVersionInfoSize = sizeof info;  // 148 bytes
  if (!GetVersionExA(&info)) return kOsPlatformUnknown;
  switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS: return kOsPlatformWindows9x;
    case VER_PLATFORM_WIN32_NT: return kOsPlatformWindowsNT;
    default: return kOsPlatformUnknown;
  }
}

void GetWindowsProfileDir(CString& strDir) {
  strDir.Empty();
  CRegistryKey key(HKEY_LOCAL_MACHINE);
  DWORD dwUserProfiles = 0;
  DWORD cbData = sizeof dwUserProfiles;
  bool bProfilesOn = key.ChangeKey("Network\\Logon") &&
                     key.QueryValue("UserProfiles", NULL, reinterpret_cast<BYTE*>(&dwUserProfiles), &cbData) ==
                         ERROR_SUCCESS &&
                     dwUserProfiles != 0;
  if (!bProfilesOn) {
    char buffer[MAX_PATH] = {0};
    UINT nLength = GetWindowsDirectoryA(buffer, MAX_PATH);
    if (nLength > 0 && nLength < MAX_PATH) strDir = buffer;
    return;
  }
  key.Close();
  key.SetRoot(HKEY_CURRENT_USER);
  if (!key.ChangeKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\ProfileReconciliation")) return;
  ReadPathValue(key, "ProfileDirectory", strDir);
}
