// The groups of checks of the Windows-ABI host; each returns the number of
// its checks that failed.
#pragma once

int RunTokenizerChecks();
int RunRuntimeChecks();
int RunVirtualTableChecks();
int RunDerivedClassChecks();
int RunExportCoverageChecks();

// The argument that makes the program only arm the exit probe and end.
const char* ExitProbeArgument();
// Makes a static object of the host print a line when it is destroyed.
void ArmExitProbe();
