// The bytes live in one block from the framework allocator.
#include "CByteArray.h"

#include <string.h>

#include "AfxPrivate.h"

IMPLEMENT_DYNCREATE(CByteArray, CObject)

namespace {

const int kMaxSize = 0x7FFFFFFF;

}  // namespace

CByteArray::CByteArray() : m_pData(NULL), m_nSize(0), m_nMaxSize(0), m_nGrowBy(0) {}

CByteArray::~CByteArray() { AfxFreeMemory(m_pData); }

// Growth: an empty array gets exactly nNewSize bytes; a full one grows by
// m_nGrowBy bytes, or, when that is 0, by m_nSize / 8 clamped to 4..1024,
// unless nNewSize asks for more.
void CByteArray::SetSize(int nNewSize, int nGrowBy) {
  if (nNewSize < 0) return;
  if (nGrowBy >= 0) m_nGrowBy = nGrowBy;

  if (nNewSize == 0) {
    AfxFreeMemory(m_pData);
    m_pData = NULL;
    m_nSize = m_nMaxSize = 0;
  } else if (m_pData == NULL) {
    m_pData = static_cast<BYTE*>(AfxAllocOrDie(AfxCheckedBytes(nNewSize, 1)));
    memset(m_pData, 0, nNewSize);
    m_nSize = m_nMaxSize = nNewSize;
  } else if (nNewSize <= m_nMaxSize) {
    if (nNewSize > m_nSize) memset(m_pData + m_nSize, 0, nNewSize - m_nSize);
    m_nSize = nNewSize;
  } else {
    int nGrow = m_nGrowBy;
    if (nGrow == 0) {
      nGrow = m_nSize / 8;
      if (nGrow < 4) nGrow = 4;
      if (nGrow > 1024) nGrow = 1024;
    }
    long long nNewMax = static_cast<long long>(m_nMaxSize) + nGrow;
    if (nNewMax > kMaxSize) nNewMax = kMaxSize;
    if (nNewSize >= nNewMax) nNewMax = nNewSize;
    BYTE* pNewData = static_cast<BYTE*>(AfxAllocOrDie(AfxCheckedBytes(nNewMax, 1)));
    memcpy(pNewData, m_pData, m_nSize);
    memset(pNewData + m_nSize, 0, nNewSize - m_nSize);
    AfxFreeMemory(m_pData);
    m_pData = pNewData;
    m_nSize = nNewSize;
    m_nMaxSize = static_cast<int>(nNewMax);
  }
}

void CByteArray::FreeExtra() {
  if (m_nSize == m_nMaxSize) return;
  BYTE* pNewData = NULL;
  if (m_nSize != 0) {
    pNewData = static_cast<BYTE*>(AfxAllocOrDie(m_nSize));
    memcpy(pNewData, m_pData, m_nSize);
  }
  AfxFreeMemory(m_pData);
  m_pData = pNewData;
  m_nMaxSize = m_nSize;
}

BYTE CByteArray::GetAt(int nIndex) const {
  if (nIndex < 0 || nIndex >= m_nSize) return 0;
  return m_pData[nIndex];
}

void CByteArray::SetAt(int nIndex, BYTE newElement) {
  if (nIndex < 0 || nIndex >= m_nSize) return;
  m_pData[nIndex] = newElement;
}

BYTE& CByteArray::ElementAt(int nIndex) {
  if (nIndex < 0 || nIndex >= m_nSize) AfxFatal("CByteArray index out of range");
  return m_pData[nIndex];
}

void CByteArray::SetAtGrow(int nIndex, BYTE newElement) {
  if (nIndex < 0) return;
  if (nIndex >= m_nSize) {
    if (nIndex == kMaxSize) AfxFatal("CByteArray too large");
    SetSize(nIndex + 1);
  }
  m_pData[nIndex] = newElement;
}

int CByteArray::Add(BYTE newElement) {
  int nIndex = m_nSize;
  SetAtGrow(nIndex, newElement);
  return nIndex;
}

int CByteArray::Append(const BYTE* pData, int nCount) {
  int nOldSize = m_nSize;
  if (nCount <= 0) return nOldSize;
  if (nCount > kMaxSize - nOldSize) AfxFatal("CByteArray too large");
  // pData may point into this array, whose block SetSize may replace.
  if (pData >= m_pData && pData < m_pData + m_nSize) {
    int nOffset = static_cast<int>(pData - m_pData);
    SetSize(nOldSize + nCount);
    memmove(m_pData + nOldSize, m_pData + nOffset, nCount);
  } else {
    SetSize(nOldSize + nCount);
    memcpy(m_pData + nOldSize, pData, nCount);
  }
  return nOldSize;
}

int CByteArray::Append(const CByteArray& src) { return Append(src.m_pData, src.m_nSize); }

void CByteArray::Copy(const CByteArray& src) {
  if (this == &src) return;
  SetSize(src.m_nSize);
  if (m_nSize > 0) memcpy(m_pData, src.m_pData, m_nSize);
}

void CByteArray::InsertAt(int nIndex, BYTE newElement, int nCount) {
  if (nIndex < 0 || nCount <= 0) return;
  if (nIndex >= m_nSize) {
    if (nCount > kMaxSize - nIndex) AfxFatal("CByteArray too large");
    SetSize(nIndex + nCount);
  } else {
    int nOldSize = m_nSize;
    if (nCount > kMaxSize - nOldSize) AfxFatal("CByteArray too large");
    SetSize(nOldSize + nCount);
    memmove(m_pData + nIndex + nCount, m_pData + nIndex, nOldSize - nIndex);
  }
  memset(m_pData + nIndex, newElement, nCount);
}

void CByteArray::RemoveAt(int nIndex, int nCount) {
  if (nIndex < 0 || nCount <= 0 || nIndex >= m_nSize) return;
  if (nCount > m_nSize - nIndex) nCount = m_nSize - nIndex;
  memmove(m_pData + nIndex, m_pData + nIndex + nCount, m_nSize - nIndex - nCount);
  m_nSize -= nCount;
}
