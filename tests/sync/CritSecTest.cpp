// The process-wide critical section: nesting counts, the published section
// shared by separate client objects, the messages of a re-entry, guards, and
// processes of one executable that each keep their own section.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <sstream>
#include <string>

#include "BoxScript.h"
#include "PeerProcess.h"
#include "SyncTestHost.h"
#include "sync/CCritSec.h"
#include "sync/CProcCritSec.h"
#include "sync/CProcCritSecGuard.h"
#include "sync/CProcCritSecHost.h"

namespace {

const char kReentryText[] =
    "Error: unexpected re-entry of critical section\n"
    "Contact Corvane technical support via email at support@corvane.example";

// The property name this process publishes under.
std::string OwnPropertyName() {
  char path[MAX_PATH] = {0};
  GetModuleFileNameA(NULL, path, MAX_PATH);
  std::string text = path;
  return text.substr(text.rfind('\\') + 1) + ":" + std::to_string(GetCurrentProcessId());
}

// Whether another thread can enter the section right now.
bool OtherThreadCanEnter(CRITICAL_SECTION* section) {
  struct Probe {
    static DWORD WINAPI Run(LPVOID param) {
      CRITICAL_SECTION* cs = static_cast<CRITICAL_SECTION*>(param);
      if (!TryEnterCriticalSection(cs)) return 0;
      LeaveCriticalSection(cs);
      return 1;
    }
  };
  HANDLE thread = CreateThread(NULL, 0, Probe::Run, section, 0, NULL);
  WaitForSingleObject(thread, INFINITE);
  DWORD entered = 0;
  GetExitCodeThread(thread, &entered);
  CloseHandle(thread);
  return entered == 1;
}

TEST(CritSec, EnterAndLeaveReportTheOutermostLevel) {
  CCritSec section;
  EXPECT_TRUE(section.Enter());
  EXPECT_FALSE(section.Enter());
  EXPECT_FALSE(section.Leave());
  EXPECT_TRUE(section.Leave());
  EXPECT_TRUE(OtherThreadCanEnter(&section.m_critSec));
  EXPECT_FALSE(section.Leave()) << "nothing left to leave";
  EXPECT_EQ(section.m_nCount, 0);
  EXPECT_TRUE(section.Enter()) << "an extra Leave does not disturb the next entry";
  EXPECT_FALSE(OtherThreadCanEnter(&section.m_critSec));
  section.Leave();
}

TEST(ProcCritSec, WithoutAHostEnterFailsSilently) {
  BoxScript script;  // any box fails the test
  CProcCritSec client;
  EXPECT_FALSE(client.Enter());
  EXPECT_FALSE(client.Enter()) << "looked up again, still missing";
  EXPECT_FALSE(client.Leave());
  EXPECT_EQ(client.m_pCritSec, nullptr);
}

TEST(ProcCritSec, AnotherProcessesPropertyUnderThisNameIsNoHost) {
  // As left by an ended process whose id this one now has.
  BoxScript script;
  static CRITICAL_SECTION foreign;
  ASSERT_TRUE(SetPropA(GetDesktopWindow(), OwnPropertyName().c_str(), &foreign));
  CProcCritSec client;
  EXPECT_FALSE(client.Enter());
  EXPECT_EQ(client.m_pCritSec, nullptr);
  RemovePropA(GetDesktopWindow(), OwnPropertyName().c_str());
}

TEST(ProcCritSec, HostPublishesUntilItGoes) {
  {
    CProcCritSecHost host;
    ASSERT_TRUE(host.Init());
    EXPECT_EQ(GetPropA(GetDesktopWindow(), OwnPropertyName().c_str()), static_cast<HANDLE>(&host));
    CProcCritSec client;
    ASSERT_TRUE(client.Enter());
    EXPECT_EQ(client.m_pCritSec, static_cast<CRITICAL_SECTION*>(&host));
    EXPECT_FALSE(client.m_strModule.IsEmpty());
    EXPECT_EQ(OwnPropertyName().find(static_cast<LPCSTR>(client.m_strModule)), 0u);
    EXPECT_FALSE(OtherThreadCanEnter(&host));
    EXPECT_TRUE(client.Leave());
    EXPECT_FALSE(client.Leave()) << "no entry left to leave";
    EXPECT_TRUE(OtherThreadCanEnter(&host));
  }
  EXPECT_EQ(GetPropA(GetDesktopWindow(), OwnPropertyName().c_str()), nullptr);
  CProcCritSec late;
  EXPECT_FALSE(late.Enter());

  CProcCritSecHost host;
  ASSERT_TRUE(host.Init());
  RemoveHostProperty();
  EXPECT_FALSE(late.Enter()) << "withdrawn by RemoveHostProperty";
}

struct ExclusionRun {
  std::atomic<int> inside{0};
  std::atomic<int> mostInside{0};
  std::atomic<int> entries{0};
};

DWORD WINAPI ExclusionWorker(LPVOID param) {
  ExclusionRun* run = static_cast<ExclusionRun*>(param);
  CProcCritSec client;
  for (int round = 0; round < 200; ++round) {
    CProcCritSecGuard guard(&client, "ExclusionWorker");
    if (!guard.Enter()) continue;
    int now = ++run->inside;
    int most = run->mostInside;
    while (now > most && !run->mostInside.compare_exchange_weak(most, now)) {
    }
    ++run->entries;
    Sleep(0);
    --run->inside;
  }
  return 0;
}

TEST(ProcCritSec, ThreadsWithTheirOwnClientsExcludeEachOther) {
  CProcCritSecHost host;
  ASSERT_TRUE(host.Init());
  ExclusionRun run;
  HANDLE threads[4];
  for (HANDLE& thread : threads) thread = CreateThread(NULL, 0, ExclusionWorker, &run, 0, NULL);
  EXPECT_EQ(WaitForMultipleObjects(4, threads, TRUE, 60000), WAIT_OBJECT_0);
  for (HANDLE thread : threads) CloseHandle(thread);
  EXPECT_EQ(run.entries, 800);
  EXPECT_EQ(run.mostInside, 1);
}

TEST(ProcCritSec, ReentryThroughOneObjectIsShownAndUndone) {
  CProcCritSecHost host;
  ASSERT_TRUE(host.Init());
  CProcCritSec client;
  ASSERT_TRUE(client.Enter());
  {
    BoxScript script;
    script.Expect().Caption(kAppCaption).Text(kReentryText).Buttons({IDOK});
    EXPECT_FALSE(client.Enter());
  }
  EXPECT_EQ(client.m_nCount, 1);
  EXPECT_FALSE(OtherThreadCanEnter(&host)) << "the outer entry stays";
  CProcCritSec second;  // nesting through another object is allowed
  EXPECT_TRUE(second.Enter());
  EXPECT_TRUE(second.Leave());
  EXPECT_TRUE(client.Leave());
  EXPECT_TRUE(OtherThreadCanEnter(&host));
}

TEST(ProcCritSecGuard, FailedEntryNamesTheFunctionAndLeavesNothing) {
  CProcCritSecHost host;
  ASSERT_TRUE(host.Init());
  CProcCritSec client;
  ASSERT_TRUE(client.Enter());
  {
    std::ostringstream threadText;
    threadText << "Fcn: Search\nThread ID: 0x" << std::hex << GetCurrentThreadId();
    BoxScript script;
    script.Expect().Text(kReentryText);
    script.Expect().Caption(kAppCaption).Text(threadText.str()).Buttons({IDOK});
    CProcCritSecGuard guard(&client, "Search");
    EXPECT_FALSE(guard.Enter());
    EXPECT_FALSE(guard.Leave());
  }  // the guard goes here
  EXPECT_EQ(client.m_nCount, 1);
  EXPECT_FALSE(OtherThreadCanEnter(&host)) << "the guard left the enclosing entry";
  {
    BoxScript script;
    script.Expect().Text(kReentryText);  // an unnamed guard adds no box
    CProcCritSecGuard unnamed(&client, NULL);
    EXPECT_FALSE(unnamed.Enter());
  }
  {
    CProcCritSecGuard neverEntered(&client, "Idle");
  }
  EXPECT_EQ(client.m_nCount, 1) << "a guard that never entered leaves nothing";
  EXPECT_TRUE(client.Leave());
}

TEST(ProcCritSecGuard, LongFunctionNamesAreShownWhole) {
  CProcCritSecHost host;
  ASSERT_TRUE(host.Init());
  CProcCritSec client;
  ASSERT_TRUE(client.Enter());
  std::string name(600, 'f');  // the message outgrows the first buffers
  std::ostringstream text;
  text << "Fcn: " << name << "\nThread ID: 0x" << std::hex << GetCurrentThreadId();
  {
    BoxScript script;
    script.Expect().Text(kReentryText);
    script.Expect().Text(text.str());
    CProcCritSecGuard guard(&client, name.c_str());
    EXPECT_FALSE(guard.Enter());
  }
  EXPECT_TRUE(client.Leave());
}

TEST(ProcCritSecGuard, LeavesWhatItEnteredOnce) {
  CProcCritSecHost host;
  ASSERT_TRUE(host.Init());
  CProcCritSec client;
  {
    CProcCritSecGuard guard(&client, "Search");
    ASSERT_TRUE(guard.Enter());
    EXPECT_FALSE(OtherThreadCanEnter(&host));
    EXPECT_TRUE(guard.Leave());
    EXPECT_FALSE(guard.Leave());
    EXPECT_EQ(guard.m_pProcCritSec, nullptr);
    EXPECT_TRUE(OtherThreadCanEnter(&host));
    CProcCritSecGuard held(&client, "Search");
    ASSERT_TRUE(held.Enter());
  }
  EXPECT_EQ(client.m_nCount, 0);
  EXPECT_TRUE(OtherThreadCanEnter(&host));
}

// "RESULT ADDRESS" from the peer.
struct PeerEntry {
  std::string result, address;
};
PeerEntry Split(const std::string& answer) {
  size_t blank = answer.find(' ');
  return {answer.substr(0, blank), blank == std::string::npos ? "" : answer.substr(blank + 1)};
}

TEST(ProcCritSecProcesses, AClientFindsOnlyItsOwnProcesssHost) {
  PeerProcess first, second;
  PeerEntry firstHost = Split(first.Ask("host"));
  ASSERT_EQ(firstHost.result, "1");
  PeerEntry stranger = Split(second.Ask("enter"));
  EXPECT_EQ(stranger.result, "0") << "entered the section of another process";

  PeerEntry secondHost = Split(second.Ask("host"));
  ASSERT_EQ(secondHost.result, "1");
  PeerEntry firstEntry = Split(first.Ask("enter"));
  PeerEntry secondEntry = Split(second.Ask("enter"));
  EXPECT_EQ(firstEntry.result, "1");
  EXPECT_EQ(secondEntry.result, "1");
  EXPECT_EQ(firstEntry.address, firstHost.address);
  EXPECT_EQ(secondEntry.address, secondHost.address);
  EXPECT_EQ(first.Ask("leave"), "1");
  EXPECT_EQ(second.Ask("leave"), "1");
}

TEST(ProcCritSecProcesses, ANewHostRemovesThePublicationsOfProcessesThatAreGone) {
  std::string crashedName;
  {
    PeerProcess crashed;
    ASSERT_EQ(Split(crashed.Ask("host")).result, "1");
    crashedName = "sync_peer.exe:" + std::to_string(crashed.Id());
    ASSERT_NE(GetPropA(GetDesktopWindow(), crashedName.c_str()), nullptr);
    ASSERT_TRUE(crashed.Crash());
  }
  PeerProcess alive, next;
  ASSERT_EQ(Split(alive.Ask("host")).result, "1");
  const std::string aliveName = "sync_peer.exe:" + std::to_string(alive.Id());
  ASSERT_EQ(Split(next.Ask("host")).result, "1");
  EXPECT_EQ(GetPropA(GetDesktopWindow(), crashedName.c_str()), nullptr) << "the crashed host's property stayed";
  EXPECT_EQ(GlobalFindAtomA(crashedName.c_str()), 0) << "and with it its atom";
  EXPECT_NE(GetPropA(GetDesktopWindow(), aliveName.c_str()), nullptr) << "a running host's property went";
}

}  // namespace
