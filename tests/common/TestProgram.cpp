#include "TestProgram.h"

#include <gtest/gtest.h>

#include "ExecutableDir.h"

ProgramRun RunTestProgram(const std::string& exeName, const std::string& arguments, bool bMergeErrors,
                          DWORD timeoutMs) {
  ProgramRun run = {99, ""};
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
  HANDLE outRead = NULL, outWrite = NULL;
  EXPECT_TRUE(CreatePipe(&outRead, &outWrite, &inherit, 0));
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = outWrite;
  startup.hStdError = bMergeErrors ? outWrite : GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process;
  std::string program = TestExecutableDir() + exeName;
  std::string commandLine = exeName + (arguments.empty() ? "" : " " + arguments);
  BOOL started = CreateProcessA(program.c_str(), &commandLine[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process);
  CloseHandle(outWrite);
  EXPECT_TRUE(started) << "cannot start " << program << ": error " << GetLastError();
  if (started) {
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(outRead, chunk, sizeof chunk, &read, NULL) && read > 0) run.output.append(chunk, read);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, timeoutMs));
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(outRead);
  return run;
}
