// The library's entry notifications drive the engine stand-in: which ordinal
// is called, with which numbers, on which thread and in which order.
#include <afxwin.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "EngineCallLog.h"

namespace {

const char* const kLibrary = "LDExCore.dll";
const char* const kProcessStart = "50(2,0,0) 119(10,54,32)";
const char* const kThreadStart = "292() 119(10,54,32)";
const char* const kThreadEnd = "15() 293()";
const char* const kProcessEnd = "15() 68()";

std::string Join(std::initializer_list<const char*> parts) {
  std::string text;
  for (const char* part : parts) {
    if (!text.empty()) text += ' ';
    text += part;
  }
  return text;
}

// A thread that runs a step, then waits until it is released before it ends.
class ParkedThread {
 public:
  explicit ParkedThread(std::function<void()> step = [] {}) : m_step(std::move(step)) {
    m_release = CreateEventA(NULL, TRUE, FALSE, NULL);
    m_stepDone = CreateEventA(NULL, TRUE, FALSE, NULL);
    m_thread = CreateThread(NULL, 0, &ParkedThread::Main, this, 0, &m_id);
    WaitForSingleObject(m_stepDone, INFINITE);
  }
  ~ParkedThread() {
    End();
    CloseHandle(m_thread);
    CloseHandle(m_release);
    CloseHandle(m_stepDone);
  }
  DWORD Id() const { return m_id; }
  void End() {
    SetEvent(m_release);
    WaitForSingleObject(m_thread, INFINITE);
  }

 private:
  static DWORD WINAPI Main(LPVOID self) {
    ParkedThread* thread = static_cast<ParkedThread*>(self);
    thread->m_step();
    SetEvent(thread->m_stepDone);
    WaitForSingleObject(thread->m_release, INFINITE);
    return 0;
  }

  std::function<void()> m_step;
  HANDLE m_release, m_stepDone, m_thread;
  DWORD m_id = 0;
};

class LibraryLifetimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetModuleHandleA(kLibrary), nullptr) << "library still loaded by an earlier test";
    m_log.Reset();
  }
  EngineCallLog m_log;
};

TEST_F(LibraryLifetimeTest, LoadThreadsAndUnloadCallTheEngineInOrder) {
  HMODULE library = LoadLibraryA(kLibrary);
  ASSERT_NE(library, nullptr);
  DWORD self = GetCurrentThreadId();
  EXPECT_EQ(m_log.OnThread(self), kProcessStart);

  ParkedThread worker;
  worker.End();
  EXPECT_EQ(m_log.OnThread(worker.Id()), Join({kThreadStart, kThreadEnd}));

  ASSERT_TRUE(FreeLibrary(library));
  EXPECT_EQ(m_log.OnThread(self), Join({kProcessStart, kProcessEnd}));
  EXPECT_EQ(m_log.Calls().front().ordinal, 50) << "process start comes before any thread set-up";
}

TEST_F(LibraryLifetimeTest, ThreadRunningBeforeTheLoadGetsOnlyTheEndCalls) {
  ParkedThread earlier;
  HMODULE library = LoadLibraryA(kLibrary);
  ASSERT_NE(library, nullptr);
  earlier.End();
  EXPECT_EQ(m_log.OnThread(earlier.Id()), kThreadEnd);
  FreeLibrary(library);
}

TEST_F(LibraryLifetimeTest, LoadingThreadThatEndsFirstLeavesOnlyProcessEndToTheUnload) {
  HMODULE library = nullptr;
  ParkedThread loader([&] { library = LoadLibraryA(kLibrary); });
  ASSERT_NE(library, nullptr);
  loader.End();
  EXPECT_EQ(m_log.OnThread(loader.Id()), Join({kProcessStart, kThreadEnd}));

  FreeLibrary(library);
  EXPECT_EQ(m_log.OnThread(GetCurrentThreadId()), kProcessEnd);
}

TEST_F(LibraryLifetimeTest, RefusedExtensionModuleFailsTheLoadWithoutEngineCalls) {
  AfxSetRefuseExtensionModules(TRUE);
  HMODULE library = LoadLibraryA(kLibrary);
  AfxSetRefuseExtensionModules(FALSE);
  EXPECT_EQ(library, nullptr);
  if (library) FreeLibrary(library);
  EXPECT_TRUE(m_log.Calls().empty());
}

}  // namespace
