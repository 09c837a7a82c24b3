// Registration of an extension module (a DLL that extends the framework):
// the module's DllMain initialises its record at process attach and
// terminates it at process detach; CDynLinkLibrary chains it in.
#pragma once

#include <windows.h>

#include "CObject.h"

class COleObjectFactory;

struct AFX_EXTENSION_MODULE {
  BOOL bInitialized;
  HMODULE hModule;    // the module's instance handle
  HMODULE hResource;  // where its resources are searched
  // Class and factory lists: kept for the record layout; the framework
  // keeps no such lists and leaves them NULL.
  CRuntimeClass* pFirstSharedClass;
  COleObjectFactory* pFirstSharedFactory;
};

// Fills the record from the module handle (only the first time). FALSE when
// the framework refuses the module, which makes DllMain fail the load.
AFX_API BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);
// Removes and frees the chain entries of this module (of every module when
// bAll).
AFX_API void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);

// Test seam: while set, AfxInitExtensionModule refuses every module.
AFX_API void AfxSetRefuseExtensionModules(BOOL bRefuse);
