#include "ProbeRunner.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "BrowserTestHost.h"

namespace {

const DWORD kProbeTimeoutMs = 60000;

void ParseInto(const std::string& text, std::vector<ProbeReport>& reports) {
  reports.assign(1, ProbeReport());
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    if (line == "PAUSED") {
      reports.push_back(ProbeReport());
      continue;
    }
    size_t equals = line.find('=');
    if (equals != std::string::npos) reports.back()[line.substr(0, equals)] = line.substr(equals + 1);
  }
}

// Reads until the text holds `until` (or, when empty, until the end).
bool ReadOutput(HANDLE pipe, std::string& text, const char* until) {
  for (;;) {
    if (until != NULL && text.find(until) != std::string::npos) return true;
    char chunk[4096];
    DWORD read = 0;
    if (!ReadFile(pipe, chunk, sizeof chunk, &read, NULL) || read == 0) return until == NULL;
    text.append(chunk, read);
  }
}

}  // namespace

std::vector<ProbeReport> RunProbe(const std::string& arguments, const std::function<void()>& whilePaused) {
  std::vector<ProbeReport> reports;
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
  HANDLE outRead = NULL, outWrite = NULL, inRead = NULL, inWrite = NULL;
  EXPECT_TRUE(CreatePipe(&outRead, &outWrite, &inherit, 0));
  EXPECT_TRUE(CreatePipe(&inRead, &inWrite, &inherit, 0));
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inRead;
  startup.hStdOutput = outWrite;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process;
  std::string program = BrowserTestHost::ProgramDir() + "browser_probe.exe";
  std::string commandLine = "browser_probe.exe " + arguments;
  BOOL started = CreateProcessA(program.c_str(), &commandLine[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &process);
  CloseHandle(outWrite);
  CloseHandle(inRead);
  EXPECT_TRUE(started) << "cannot start " << program << ": error " << GetLastError();
  std::string text;
  if (started) {
    if (whilePaused) {
      EXPECT_TRUE(ReadOutput(outRead, text, "PAUSED")) << "the probe did not pause: " << text;
      whilePaused();
      DWORD written = 0;
      WriteFile(inWrite, "\n", 1, &written, NULL);
    }
    ReadOutput(outRead, text, NULL);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, kProbeTimeoutMs));
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(0u, exitCode) << text;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(outRead);
  CloseHandle(inWrite);
  ParseInto(text, reports);
  return reports;
}
