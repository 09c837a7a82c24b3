// Runs a program built beside the test executable and collects what it
// prints, for tests of programs that run as processes of their own.
#pragma once

#include <windows.h>

#include <string>

struct ProgramRun {
  DWORD exitCode;      // 99 when the program could not be started
  std::string output;  // standard output, with standard error when merged
};

// Starts TestExecutableDir() + exeName with the arguments, reads its output
// to the end and waits up to timeoutMs for it to end (gtest failures when it
// cannot start or does not end in time).
ProgramRun RunTestProgram(const std::string& exeName, const std::string& arguments, bool bMergeErrors,
                          DWORD timeoutMs = 60000);
