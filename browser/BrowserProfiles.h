// Where the user's browsers keep their data: the Netscape bookmark and
// preferences files and profiles, and the Internet Explorer favorites
// folder. Nothing is cached; an empty result means nothing was found.
//
// The profile to use is the value "NetscapeUser" of section
// "Browser Options" in the user's "ldglobal.ini" when set, else the profile
// Netscape records as current.
#pragma once

#include <afx.h>

void GetNetscapeBookmarkFile(CString& strPath);
void GetNetscapePrefsFile(CString& strPath);  // "prefs.js"
// Appends the profile names; 1 when they could be listed (also when the
// registry lists none), else 0.
int GetNetscapeUsers(CStringArray& users);
// 0 when there are two or more profiles; else 1, with the name of the only
// profile when there is exactly one (strUser is left alone otherwise).
int GetSoleNetscapeUser(CString& strUser);
// Ends in a backslash.
void GetIExploreFavoritesDir(CString& strDir);
