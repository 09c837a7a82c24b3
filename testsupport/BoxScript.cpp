#include "BoxScript.h"

#include <gtest/gtest.h>

namespace {

thread_local BoxScript* t_currentScript = nullptr;

void Click(HWND box, int buttonId) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

// Closes a box nobody asked for with its most harmless button. The close
// command is the last resort: a box may ignore it (a Yes/No box does on
// Windows) or return a value that is none of its buttons (Wine).
void Dismiss(const CapturedBox& box) {
  for (int id : {IDCANCEL, IDNO, IDABORT, IDOK}) {
    if (box.HasButton(id)) return Click(box.window, id);
  }
  if (box.buttons.size() == 1) return Click(box.window, box.buttons[0].id);
  PostMessageA(box.window, WM_CLOSE, 0, 0);
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {  // not ours to take: leave it for the caller's loop
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

BoxScript::BoxScript() : ownerThreadId_(GetCurrentThreadId()) {
  for (HWND existing : BoxWatcher::OpenBoxes()) handled_.insert(existing);
  previous_ = t_currentScript;
  t_currentScript = this;
  hook_ = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterMessageHook, nullptr, ownerThreadId_);
  if (hook_ == nullptr) ADD_FAILURE() << "cannot hook this thread for message boxes, error " << GetLastError();
}

BoxScript::~BoxScript() {
  watcher_.reset();
  if (hook_) UnhookWindowsHookEx(hook_);
  t_currentScript = previous_;
  ReportDeferredFailures();
  for (size_t i = nextExpected_; i < expected_.size(); ++i)
    ADD_FAILURE() << "Expected " << expected_[i].Describe() << " (box #" << i + 1 << ") never opened";
}

BoxExpectation& BoxScript::Expect() {
  std::lock_guard<std::mutex> lock(mutex_);
  expected_.emplace_back();
  return expected_.back();
}

void BoxScript::WatchOtherThreads() {
  if (!watcher_) watcher_.reset(new BoxWatcher(ownerThreadId_, [this](HWND box) { OnBoxOpened(box); }));
}

bool BoxScript::WaitForExpected(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  bool allCame = false;
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      allCame = nextExpected_ >= expected_.size();
    }
    if (allCame || GetTickCount() - start >= timeoutMs) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    PumpMessages();
  }
  ReportDeferredFailures();
  return allCame;
}


bool BoxScript::WaitPumping(HANDLE object, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    DWORD elapsed = GetTickCount() - start;
    DWORD left = elapsed < timeoutMs ? timeoutMs - elapsed : 0;
    DWORD result = MsgWaitForMultipleObjects(1, &object, FALSE, left, QS_ALLINPUT);
    if (result != WAIT_OBJECT_0 + 1) return result == WAIT_OBJECT_0;
    PumpMessages();
  }
}

std::vector<CapturedBox> BoxScript::Captured() {
  std::lock_guard<std::mutex> lock(mutex_);
  return captured_;
}

LRESULT CALLBACK BoxScript::AfterMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  const auto* message = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
  if (code == HC_ACTION && message->message == WM_INITDIALOG && t_currentScript)
    t_currentScript->OnBoxOpened(message->hwnd);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Runs on the box's thread (hook) or on the watcher's thread.
void BoxScript::OnBoxOpened(HWND box) {
  if (!BoxWatcher::IsBoxWindow(box) || !MarkHandled(box)) return;
  // Read outside the lock: from the watcher this sends messages to the box's thread.
  CapturedBox captured = CapturedBox::Read(box);
  std::string failure;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    captured_.push_back(captured);
    const BoxExpectation* expected = nextExpected_ < expected_.size() ? &expected_[nextExpected_++] : nullptr;
    failure = Respond(captured, expected);
  }
  if (!failure.empty()) Fail(failure);
}

// False when the box was handled before (seen by an earlier poll).
bool BoxScript::MarkHandled(HWND box) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto it = handled_.begin(); it != handled_.end();) {
    it = IsWindow(*it) ? std::next(it) : handled_.erase(it);  // handles of closed boxes may come back
  }
  return handled_.insert(box).second;
}

// Posts the answer; returns what went wrong, empty when nothing did.
std::string BoxScript::Respond(const CapturedBox& box, const BoxExpectation* expected) {
  if (expected == nullptr) {
    Dismiss(box);
    return "Unexpected " + box.Describe();
  }
  std::string failure;
  std::string mismatch = expected->Mismatch(box);
  if (!mismatch.empty()) failure = "Box #" + std::to_string(nextExpected_) + " differs: " + box.Describe() + mismatch;

  switch (expected->action()) {
    case BoxExpectation::Action::Close:
      PostMessageA(box.window, WM_CLOSE, 0, 0);
      break;
    case BoxExpectation::Action::DefaultButton:
      if (box.defaultButton != 0) {
        Click(box.window, box.defaultButton);
      } else {
        Dismiss(box);
        failure += (failure.empty() ? box.Describe() : std::string()) + "\n  has no default button to press";
      }
      break;
    case BoxExpectation::Action::Button:
      if (box.HasButton(expected->buttonId())) {
        Click(box.window, expected->buttonId());
      } else {
        Dismiss(box);
        failure += (failure.empty() ? box.Describe() : std::string()) + "\n  has no button " +
                   std::to_string(expected->buttonId()) + " to answer with";
      }
      break;
  }
  return failure;
}

// gtest failures belong to the test's thread: from elsewhere they wait for it.
void BoxScript::Fail(const std::string& message) {
  if (GetCurrentThreadId() == ownerThreadId_) {
    ADD_FAILURE() << message;
    return;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  deferredFailures_.push_back(message);
}

void BoxScript::ReportDeferredFailures() {
  std::vector<std::string> failures;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    failures.swap(deferredFailures_);
  }
  for (const std::string& failure : failures) ADD_FAILURE() << failure;
}
