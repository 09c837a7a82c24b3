// Platform-free part of the framework: object root, strings, collections.
#pragma once

#include "afxver.h"
#include "CObject.h"
#include "CString.h"
#include "CStringArray.h"
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
