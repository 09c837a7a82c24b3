// The Windows-ABI host checks: a program built as a host of this ABI, with
// no C++ standard library, that derives from the library's classes, calls
// every exported function through the import library and checks what the
// start-up code and the runtime do. Prints a line per check; exits 1 when
// one fails.
#include <stdio.h>
#include <string.h>

#include "afxwin.h"
#include "frame/LibraryEntry.h"
#include "msvctests/Groups.h"

int main(int argc, char** argv) {
  if (argc > 1 && strcmp(argv[1], ExitProbeArgument()) == 0) {
    ArmExitProbe();
    return 0;
  }
  if (!AfxWinInit(GetModuleHandleA(NULL), NULL, GetCommandLineA(), SW_SHOW)) {
    printf("FAIL AfxWinInit\n");
    return 1;
  }
  InitExtensionDll();
  int nFailed = RunRuntimeChecks();
  nFailed += RunTokenizerChecks();
  nFailed += RunVirtualTableChecks();
  nFailed += RunDerivedClassChecks();
  nFailed += RunExportCalls();
  nFailed += RunExportCoverageChecks();
  printf("%d check(s) failed\n", nFailed);
  fflush(stdout);
  return nFailed == 0 ? 0 : 1;
}
