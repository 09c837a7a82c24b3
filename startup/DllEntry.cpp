// Entry point of a DLL of the Windows-ABI flavour: static objects are built
// before DllMain sees the process attach and destroyed after it has seen
// the detach.
#include <windows.h>

#include "StaticInit.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved);

extern "C" BOOL WINAPI _DllMainCRTStartup(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved) {
  if (dwReason == DLL_PROCESS_ATTACH) LdxRunStaticConstructors();
  BOOL bResult = DllMain(hInstance, dwReason, lpReserved);
  if (dwReason == DLL_PROCESS_DETACH || (dwReason == DLL_PROCESS_ATTACH && !bResult)) LdxRunExitList();
  return bResult;
}
