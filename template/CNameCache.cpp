#include "template/CNameCache.h"

#include <string.h>

#include <new>

#include "template/CNamedValueList.h"

namespace {

// Lookups answered from the lists before the table is made.
const UINT kDirectLookups = 16;
const UINT kFirstCapacity = 64;
const UINT kMaxCapacity = 1u << 20;

}  // namespace

CNameCache::CNameCache() : m_pEntries(NULL), m_nCapacity(0), m_nUsed(0), m_nDirectLookups(0) {}

CNameCache::~CNameCache() { delete[] m_pEntries; }

// Makes the table, or doubles it; false when that is not possible.
bool CNameCache::Grow() {
  const UINT nCapacity = m_nCapacity == 0 ? kFirstCapacity : m_nCapacity * 2;
  if (nCapacity > kMaxCapacity) return false;
  CEntry* pEntries = new (std::nothrow) CEntry[nCapacity];
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

// A name the table does not hold (or there is no table yet): the lists
// answer, and the table keeps the answer when it has or gets room.
const CNameValuePair* CNameCache::FindAndKeep(const CNamedValueList* pFirst,
                                              const CNamedValueList* pSecond, const CKey& key,
                                              UINT* pnValueLength) {
  const CNameValuePair* pPair = pFirst != NULL ? pFirst->FindPair(key.pName, key.nLength) : NULL;
  if (pPair == NULL && pSecond != NULL) pPair = pSecond->FindPair(key.pName, key.nLength);
  const UINT nValueLength = pPair != NULL ? static_cast<UINT>(strlen(pPair->m_strValue)) : 0;
  *pnValueLength = nValueLength;

  if (m_nCapacity == 0 && ++m_nDirectLookups <= kDirectLookups) return pPair;
  // Kept at most half full, so that a probe ends soon. When the table cannot
  // be made or grow, it stays as it is and this name is not kept.
  if ((m_nUsed + 1) * 2 > m_nCapacity && !Grow()) return pPair;
  *Slot(key) = CEntry{key, nValueLength, pPair};
  ++m_nUsed;
  return pPair;
}
