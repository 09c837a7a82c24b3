// Every function that LDExCore.dll exports is reached through the import
// library: the calls below reach each at least once, and a check compares
// the ordinals this program imports with the DLL's export table, so that a
// new export without a call here fails.
#include <stdio.h>
#include <string.h>

#include "afxwin.h"
#include "msvctests/CheckRunner.h"
#include "msvctests/Groups.h"
#include "msvctests/LibraryExports.h"

namespace {

const BYTE* ImageBase(HMODULE hModule) { return reinterpret_cast<const BYTE*>(hModule); }

const IMAGE_NT_HEADERS32* NtHeaders(HMODULE hModule) {
  const IMAGE_DOS_HEADER* pDos = reinterpret_cast<const IMAGE_DOS_HEADER*>(hModule);
  return reinterpret_cast<const IMAGE_NT_HEADERS32*>(ImageBase(hModule) + pDos->e_lfanew);
}

// Marks in pImported the ordinals that this program imports from dllName.
void MarkImportedOrdinals(const char* dllName, bool* pImported, int nMax) {
  HMODULE hSelf = GetModuleHandleA(NULL);
  const IMAGE_DATA_DIRECTORY& dir = NtHeaders(hSelf)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  const IMAGE_IMPORT_DESCRIPTOR* pDesc =
      reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(ImageBase(hSelf) + dir.VirtualAddress);
  for (; pDesc->Name != 0; ++pDesc) {
    if (_stricmp(reinterpret_cast<const char*>(ImageBase(hSelf) + pDesc->Name), dllName) != 0) continue;
    DWORD nThunks = pDesc->OriginalFirstThunk != 0 ? pDesc->OriginalFirstThunk : pDesc->FirstThunk;
    const IMAGE_THUNK_DATA32* pThunk = reinterpret_cast<const IMAGE_THUNK_DATA32*>(ImageBase(hSelf) + nThunks);
    for (; pThunk->u1.Ordinal != 0; ++pThunk) {
      if (!IMAGE_SNAP_BY_ORDINAL32(pThunk->u1.Ordinal)) continue;
      int nOrdinal = static_cast<int>(IMAGE_ORDINAL32(pThunk->u1.Ordinal));
      if (nOrdinal < nMax) pImported[nOrdinal] = true;
    }
  }
}

bool EveryExportedFunctionIsImported() {
  const int kMaxOrdinal = 4096;
  static bool imported[kMaxOrdinal];
  MarkImportedOrdinals("LDExCore.dll", imported, kMaxOrdinal);
  HMODULE hLibrary = LibraryModule();
  const IMAGE_DATA_DIRECTORY& dir =
      NtHeaders(hLibrary)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  const IMAGE_EXPORT_DIRECTORY* pExports =
      reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(ImageBase(hLibrary) + dir.VirtualAddress);
  const DWORD* pFunctions = reinterpret_cast<const DWORD*>(ImageBase(hLibrary) + pExports->AddressOfFunctions);
  int nFunctions = 0, nMissing = 0;
  for (DWORD i = 0; i < pExports->NumberOfFunctions; ++i) {
    if (pFunctions[i] == 0 || !IsCodeOf(hLibrary, pFunctions[i])) continue;
    ++nFunctions;
    int nOrdinal = static_cast<int>(pExports->Base + i);
    if (nOrdinal < kMaxOrdinal && imported[nOrdinal]) continue;
    if (nMissing++ < 400) Fail("ordinal %d is exported as a function and not called here", nOrdinal);
  }
  if (nFunctions < 300) return Fail("only %d exported functions found", nFunctions);
  if (nMissing > 0) return Fail("%d of %d exported functions not called", nMissing, nFunctions);
  return true;
}

const Check kChecks[] = {
    {"every exported function is called through the import library", EveryExportedFunctionIsImported},
};

}  // namespace

int RunExportCoverageChecks() { return RunChecks("exports", kChecks, CHECK_COUNT(kChecks)); }
