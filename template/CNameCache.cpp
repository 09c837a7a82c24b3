#include "template/CNameCache.h"

#include <new>

#include "template/AsciiNoCase.h"
#include "template/CNamedValueList.h"

namespace {

// Lookups answered from the lists before the table is made.
const UINT kDirectLookups = 16;
const UINT kFirstCapacity = 64;
const UINT kMaxCapacity = 1u << 20;

}  // namespace

CNameCache::CNameCache()
    : m_pEntries(NULL), m_nCapacity(0), m_nUsed(0), m_nDirectLookups(0), m_bNoTable(false) {}

CNameCache::~CNameCache() { delete[] m_pEntries; }

const CNameValuePair* CNameCache::FindInLists(const CNamedValueList* pFirst,
                                              const CNamedValueList* pSecond, LPCSTR pName,
                                              int nLength) {
  const CNameValuePair* pPair = pFirst != NULL ? pFirst->FindPair(pName, nLength) : NULL;
  if (pPair == NULL && pSecond != NULL) pPair = pSecond->FindPair(pName, nLength);
  return pPair;
}

// FNV-1a of the name folded to lower case.
UINT CNameCache::Hash(LPCSTR pName, int nLength) {
  UINT nHash = 2166136261u;
  for (int i = 0; i < nLength; ++i) {
    nHash ^= static_cast<unsigned char>(FoldAsciiCase(pName[i]));
    nHash *= 16777619u;
  }
  return nHash;
}

// The slot that holds the name, or the free slot where it belongs.
CNameCache::CEntry* CNameCache::Slot(LPCSTR pName, int nLength, UINT nHash) const {
  const UINT nMask = m_nCapacity - 1;
  for (UINT i = nHash & nMask;; i = (i + 1) & nMask) {
    CEntry* pEntry = m_pEntries + i;
    if (pEntry->pName == NULL) return pEntry;
    if (pEntry->nHash == nHash && pEntry->nLength == nLength &&
        EqualNoCaseN(pEntry->pName, pName, nLength)) {
      return pEntry;
    }
  }
}

// Makes the table, or doubles it; false when that is not possible.
bool CNameCache::Grow() {
  const UINT nCapacity = m_nCapacity == 0 ? kFirstCapacity : m_nCapacity * 2;
  if (nCapacity > kMaxCapacity) return false;
  CEntry* pEntries = new (std::nothrow) CEntry[nCapacity];
  if (pEntries == NULL) return false;
  for (UINT i = 0; i < nCapacity; ++i) pEntries[i].pName = NULL;
  CEntry* pOld = m_pEntries;
  const UINT nOldCapacity = m_nCapacity;
  m_pEntries = pEntries;
  m_nCapacity = nCapacity;
  for (UINT i = 0; i < nOldCapacity; ++i)
    if (pOld[i].pName != NULL) *Slot(pOld[i].pName, pOld[i].nLength, pOld[i].nHash) = pOld[i];
  delete[] pOld;
  return true;
}

const CNameValuePair* CNameCache::Find(const CNamedValueList* pFirst, const CNamedValueList* pSecond,
                                       LPCSTR pName, int nLength) {
  if (m_bNoTable || m_nDirectLookups < kDirectLookups) {
    ++m_nDirectLookups;
    return FindInLists(pFirst, pSecond, pName, nLength);
  }
  if (m_nCapacity == 0 && !Grow()) {
    m_bNoTable = true;
    return FindInLists(pFirst, pSecond, pName, nLength);
  }
  const UINT nHash = Hash(pName, nLength);
  CEntry* pEntry = Slot(pName, nLength, nHash);
  if (pEntry->pName != NULL) return pEntry->pPair;
  const CNameValuePair* pPair = FindInLists(pFirst, pSecond, pName, nLength);
  // Kept at most half full, so that a probe ends soon.
  if ((m_nUsed + 1) * 2 > m_nCapacity) {
    if (!Grow()) return pPair;  // the table stays as it is; this name is not kept
    pEntry = Slot(pName, nLength, nHash);
  }
  *pEntry = CEntry{pName, nLength, nHash, pPair};
  ++m_nUsed;
  return pPair;
}
