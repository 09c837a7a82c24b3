#include "AfxHandleMap.h"

#include <string.h>

#include "afx.h"

AfxHandleMap::~AfxHandleMap() { AfxFreeMemory(m_pEntries); }

int AfxHandleMap::LowerBound(HWND hWnd) const {
  int nLow = 0;
  int nHigh = m_nCount;
  while (nLow < nHigh) {
    int nMid = nLow + (nHigh - nLow) / 2;
    if (m_pEntries[nMid].hWnd < hWnd) {
      nLow = nMid + 1;
    } else {
      nHigh = nMid;
    }
  }
  return nLow;
}

CWnd* AfxHandleMap::Lookup(HWND hWnd) const {
  int nIndex = LowerBound(hWnd);
  return nIndex < m_nCount && m_pEntries[nIndex].hWnd == hWnd ? m_pEntries[nIndex].pWnd : NULL;
}

BOOL AfxHandleMap::Grow() {
  int nCapacity = m_nCapacity == 0 ? 16 : m_nCapacity * 2;
  Entry* pEntries = static_cast<Entry*>(AfxAllocMemory(nCapacity * sizeof(Entry)));
  if (pEntries == NULL) return FALSE;
  if (m_nCount > 0) memcpy(pEntries, m_pEntries, m_nCount * sizeof(Entry));
  AfxFreeMemory(m_pEntries);
  m_pEntries = pEntries;
  m_nCapacity = nCapacity;
  return TRUE;
}

BOOL AfxHandleMap::Add(HWND hWnd, CWnd* pWnd) {
  int nIndex = LowerBound(hWnd);
  if (nIndex < m_nCount && m_pEntries[nIndex].hWnd == hWnd) return FALSE;
  if (m_nCount == m_nCapacity && !Grow()) return FALSE;
  memmove(m_pEntries + nIndex + 1, m_pEntries + nIndex, (m_nCount - nIndex) * sizeof(Entry));
  m_pEntries[nIndex].hWnd = hWnd;
  m_pEntries[nIndex].pWnd = pWnd;
  ++m_nCount;
  return TRUE;
}

void AfxHandleMap::Remove(HWND hWnd, CWnd* pWnd) {
  int nIndex = LowerBound(hWnd);
  if (nIndex == m_nCount || m_pEntries[nIndex].hWnd != hWnd || m_pEntries[nIndex].pWnd != pWnd) return;
  --m_nCount;
  memmove(m_pEntries + nIndex, m_pEntries + nIndex + 1, (m_nCount - nIndex) * sizeof(Entry));
}

void AfxHandleMap::Swap(AfxHandleMap& other) {
  Entry* pEntries = m_pEntries;
  int nCount = m_nCount;
  int nCapacity = m_nCapacity;
  m_pEntries = other.m_pEntries;
  m_nCount = other.m_nCount;
  m_nCapacity = other.m_nCapacity;
  other.m_pEntries = pEntries;
  other.m_nCount = nCount;
  other.m_nCapacity = nCapacity;
}
