// The product's directories, as recorded in the machine-wide product key
// "Software\Corvane\Lodestar\CurrentVersion" of HKEY_LOCAL_MACHINE, and two
// platform queries. Every directory returned ends with a backslash.
//
// GetProductDir, GetProgramDir and GetUserDataDir cache their answer for the
// life of the process once a lookup succeeds; a failed lookup leaves the
// output alone and is tried again on the next call. The caches have no lock:
// make the first call of each from one thread.
#pragma once

#include <afx.h>

BOOL GetProductDir(CString& strDir);   // "ProductDir"
BOOL GetProgramDir(CString& strDir);   // "ProgramDir"
BOOL GetUserDataDir(CString& strDir);  // data directory of user 0

// Data directory of a user: "DefaultUserDataDir" followed by "User1\" for
// user 0, the only user. Not cached.
BOOL GetDataDirOfUser(int nUser, CString& strDir);

enum {
  kOsPlatformUnknown = 0,
  kOsPlatformWindows9x = 1,  // Windows 95, 98, Me
  kOsPlatformWindowsNT = 2,
};
int GetOsPlatform();

// The current user's profile directory where the system keeps user
// profiles, else the Windows directory. Empty when profiles are on but the
// user's profile directory is not recorded.
void GetWindowsProfileDir(CString& strDir);
