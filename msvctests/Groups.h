// The groups of checks of the Windows-ABI host; each returns the number of
// its checks that failed.
#pragma once

int RunTokenizerChecks();
int RunRuntimeChecks();
int RunVirtualTableChecks();
int RunDerivedClassChecks();
int RunExportCalls();
int RunExportCoverageChecks();

struct AFX_MSGMAP;
// The message map that the host's application class's base chains to.
const AFX_MSGMAP* AppBaseMessageMap();

// The argument that makes the program only arm the exit probe and end.
const char* ExitProbeArgument();
// Makes a static object of the host print a line when it is destroyed.
void ArmExitProbe();
