#include "BoxWatcher.h"

namespace {

const DWORD kPollIntervalMs = 10;

BOOL CALLBACK CollectProcessBox(HWND window, LPARAM param) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == GetCurrentProcessId() && BoxWatcher::IsBoxWindow(window))
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
  return TRUE;
}

}  // namespace

BoxWatcher::BoxWatcher(DWORD skippedThreadId, Callback onBox)
    : skippedThreadId_(skippedThreadId),
      onBox_(std::move(onBox)),
      stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      thread_(CreateThread(nullptr, 0, Run, this, 0, nullptr)) {}

BoxWatcher::~BoxWatcher() {
  SetEvent(stopEvent_);
  if (thread_) {
    // The watcher may be reading a box whose thread waits on a message sent
    // to this thread (a box owned by one of this thread's windows): serve
    // sent messages while waiting, leave posted ones in the queue.
    while (MsgWaitForMultipleObjects(1, &thread_, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
      MSG msg;
      PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(thread_);
  }
  CloseHandle(stopEvent_);
}

std::vector<HWND> BoxWatcher::OpenBoxes() {
  std::vector<HWND> boxes;
  EnumWindows(CollectProcessBox, reinterpret_cast<LPARAM>(&boxes));
  return boxes;
}

bool BoxWatcher::IsBoxWindow(HWND window) {
  char className[16];
  return GetClassNameA(window, className, sizeof className) > 0 && lstrcmpA(className, "#32770") == 0 &&
         !(GetWindowLongA(window, GWL_STYLE) & WS_CHILD);
}

DWORD WINAPI BoxWatcher::Run(LPVOID self) {
  auto* watcher = static_cast<BoxWatcher*>(self);
  while (WaitForSingleObject(watcher->stopEvent_, kPollIntervalMs) == WAIT_TIMEOUT) watcher->PollOnce();
  return 0;
}

void BoxWatcher::PollOnce() {
  for (HWND box : OpenBoxes()) {
    if (GetWindowThreadProcessId(box, nullptr) == skippedThreadId_ || !IsWindowVisible(box)) continue;
    onBox_(box);
  }
}
