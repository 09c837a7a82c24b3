#include "msvctests/LibraryExports.h"

HMODULE LibraryModule() { return GetModuleHandleA("LDExCore.dll"); }

void* ExportedAt(int nOrdinal) {
  return reinterpret_cast<void*>(GetProcAddress(LibraryModule(), MAKEINTRESOURCEA(nOrdinal)));
}

bool IsCodeOf(HMODULE hModule, DWORD nRva) {
  const BYTE* pBase = reinterpret_cast<const BYTE*>(hModule);
  const IMAGE_NT_HEADERS32* pNt =
      reinterpret_cast<const IMAGE_NT_HEADERS32*>(pBase + reinterpret_cast<const IMAGE_DOS_HEADER*>(pBase)->e_lfanew);
  const IMAGE_SECTION_HEADER* pSection = IMAGE_FIRST_SECTION(pNt);
  for (int i = 0; i < pNt->FileHeader.NumberOfSections; ++i, ++pSection) {
    if (nRva >= pSection->VirtualAddress && nRva < pSection->VirtualAddress + pSection->Misc.VirtualSize) {
      return (pSection->Characteristics & IMAGE_SCN_MEM_EXECUTE) != 0;
    }
  }
  return false;
}

bool IsCodeAddress(const void* pAddress) {
  HMODULE hModule = NULL;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCSTR>(pAddress), &hModule)) {
    return false;
  }
  DWORD nRva = static_cast<DWORD>(static_cast<const BYTE*>(pAddress) - reinterpret_cast<const BYTE*>(hModule));
  return IsCodeOf(hModule, nRva);
}
