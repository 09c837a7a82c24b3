// Host classes derived from the library's worker thread, settings store,
// application and dialog classes: the library must reach the host's
// overrides through this ABI's slots, with the arguments the host's code
// expects, and the host's overrides must sit in the slots where the
// library's own members are.
#include <stdio.h>
#include <string.h>

#include "afxwin.h"
#include "config/CSettingsStore.h"
#include "config/ProductKey.h"
#include "msvctests/BoxCloser.h"
#include "msvctests/CheckRunner.h"
#include "msvctests/Groups.h"
#include "msvctests/LibraryExports.h"
#include "msvctests/SavedRegistryValue.h"
#include "packages/CExtensionApp.h"
#include "packages/CExtensionPackageDlg.h"
#include "sync/TThread.h"

namespace {

// Where a slot of a table leads: the linker fills the slots of members that
// a module imports (the host from either DLL, the library from afx.dll)
// with that module's own import stubs, a jump through its import address
// table to the function.
void* SlotTarget(void* pEntry) {
  const BYTE* pCode = static_cast<const BYTE*>(pEntry);
  if (pCode[0] == 0xFF && pCode[1] == 0x25) return **reinterpret_cast<void** const*>(pCode + 2);
  return pEntry;
}

// The slot of a table that holds an address; -1 when none of the first
// nLimit does.
int SlotHolding(void* const* pTable, void* pMember, int nLimit) {
  for (int i = 0; i < nLimit && IsCodeAddress(pTable[i]); ++i) {
    if (SlotTarget(pTable[i]) == pMember) return i;
  }
  return -1;
}

// Checks that the members a host class overrides sit in the slots that hold
// the library's members exported at the ordinals given: the host's table
// differs from the library's there and in one more slot only, the
// destructor's.
bool OverridesSitInTheLibrarysSlots(const void* pHostObject, int nTableOrdinal, const int* pMembers,
                                    int nMembers) {
  void* const* pLibraryTable = static_cast<void* const*>(ExportedAt(nTableOrdinal));
  if (pLibraryTable == NULL) return Fail("no table exported at %d", nTableOrdinal);
  const int kLimit = 128;
  void* const* pHostTable = VirtualTableOf(pHostObject);
  bool bPassed = true;
  int nOthers = 0;
  for (int i = 0; i < kLimit && IsCodeAddress(pHostTable[i]) && IsCodeAddress(pLibraryTable[i]); ++i) {
    void* pLibraryMember = SlotTarget(pLibraryTable[i]);
    bool bOverridden = false;
    for (int m = 0; m < nMembers; ++m) bOverridden = bOverridden || pLibraryMember == ExportedAt(pMembers[m]);
    bool bDiffers = SlotTarget(pHostTable[i]) != pLibraryMember;
    if (bOverridden && !bDiffers) {
      bPassed = Fail("slot %d of table %d: the host's override is not there", i, nTableOrdinal);
    }
    if (!bOverridden && bDiffers) ++nOthers;
  }
  for (int m = 0; m < nMembers; ++m) {
    if (SlotHolding(pLibraryTable, ExportedAt(pMembers[m]), kLimit) < 0) {
      bPassed = Fail("table %d has no slot for the member exported at %d", nTableOrdinal, pMembers[m]);
    }
  }
  if (nOthers != 1) {
    bPassed = Fail("the host's table differs from table %d in %d slots besides its overrides", nTableOrdinal,
                   nOthers);
  }
  return bPassed;
}

// --- application class ---

class CHostApp : public CExtensionApp {
 public:
  DWORD m_dwHelpData = 0;
  UINT m_nHelpCommand = 0;
  void WinHelp(DWORD dwData, UINT nCmd) override {
    m_dwHelpData = dwData;
    m_nHelpCommand = nCmd;
    CExtensionApp::WinHelp(dwData, nCmd);
  }
  // The base's map, as a host's message map macros reach it.
  static const AFX_MSGMAP* BaseMessageMap() { return CExtensionApp::_GetBaseMessageMap(); }
  const AFX_MSGMAP* OwnMessageMap() const { return CExtensionApp::GetMessageMap(); }
};
CHostApp theApp;

bool AppOverrideIsReachedThroughTheFramework() {
  const int kAppOverrides[] = {366};
  bool bSlot = OverridesSitInTheLibrarysSlots(&theApp, 1816, kAppOverrides, 1);
  void* const* pTable = static_cast<void* const*>(ExportedAt(1816));
  int nMapSlot = pTable != NULL ? SlotHolding(pTable, ExportedAt(1814), 128) : -1;
  int nHelpSlot = pTable != NULL ? SlotHolding(pTable, ExportedAt(366), 128) : -1;
  bool bOrder = Expect(nMapSlot > 0 && nMapSlot < nHelpSlot, "GetMessageMap's slot comes before WinHelp's");
  // Help asked for with no help package installed: the library tells the
  // user (the box is closed) and shows no help. A product install in the
  // prefix (the main job makes one) would have the system's help viewer
  // started, so its product directory, where the help file would be found,
  // is hidden for the call.
  SavedRegistryValue productDir(HKEY_LOCAL_MACHINE, kProductKey, "ProductDir");
  productDir.Save();
  productDir.Hide();
  BoxCloser closer;
  unsigned nStack = StackPointer();
  CWinApp* pApp = &theApp;
  pApp->WinHelp(0x1234, HELP_CONTEXT);
  productDir.Restore();
  bool bArgs = Expect(theApp.m_dwHelpData == 0x1234 && theApp.m_nHelpCommand == HELP_CONTEXT,
                      "WinHelp's arguments arrive");
  return bSlot && bOrder && bArgs && Expect(StackPointer() == nStack, "the stack pointer is where it was");
}

// --- dialog class ---

class CHostDlg : public CExtensionPackageDlg {
 public:
  CHostDlg() : CExtensionPackageDlg(NULL) {}
  int m_nInitCalls = 0;
  CString m_strFirstText;
  BOOL OnInitDialog() override {
    ++m_nInitCalls;
    BOOL bResult = CExtensionPackageDlg::OnInitDialog();
    ::GetDlgItemTextA(m_hWnd, 1000, m_strFirstText.GetBuffer(512), 512);
    m_strFirstText.ReleaseBuffer();
    return bResult;
  }
};

bool DialogOverrideRunsInTheModalLoop() {
  CHostDlg dialog;
  const int kDialogOverrides[] = {1804};
  bool bSlot = OverridesSitInTheLibrarysSlots(&dialog, 1809, kDialogOverrides, 1);
  void* const* pTable = static_cast<void* const*>(ExportedAt(1809));
  int nMap = SlotHolding(pTable, ExportedAt(1806), 128);
  int nExchange = SlotHolding(pTable, ExportedAt(1805), 128);
  int nInit = SlotHolding(pTable, ExportedAt(1804), 128);
  bool bOrder = Expect(0 < nMap && nMap < nExchange && nExchange < nInit,
                       "the slots of GetMessageMap, DoDataExchange and OnInitDialog come in that order");
  INT_PTR nResult;
  {
    BoxCloser closer;
    nResult = dialog.DoModal();
  }
  return bSlot && bOrder && Expect(nResult == IDCANCEL, "DoModal returns Cancel") &&
         Expect(dialog.m_nInitCalls == 1, "the host's OnInitDialog runs once") &&
         Expect(dialog.m_strFirstText.Find("search area") >= 0 && dialog.m_strFirstText.Find("%s") < 0,
                "the library's OnInitDialog filled in the product title");
}

// --- worker thread ---

class CHostThread : public TThread {
 public:
  CHostThread() : TThread(THREAD_PRIORITY_NORMAL, NULL) { m_hRunning = CreateEventA(NULL, TRUE, FALSE, NULL); }
  ~CHostThread() override { CloseHandle(m_hRunning); }
  HANDLE m_hRunning;
  CHostThread* m_pRunThis = NULL;
  DWORD m_nRunThread = 0;
  DWORD m_nEndTimeout = 0;
  UINT Run() override {
    m_pRunThis = this;
    m_nRunThread = GetCurrentThreadId();
    SetEvent(m_hRunning);
    while (!IsStopRequested()) Sleep(5);
    return 42;
  }
  BOOL End(DWORD dwTimeoutMs) override {
    m_nEndTimeout = dwTimeoutMs;
    return TThread::End(dwTimeoutMs);
  }
};

bool ThreadRunsTheHostsBody() {
  CHostThread thread;
  const int kThreadOverrides[] = {1409, 1411};
  bool bSlot = OverridesSitInTheLibrarysSlots(&thread, 1417, kThreadOverrides, 2);
  unsigned nStack = StackPointer();
  thread.Start();
  bool bRan = WaitForSingleObject(thread.m_hRunning, 10000) == WAIT_OBJECT_0;
  TThread* pThread = &thread;
  BOOL bEnded = pThread->End(10000);
  DWORD dwExit = 0;
  thread.GetExitCode(&dwExit);
  return bSlot && Expect(bRan, "Run started") && Expect(thread.m_pRunThis == &thread, "Run got the object") &&
         Expect(thread.m_nRunThread != GetCurrentThreadId(), "Run ran on a thread of its own") &&
         Expect(bEnded && thread.m_nEndTimeout == 10000, "End got its time-out and the thread ended") &&
         Expect(dwExit == 42, "the exit code is Run's result") &&
         Expect(StackPointer() == nStack, "the stack pointer is where it was");
}

// --- settings store ---

// Keeps one integer and one string, both named "present"; logs each call.
class CRecordingStore : public CSettingsStore {
 public:
  CString m_strLog;
  BOOL SetBinary(LPCSTR s, LPCSTR n, const BYTE*, DWORD* pcb) override { return Log("SetBinary", s, n, *pcb); }
  BOOL SetInt(LPCSTR s, LPCSTR n, DWORD dw, BOOL b) override { return Log("SetInt", s, n, dw + b); }
  BOOL SetString(LPCSTR s, LPCSTR n, LPCSTR v, BOOL b) override {
    return Log("SetString", s, n, b) && Log("  value", v, "", 0);
  }
  BOOL GetBinary(LPCSTR s, LPCSTR n, BYTE*, DWORD* pcb) override { return Log("GetBinary", s, n, *pcb); }
  BOOL GetInt(LPCSTR s, LPCSTR n, DWORD* pdw, BOOL b) override {
    Log("GetInt", s, n, b);
    if (strcmp(n, "present") != 0) return FALSE;
    *pdw = 7;
    return TRUE;
  }
  BOOL GetString(LPCSTR s, LPCSTR n, CString& str, BOOL b) override {
    Log("GetString", s, n, b);
    if (strcmp(n, "present") != 0) return FALSE;
    str = "stored";
    return TRUE;
  }
  BOOL DeleteSection(LPCSTR s) override { return Log("DeleteSection", s, "", 0); }
  BOOL DeleteValue(LPCSTR s, LPCSTR n) override { return Log("DeleteValue", s, n, 0); }

 private:
  BOOL Log(const char* pszOp, LPCSTR s, LPCSTR n, DWORD dw) {
    char szLine[256];
    sprintf(szLine, "%s %s %s %lu\n", pszOp, s, n, dw);
    m_strLog += szLine;
    return TRUE;
  }
};

// The store's own non-virtual helpers, in the library, call the host's
// slots.
bool StoreHelpersCallTheHostsSlots() {
  CRecordingStore store;
  unsigned nStack = StackPointer();
  int nSigned = 0;
  DWORD dwValue = 0, dwMissing = 0;
  CString strValue, strDefaulted, strHidden;
  bool bResults = store.CSettingsStore::GetInt("Sec", "present", &nSigned, TRUE) && nSigned == 7 &&
                  store.GetIntDefault("Sec", "present", &dwValue, 9, FALSE) && dwValue == 7 &&
                  store.GetIntDefault("Sec", "absent", &dwMissing, 9, FALSE) && dwMissing == 9 &&
                  store.GetStringDefault("Sec", "absent", strDefaulted, "dflt", TRUE) && strDefaulted == "dflt" &&
                  store.GetStringHiddenName("Sec", "present", strValue, "dflt", FALSE, FALSE) &&
                  strValue == "stored" && !store.GetStringHiddenName("Sec", "x", strHidden, "dflt", TRUE, TRUE) &&
                  strHidden == "dflt" && store.SetStringHiddenName("Sec", "plain", "v", TRUE, FALSE);
  const char* pszExpected =
      "GetInt Sec present 1\nGetInt Sec present 0\nGetInt Sec absent 0\nGetString Sec absent 1\n"
      "GetString Sec present 0\n";
  bool bLog = store.m_strLog.Find(pszExpected) == 0 && store.m_strLog.Find("SetString Sec plain 1\n") > 0;
  if (!bLog) Fail("calls:\n%s", static_cast<LPCSTR>(store.m_strLog));
  return Expect(bResults, "the helpers' results") && bLog &&
         Expect(StackPointer() == nStack, "the stack pointer is where it was");
}

const Check kChecks[] = {
    {"a host application's WinHelp sits in the library's slot", AppOverrideIsReachedThroughTheFramework},
    {"a host dialog's OnInitDialog runs in the library's slot", DialogOverrideRunsInTheModalLoop},
    {"a host thread's Run and End are reached", ThreadRunsTheHostsBody},
    {"the store's helpers call a host store's slots", StoreHelpersCallTheHostsSlots},
};

}  // namespace

const AFX_MSGMAP* AppBaseMessageMap() {
  return theApp.OwnMessageMap() != NULL ? CHostApp::BaseMessageMap() : NULL;
}

int RunDerivedClassChecks() { return RunChecks("derived classes", kChecks, CHECK_COUNT(kChecks)); }
