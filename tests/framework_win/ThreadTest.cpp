// Worker and user-interface threads started through the framework: the
// suspended start, the exit code, the message loop and who deletes the
// thread object.
#include <gtest/gtest.h>

#include <atomic>

#include "FrameworkWinTest.h"

namespace {

const DWORD kWait = 10000;

// A duplicate of the thread's handle, to wait on a thread whose object may
// delete itself.
HANDLE DuplicateThreadHandle(CWinThread* pThread) {
  HANDLE hCopy = NULL;
  DuplicateHandle(GetCurrentProcess(), pThread->m_hThread, GetCurrentProcess(), &hCopy, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  return hCopy;
}

DWORD WaitForExitCode(HANDLE hThread) {
  EXPECT_EQ(WaitForSingleObject(hThread, kWait), WAIT_OBJECT_0);
  DWORD dwExitCode = 0;
  EXPECT_TRUE(GetExitCodeThread(hThread, &dwExitCode));
  return dwExitCode;
}

struct WorkerContext {
  std::atomic<bool> ran{false};
  std::atomic<CWinThread*> seenThread{nullptr};
  std::atomic<bool> afterEnd{false};
};

UINT Worker(LPVOID pParam) {
  WorkerContext* pContext = static_cast<WorkerContext*>(pParam);
  pContext->seenThread = AfxGetThread();
  pContext->ran = true;
  return 42;
}

UINT EndingWorker(LPVOID pParam) {
  AfxEndThread(7);
  static_cast<WorkerContext*>(pParam)->afterEnd = true;
  return 0;
}

TEST(WorkerThread, SuspendedStartWaitsForResumeAndKeepsItsHandle) {
  WorkerContext context;
  CWinThread* pThread =
      AfxBeginThread(Worker, &context, THREAD_PRIORITY_BELOW_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(pThread, nullptr);
  pThread->m_bAutoDelete = FALSE;

  Sleep(100);
  EXPECT_FALSE(context.ran);
  EXPECT_EQ(pThread->GetThreadPriority(), THREAD_PRIORITY_BELOW_NORMAL);
  EXPECT_EQ(pThread->ResumeThread(), 1u);

  EXPECT_EQ(WaitForExitCode(pThread->m_hThread), 42u);
  EXPECT_EQ(context.seenThread, pThread);
  EXPECT_EQ(AfxGetThread(), &theApp);  // this thread's own object is unchanged
  delete pThread;
}

TEST(WorkerThread, SuspendAndResumeCountAsTheSystemDoes) {
  WorkerContext context;
  CWinThread* pThread = AfxBeginThread(Worker, &context, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(pThread, nullptr);
  pThread->m_bAutoDelete = FALSE;
  EXPECT_EQ(pThread->SuspendThread(), 1u);
  EXPECT_EQ(pThread->ResumeThread(), 2u);
  EXPECT_EQ(pThread->ResumeThread(), 1u);
  EXPECT_EQ(WaitForExitCode(pThread->m_hThread), 42u);
  delete pThread;
}

TEST(WorkerThread, AfxEndThreadEndsAtOnceWithItsCode) {
  WorkerContext context;
  CWinThread* pThread = AfxBeginThread(EndingWorker, &context, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(pThread, nullptr);
  pThread->m_bAutoDelete = FALSE;  // the end call must then leave the object alone
  pThread->ResumeThread();
  EXPECT_EQ(WaitForExitCode(pThread->m_hThread), 7u);
  EXPECT_FALSE(context.afterEnd);
  delete pThread;
}

TEST(WorkerThread, MissingProcedureStartsNothing) {
  EXPECT_EQ(AfxBeginThread(static_cast<AFX_THREADPROC>(NULL), NULL), nullptr);
}

// User-interface threads that report what happened to them.
std::atomic<int> g_nDestroyed{0};
std::atomic<int> g_nExitInstance{0};
std::atomic<UINT> g_nPreTranslated{0};

class CCountedThread : public CWinThread {
 public:
  ~CCountedThread() override { ++g_nDestroyed; }
  int ExitInstance() override {
    ++g_nExitInstance;
    return CWinThread::ExitInstance();
  }
};

class CLoopThread : public CCountedThread {
  DECLARE_DYNCREATE(CLoopThread)
 public:
  BOOL InitInstance() override { return TRUE; }
  BOOL PreTranslateMessage(MSG* pMsg) override {
    if (pMsg->hwnd == NULL && pMsg->message == WM_APP + 1) {
      g_nPreTranslated = static_cast<UINT>(pMsg->wParam);
      PostQuitMessage(static_cast<int>(pMsg->wParam) + 1);
      return TRUE;
    }
    return FALSE;
  }
};
IMPLEMENT_DYNCREATE(CLoopThread, CWinThread)

class CRefusingThread : public CCountedThread {
  DECLARE_DYNCREATE(CRefusingThread)
 public:
  BOOL InitInstance() override { return FALSE; }
};
IMPLEMENT_DYNCREATE(CRefusingThread, CWinThread)

// Ends itself from InitInstance with AfxEndThread(5, bDelete) where
// g_bDeleteOnEnd is bDelete.
std::atomic<bool> g_bDeleteOnEnd{true};
class CEndingThread : public CCountedThread {
  DECLARE_DYNCREATE(CEndingThread)
 public:
  BOOL InitInstance() override { AfxEndThread(5, g_bDeleteOnEnd); }
};
IMPLEMENT_DYNCREATE(CEndingThread, CWinThread)

class UiThreadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_nDestroyed = 0;
    g_nExitInstance = 0;
    g_nPreTranslated = 0;
  }
};

TEST_F(UiThreadTest, QuitMessageEndsTheLoopWithItsCode) {
  CWinThread* pThread = AfxBeginThread(RUNTIME_CLASS(CLoopThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(pThread, nullptr);
  ASSERT_TRUE(pThread->IsKindOf(RUNTIME_CLASS(CLoopThread)));
  HANDLE hThread = DuplicateThreadHandle(pThread);
  // The queue exists before the thread first runs.
  ASSERT_TRUE(pThread->PostThreadMessage(WM_QUIT, 9, 0));
  pThread->ResumeThread();
  EXPECT_EQ(WaitForExitCode(hThread), 9u);
  CloseHandle(hThread);
  EXPECT_EQ(g_nExitInstance, 1);
  EXPECT_EQ(g_nDestroyed, 1) << "an auto-deleting thread object goes with its thread";
}

TEST_F(UiThreadTest, MessagesPassPreTranslateMessage) {
  CWinThread* pThread = AfxBeginThread(RUNTIME_CLASS(CLoopThread));
  ASSERT_NE(pThread, nullptr);
  pThread->m_bAutoDelete = FALSE;
  ASSERT_TRUE(pThread->PostThreadMessage(WM_APP + 1, 30, 0));
  EXPECT_EQ(WaitForExitCode(pThread->m_hThread), 31u);
  EXPECT_EQ(g_nPreTranslated, 30u);
  delete pThread;
}

TEST_F(UiThreadTest, RefusedInitInstanceEndsThroughExitInstance) {
  CWinThread* pThread = AfxBeginThread(RUNTIME_CLASS(CRefusingThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
  ASSERT_NE(pThread, nullptr);
  pThread->m_bAutoDelete = FALSE;
  pThread->ResumeThread();
  EXPECT_EQ(WaitForExitCode(pThread->m_hThread), 0u);
  EXPECT_EQ(g_nExitInstance, 1);
  EXPECT_EQ(g_nDestroyed, 0);
  delete pThread;
}

TEST_F(UiThreadTest, AfxEndThreadDeletesOnlyWhenBothFlagsAgree) {
  const struct {
    BOOL bAutoDelete;
    bool bDelete;
    int nDestroyed;
  } cases[] = {{TRUE, true, 1}, {TRUE, false, 0}, {FALSE, true, 0}};
  for (const auto& c : cases) {
    g_nDestroyed = 0;
    g_bDeleteOnEnd = c.bDelete;
    CWinThread* pThread = AfxBeginThread(RUNTIME_CLASS(CEndingThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(pThread, nullptr);
    pThread->m_bAutoDelete = c.bAutoDelete;
    HANDLE hThread = DuplicateThreadHandle(pThread);
    pThread->ResumeThread();
    EXPECT_EQ(WaitForExitCode(hThread), 5u);
    CloseHandle(hThread);
    EXPECT_EQ(g_nDestroyed, c.nDestroyed) << "auto " << c.bAutoDelete << " delete " << c.bDelete;
    if (c.nDestroyed == 0) delete pThread;
  }
}

TEST_F(UiThreadTest, OnlyCreatableThreadClassesStart) {
  EXPECT_EQ(AfxBeginThread(RUNTIME_CLASS(CWnd)), nullptr);        // not a thread class
  EXPECT_EQ(AfxBeginThread(RUNTIME_CLASS(CWinThread)), nullptr);  // no CreateObject
  EXPECT_EQ(AfxBeginThread(static_cast<CRuntimeClass*>(NULL)), nullptr);
}

}  // namespace
