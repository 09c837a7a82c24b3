// What the start-up code and the runtime do for a host of the Windows ABI:
// static objects are built before main and destroyed at the end, in the
// host and in a DLL; a framework exception thrown in afx.dll is caught here
// through msvcrt.dll's handlers; the library's exported data is reached
// through its import library; a template expands (its session lives in the
// library's thread-local storage).
#include <stdio.h>
#include <string.h>

#include "afxwin.h"
#include "config/CRegistryKey.h"
#include "html/CHtmlTokenizer.h"
#include "msvctests/CheckRunner.h"
#include "msvctests/Groups.h"
#include "template/CNamedValueList.h"
#include "template/CTemplateExpander.h"

namespace {

// Built by the start-up code's static constructors before main runs.
CString g_strBuiltBeforeMain("static objects are built");

// Prints a line when destroyed, in a run of this program that was asked to
// (ExitProbeArgument); another run checks that the line arrives.
class CExitProbe {
 public:
  bool m_bArmed = false;
  ~CExitProbe() {
    if (m_bArmed) {
      printf("host static object destroyed\n");
      fflush(stdout);
    }
  }
};
CExitProbe g_exitProbe;

bool StaticObjectsAreBuiltBeforeMain() { return g_strBuiltBeforeMain == "static objects are built"; }

// Runs this program again with ExitProbeArgument and reads its output.
bool HostStaticObjectsAreDestroyed() {
  char szPath[MAX_PATH];
  GetModuleFileNameA(NULL, szPath, MAX_PATH);
  SECURITY_ATTRIBUTES sa = {sizeof(sa), NULL, TRUE};
  HANDLE hRead, hWrite;
  if (!CreatePipe(&hRead, &hWrite, &sa, 0)) return Fail("CreatePipe failed");
  SetHandleInformation(hRead, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si;
  memset(&si, 0, sizeof(si));
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = hWrite;
  si.hStdError = hWrite;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi;
  CString strCommand = CString("\"") + szPath + "\" " + ExitProbeArgument();
  BOOL bStarted = CreateProcessA(NULL, strCommand.GetBuffer(0), NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi);
  CloseHandle(hWrite);
  if (!bStarted) {
    CloseHandle(hRead);
    return Fail("the program could not be run again");
  }
  CString strOutput;
  char buffer[256];
  DWORD nRead;
  while (ReadFile(hRead, buffer, sizeof(buffer), &nRead, NULL) && nRead > 0) strOutput += CString(buffer, nRead);
  CloseHandle(hRead);
  WaitForSingleObject(pi.hProcess, 30000);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  if (strOutput.Find("host static object destroyed") < 0) {
    return Fail("output of the second run: [%s]", static_cast<LPCSTR>(strOutput));
  }
  return true;
}

bool DllStaticObjectsAreBuiltAndDestroyed() {
  HMODULE hProbe = LoadLibraryA("msvc_static_probe.dll");
  if (hProbe == NULL) return Fail("msvc_static_probe.dll did not load (%lu)", GetLastError());
  typedef int (*MagicFn)();
  typedef void (*SetFlagFn)(LONG*);
  MagicFn pMagic = reinterpret_cast<MagicFn>(GetProcAddress(hProbe, "ProbeMagic"));
  SetFlagFn pSetFlag = reinterpret_cast<SetFlagFn>(GetProcAddress(hProbe, "ProbeSetDestroyedFlag"));
  if (pMagic == NULL || pSetFlag == NULL) return Fail("the probe's functions are missing");
  bool bBuilt = pMagic() == 0x5EED;
  static LONG nDestroyed = 0;
  pSetFlag(&nDestroyed);
  FreeLibrary(hProbe);
  return Expect(bBuilt, "the DLL's static object was built when it loaded") &&
         Expect(nDestroyed == 1, "the DLL's static object was destroyed when it was unloaded");
}

// The tokenizer's table of reference names is built by a static
// constructor of LDExCore.dll when it loads: without it, no name would
// decode.
bool LibraryStaticObjectsAreBuilt() {
  return CHtmlTokenizer::DecodeCharRef("amp") == '&' && CHtmlTokenizer::DecodeCharRef("lt") == '<';
}

bool FrameworkExceptionIsCaughtByType() {
  unsigned nStack = StackPointer();
  bool bKind = false;
  try {
    AfxThrowUserException();
  } catch (CUserException* pException) {
    bKind = pException->IsKindOf(RUNTIME_CLASS(CUserException)) != FALSE;
    pException->Delete();
  } catch (...) {
  }
  return Expect(bKind, "caught as a CUserException") && Expect(StackPointer() == nStack, "stack pointer restored");
}

bool ExportedDataIsRead() {
  return CRegistryKey::ParentKeyName != NULL && strcmp(CRegistryKey::ParentKeyName, "..") == 0;
}

bool TemplateExpands() {
  CNamedValueList vars;
  vars.SetValue("NAME", "World");
  CTemplateExpander expander;
  LPSTR pszOut = NULL;
  if (!expander.ExpandToString("Hello ${NAME}$\n<!--^^ifdef NONE^^-->gone<!--^^endif^^-->", &pszOut, &vars,
                               NULL)) {
    return Fail("ExpandToString failed");
  }
  bool bSame = strcmp(pszOut, "Hello World\r\n") == 0;
  if (!bSame) Fail("expanded: [%s]", pszOut);
  AfxFreeMemory(pszOut);
  return bSame;
}

const Check kChecks[] = {
    {"the host's static objects are built before main", StaticObjectsAreBuiltBeforeMain},
    {"the host's static objects are destroyed at exit", HostStaticObjectsAreDestroyed},
    {"a DLL's static objects are built and destroyed", DllStaticObjectsAreBuiltAndDestroyed},
    {"LDExCore.dll's static objects are built when it loads", LibraryStaticObjectsAreBuilt},
    {"a framework exception from afx.dll is caught by its type", FrameworkExceptionIsCaughtByType},
    {"exported data is read through the import library", ExportedDataIsRead},
    {"a template expands", TemplateExpands},
};

}  // namespace

const char* ExitProbeArgument() { return "--exit-probe"; }

void ArmExitProbe() { g_exitProbe.m_bArmed = true; }

int RunRuntimeChecks() { return RunChecks("runtime", kChecks, CHECK_COUNT(kChecks)); }
