// Platform-free part of the framework: object root, strings, collections.
#pragma once

#include "afxver.h"
#if !defined(_MSC_VER)
#  include <new>
#endif
#include "CObject.h"
#include "CString.h"
#include "CStringArray.h"
#include "CByteArray.h"
#include "CPtrList.h"
#include "CMapStringToString.h"

// The framework's allocator: blocks handed across module boundaries come
// from here and go back here, whichever module frees them. A zero-byte
// request still gives a distinct block; NULL when memory runs out.
// AfxFreeMemory(NULL) does nothing. The blocks are those of the global
// operator new, so the global operator delete, ::operator delete(p), frees
// them as well.
AFX_API void* AfxAllocMemory(size_t nSize);
AFX_API void AfxFreeMemory(void* p);

// Allocation that gives NULL instead of throwing, the same in every C++
// runtime (msvcrt.dll's has no std::nothrow):
//   CFoo* pFoo = new (afxNothrow) CFoo(...);   // NULL when memory runs out
//   char* pBytes = new (afxNothrow) char[n];
// An object comes from the framework's allocator, an array from the
// runtime's array new; each is freed with delete or delete[] as usual.
struct AfxNothrowTag {};
const AfxNothrowTag afxNothrow = AfxNothrowTag();
inline void* operator new(size_t nSize, const AfxNothrowTag&) noexcept { return AfxAllocMemory(nSize); }
inline void operator delete(void* p, const AfxNothrowTag&) noexcept { AfxFreeMemory(p); }
#if defined(_MSC_VER)
// msvcrt.dll's array new gives NULL when memory runs out.
inline void* operator new[](size_t nSize, const AfxNothrowTag&) noexcept { return ::operator new[](nSize); }
#else
inline void* operator new[](size_t nSize, const AfxNothrowTag&) noexcept {
  return ::operator new[](nSize, std::nothrow);
}
#endif
inline void operator delete[](void* p, const AfxNothrowTag&) noexcept { ::operator delete[](p); }
