// What the library knows about one kind of browser installation: how to
// name it, where its program is, which switches and DDE service to use, and
// whether it was found on this machine.
#pragma once

#include <afx.h>

class CBrowserInfo {
 public:
  CBrowserInfo();  // five empty texts, not available
  ~CBrowserInfo();

  void SetAvailable();  // once found, a record stays available
  BOOL IsAvailable();

  CString m_strName;         // "Netscape", "IExplore" or "Mosaic"
  CString m_strDescription;  // shown to the user
  CString m_strExePath;      // in double quotes when it holds a blank (registered kinds)
  CString m_strArguments;    // switches for the browser's command line, blanks included
  CString m_strDdeService;   // empty for a Netscape 2.0b1 beta
  BOOL m_bAvailable;

 private:
  CBrowserInfo(const CBrowserInfo&) = delete;
  void operator=(const CBrowserInfo&) = delete;
};
