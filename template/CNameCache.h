// The names an expansion has looked up in its two value lists, with what was
// found: a template that names the same variables and conditions again and
// again finds each by one hash probe instead of a walk through the lists.
// Names are kept as they are spelled (two spellings of one name are two
// entries that find the same pair); the lists compare without regard to
// case. The first few lookups walk the lists directly, so that a short
// template does not pay for a table. Names are kept by pointer: they must
// stay in place, and the lists unchanged, while the cache is used (one
// expansion).
#pragma once

#include <afx.h>

class CNamedValueList;
class CNameValuePair;

class CNameCache {
 public:
  // A name's hash, built a byte at a time: kHashSeed, then HashStep for
  // each byte (FNV-1a).
  static const UINT kHashSeed = 2166136261u;
  static UINT HashStep(UINT nHash, char ch) {
    return (nHash ^ static_cast<unsigned char>(ch)) * 16777619u;
  }
  static UINT Hash(LPCSTR pName, int nLength);

  CNameCache();
  ~CNameCache();

  // The pair named by the nLength bytes at pName (no zero byte among them;
  // nHash their hash) without regard to ASCII case: pFirst's when it has
  // one, else pSecond's, else NULL; either list may be NULL. For a pair,
  // *pnValueLength is the length of its value text.
  const CNameValuePair* Find(const CNamedValueList* pFirst, const CNamedValueList* pSecond,
                             LPCSTR pName, int nLength, UINT nHash, UINT* pnValueLength) {
    if (m_nCapacity != 0) {
      const CEntry* pEntry = Slot(pName, nLength, nHash);
      if (pEntry->pName != NULL) {
        *pnValueLength = pEntry->nValueLength;
        return pEntry->pPair;
      }
    }
    return FindAndKeep(pFirst, pSecond, pName, nLength, nHash, pnValueLength);
  }

 private:
  struct CEntry {
    LPCSTR pName;  // NULL: a free slot
    int nLength;
    UINT nHash;
    UINT nValueLength;
    const CNameValuePair* pPair;
  };

  // The slot that holds the name, or the free slot where it belongs.
  CEntry* Slot(LPCSTR pName, int nLength, UINT nHash) const {
    const UINT nMask = m_nCapacity - 1;
    for (UINT i = nHash & nMask;; i = (i + 1) & nMask) {
      CEntry* pEntry = m_pEntries + i;
      if (pEntry->pName == NULL) return pEntry;
      if (pEntry->nHash == nHash && pEntry->nLength == nLength && SameBytes(pEntry->pName, pName, nLength))
        return pEntry;
    }
  }
  static bool SameBytes(LPCSTR a, LPCSTR b, int nLength) {
    for (int i = 0; i < nLength; ++i)
      if (a[i] != b[i]) return false;
    return true;
  }

  const CNameValuePair* FindAndKeep(const CNamedValueList* pFirst, const CNamedValueList* pSecond,
                                    LPCSTR pName, int nLength, UINT nHash, UINT* pnValueLength);
  bool Grow();

  CEntry* m_pEntries;
  UINT m_nCapacity;  // a power of two, or 0 while there is no table
  UINT m_nUsed;
  UINT m_nDirectLookups;

  CNameCache(const CNameCache&) = delete;
  void operator=(const CNameCache&) = delete;
};
