// Opens a URL or a local file in the user's browser through the product's
// launcher program "brwsapp.exe": the request goes into a new INI file in
// the user's data directory (section "Data": "Url", "PostData", "bFile",
// "bNew"), and the launcher is started from the program directory with the
// request file's bare name as its whole command line. The launcher is not
// waited for; a request file whose launcher could not be started is removed
// again.
#pragma once

#include <windows.h>

#include <afx.h>

class CBrowserLauncher {
 public:
  CBrowserLauncher() : m_dwError(0) {}

  // 0 when "brwsapp.exe" was started; 1 otherwise, with the system's error
  // code in m_dwError (0 when the product's directories are not known).
  // A URL or POST data holding a line break would break the request file's
  // format, and one longer than the request file can keep would arrive as
  // garbage: both are refused with ERROR_INVALID_PARAMETER before anything
  // is written or started, as is a null URL.
  int Launch(LPCSTR lpszUrl, LPCSTR lpszPostData, int bNewWindow, int bFile);

  int OpenUrl(LPCSTR lpszUrl, LPCSTR lpszPostData);
  int OpenUrl(int nIgnored, LPCSTR lpszUrl, LPCSTR lpszPostData);
  int OpenLocalFile(LPCSTR lpszPath);
  int OpenUrlInNewWindow(LPCSTR lpszUrl, LPCSTR lpszPostData);
  int OpenLocalFileInNewWindow(LPCSTR lpszPath);

  // Shows the message for a launch status in the application's message
  // box: 1 and 2 the system error in m_dwError, 3, 6 and 8 their fixed
  // texts; other statuses show nothing.
  void ReportLaunchError(LPCSTR lpszUrl, int nStatus);

  DWORD m_dwError;  // system error of the last failed launch; 0 after a start
};
