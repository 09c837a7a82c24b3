// The names an expansion has looked up in its two value lists, with what was
// found: a template that names the same variables and conditions again and
// again finds each by one hash probe instead of a walk through the lists.
// The first few lookups walk the lists directly (a short template does not
// pay for a table). Names are kept by pointer: they must stay in place, and
// the lists unchanged, while the cache is used (one expansion).
#pragma once

#include <afx.h>

class CNamedValueList;
class CNameValuePair;

class CNameCache {
 public:
  CNameCache();
  ~CNameCache();

  // The pair named by the nLength bytes at pName (no zero byte among them)
  // without regard to ASCII case: pFirst's when it has one, else pSecond's,
  // else NULL. Either list may be NULL.
  const CNameValuePair* Find(const CNamedValueList* pFirst, const CNamedValueList* pSecond,
                             LPCSTR pName, int nLength);

 private:
  struct CEntry {
    LPCSTR pName;  // NULL: a free slot
    int nLength;
    UINT nHash;
    const CNameValuePair* pPair;
  };

  static const CNameValuePair* FindInLists(const CNamedValueList* pFirst,
                                           const CNamedValueList* pSecond, LPCSTR pName,
                                           int nLength);
  static UINT Hash(LPCSTR pName, int nLength);
  CEntry* Slot(LPCSTR pName, int nLength, UINT nHash) const;
  bool Grow();

  CEntry* m_pEntries;
  UINT m_nCapacity;  // a power of two, or 0 before the table is made
  UINT m_nUsed;
  UINT m_nDirectLookups;
  bool m_bNoTable;  // the table could not be allocated or grow: walk the lists

  CNameCache(const CNameCache&) = delete;
  void operator=(const CNameCache&) = delete;
};
