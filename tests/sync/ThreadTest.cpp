// The worker thread's life cycle on real threads: statuses, suspend counts,
// ending with a time-out, the user-interface form, and what destruction
// does to a thread that is still there.
#include <afxwin.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <atomic>
#include <vector>

#include "sync/TThread.h"

namespace {

const DWORD kWait = 10000;

// A handle of the test's own, to see the thread end after its TThread went.
HANDLE CopyHandle(HANDLE hThread) {
  HANDLE hCopy = NULL;
  DuplicateHandle(GetCurrentProcess(), hThread, GetCurrentProcess(), &hCopy, 0, FALSE, DUPLICATE_SAME_ACCESS);
  return hCopy;
}

bool EndsWithin(HANDLE hThread, DWORD ms) { return WaitForSingleObject(hThread, ms) == WAIT_OBJECT_0; }

// Counts until stopped; returns 5 when it saw the request.
class CCounter : public TThread {
 public:
  CCounter() : TThread(THREAD_PRIORITY_NORMAL, NULL) {}
  UINT Run() override {
    while (!IsStopRequested()) {
      ++m_nCount;
      Sleep(1);
    }
    return 5;
  }
  std::atomic<int> m_nCount{0};
};

// Polls the stop flag itself in a tight loop, as a derived body may: the
// flag must be read afresh on every pass.
class CSpinner : public TThread {
 public:
  CSpinner() : TThread(THREAD_PRIORITY_NORMAL, NULL) {}
  UINT Run() override {
    m_bStarted = true;
    unsigned spins = 0;
    while (!m_bStop) ++spins;
    return spins == 0 ? 1 : 2;
  }
  std::atomic<bool> m_bStarted{false};
};

// Ends itself through ExitIfStopRequested with 9; never returns from Run.
class CExiter : public TThread {
 public:
  CExiter() : TThread(THREAD_PRIORITY_NORMAL, NULL) {}
  UINT Run() override {
    for (;;) {
      ExitIfStopRequested(9);
      Sleep(1);
    }
  }
};

// Ignores every stop request.
class CStubborn : public TThread {
 public:
  CStubborn() : TThread(THREAD_PRIORITY_NORMAL, NULL) {}
  UINT Run() override {
    for (;;) Sleep(1);
  }
};

template <typename T>
void WaitUntil(const T& condition) {
  for (DWORD start = GetTickCount(); !condition() && GetTickCount() - start < kWait;) Sleep(1);
}

TEST(WorkerThread, StartRunsSuspendTwiceThenEndResumesAndWaits) {
  CCounter thread;
  EXPECT_EQ(thread.GetStatus(), TThread::Invalid);
  EXPECT_EQ(thread.Start(), 1) << "created suspended once, then resumed";
  EXPECT_EQ(thread.GetStatus(), TThread::Running);
  WaitUntil([&] { return thread.m_nCount > 0; });

  EXPECT_EQ(thread.Suspend(), 0);
  EXPECT_EQ(thread.Suspend(), 1);
  EXPECT_EQ(thread.GetStatus(), TThread::Suspended);
  Sleep(20);  // a suspension may take effect a moment after the call
  int counted = thread.m_nCount;
  Sleep(50);
  EXPECT_EQ(thread.m_nCount, counted) << "a suspended thread does not count";

  EXPECT_TRUE(thread.End(kWait));
  EXPECT_EQ(thread.GetStatus(), TThread::Finished);
  DWORD exitCode = 0;
  EXPECT_TRUE(thread.GetExitCode(&exitCode));
  EXPECT_EQ(exitCode, 5u);

  // Finished is final.
  EXPECT_FALSE(thread.End(kWait));
  EXPECT_EQ(thread.Suspend(), -1);
  EXPECT_EQ(thread.Resume(), -1);
}

TEST(WorkerThread, BodyPollingTheFlagItselfSeesTheStopRequest) {
  CSpinner thread;
  ASSERT_EQ(thread.Start(), 1);
  WaitUntil([&] { return thread.m_bStarted.load(); });
  Sleep(20);  // deep in its loop
  ASSERT_TRUE(thread.End(kWait)) << "the stop request never reached the polling loop";
  DWORD exitCode = 0;
  thread.GetExitCode(&exitCode);
  EXPECT_EQ(exitCode, 2u);
}

TEST(WorkerThread, ExitIfStopRequestedEndsTheThreadWithItsCode) {
  CExiter thread;
  ASSERT_EQ(thread.Start(), 1);
  ASSERT_TRUE(thread.End(kWait));
  DWORD exitCode = 0;
  thread.GetExitCode(&exitCode);
  EXPECT_EQ(exitCode, 9u);
}

TEST(WorkerThread, BaseRunEndsWithAllBitsSet) {
  TThread thread(THREAD_PRIORITY_NORMAL, NULL);
  ASSERT_EQ(thread.Start(), 1);
  ASSERT_TRUE(EndsWithin(thread.m_hThread, kWait));
  EXPECT_EQ(thread.GetStatus(), TThread::Finished);
  EXPECT_FALSE(thread.End(0)) << "an exited thread is not waited for";
  DWORD exitCode = 0;
  thread.GetExitCode(&exitCode);
  EXPECT_EQ(exitCode, 0xFFFFFFFFu);
  EXPECT_EQ(TThread::ThreadProc(NULL), 0u);
}

TEST(WorkerThread, CreateKeepsTheFirstThreadAndTakesThePriority) {
  TThread thread(THREAD_PRIORITY_BELOW_NORMAL, NULL);
  ASSERT_EQ(thread.Create(), 1);
  CWinThread* first = thread.m_pWinThread;
  EXPECT_EQ(thread.GetStatus(), TThread::Created);
  EXPECT_EQ(thread.Create(), -1);
  EXPECT_EQ(thread.m_pWinThread, first);
  EXPECT_EQ(GetThreadPriority(thread.m_hThread), THREAD_PRIORITY_BELOW_NORMAL);
  EXPECT_EQ(thread.Start(), 1);
  EXPECT_TRUE(EndsWithin(thread.m_hThread, kWait));
}

TEST(WorkerThread, WithoutAThreadEverythingRefuses) {
  TThread thread(THREAD_PRIORITY_NORMAL, NULL);
  EXPECT_EQ(thread.Suspend(), -1);
  EXPECT_EQ(thread.Resume(), -1);
  EXPECT_EQ(thread.GetStatus(), TThread::Invalid);
  EXPECT_FALSE(thread.End(0));
}

TEST(WorkerThread, EndGivesUpAfterTheTimeOutAndTheDestructorTerminates) {
  HANDLE hThread = NULL;
  {
    CStubborn thread;
    ASSERT_EQ(thread.Start(), 1);
    hThread = CopyHandle(thread.m_hThread);
    EXPECT_FALSE(thread.End(0));
    EXPECT_FALSE(thread.End(50));
    EXPECT_EQ(thread.GetStatus(), TThread::Running);
  }
  EXPECT_TRUE(EndsWithin(hThread, kWait));
  CloseHandle(hThread);
}

// Returns at once, before anyone asks it to stop.
class CShortLived : public TThread {
 public:
  CShortLived() : TThread(THREAD_PRIORITY_NORMAL, NULL) {}
  UINT Run() override { return 7; }
};

// How the header tells a host to end and free a worker: End, then the
// object may go unless its thread is still Running or Suspended.
bool EndAndMayFree(TThread& worker, DWORD timeoutMs) {
  BOOL bEnded = worker.End(timeoutMs);
  int status = worker.GetStatus();
  return bEnded || (status != TThread::Running && status != TThread::Suspended);
}

// Frees the worker; the exit code its thread ended with (0 when it had none).
DWORD FreeAndGetExitCode(TThread* worker) {
  HANDLE hThread = worker->m_hThread != NULL ? CopyHandle(worker->m_hThread) : NULL;
  delete worker;
  DWORD exitCode = 0;
  if (hThread != NULL) {
    EXPECT_TRUE(EndsWithin(hThread, kWait));
    GetExitCodeThread(hThread, &exitCode);
    CloseHandle(hThread);
  }
  return exitCode;
}

// In every case the rule frees the worker without terminating its thread
// (each ends with its own exit code), and keeps one that is still in Run.
TEST(WorkerThread, AfterEndTheStatusSaysWhetherTheObjectMayGo) {
  TThread* finished = new CShortLived;
  ASSERT_EQ(finished->Start(), 1);
  ASSERT_TRUE(EndsWithin(finished->m_hThread, kWait));
  EXPECT_FALSE(finished->End(kWait)) << "End has nothing to stop";
  EXPECT_TRUE(EndAndMayFree(*finished, kWait));
  EXPECT_EQ(FreeAndGetExitCode(finished), 7u);

  TThread* running = new CCounter;
  ASSERT_EQ(running->Start(), 1);
  EXPECT_TRUE(EndAndMayFree(*running, kWait));
  EXPECT_EQ(FreeAndGetExitCode(running), 5u);

  TThread* neverStarted = new CCounter;
  ASSERT_EQ(neverStarted->Create(), 1);
  EXPECT_TRUE(EndAndMayFree(*neverStarted, kWait));
  EXPECT_EQ(FreeAndGetExitCode(neverStarted), 0xFFFFFFFFu) << "ended without running its body";

  TThread* neverCreated = new CCounter;
  EXPECT_TRUE(EndAndMayFree(*neverCreated, kWait));
  FreeAndGetExitCode(neverCreated);

  CStubborn stubborn;  // the destructor terminates it at the end of the test
  ASSERT_EQ(stubborn.Start(), 1);
  EXPECT_FALSE(EndAndMayFree(stubborn, 50)) << "still inside Run";
}

TEST(WorkerThread, DestroyingACreatedButNeverStartedThreadEndsIt) {
  HANDLE hThread = NULL;
  {
    CCounter thread;
    ASSERT_EQ(thread.Create(), 1);
    hThread = CopyHandle(thread.m_hThread);
  }
  EXPECT_TRUE(EndsWithin(hThread, kWait)) << "a suspended thread was left behind";
  CloseHandle(hThread);
}

// User-interface form: a thread class whose main window ends its thread
// on the end message.
std::atomic<HWND> g_uiWindow{NULL};
std::atomic<int> g_uiDestroyed{0};

LRESULT CALLBACK UiWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == TThread::kEndMessage) {
    PostQuitMessage(12);
    return 0;
  }
  return DefWindowProcA(hWnd, message, wParam, lParam);
}

class CUiThread : public CWinThread {
  DECLARE_DYNCREATE(CUiThread)
 public:
  BOOL InitInstance() override {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = UiWindowProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "SyncTestsUiThread";
    RegisterClassA(&windowClass);  // fails harmlessly once registered
    HWND hWnd = CreateWindowA("SyncTestsUiThread", "", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL,
                              GetModuleHandleA(NULL), NULL);
    m_window.Attach(hWnd);
    m_pMainWnd = &m_window;
    g_uiWindow = hWnd;
    return hWnd != NULL;
  }
  int ExitInstance() override {
    m_window.DestroyWindow();
    return CWinThread::ExitInstance();
  }
  ~CUiThread() override { ++g_uiDestroyed; }

 private:
  CWnd m_window;
};
IMPLEMENT_DYNCREATE(CUiThread, CWinThread)

TEST(UserInterfaceThread, EndPostsTheEndMessageToTheMainWindow) {
  g_uiWindow = NULL;
  g_uiDestroyed = 0;
  TThread thread(THREAD_PRIORITY_NORMAL, RUNTIME_CLASS(CUiThread));
  ASSERT_EQ(thread.Start(), 1);
  WaitUntil([] { return g_uiWindow.load() != NULL; });
  ASSERT_NE(g_uiWindow.load(), nullptr);
  EXPECT_EQ(thread.Suspend(), 0);

  ASSERT_TRUE(thread.End(kWait));
  EXPECT_EQ(thread.GetStatus(), TThread::Finished);
  DWORD exitCode = 0;
  EXPECT_TRUE(thread.GetExitCode(&exitCode)) << "the handle outlives the self-deleting thread object";
  EXPECT_EQ(exitCode, 12u);
  WaitUntil([] { return g_uiDestroyed.load() == 1; });
  EXPECT_EQ(g_uiDestroyed, 1) << "the thread object deletes itself, once";
}

// Ends at once: InitInstance fails, and the thread object deletes itself.
class CEndsAtOnce : public CWinThread {
  DECLARE_DYNCREATE(CEndsAtOnce)
 public:
  BOOL InitInstance() override { return FALSE; }
};
IMPLEMENT_DYNCREATE(CEndsAtOnce, CWinThread)

// Blocks of the freed thread object's size, filled with garbage, so that a
// read of the freed object finds garbage instead of its old contents.
class CHeapReuse {
 public:
  explicit CHeapReuse(size_t size) {
    for (int i = 0; i < 64; ++i) {
      void* block = operator new(size);
      memset(block, 0xCD, size);
      m_blocks.push_back(block);
    }
  }
  ~CHeapReuse() {
    for (void* block : m_blocks) operator delete(block);
  }

 private:
  std::vector<void*> m_blocks;
};

TEST(ThreadThatHasExited, FailedSuspendKeepsTheStatusAndEndTouchesNothing) {
  TThread ui(THREAD_PRIORITY_NORMAL, RUNTIME_CLASS(CEndsAtOnce));
  TThread worker(THREAD_PRIORITY_NORMAL, NULL);  // the base Run returns at once
  for (TThread* thread : {&ui, &worker}) {
    ASSERT_EQ(thread->Start(), 1);
    ASSERT_TRUE(EndsWithin(thread->m_hThread, kWait));
    CHeapReuse reuse(sizeof(CEndsAtOnce));
    EXPECT_EQ(thread->Suspend(), -1);
    EXPECT_EQ(thread->GetStatus(), TThread::Finished) << "a suspend that failed changed the status";
    EXPECT_FALSE(thread->End(kWait));
    EXPECT_EQ(thread->Resume(), -1);
  }
}

std::atomic<int> g_bodiesEntered{0};

// Counts the bodies that ran.
class CBodyCounter : public TThread {
 public:
  CBodyCounter() : TThread(THREAD_PRIORITY_NORMAL, NULL) {}
  UINT Run() override {
    ++g_bodiesEntered;
    while (!IsStopRequested()) Sleep(1);
    return 0;
  }
};

// The value of a new handle: the system hands out the lowest free slot of
// the handle table, so handles left open push it up.
ULONG_PTR NextHandleValue() {
  HANDLE hEvent = CreateEventA(NULL, TRUE, FALSE, NULL);
  CloseHandle(hEvent);
  return reinterpret_cast<ULONG_PTR>(hEvent);
}

TEST(WorkerThread, NeverStartedThreadsEndCleanlyWithoutRunningTheirBody) {
  g_bodiesEntered = 0;
  const ULONG_PTR before = NextHandleValue();
  for (int i = 0; i < 300; ++i) {
    HANDLE hThread = NULL;
    {
      CBodyCounter thread;
      ASSERT_EQ(thread.Create(), 1);
      if (i == 0) hThread = CopyHandle(thread.m_hThread);
    }
    if (hThread != NULL) {
      EXPECT_TRUE(EndsWithin(hThread, 0)) << "the destructor returned before its thread ended";
      DWORD exitCode = 0;
      GetExitCodeThread(hThread, &exitCode);
      EXPECT_EQ(exitCode, 0xFFFFFFFFu) << "ended as a thread without a body, not terminated";
      CloseHandle(hThread);
    }
  }
  const ULONG_PTR after = NextHandleValue();
  EXPECT_LT(after, before + 30 * sizeof(HANDLE)) << "handles were left behind by threads that never started: " << before << " then " << after;
  EXPECT_EQ(g_bodiesEntered, 0) << "a body ran that nobody started";
}

DWORD WINAPI CreateStartDeleteCycles(LPVOID) {
  for (int i = 0; i < 1000; ++i) {
    CBodyCounter* thread = new CBodyCounter;
    thread->Start();
    if (i % 3 == 1) Sleep(0);  // now and then give the new thread a head start
    delete thread;
  }
  return 0;
}

TEST(WorkerThread, DestroyingRightAfterStartNeverHangs) {
  // On a thread of its own, so that a hang fails the test instead of
  // stopping the run.
  HANDLE hCycles = CreateThread(NULL, 0, CreateStartDeleteCycles, NULL, 0, NULL);
  ASSERT_NE(hCycles, nullptr);
  EXPECT_TRUE(EndsWithin(hCycles, 120000)) << "create-start-delete cycles hung";
  CloseHandle(hCycles);
}

}  // namespace
