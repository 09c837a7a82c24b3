// Growable array of bytes, zero-filled as it grows.
#pragma once

#include "CObject.h"

class AFX_API CByteArray : public CObject {
  DECLARE_DYNCREATE(CByteArray)
 public:
  CByteArray();
  ~CByteArray() override;

  int GetSize() const { return m_nSize; }
  int GetUpperBound() const { return m_nSize - 1; }
  // New elements are zero. A negative size changes nothing.
  void SetSize(int nNewSize, int nGrowBy = -1);
  void FreeExtra();
  void RemoveAll() { SetSize(0); }

  // Indexes outside the array: GetAt gives 0, SetAt does nothing,
  // ElementAt (which must return a reference) ends the process.
  BYTE GetAt(int nIndex) const;
  void SetAt(int nIndex, BYTE newElement);
  BYTE& ElementAt(int nIndex);
  const BYTE* GetData() const { return m_pData; }
  BYTE* GetData() { return m_pData; }

  void SetAtGrow(int nIndex, BYTE newElement);
  int Add(BYTE newElement);
  // Appends nCount bytes from pData (which may lie in this array); returns
  // the index of the first.
  int Append(const BYTE* pData, int nCount);
  int Append(const CByteArray& src);
  void Copy(const CByteArray& src);

  BYTE operator[](int nIndex) const { return GetAt(nIndex); }
  BYTE& operator[](int nIndex) { return ElementAt(nIndex); }

  void InsertAt(int nIndex, BYTE newElement, int nCount = 1);
  void RemoveAt(int nIndex, int nCount = 1);

 private:
  CByteArray(const CByteArray&) = delete;
  CByteArray& operator=(const CByteArray&) = delete;

  BYTE* m_pData;
  int m_nSize;
  int m_nMaxSize;
  int m_nGrowBy;
};
