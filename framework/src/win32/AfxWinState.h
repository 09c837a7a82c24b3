// The framework's process-wide and per-thread state (inside afx.dll, shared
// by the host and every module). Not part of the framework's interface.
#pragma once

#include <windows.h>

#include "AfxHandleMap.h"

class CDynLinkLibrary;
class CWinApp;
class CWinThread;
class CWnd;

struct AfxProcessState {
  CRITICAL_SECTION lock;  // guards every member below
  CWinApp* pCurrentWinApp = NULL;
  HINSTANCE hCurrentInstanceHandle = NULL;
  HINSTANCE hCurrentResourceHandle = NULL;
  CDynLinkLibrary* pLibraryList = NULL;      // the resource chain, newest first
  AfxHandleMap permanentWindows;             // attached window objects
  BOOL bRefuseExtensionModules = FALSE;
};

struct AfxThreadState {
  CWinThread* pCurrentWinThread = NULL;
  AfxHandleMap temporaryWindows;           // wrappers made by FromHandle
  HWND hLockoutNotifyWindow = NULL;        // window running UpdateData
};

// Holds the process lock for its lifetime.
class AfxLockGlobals {
 public:
  AfxLockGlobals();
  ~AfxLockGlobals();
  AfxLockGlobals(const AfxLockGlobals&) = delete;
  AfxLockGlobals& operator=(const AfxLockGlobals&) = delete;
};

BOOL AfxInitProcessState();
// Frees the chain entries that are left and the calling thread's state.
void AfxTermProcessState();

AfxProcessState& AfxGetProcessState();
// The calling thread's state, made on first use; NULL only when it cannot
// be allocated.
AfxThreadState* AfxGetThreadState();
// The calling thread's state if it has one.
AfxThreadState* AfxPeekThreadState();
// Frees the calling thread's state and its temporary window objects.
void AfxTermThreadState();
// Deletes the calling thread's temporary window objects.
void AfxDeleteTempWindows();

// Owner for a modal window: the parent's top-level window, or without a
// parent the main window's (or active window's) last active pop-up.
HWND AfxGetSafeOwner(CWnd* pParent);

// Copy of a string with malloc (freed by CWinApp with free); NULL for NULL.
LPTSTR AfxDupString(LPCTSTR lpsz);
