// Elements live in one block from the framework allocator. A CString is a
// single pointer, so elements move between blocks by plain byte copies.
#include "CStringArray.h"

#include <new>
#include <string.h>

#include "AfxPrivate.h"

IMPLEMENT_DYNCREATE(CStringArray, CObject)

namespace {

void ConstructElements(CString* pElements, int nCount) {
  for (int i = 0; i < nCount; ++i) new (&pElements[i]) CString;
}

void DestructElements(CString* pElements, int nCount) {
  for (int i = 0; i < nCount; ++i) pElements[i].~CString();
}

CString* AllocElements(int nCount) {
  return static_cast<CString*>(AfxAllocOrDie(AfxCheckedBytes(nCount, sizeof(CString))));
}

void MoveElements(CString* pDest, const CString* pSrc, int nCount) {
  memmove(static_cast<void*>(pDest), static_cast<const void*>(pSrc),
          static_cast<size_t>(nCount) * sizeof(CString));
}

}  // namespace

CStringArray::CStringArray() : m_pData(NULL), m_nSize(0), m_nMaxSize(0), m_nGrowBy(0) {}

CStringArray::~CStringArray() {
  DestructElements(m_pData, m_nSize);
  AfxFreeMemory(m_pData);
}

// Growth: an empty array gets exactly nNewSize slots; a full one grows by
// m_nGrowBy slots, or, when that is 0, by m_nSize / 8 clamped to 4..1024,
// unless nNewSize asks for more.
void CStringArray::SetSize(int nNewSize, int nGrowBy) {
  if (nNewSize < 0) return;
  if (nGrowBy >= 0) m_nGrowBy = nGrowBy;

  if (nNewSize == 0) {
    DestructElements(m_pData, m_nSize);
    AfxFreeMemory(m_pData);
    m_pData = NULL;
    m_nSize = m_nMaxSize = 0;
  } else if (m_pData == NULL) {
    m_pData = AllocElements(nNewSize);
    ConstructElements(m_pData, nNewSize);
    m_nSize = m_nMaxSize = nNewSize;
  } else if (nNewSize <= m_nMaxSize) {
    if (nNewSize > m_nSize)
      ConstructElements(&m_pData[m_nSize], nNewSize - m_nSize);
    else
      DestructElements(&m_pData[nNewSize], m_nSize - nNewSize);
    m_nSize = nNewSize;
  } else {
    int nGrow = m_nGrowBy;
    if (nGrow == 0) {
      nGrow = m_nSize / 8;
      if (nGrow < 4) nGrow = 4;
      if (nGrow > 1024) nGrow = 1024;
    }
    long long nNewMax = static_cast<long long>(m_nMaxSize) + nGrow;
    if (nNewMax > 0x7FFFFFFF) nNewMax = 0x7FFFFFFF;
    if (nNewSize >= nNewMax) nNewMax = nNewSize;
    CString* pNewData = AllocElements(static_cast<int>(nNewMax));
    MoveElements(pNewData, m_pData, m_nSize);
    ConstructElements(&pNewData[m_nSize], nNewSize - m_nSize);
    AfxFreeMemory(m_pData);
    m_pData = pNewData;
    m_nSize = nNewSize;
    m_nMaxSize = static_cast<int>(nNewMax);
  }
}

void CStringArray::FreeExtra() {
  if (m_nSize == m_nMaxSize) return;
  CString* pNewData = NULL;
  if (m_nSize != 0) {
    pNewData = AllocElements(m_nSize);
    MoveElements(pNewData, m_pData, m_nSize);
  }
  AfxFreeMemory(m_pData);
  m_pData = pNewData;
  m_nMaxSize = m_nSize;
}

// Indexes outside the array: GetAt gives an empty string, SetAt does nothing,
// ElementAt (which must return a reference) ends the process.
CString CStringArray::GetAt(int nIndex) const {
  if (nIndex < 0 || nIndex >= m_nSize) return CString();
  return m_pData[nIndex];
}

void CStringArray::SetAt(int nIndex, LPCSTR newElement) {
  if (nIndex < 0 || nIndex >= m_nSize) return;
  m_pData[nIndex] = newElement;
}

CString& CStringArray::ElementAt(int nIndex) {
  if (nIndex < 0 || nIndex >= m_nSize) AfxFatal("CStringArray index out of range");
  return m_pData[nIndex];
}

void CStringArray::SetAtGrow(int nIndex, LPCSTR newElement) {
  if (nIndex < 0) return;
  if (nIndex >= m_nSize) {
    if (nIndex == 0x7FFFFFFF) AfxFatal("CStringArray too large");
    SetSize(nIndex + 1);
  }
  m_pData[nIndex] = newElement;
}

int CStringArray::Add(LPCSTR newElement) {
  int nIndex = m_nSize;
  SetAtGrow(nIndex, newElement);
  return nIndex;
}

int CStringArray::Add(const CString& newElement) { return Add(static_cast<LPCSTR>(newElement)); }

int CStringArray::Append(const CStringArray& src) {
  int nOldSize = m_nSize;
  int nSrcSize = src.m_nSize;  // src may be this array
  if (nSrcSize > 0x7FFFFFFF - nOldSize) AfxFatal("CStringArray too large");
  SetSize(nOldSize + nSrcSize);
  for (int i = 0; i < nSrcSize; ++i) m_pData[nOldSize + i] = src.m_pData[i];
  return nOldSize;
}

void CStringArray::Copy(const CStringArray& src) {
  if (this == &src) return;
  SetSize(src.m_nSize);
  for (int i = 0; i < m_nSize; ++i) m_pData[i] = src.m_pData[i];
}

// An index at or past the end pads the array with empty strings first.
void CStringArray::InsertAt(int nIndex, LPCSTR newElement, int nCount) {
  if (nIndex < 0 || nCount <= 0) return;
  if (nIndex >= m_nSize) {
    if (nCount > 0x7FFFFFFF - nIndex) AfxFatal("CStringArray too large");
    SetSize(nIndex + nCount);
  } else {
    if (nCount > 0x7FFFFFFF - m_nSize) AfxFatal("CStringArray too large");
    int nOldSize = m_nSize;
    SetSize(m_nSize + nCount);
    // The slots just constructed at the end are empty strings (no buffer),
    // so shifting over them loses nothing.
    MoveElements(&m_pData[nIndex + nCount], &m_pData[nIndex], nOldSize - nIndex);
    ConstructElements(&m_pData[nIndex], nCount);
  }
  // newElement may be the text of an element: elements' texts never move.
  for (int i = 0; i < nCount; ++i) m_pData[nIndex + i] = newElement;
}

// A count that runs past the end removes up to the end.
void CStringArray::RemoveAt(int nIndex, int nCount) {
  if (nIndex < 0 || nIndex >= m_nSize || nCount <= 0) return;
  if (nCount > m_nSize - nIndex) nCount = m_nSize - nIndex;
  DestructElements(&m_pData[nIndex], nCount);
  MoveElements(&m_pData[nIndex], &m_pData[nIndex + nCount], m_nSize - nIndex - nCount);
  m_nSize -= nCount;
}
