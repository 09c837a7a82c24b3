// Platform-free part of the framework: object root, strings, collections.
#pragma once

#include "afxver.h"
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
// The same for arrays: blocks of the global array operator new, which the
// global operator delete[] frees as well.
AFX_API void* AfxAllocArrayMemory(size_t nSize);
AFX_API void AfxFreeArrayMemory(void* p);

// Allocation that gives NULL instead of throwing, the same in every C++
// runtime (msvcrt.dll's has no std::nothrow):
//   CFoo* pFoo = new (afxNothrow) CFoo(...);   // NULL when memory runs out
//   char* pBytes = new (afxNothrow) char[n];
// Both come from the framework's allocator and are freed with delete or
// delete[] as usual.
struct AfxNothrowTag {};
const AfxNothrowTag afxNothrow = AfxNothrowTag();
inline void* operator new(size_t nSize, const AfxNothrowTag&) noexcept { return AfxAllocMemory(nSize); }
inline void operator delete(void* p, const AfxNothrowTag&) noexcept { AfxFreeMemory(p); }
inline void* operator new[](size_t nSize, const AfxNothrowTag&) noexcept { return AfxAllocArrayMemory(nSize); }
inline void operator delete[](void* p, const AfxNothrowTag&) noexcept { AfxFreeArrayMemory(p); }
