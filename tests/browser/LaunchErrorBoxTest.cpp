// The boxes of ReportLaunchError, as the user sees them.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <string>

#include "BoxScript.h"
#include "BrowserTestHost.h"
#include "browser/CBrowserLauncher.h"

namespace {

const char kUrl[] = "http://example.com/find?q=1";

std::string Message(const char* url, const std::string& detail) {
  return std::string("An error occurred in opening Url [") + url + "] in the browser.\n\n" + detail + "\n";
}

TEST(LaunchErrorBoxTest, StatusesShowTheirMessages) {
  struct Case {
    int status;
    DWORD error;  // m_dwError of the launcher
    const char* url;
    std::string text;  // empty: no box
  };
  const Case cases[] = {
      {1, 0, kUrl, Message(kUrl, "0 --> The operating system is out of memory or resources.")},
      {1, 2, kUrl, Message(kUrl, "2 --> The specified file was not found.")},
      {2, 3, kUrl, Message(kUrl, "3 --> The specified path was not found.")},
      {1, 11, kUrl, Message(kUrl, "11 --> The .EXE file is invalid (non-Win32 .EXE or error in .EXE image).")},
      {1, 26, kUrl, Message(kUrl, "26 --> A sharing violation occurred.")},
      {2, 31, kUrl, Message(kUrl, "31 --> There is no application associated with the given filename extension.")},
      {1, 193, kUrl, Message(kUrl, "193 --> Unknown Error")},
      {1, 0xFFFFFFFF, kUrl, Message(kUrl, "-1 --> Unknown Error")},
      {3, 2, kUrl,
       Message(kUrl, "This link requires the POST method and as a result the DDE data exceeds the size limit.")},
      {6, 2, kUrl,
       Message(kUrl, "This link requires the POST method and it cannot be supported through the selected browser.")},
      {8, 2, kUrl, Message(kUrl, "Tried to launch a browser that is either not available or is not supported.")},
      {8, 0, NULL, Message("", "Tried to launch a browser that is either not available or is not supported.")},
      {0, 2, kUrl, ""},
      {-1, 2, kUrl, ""},
      {INT_MIN, 2, kUrl, ""},
      {4, 2, kUrl, ""},
      {5, 2, kUrl, ""},
      {7, 2, kUrl, ""},
      {9, 2, kUrl, ""},
      {100, 2, kUrl, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("status " + std::to_string(c.status) + ", error " + std::to_string(c.error));
    BoxScript script;  // a box that is not expected fails the case
    if (!c.text.empty()) script.Expect().Caption(kAppCaption).Text(c.text).Buttons({IDOK});
    CBrowserLauncher launcher;
    launcher.m_dwError = c.error;
    launcher.ReportLaunchError(c.url, c.status);
    EXPECT_EQ(c.text.empty() ? 0u : 1u, script.Captured().size());
  }
}

}  // namespace
