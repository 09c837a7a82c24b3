#include "PeerProcess.h"

#include <gtest/gtest.h>

#include "ExecutableDir.h"

namespace {

const DWORD kAnswerTimeoutMs = 20000;

std::string PeerPath() { return TestExecutableDir() + "sync_peer.exe"; }

}  // namespace

PeerProcess::PeerProcess() {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
  HANDLE outRead = NULL, outWrite = NULL, inRead = NULL, inWrite = NULL;
  if (!CreatePipe(&outRead, &outWrite, &inherit, 0) || !CreatePipe(&inRead, &inWrite, &inherit, 0)) {
    ADD_FAILURE() << "cannot create the peer's pipes: error " << GetLastError();
    return;
  }
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(inWrite, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inRead;
  startup.hStdOutput = outWrite;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  std::string program = PeerPath();
  std::string commandLine = "sync_peer.exe";
  BOOL started =
      CreateProcessA(program.c_str(), &commandLine[0], NULL, NULL, TRUE, 0, NULL, NULL, &startup, &m_process);
  CloseHandle(outWrite);
  CloseHandle(inRead);
  m_toPeer = inWrite;
  m_fromPeer = outRead;
  if (!started) ADD_FAILURE() << "cannot start " << program << ": error " << GetLastError();
}

PeerProcess::~PeerProcess() {
  if (m_process.hProcess) {
    Ask("quit");
    if (WaitForSingleObject(m_process.hProcess, kAnswerTimeoutMs) != WAIT_OBJECT_0) {
      ADD_FAILURE() << "the peer did not quit";
      TerminateProcess(m_process.hProcess, 1);  // a hung peer must not outlive the test
    }
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
  }
  if (m_toPeer) CloseHandle(m_toPeer);
  if (m_fromPeer) CloseHandle(m_fromPeer);
}

bool PeerProcess::Crash() {
  if (!m_process.hProcess) return false;
  const char line[] = "crash\n";
  DWORD written = 0;
  WriteFile(m_toPeer, line, sizeof line - 1, &written, NULL);
  bool ended = WaitForSingleObject(m_process.hProcess, kAnswerTimeoutMs) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(m_process.hProcess, 1);
  CloseHandle(m_process.hThread);
  CloseHandle(m_process.hProcess);
  m_process.hThread = m_process.hProcess = NULL;
  return ended;
}

std::string PeerProcess::Ask(const std::string& command) {
  if (!m_process.hProcess) return "";
  std::string line = command + "\n";
  DWORD written = 0;
  WriteFile(m_toPeer, line.data(), static_cast<DWORD>(line.size()), &written, NULL);
  std::string answer;
  EXPECT_TRUE(ReadLine(answer)) << "the peer did not answer '" << command << "'";
  return answer;
}

// Polls the pipe so that a peer that hangs (a box nobody answers) fails the
// test instead of blocking it.
bool PeerProcess::ReadLine(std::string& line) {
  DWORD start = GetTickCount();
  for (;;) {
    size_t end = m_pending.find('\n');
    if (end != std::string::npos) {
      line = m_pending.substr(0, end);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      m_pending.erase(0, end + 1);
      return true;
    }
    DWORD available = 0;
    if (!PeekNamedPipe(m_fromPeer, NULL, 0, NULL, &available, NULL)) return false;
    if (available == 0) {
      if (GetTickCount() - start >= kAnswerTimeoutMs) return false;
      Sleep(5);
      continue;
    }
    char chunk[512];
    DWORD read = 0;
    if (!ReadFile(m_fromPeer, chunk, sizeof chunk, &read, NULL) || read == 0) return false;
    m_pending.append(chunk, read);
  }
}
