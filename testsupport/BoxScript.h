// Captures every message box and dialog (a top-level window of class
// "#32770"; child dialogs such as property pages are not boxes) that opens
// while the script exists, and answers it as the test said.
//
//   BoxScript script;                                   // hooks this thread
//   script.Expect().Caption("Setup").Buttons({IDYES, IDNO}).Answer(IDNO);
//   script.Expect().TextContains("could not be started");  // Enter on default
//   EXPECT_FALSE(RunTheOperation());
//   EXPECT_EQ(script.Captured().at(1).icon, BoxIcon::Warning);
//
// - Boxes of the calling thread are captured by a WH_CALLWNDPROCRET hook
//   when their WM_INITDIALOG has returned: every text a dialog fills in
//   there is set, and a message box has marked its default button. (A WH_CBT
//   hook is too early: Wine's MessageBox sets the focus inside its
//   WM_INITDIALOG, so HCBT_ACTIVATE comes before the default button is
//   marked, and a dialog that sets the focus before its texts would be read
//   half-filled.) A box opened while another is open (nested) is captured
//   and answered in its turn.
// - Each box takes the next expectation, in order. A box that does not match
//   it fails the current test and is still answered as scripted. A box that
//   arrives when none is expected fails the test and is dismissed (Cancel,
//   else No, Abort or OK, else its only button, else WM_CLOSE). An expected box
//   that never came fails the test when the script is destroyed.
// - Answers are posted (WM_COMMAND with the button id, as a click), so the
//   box returns through its own modal loop and nothing waits on anything.
// - WatchOtherThreads() also handles boxes of every other thread of the
//   process (see BoxWatcher), which library code may open from its workers.
//   Their failures are reported on the script's thread, from
//   WaitForExpected() or the destructor.
// - Windows of class "#32770" that exist when the script starts are left
//   alone: create a test's own modeless dialog before the script.
// - Set the expectations up before running the code that shows the boxes.
//   One script per thread at a time; a script must stay on its thread.
#pragma once

#include "BoxExpectation.h"
#include "BoxWatcher.h"
#include "CapturedBox.h"

#include <windows.h>

#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class BoxScript {
 public:
  BoxScript();
  ~BoxScript();  // unhooks, stops watching, reports boxes that never came
  BoxScript(const BoxScript&) = delete;
  BoxScript& operator=(const BoxScript&) = delete;

  BoxExpectation& Expect();  // appends the next expected box
  void WatchOtherThreads();

  // Pumps this thread's messages until every expected box has opened or the
  // time is up; true when all came. Reports other threads' failures.
  bool WaitForExpected(DWORD timeoutMs);

  // Waits for a handle (a worker thread) while serving this thread's
  // messages; true when it was signalled in time. Use it to wait for a
  // worker whose box is owned by a window of this thread: opening and
  // closing the box sends messages to the owner's thread, and a plain wait
  // there deadlocks.
  static bool WaitPumping(HANDLE object, DWORD timeoutMs);

  // Every box captured so far, expected or not, in the order they opened.
  std::vector<CapturedBox> Captured();

 private:
  static LRESULT CALLBACK AfterMessageHook(int code, WPARAM wParam, LPARAM lParam);
  void OnBoxOpened(HWND box);
  bool MarkHandled(HWND box);
  std::string Respond(const CapturedBox& box, const BoxExpectation* expected);
  void Fail(const std::string& message);
  void ReportDeferredFailures();

  const DWORD ownerThreadId_;
  HHOOK hook_ = nullptr;
  BoxScript* previous_ = nullptr;  // the thread's script before this one

  std::mutex mutex_;  // guards what follows; the watcher thread shares it
  std::deque<BoxExpectation> expected_;
  size_t nextExpected_ = 0;
  std::vector<CapturedBox> captured_;
  std::set<HWND> handled_;
  std::vector<std::string> deferredFailures_;

  std::unique_ptr<BoxWatcher> watcher_;
};
