// Entry of afx.dll: the framework state lives from process attach to
// process detach; every thread's own state is freed when the thread ends.
#include <windows.h>

#include "AfxWinState.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD dwReason, LPVOID lpReserved) {
  switch (dwReason) {
    case DLL_PROCESS_ATTACH:
      return AfxInitProcessState();
    case DLL_THREAD_DETACH:
      AfxTermThreadState();
      break;
    case DLL_PROCESS_DETACH:
      // At process exit the other threads are gone, possibly while they
      // held the framework's lock, and the system reclaims the memory:
      // only an unload while the process goes on frees the state.
      if (lpReserved == NULL) AfxTermProcessState();
      break;
  }
  return TRUE;
}
