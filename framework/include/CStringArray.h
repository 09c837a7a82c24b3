// Growable array of framework strings.
#pragma once

#include "CObject.h"
#include "CString.h"

class AFX_API CStringArray : public CObject {
  DECLARE_DYNCREATE(CStringArray)
 public:
  CStringArray();
  ~CStringArray() override;

  int GetSize() const { return m_nSize; }
  int GetUpperBound() const { return m_nSize - 1; }
  void SetSize(int nNewSize, int nGrowBy = -1);
  void FreeExtra();
  void RemoveAll() { SetSize(0); }

  CString GetAt(int nIndex) const;
  void SetAt(int nIndex, LPCSTR newElement);
  CString& ElementAt(int nIndex);
  const CString* GetData() const { return m_pData; }
  CString* GetData() { return m_pData; }

  void SetAtGrow(int nIndex, LPCSTR newElement);
  int Add(LPCSTR newElement);
  int Add(const CString& newElement);
  int Append(const CStringArray& src);
  void Copy(const CStringArray& src);

  CString operator[](int nIndex) const { return GetAt(nIndex); }
  CString& operator[](int nIndex) { return ElementAt(nIndex); }

  void InsertAt(int nIndex, LPCSTR newElement, int nCount = 1);
  void RemoveAt(int nIndex, int nCount = 1);

 private:
  CString* m_pData;
  int m_nSize;
  int m_nMaxSize;
  int m_nGrowBy;
};
