// A thread that looks for message boxes and dialogs opened by the threads of
// this process. A thread hook only sees its own thread, and the threads that
// library code starts are not known in advance, so this polls the top-level
// windows of class "#32770" instead (every 10 ms) and hands each visible one
// to a callback, on the watcher's thread. The callback sees a box again on
// every poll while it stays open; it keeps track of what it has handled.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

class BoxWatcher {
 public:
  using Callback = std::function<void(HWND box)>;

  // Starts watching every thread of this process except skippedThreadId.
  BoxWatcher(DWORD skippedThreadId, Callback onBox);
  ~BoxWatcher();  // stops the thread and waits for it
  BoxWatcher(const BoxWatcher&) = delete;
  BoxWatcher& operator=(const BoxWatcher&) = delete;

  // Top-level "#32770" windows of this process, visible or not.
  static std::vector<HWND> OpenBoxes();
  static bool IsBoxWindow(HWND window);  // top-level (not WS_CHILD) "#32770"

 private:
  static DWORD WINAPI Run(LPVOID self);
  void PollOnce();

  DWORD skippedThreadId_;
  Callback onBox_;
  HANDLE stopEvent_;
  HANDLE thread_;
};
