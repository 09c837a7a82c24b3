// Answers every message box that the host tool's threads show while a
// command runs, for unattended runs ("ldhost --answer BUTTON COMMAND ...").
// Each box is printed to standard output as one line,
//   box: CAPTION: TEXT
// with the text's line breaks shown as " / ", and is then answered with the
// chosen button, or closed when it has no such button.
#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <set>

class BoxWatcher;

class BoxAnswerer {
 public:
  // The button id for a name (ok, cancel, yes, no, retry, ignore, abort),
  // 0 for any other name.
  static int ButtonFromName(const char* name);
  // The names ButtonFromName takes, for messages: "ok, cancel, ...".
  static const char* ButtonNames();

  explicit BoxAnswerer(int buttonId);  // starts watching
  ~BoxAnswerer();                      // stops watching

 private:
  void OnBox(HWND box);

  int m_buttonId;
  std::mutex m_mutex;
  std::set<HWND> m_answered;
  std::unique_ptr<BoxWatcher> m_watcher;

  BoxAnswerer(const BoxAnswerer&) = delete;
  BoxAnswerer& operator=(const BoxAnswerer&) = delete;
};
