#include "browser/BrowserProfiles.h"

#include <windows.h>

#include "browser/BrowserRegistry.h"
#include "config/CIniSettingsStore.h"
#include "config/TextRules.h"

namespace {

const char kBiffKey[] = "SOFTWARE\\Netscape\\Netscape Navigator\\biff";
const char kBiffUsersKey[] = "SOFTWARE\\Netscape\\Netscape Navigator\\biff\\Users";
const char kUsersKey[] = "SOFTWARE\\Netscape\\Netscape Navigator\\Users";
const char kBookmarkListKey[] = "SOFTWARE\\Netscape\\Netscape Navigator\\Bookmark List";
const char kShellFoldersKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

CString ParentOf(const CString& strPath) {
  int nSlash = strPath.ReverseFind('\\');
  return nSlash < 0 ? CString() : strPath.Left(nSlash);
}

// The profile the user chose in the product's settings; empty when none.
CString ChosenProfile() {
  CString strUser;
  CIniSettingsStore settings("ldglobal.ini", TRUE, 0);
  if (!settings.GetString("Browser Options", "NetscapeUser", strUser, FALSE)) strUser.Empty();
  return strUser;
}

void GetBiffCurrentUser(CString& strUser) {
  if (ReadRegString(HKEY_CURRENT_USER, kBiffKey, "CurrentUser", strUser) != ERROR_SUCCESS) strUser.Empty();
}

// The profile for the searches beside the program: chosen, else Netscape's
// current one. FALSE when Netscape is not installed or no profile is known.
BOOL FindProgramAndProfile(CString& strProgram, CString& strProfile) {
  if (!FindRegisteredProgram(kAppPathNetscape, strProgram)) return FALSE;
  strProfile = ChosenProfile();
  if (strProfile.IsEmpty()) GetBiffCurrentUser(strProfile);
  return !strProfile.IsEmpty();
}

// The installation root of root\Communicator\Program\netscape.exe.
CString InstallationRoot(const CString& strProgram) {
  CString strRoot(strProgram);
  for (int i = 0; i < 3; ++i) strRoot = ParentOf(strRoot);
  return strRoot;
}

// The profile's bookmark file in the "Users" folder found by climbing from
// the program's directory.
void FindBookmarkBesideProgram(CString& strPath) {
  strPath.Empty();
  CString strProgram, strProfile;
  if (!FindProgramAndProfile(strProgram, strProfile)) return;
  CString strDir = ParentOf(strProgram);
  while (!strDir.IsEmpty()) {
    if (PathExists(strDir + "\\Users")) break;
    if (strDir.Find('\\') < 0) return;
    strDir = ParentOf(strDir);
  }
  CString strCandidate = strDir + "\\Users\\" + strProfile + "\\bookmark.htm";
  if (PathExists(strCandidate)) strPath = strCandidate;
}

void FindPrefsBesideProgram(CString& strPath) {
  strPath.Empty();
  CString strProgram, strProfile;
  if (!FindProgramAndProfile(strProgram, strProfile)) return;
  CString strCandidate = InstallationRoot(strProgram) + "\\Users\\" + strProfile + "\\prefs.js";
  if (PathExists(strCandidate)) strPath = strCandidate;
}

// lpszFileName in the profile directory that the registry records for the
// chosen (else current) profile. The file need not exist. FALSE when
// Netscape is not installed or no profile is known; TRUE with an empty path
// when the profile has no directory recorded.
BOOL FindInRegisteredProfile(LPCSTR lpszFileName, CString& strPath) {
  strPath.Empty();
  CString strProgram;
  if (!FindRegisteredProgram(kAppPathNetscape, strProgram)) return FALSE;
  CString strProfile = ChosenProfile();
  if (strProfile.IsEmpty() && ReadRegString(HKEY_LOCAL_MACHINE, kUsersKey, "CurrentUser", strProfile) != ERROR_SUCCESS)
    return FALSE;
  if (strProfile.IsEmpty()) return FALSE;
  CString strDirRoot;
  CString strProfileKey = CString(kUsersKey) + "\\" + strProfile;
  // An empty "DirRoot" names no directory (it would mean the root of the
  // current drive).
  if (ReadRegString(HKEY_LOCAL_MACHINE, strProfileKey, "DirRoot", strDirRoot) != ERROR_SUCCESS ||
      strDirRoot.IsEmpty())
    return TRUE;
  strPath = WithTrailingBackslash(strDirRoot) + lpszFileName;
  return TRUE;
}

// The profile directories in root\Users, when Netscape records profiles at
// all. 1 when at least one was appended.
int ListNetscapeUserDirs(CStringArray& users) {
  CStringArray recorded;
  if (EnumRegSubkeys(HKEY_CURRENT_USER, kBiffUsersKey, recorded) != ERROR_SUCCESS || recorded.GetSize() == 0)
    return 0;
  CString strProgram;
  if (!FindRegisteredProgram(kAppPathNetscape, strProgram)) return 0;
  CString strPattern = InstallationRoot(strProgram) + "\\Users\\*";
  WIN32_FIND_DATAA found;
  HANDLE hFind = FindFirstFileA(strPattern, &found);
  if (hFind == INVALID_HANDLE_VALUE) return 0;
  int nAppended = 0;
  do {
    bool bDots = strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0;
    if (!bDots && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      users.Add(found.cFileName);
      ++nAppended;
    }
  } while (FindNextFileA(hFind, &found));
  FindClose(hFind);
  return nAppended > 0 ? 1 : 0;
}

}  // namespace

void GetNetscapeBookmarkFile(CString& strPath) {
  FindBookmarkBesideProgram(strPath);
  if (!strPath.IsEmpty()) return;
  // The older layout records the bookmark file itself; it stands in only
  // for a known profile without a recorded directory.
  if (!FindInRegisteredProfile("bookmark.htm", strPath) || !strPath.IsEmpty()) return;
  if (ReadRegString(HKEY_CURRENT_USER, kBookmarkListKey, "DirRoot", strPath) != ERROR_SUCCESS) strPath.Empty();
}

void GetNetscapePrefsFile(CString& strPath) {
  FindPrefsBesideProgram(strPath);
  if (strPath.IsEmpty()) FindInRegisteredProfile("prefs.js", strPath);
}

int GetNetscapeUsers(CStringArray& users) {
  if (ListNetscapeUserDirs(users)) return 1;
  return EnumRegSubkeys(HKEY_LOCAL_MACHINE, kUsersKey, users) == ERROR_SUCCESS ? 1 : 0;
}

int GetSoleNetscapeUser(CString& strUser) {
  CStringArray users;
  if (!GetNetscapeUsers(users)) return 1;
  if (users.GetSize() >= 2) return 0;
  if (users.GetSize() == 1) strUser = users[0];
  return 1;
}

void GetIExploreFavoritesDir(CString& strDir) {
  strDir.Empty();
  CString strProgram;
  if (!FindRegisteredProgram(kAppPathIExplore, strProgram)) return;
  CString strFavorites;
  // An empty value names no folder (it would mean the root of the current
  // drive).
  if (ReadRegString(HKEY_CURRENT_USER, kShellFoldersKey, "Favorites", strFavorites) != ERROR_SUCCESS ||
      strFavorites.IsEmpty())
    return;
  strDir = WithTrailingBackslash(strFavorites);
}
