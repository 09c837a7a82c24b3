// Shared pieces of the framework tests: the application object, the chain
// fixture library and a catcher for real message boxes.
#pragma once

#include <afxwin.h>

#include <functional>
#include <string>

// The one application object of the test program; DoMessageBox can be
// replaced per test.
class CTestApp : public CWinApp {
 public:
  CTestApp() : CWinApp(NULL) {}

  std::function<int(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt)> m_onMessageBox;

  int DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT nIDPrompt) override {
    if (m_onMessageBox) return m_onMessageBox(lpszPrompt, nType, nIDPrompt);
    return CWinApp::DoMessageBox(lpszPrompt, nType, nIDPrompt);
  }

  using CWinApp::SetRegistryKey;
};

extern CTestApp theApp;

// Replaces one of the application's malloc'ed strings.
void ReplaceAppString(LPCTSTR& rpsz, LPCTSTR lpszNew);

// The fixture extension library, loaded and (optionally) chained for the
// lifetime of the object; unloading it removes its chain entries.
class ChainedFixture {
 public:
  static const char kFileName[];
  explicit ChainedFixture(bool chain = true);
  ~ChainedFixture();
  void Chain();
  HMODULE Module() const { return m_hModule; }

 private:
  HMODULE m_hModule;
};

// What a real message box showed; the catcher answers it with a button.
struct CaughtBox {
  int count = 0;
  std::string caption;
  std::string text;
  HWND owner = NULL;
  bool hasIcon = false;
};

// Catches the message boxes that the calling thread shows while it lives
// and answers each with nAnswer.
class BoxCatcher {
 public:
  explicit BoxCatcher(int nAnswer);
  ~BoxCatcher();
  const CaughtBox& Box() const { return m_box; }

 private:
  static LRESULT CALLBACK Hook(int nCode, WPARAM wParam, LPARAM lParam);
  HHOOK m_hHook;
  int m_nAnswer;
  CaughtBox m_box;
};

// A new empty directory below the temporary directory, removed with its
// files at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  std::string Path(const char* name) const { return m_path + "\\" + name; }
  const std::string& Root() const { return m_path; }

 private:
  std::string m_path;
};

// A hidden top-level window attached to a CWnd, destroyed with it.
class TopLevelWindow : public CWnd {
 public:
  TopLevelWindow();
};

std::string Text(const CString& s);
