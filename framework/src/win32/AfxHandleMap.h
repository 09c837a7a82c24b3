// Map from a window handle to its window object, kept as an array sorted by
// handle: a process has few windows, and a lookup is a binary search. The
// entries live in blocks of the framework allocator. Not part of the
// framework's interface.
#pragma once

#include <windows.h>

class CWnd;

class AfxHandleMap {
 public:
  AfxHandleMap() = default;
  ~AfxHandleMap();
  AfxHandleMap(const AfxHandleMap&) = delete;
  AfxHandleMap& operator=(const AfxHandleMap&) = delete;

  // The object mapped to hWnd, or NULL.
  CWnd* Lookup(HWND hWnd) const;
  // Maps hWnd to pWnd. FALSE when hWnd is mapped already (the mapping stays)
  // or memory runs out.
  BOOL Add(HWND hWnd, CWnd* pWnd);
  // Removes hWnd's entry when it maps to pWnd.
  void Remove(HWND hWnd, CWnd* pWnd);
  // Exchanges the contents of two maps.
  void Swap(AfxHandleMap& other);

  int GetCount() const { return m_nCount; }
  CWnd* GetObjectAt(int nIndex) const { return m_pEntries[nIndex].pWnd; }

 private:
  struct Entry {
    HWND hWnd;
    CWnd* pWnd;
  };
  // Index of hWnd's entry, or of the entry it would be inserted before.
  int LowerBound(HWND hWnd) const;
  BOOL Grow();

  Entry* m_pEntries = NULL;
  int m_nCount = 0;
  int m_nCapacity = 0;
};
