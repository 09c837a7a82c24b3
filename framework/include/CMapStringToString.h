// Hash map from string to string. Hash h = h * 33 + byte over the key's
// (signed) characters, 17 buckets by default, new associations at the head
// of their bucket; iteration runs bucket by bucket, newest first inside a
// bucket. Associations come from blocks of m_nBlockSize.
#pragma once

#include "CObject.h"
#include "CString.h"

class AFX_API CMapStringToString : public CObject {
  DECLARE_DYNAMIC(CMapStringToString)
 protected:
  struct CAssoc {
    CAssoc* pNext;
    UINT nHashValue;
    CString key;
    CString value;
  };

 public:
  explicit CMapStringToString(int nBlockSize = 10);
  ~CMapStringToString() override;

  int GetCount() const { return m_nCount; }
  BOOL IsEmpty() const { return m_nCount == 0; }

  BOOL Lookup(LPCSTR key, CString& rValue) const;
  CString& operator[](LPCSTR key);
  void SetAt(LPCSTR key, LPCSTR newValue);
  BOOL RemoveKey(LPCSTR key);
  void RemoveAll();

  POSITION GetStartPosition() const {
    return m_nCount == 0 ? NULL : BEFORE_START_POSITION;
  }
  void GetNextAssoc(POSITION& rNextPosition, CString& rKey, CString& rValue) const;

  UINT GetHashTableSize() const { return m_nHashTableSize; }
  void InitHashTable(UINT hashSize, BOOL bAllocNow = TRUE);
  UINT HashKey(LPCSTR key) const;

 protected:
  CAssoc* NewAssoc();
  void FreeAssoc(CAssoc* pAssoc);
  CAssoc* GetAssocAt(LPCSTR key, UINT& nHash) const;

  CAssoc** m_pHashTable;
  UINT m_nHashTableSize;
  int m_nCount;
  CAssoc* m_pFreeList;
  struct CPlex* m_pBlocks;
  int m_nBlockSize;
};
