#include "sync/CProcCritSecHost.h"

#include "sync/ProcCritSecPublication.h"

CProcCritSecHost::CProcCritSecHost() {
  // Zero until Init: the destructor tells an initialised section by it.
  ZeroMemory(static_cast<CRITICAL_SECTION*>(this), sizeof(CRITICAL_SECTION));
}

CProcCritSecHost::~CProcCritSecHost() {
  if (!IsInitialized()) return;
  ForgetPublishedSection(this);
  RemoveHostProperty();
  DeleteCriticalSection(this);
}

// InitializeCriticalSection always sets DebugInfo (to a record, or to the
// marker for none), and the constructor cleared it.
BOOL CProcCritSecHost::IsInitialized() const { return DebugInfo != NULL; }

BOOL CProcCritSecHost::Init() {
  CString strExecutable;
  ModuleNameResult nameResult = GetExecutableFileName(strExecutable);
  if (nameResult == kNoModulePath) {
    ShowSupportError("ERROR: Unable to get the module file name (CProcCritSecHost::Init)");
    return FALSE;
  }
  if (!IsInitialized()) InitializeCriticalSection(this);
  HWND hDesktop = CheckedPublicationDesktop(nameResult, "ERROR: Unable to get the desktop window (CProcCritSecHost::Init)",
                                            "ERROR: Bad module file name (CProcCritSecHost::Init)");
  if (hDesktop == NULL) return FALSE;
  if (!SetPropA(hDesktop, HostPropertyName(strExecutable), static_cast<HANDLE>(this))) {
    ShowSupportError("ERROR: Unable to set the property (CProcCritSecHost::Init)");
    return FALSE;
  }
  RecordPublishedSection(this);
  RemoveStalePublications(hDesktop, strExecutable);
  return TRUE;
}

void RemoveHostProperty() {
  CString strExecutable;
  if (GetExecutableFileName(strExecutable) != kModuleNameOk) return;
  HWND hDesktop = GetDesktopWindow();
  if (hDesktop == NULL) return;
  RemovePropA(hDesktop, HostPropertyName(strExecutable));
}
