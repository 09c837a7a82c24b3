// Code that knows the string class without <windows.h> still loads strings
// through the resource chain.
#include <afx.h>

BOOL LoadWithoutWindowsHeader(CString& rString, UINT nID) { return rString.LoadString(nID); }
