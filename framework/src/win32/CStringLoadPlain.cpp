// CString::LoadString under its own name, for code that includes the string
// class without <windows.h> (see CStringLoad.cpp).
#include "AfxStringLoad.h"
#include "CString.h"

BOOL CString::LoadString(UINT nID) { return AfxLoadStringInto(*this, nID); }
