#include "template/CNameCache.h"

#include <string.h>

#include "template/CNamedValueList.h"

namespace {

const UINT kFirstCapacity = 64;
const UINT kMaxCapacity = 1u << 20;

}  // namespace

CNameCache::CNameCache() : m_pEntries(NULL), m_nCapacity(0), m_nUsed(0), m_nDirectLookups(0) {}

CNameCache::~CNameCache() { delete[] m_pEntries; }

// Makes the table, or doubles it; false when that is not possible.
bool CNameCache::Grow() {
  const UINT nCapacity = m_nCapacity == 0 ? kFirstCapacity : m_nCapacity * 2;
  if (nCapacity > kMaxCapacity) return false;
  CEntry* pEntries = new (afxNothrow) CEntry[nCapacity];
  if (pEntries == NULL) return false;
  for (UINT i = 0; i < nCapacity; ++i) pEntries[i].key.pName = NULL;
  CEntry* pOld = m_pEntries;
  const UINT nOldCapacity = m_nCapacity;
  m_pEntries = pEntries;
  m_nCapacity = nCapacity;
  for (UINT i = 0; i < nOldCapacity; ++i)
    if (pOld[i].key.pName != NULL) *Slot(pOld[i].key) = pOld[i];
  delete[] pOld;
  return true;
}

const CNameValuePair* CNameCache::FindInLists(const CNamedValueList* pFirst,
                                              const CNamedValueList* pSecond, LPCSTR pName,
                                              int nLength, UINT* pnValueLength) {
  const CNameValuePair* pPair = pFirst != NULL ? pFirst->FindPair(pName, nLength) : NULL;
  if (pPair == NULL && pSecond != NULL) pPair = pSecond->FindPair(pName, nLength);
  *pnValueLength = pPair != NULL ? static_cast<UINT>(strlen(pPair->m_strValue)) : 0;
  return pPair;
}

// A name the table does not hold: the lists answer, and the table keeps the
// answer (made or grown first when needed). When the table cannot be made
// or grow, it stays as it is and this name is not kept.
const CNameValuePair* CNameCache::FindAndKeep(const CNamedValueList* pFirst,
                                              const CNamedValueList* pSecond, const CKey& key,
                                              UINT* pnValueLength) {
  const CNameValuePair* pPair = FindInLists(pFirst, pSecond, key.pName, key.nLength, pnValueLength);
  // Kept at most half full, so that a probe ends soon.
  if ((m_nUsed + 1) * 2 > m_nCapacity && !Grow()) return pPair;
  *Slot(key) = CEntry{key, *pnValueLength, pPair};
  ++m_nUsed;
  return pPair;
}
