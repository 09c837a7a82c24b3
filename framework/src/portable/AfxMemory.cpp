// The framework allocator and the fatal path for impossible requests.
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>

#if !defined(_MSC_VER)
#  include <new>
#endif

#include "AfxPrivate.h"

// The blocks come from the global operator new of the C++ runtime that every
// module shares, so a receiver may free one with AfxFreeMemory or with the
// global operator delete, from any module.
void* AfxAllocMemory(size_t nSize) {
  // A zero-byte request still yields a distinct block that must be freed.
  size_t nBytes = nSize == 0 ? 1 : nSize;
#if defined(_MSC_VER)
  // msvcrt.dll's operator new gives NULL when memory runs out.
  return ::operator new(nBytes);
#else
  return ::operator new(nBytes, std::nothrow);
#endif
}

void AfxFreeMemory(void* p) { ::operator delete(p); }

void* AfxAllocArrayMemory(size_t nSize) {
  size_t nBytes = nSize == 0 ? 1 : nSize;
#if defined(_MSC_VER)
  return ::operator new[](nBytes);
#else
  return ::operator new[](nBytes, std::nothrow);
#endif
}

void AfxFreeArrayMemory(void* p) { ::operator delete[](p); }

void AfxFatal(const char* what) {
  fprintf(stderr, "afx: fatal: %s\n", what);
  fflush(stderr);
  abort();
}

void* AfxAllocOrDie(size_t nSize) {
  if (nSize > static_cast<size_t>(INT_MAX)) AfxFatal("memory request too large");
  void* p = AfxAllocMemory(nSize);
  if (p == NULL) AfxFatal("out of memory");
  return p;
}

size_t AfxCheckedBytes(long long nCount, size_t nElementSize) {
  if (nCount < 0 || (nElementSize != 0 &&
                     static_cast<unsigned long long>(nCount) > INT_MAX / nElementSize)) {
    AfxFatal("memory request too large");
  }
  return static_cast<size_t>(nCount) * nElementSize;
}
