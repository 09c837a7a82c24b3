// Library entry: registers the extension module with the framework and keeps
// the database engine set up for the process and for each thread.
#include "frame/LibraryEntry.h"

#include <afxwin.h>
#include <afxdllx.h>

#include "ctreestd.h"

namespace {

AFX_EXTENSION_MODULE g_extensionModule = {};

// Set once process attach has succeeded. When the attach fails the run-time
// start-up code still reports a process detach; without an attach there is
// nothing to undo and the engine must stay untouched.
bool g_attached = false;

// Engine arguments: process-level start and per-thread context.
const int kProcessStartArgs[3] = {2, 0, 0};
const int kThreadContextArgs[3] = {10, 54, 32};

void StartThreadContext() {
  ctEngineOrdinal119(kThreadContextArgs[0], kThreadContextArgs[1], kThreadContextArgs[2]);
}

BOOL OnProcessAttach(HINSTANCE instance) {
  if (!AfxInitExtensionModule(g_extensionModule, instance)) return FALSE;
  g_attached = true;
  ctEngineOrdinal50(kProcessStartArgs[0], kProcessStartArgs[1], kProcessStartArgs[2]);
  StartThreadContext();
  return TRUE;
}

void OnThreadAttach() {
  ctEngineOrdinal292();
  StartThreadContext();
}

void OnThreadDetach() {
  ctEngineOrdinal15();
  ctEngineOrdinal293();
}

void OnProcessDetach() {
  if (!g_attached) return;
  g_attached = false;
  AfxTermExtensionModule(g_extensionModule, FALSE);
  ctEngineOrdinal15();
  ctEngineOrdinal68();
}

}  // namespace

void InitExtensionDll() { new CDynLinkLibrary(g_extensionModule, FALSE); }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      return OnProcessAttach(instance);
    case DLL_THREAD_ATTACH:
      if (g_attached) OnThreadAttach();
      break;
    case DLL_THREAD_DETACH:
      if (g_attached) OnThreadDetach();
      break;
    case DLL_PROCESS_DETACH:
      OnProcessDetach();
      break;
  }
  return TRUE;
}
