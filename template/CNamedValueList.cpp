#include "template/CNamedValueList.h"

#include <stdio.h>
#include <string.h>

#include "template/AsciiNoCase.h"

namespace {

bool IsNullOrEmpty(LPCSTR psz) { return psz == NULL || *psz == '\0'; }

}  // namespace

CNamedValueList::CNamedValueList() : CPtrList(10) {}

CNamedValueList::~CNamedValueList() { RemoveAll(); }

CNameValuePair* CNamedValueList::FindPair(LPCSTR pszName) const {
  return FindPair(pszName, static_cast<int>(strlen(pszName)));
}

// The nodes are walked here rather than through GetNext: on Windows every
// GetNext is a call into the framework's library. A stored name holds no
// more text than its length, and only one whose text ends after nLength
// bytes can match: others are passed over before any byte is compared.
CNameValuePair* CNamedValueList::FindPair(LPCSTR pName, int nLength) const {
  if (nLength <= 0) return NULL;
  for (const CNode* pNode = m_pNodeHead; pNode != NULL; pNode = pNode->pNext) {
    CNameValuePair* pPair = static_cast<CNameValuePair*>(pNode->data);
    const CString& strStored = pPair->m_strName;
    if (strStored.GetLength() < nLength) continue;
    const LPCSTR pszStored = strStored;
    if (pszStored[nLength] == '\0' && EqualNoCaseN(pszStored, pName, nLength)) return pPair;
  }
  return NULL;
}

BOOL CNamedValueList::SetValue(LPCSTR pszName, LPCSTR pszValue) {
  if (IsNullOrEmpty(pszName)) return FALSE;
  if (pszValue == NULL) pszValue = "";
  CNameValuePair* pPair = FindPair(pszName);
  if (pPair != NULL) {
    pPair->m_strValue = pszValue;
    return TRUE;
  }
  pPair = new (afxNothrow) CNameValuePair;
  if (pPair == NULL) return FALSE;
  pPair->m_strName = pszName;
  pPair->m_strValue = pszValue;
  AddTail(pPair);
  return TRUE;
}

BOOL CNamedValueList::SetNumber(LPCSTR pszName, int nNumber) {
  char szNumber[16];
  snprintf(szNumber, sizeof szNumber, "%d", nNumber);
  return SetValue(pszName, szNumber);
}

BOOL CNamedValueList::Lookup(LPCSTR pszName, CString& strValue) const {
  if (IsNullOrEmpty(pszName)) return FALSE;
  strValue.Empty();
  const CNameValuePair* pPair = FindPair(pszName);
  if (pPair == NULL) return FALSE;
  strValue = pPair->m_strValue;
  return TRUE;
}

BOOL CNamedValueList::Contains(LPCSTR pszName) const {
  return !IsNullOrEmpty(pszName) && FindPair(pszName) != NULL;
}

void CNamedValueList::RemoveAll() {
  POSITION pos = GetHeadPosition();
  while (pos != NULL) delete static_cast<CNameValuePair*>(CPtrList::GetNext(pos));
  CPtrList::RemoveAll();
}

CNameValuePair* CNamedValueList::GetFirst() const {
  return IsEmpty() ? NULL : static_cast<CNameValuePair*>(GetHead());
}

CNameValuePair* CNamedValueList::GetNext(CNameValuePair* pPair) const {
  POSITION pos = Find(pPair);
  if (pos == NULL) return NULL;
  CPtrList::GetNext(pos);
  return pos == NULL ? NULL : static_cast<CNameValuePair*>(GetAt(pos));
}
