// Small registry and path routines shared by browser discovery and the
// profile searches. The registry routines return the system's error code of
// the first step that failed, 0 (ERROR_SUCCESS) on success, and assign their
// output only on success.
#pragma once

#include <windows.h>

#include <afx.h>

// A REG_SZ value of at most 260 bytes. Any other type (REG_EXPAND_SZ too)
// gives ERROR_INVALID_DATA; a longer value gives ERROR_MORE_DATA.
LONG ReadRegString(HKEY hRoot, LPCSTR lpszKey, LPCSTR lpszName, CString& strValue);
// The same for the key's unnamed value.
LONG ReadRegDefault(HKEY hRoot, LPCSTR lpszKey, CString& strValue);
// Appends the names of the key's subkeys in index order; stops at the first
// step that fails. The array is not cleared.
LONG EnumRegSubkeys(HKEY hRoot, LPCSTR lpszKey, CStringArray& names);

// App Paths keys of HKEY_LOCAL_MACHINE where the browsers' programs are
// registered (the key's unnamed value is the program's path).
extern const char kAppPathNetscape[];
extern const char kAppPathIExplore[];
extern const char kAppPathMosaic[];

// The program registered under an App Paths key, when the value can be read
// and names an existing file; strPath is assigned only then.
BOOL FindRegisteredProgram(LPCSTR lpszAppPathKey, CString& strPath);

// Puts a path with a blank in double quotes, unless it is quoted already.
void QuoteIfContainsBlank(CString& strPath);

// True when the framework's file status query finds the path (a directory
// counts too).
BOOL PathExists(LPCSTR lpszPath);
