// A running sync_peer.exe (built beside the tests): a second process that
// takes one command per line and answers each with one line.
#pragma once

#include <windows.h>

#include <string>

class PeerProcess {
 public:
  PeerProcess();   // starts the peer; a failure fails the test
  ~PeerProcess();  // asks it to quit and waits for it

  // Sends one command line and returns the peer's answer line (without its
  // line end); empty, and a test failure, when none came in time.
  std::string Ask(const std::string& command);
  // Makes the peer end at once, without its destructors, as a crash would;
  // true when it ended.
  bool Crash();
  DWORD Id() const { return m_process.dwProcessId; }

 private:
  bool ReadLine(std::string& line);

  PROCESS_INFORMATION m_process = {};
  HANDLE m_toPeer = nullptr;
  HANDLE m_fromPeer = nullptr;
  std::string m_pending;  // read but not yet returned

  PeerProcess(const PeerProcess&) = delete;
  PeerProcess& operator=(const PeerProcess&) = delete;
};
