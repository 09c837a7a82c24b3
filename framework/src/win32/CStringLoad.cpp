// CString::LoadString through the resource chain. <windows.h> renames the
// member to LoadStringA wherever it is included first (as afxwin.h does);
// CStringLoadPlain.cpp supplies the plain name for code without it.
#include <windows.h>

#include "AfxStringLoad.h"
#include "afxwin.h"

BOOL AfxLoadStringInto(CString& rString, UINT nID) {
  // Most strings fit the stack buffer; longer ones are read again into a
  // buffer that grows until the string no longer fills it.
  char szTemp[256];
  int nLen = AfxLoadString(nID, szTemp, sizeof(szTemp));
  if (static_cast<int>(sizeof(szTemp)) - nLen > 1) {
    rString = szTemp;
    return nLen > 0;
  }
  int nSize = 256;
  do {
    nSize += 256;
    nLen = AfxLoadString(nID, rString.GetBuffer(nSize - 1), static_cast<UINT>(nSize));
  } while (nSize - nLen <= 1);
  rString.ReleaseBuffer(nLen);
  return nLen > 0;
}

BOOL CString::LoadString(UINT nID) { return AfxLoadStringInto(*this, nID); }
