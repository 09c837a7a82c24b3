// Helpers shared by the framework's own sources; not part of its interface.
#pragma once

#include <stddef.h>

#include "afx.h"

// Ends the process with a message on stderr. Used where the classic
// framework would throw a memory exception (an allocation that fails or a
// size that cannot be represented) or would dereference an invalid position:
// nothing is corrupted, and the cause is visible.
[[noreturn]] void AfxFatal(const char* what);

// Allocates nSize bytes through the framework allocator; a request that does
// not fit in an int (the framework's length type) or that the allocator
// refuses is fatal, so callers never see NULL.
void* AfxAllocOrDie(size_t nSize);

// nCount * nElementSize as a checked byte count (fatal when it exceeds the
// framework's int-sized limit or nCount is negative).
size_t AfxCheckedBytes(long long nCount, size_t nElementSize);
