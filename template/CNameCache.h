// The names an expansion has looked up in its two value lists, with what was
// found: a template that names the same variables and conditions again and
// again finds each by one hash probe instead of a walk through the lists.
// Names are kept as they are spelled (two spellings of one name are two
// entries that find the same pair); the lists compare without regard to
// case. A name of up to 16 bytes is kept as a zero-padded key, compared at
// once; a longer one by pointer. The first few lookups walk the lists
// directly, so that a short template does not pay for a table. Names must
// stay in place, and the lists unchanged, while the cache is used (one
// expansion).
#pragma once

#include <afx.h>
#include <string.h>

#include "html/ByteSearch.h"

class CNamedValueList;
class CNameValuePair;

class CNameCache {
 public:
  CNameCache();
  ~CNameCache();

  // The pair named by the nLength bytes at pName (no zero byte among them)
  // without regard to ASCII case: pFirst's when it has one, else pSecond's,
  // else NULL; either list may be NULL. For a pair, *pnValueLength is the
  // length of its value text. pReadable: bytes from pName up to here may be
  // read (at least the name's).
  const CNameValuePair* Find(const CNamedValueList* pFirst, const CNamedValueList* pSecond,
                             LPCSTR pName, int nLength, LPCSTR pReadable, UINT* pnValueLength) {
    if (m_nCapacity == 0 && m_nDirectLookups < kDirectLookups) {
      ++m_nDirectLookups;
      return FindInLists(pFirst, pSecond, pName, nLength, pnValueLength);
    }
    CKey key;
    MakeKey(pName, nLength, pReadable, &key);
    if (m_nCapacity != 0) {
      const CEntry* pEntry = Slot(key);
      if (pEntry->key.pName != NULL) {
        *pnValueLength = pEntry->nValueLength;
        return pEntry->pPair;
      }
    }
    return FindAndKeep(pFirst, pSecond, key, pnValueLength);
  }

 private:
  static const int kShortName = 16;
  // Lookups answered from the lists before the table is made.
  static const UINT kDirectLookups = 16;

  struct CKey {
    unsigned char bytes[kShortName];  // a short name, zero-padded
    LPCSTR pName;
    int nLength;
    UINT nHash;
  };
  struct CEntry {
    CKey key;  // key.pName NULL: a free slot
    UINT nValueLength;
    const CNameValuePair* pPair;
  };

  // Sixteen bytes from pName, those past the first nLength cleared.
  static const unsigned char* ShortNameMask(int nLength) {
    static const unsigned char kMask[2 * kShortName] = {
        0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    return kMask + kShortName - nLength;
  }
  static void CopyShortName(unsigned char* pBytes, LPCSTR pName, int nLength) {
#if defined(LDX_HAVE_SSE2_FORM)
    if (byte_search::ActiveForm() == byte_search::kSse2) return CopyShortNameSse2(pBytes, pName, nLength);
#endif
    const unsigned char* pMask = ShortNameMask(nLength);
    for (size_t i = 0; i < kShortName; i += sizeof(byte_search::Word)) {
      byte_search::Word word = byte_search::LoadWord(pName + i) & byte_search::LoadWord(reinterpret_cast<const char*>(pMask) + i);
      memcpy(pBytes + i, &word, sizeof word);
    }
  }
#if defined(LDX_HAVE_SSE2_FORM)
  __attribute__((target("sse2"))) static void CopyShortNameSse2(unsigned char* pBytes, LPCSTR pName, int nLength) {
    const __m128i mask = byte_search::Load16(reinterpret_cast<const char*>(ShortNameMask(nLength)));
    byte_search::Store16(reinterpret_cast<char*>(pBytes), _mm_and_si128(byte_search::Load16(pName), mask));
  }
#endif

  static void MakeKey(LPCSTR pName, int nLength, LPCSTR pReadable, CKey* pKey) {
    pKey->pName = pName;
    pKey->nLength = nLength;
    if (nLength > kShortName) {
      UINT nHash = 2166136261u;  // FNV-1a
      for (int i = 0; i < nLength; ++i) nHash = (nHash ^ static_cast<unsigned char>(pName[i])) * 16777619u;
      pKey->nHash = nHash;
      return;
    }
    if (pReadable - pName >= kShortName) {
      // Sixteen bytes read at once, those after the name cleared.
      CopyShortName(pKey->bytes, pName, nLength);
    } else {
      memset(pKey->bytes, 0, sizeof pKey->bytes);
      for (int i = 0; i < nLength; ++i) pKey->bytes[i] = static_cast<unsigned char>(pName[i]);
    }
    UINT nWords[4];
    memcpy(nWords, pKey->bytes, sizeof nWords);
    UINT nHash = (nWords[0] * 0x9E3779B1u) ^ (nWords[1] * 0x85EBCA77u) ^ (nWords[2] * 0xC2B2AE3Du) ^
                 (nWords[3] * 0x27D4EB2Fu) ^ static_cast<UINT>(nLength);
    pKey->nHash = nHash ^ (nHash >> 15);
  }

  static bool SameName(const CKey& a, const CKey& b) {
    if (a.nHash != b.nHash || a.nLength != b.nLength) return false;
    if (a.nLength <= kShortName) return memcmp(a.bytes, b.bytes, kShortName) == 0;
    for (int i = 0; i < a.nLength; ++i)
      if (a.pName[i] != b.pName[i]) return false;
    return true;
  }

  // The slot that holds the name, or the free slot where it belongs.
  CEntry* Slot(const CKey& key) const {
    const UINT nMask = m_nCapacity - 1;
    for (UINT i = key.nHash & nMask;; i = (i + 1) & nMask) {
      CEntry* pEntry = m_pEntries + i;
      if (pEntry->key.pName == NULL || SameName(pEntry->key, key)) return pEntry;
    }
  }

  static const CNameValuePair* FindInLists(const CNamedValueList* pFirst, const CNamedValueList* pSecond,
                                           LPCSTR pName, int nLength, UINT* pnValueLength);
  const CNameValuePair* FindAndKeep(const CNamedValueList* pFirst, const CNamedValueList* pSecond,
                                    const CKey& key, UINT* pnValueLength);
  bool Grow();

  CEntry* m_pEntries;
  UINT m_nCapacity;  // a power of two, or 0 while there is no table
  UINT m_nUsed;
  UINT m_nDirectLookups;

  CNameCache(const CNameCache&) = delete;
  void operator=(const CNameCache&) = delete;
};
