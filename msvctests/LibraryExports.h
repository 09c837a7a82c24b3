// The library's exports as the host sees them at run time: its module, the
// address of an ordinal, and the virtual table of an object.
#pragma once

#include <windows.h>

HMODULE LibraryModule();
// The address that LDExCore.dll exports at an ordinal; NULL when none.
void* ExportedAt(int nOrdinal);
// The virtual table pointer of a polymorphic object (the first word of
// the object in this ABI).
inline void* const* VirtualTableOf(const void* pObject) { return *static_cast<void* const* const*>(pObject); }

// Whether an address lies in a section of code of a loaded module.
bool IsCodeAddress(const void* pAddress);
// Whether a relative address of a module lies in one of its code sections.
bool IsCodeOf(HMODULE hModule, DWORD nRva);
