// Answers every message box that the host tool's threads show while a
// command runs, for unattended runs ("ldhost --answer BUTTON COMMAND ...").
// Each box is printed to standard output as one line,
//   box: CAPTION: TEXT
// with the text's line breaks shown as " / ", and is then answered with the
// chosen button, or closed when it has no such button.
//
// A thread hook only sees its own thread, and the threads that library code
// starts are not known in advance, so a thread of its own polls the
// process's top-level dialog windows (class "#32770") every 10 ms instead.
#pragma once

#include <windows.h>

class BoxAnswerer {
 public:
  // The button id for a name (ok, cancel, yes, no, retry, ignore, abort),
  // 0 for any other name.
  static int ButtonFromName(const char* name);
  // The names ButtonFromName takes, for messages: "ok, cancel, ...".
  static const char* ButtonNames();

  explicit BoxAnswerer(int buttonId);  // starts watching
  ~BoxAnswerer();                      // stops watching and waits for its thread

 private:
  static DWORD WINAPI Watch(LPVOID self);
  static BOOL CALLBACK OnTopLevelWindow(HWND window, LPARAM self);
  void OnBox(HWND box);
  // Forgets boxes that have closed (their handles may come back) and
  // records box; false when it was recorded already.
  bool FirstSight(HWND box);

  enum { kMaxOpenBoxes = 64 };
  int m_buttonId;
  HWND m_answered[kMaxOpenBoxes];  // only the watching thread uses these
  int m_answeredCount;
  HANDLE m_stopEvent;
  HANDLE m_thread;

  BoxAnswerer(const BoxAnswerer&);
  BoxAnswerer& operator=(const BoxAnswerer&);
};
