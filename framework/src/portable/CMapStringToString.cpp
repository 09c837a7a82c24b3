// Chained hash table. Written lists and files depend on the iteration order,
// so hashing, bucket choice and insertion at the bucket head must stay as
// they are.
#include "CMapStringToString.h"

#include <new>
#include <string.h>

#include "AfxPrivate.h"
#include "CPlex.h"

IMPLEMENT_DYNAMIC(CMapStringToString, CObject)

namespace {

LPCSTR OrEmpty(LPCSTR lpsz) { return lpsz != NULL ? lpsz : ""; }

}  // namespace

CMapStringToString::CMapStringToString(int nBlockSize)
    : m_pHashTable(NULL),
      m_nHashTableSize(17),
      m_nCount(0),
      m_pFreeList(NULL),
      m_pBlocks(NULL),
      m_nBlockSize(nBlockSize > 0 ? nBlockSize : 10) {}

CMapStringToString::~CMapStringToString() { RemoveAll(); }

// h = h * 33 + c over the key's characters taken as signed bytes (bytes
// from 0x80 up add a negative value, wrapping modulo 2^32).
UINT CMapStringToString::HashKey(LPCSTR key) const {
  UINT nHash = 0;
  for (LPCSTR p = OrEmpty(key); *p != '\0'; ++p)
    nHash = (nHash << 5) + nHash + static_cast<UINT>(static_cast<int>(static_cast<signed char>(*p)));
  return nHash;
}

// Only an empty map can change its table size; other calls are ignored, so
// existing associations are never lost.
void CMapStringToString::InitHashTable(UINT hashSize, BOOL bAllocNow) {
  if (m_nCount != 0 || hashSize == 0) return;
  AfxFreeMemory(m_pHashTable);
  m_pHashTable = NULL;
  if (bAllocNow) {
    size_t nBytes = AfxCheckedBytes(static_cast<long long>(hashSize), sizeof(CAssoc*));
    m_pHashTable = static_cast<CAssoc**>(AfxAllocOrDie(nBytes));
    memset(m_pHashTable, 0, nBytes);
  }
  m_nHashTableSize = hashSize;
}

void CMapStringToString::RemoveAll() {
  if (m_pHashTable != NULL) {
    for (UINT nBucket = 0; nBucket < m_nHashTableSize; ++nBucket) {
      for (CAssoc* pAssoc = m_pHashTable[nBucket]; pAssoc != NULL; pAssoc = pAssoc->pNext) {
        pAssoc->key.~CString();
        pAssoc->value.~CString();
      }
    }
    AfxFreeMemory(m_pHashTable);
    m_pHashTable = NULL;
  }
  m_nCount = 0;
  m_pFreeList = NULL;
  CPlex::FreeDataChain(m_pBlocks);
  m_pBlocks = NULL;
}

CMapStringToString::CAssoc* CMapStringToString::NewAssoc() {
  if (m_pFreeList == NULL) {
    CPlex* pNewBlock = CPlex::Create(m_pBlocks, m_nBlockSize, sizeof(CAssoc));
    CAssoc* pAssoc = static_cast<CAssoc*>(pNewBlock->data()) + m_nBlockSize - 1;
    for (int i = m_nBlockSize - 1; i >= 0; --i, --pAssoc) {
      pAssoc->pNext = m_pFreeList;
      m_pFreeList = pAssoc;
    }
  }
  CAssoc* pAssoc = m_pFreeList;
  m_pFreeList = m_pFreeList->pNext;
  ++m_nCount;
  new (&pAssoc->key) CString;
  new (&pAssoc->value) CString;
  return pAssoc;
}

void CMapStringToString::FreeAssoc(CAssoc* pAssoc) {
  pAssoc->key.~CString();
  pAssoc->value.~CString();
  pAssoc->pNext = m_pFreeList;
  m_pFreeList = pAssoc;
  if (--m_nCount == 0) RemoveAll();
}

// nHash receives the bucket index of key, found or not.
CMapStringToString::CAssoc* CMapStringToString::GetAssocAt(LPCSTR key, UINT& nHash) const {
  nHash = HashKey(key) % m_nHashTableSize;
  if (m_pHashTable == NULL) return NULL;
  for (CAssoc* pAssoc = m_pHashTable[nHash]; pAssoc != NULL; pAssoc = pAssoc->pNext) {
    if (pAssoc->key == OrEmpty(key)) return pAssoc;
  }
  return NULL;
}

BOOL CMapStringToString::Lookup(LPCSTR key, CString& rValue) const {
  UINT nHash;
  CAssoc* pAssoc = GetAssocAt(key, nHash);
  if (pAssoc == NULL) return FALSE;
  rValue = pAssoc->value;
  return TRUE;
}

CString& CMapStringToString::operator[](LPCSTR key) {
  UINT nHash;
  CAssoc* pAssoc = GetAssocAt(key, nHash);
  if (pAssoc == NULL) {
    if (m_pHashTable == NULL) InitHashTable(m_nHashTableSize);
    pAssoc = NewAssoc();
    pAssoc->nHashValue = nHash;
    pAssoc->key = OrEmpty(key);
    pAssoc->pNext = m_pHashTable[nHash];
    m_pHashTable[nHash] = pAssoc;
  }
  return pAssoc->value;
}

void CMapStringToString::SetAt(LPCSTR key, LPCSTR newValue) { (*this)[key] = newValue; }

BOOL CMapStringToString::RemoveKey(LPCSTR key) {
  if (m_pHashTable == NULL) return FALSE;
  CAssoc** ppAssocPrev = &m_pHashTable[HashKey(key) % m_nHashTableSize];
  for (CAssoc* pAssoc = *ppAssocPrev; pAssoc != NULL; pAssoc = pAssoc->pNext) {
    if (pAssoc->key == OrEmpty(key)) {
      *ppAssocPrev = pAssoc->pNext;
      FreeAssoc(pAssoc);
      return TRUE;
    }
    ppAssocPrev = &pAssoc->pNext;
  }
  return FALSE;
}

// Buckets from 0 upward, each from its head (newest first). A null position
// or an empty map leaves the out-parameters alone and the position NULL.
void CMapStringToString::GetNextAssoc(POSITION& rNextPosition, CString& rKey,
                                      CString& rValue) const {
  CAssoc* pAssocRet = reinterpret_cast<CAssoc*>(rNextPosition);
  if (pAssocRet == reinterpret_cast<CAssoc*>(BEFORE_START_POSITION)) {
    pAssocRet = NULL;
    for (UINT nBucket = 0; m_pHashTable != NULL && nBucket < m_nHashTableSize; ++nBucket) {
      if ((pAssocRet = m_pHashTable[nBucket]) != NULL) break;
    }
  }
  if (pAssocRet == NULL) {
    rNextPosition = NULL;
    return;
  }
  CAssoc* pAssocNext = pAssocRet->pNext;
  for (UINT nBucket = pAssocRet->nHashValue + 1; pAssocNext == NULL && nBucket < m_nHashTableSize;
       ++nBucket) {
    pAssocNext = m_pHashTable[nBucket];
  }
  rNextPosition = reinterpret_cast<POSITION>(pAssocNext);
  rKey = pAssocRet->key;
  rValue = pAssocRet->value;
}
