// Shared by the forwarders: a tokenizer buffer as the zero-terminated text
// or the framework string a sink receives.
#pragma once

#include <afx.h>

#include <optional>

#include "html/CTextBuffer.h"

// Copies nLength bytes; zero bytes become spaces, as in every name, value
// and text a sink receives.
void CopySinkText(char* pDest, const char* pSource, int nLength);

// Terminates the buffer's content in place and returns it; zero bytes
// inside become spaces, so a sink sees the whole content.
LPCSTR MakeSinkText(CTextBuffer* pBuffer);

// A buffer's content as a framework string for one sink call. Each thread
// keeps one string whose storage serves event after event, so an event
// costs no allocation; a sink that tokenizes another document from inside
// its callback gets strings of their own for those nested events. Texts of
// more than kMaxKeptLength bytes do not stay allocated after the call.
class CSinkString {
 public:
  enum { kMaxKeptLength = 64 * 1024 };

  explicit CSinkString(CTextBuffer* pBuffer);
  ~CSinkString();

  const CString& Get() const { return *m_pString; }

  // The thread's reusable string (defined with the implementation).
  struct Shared;

 private:
  CString* m_pString;
  Shared* m_pShared;  // the thread's string while this call uses it
  std::optional<CString> m_own;

  CSinkString(const CSinkString&) = delete;
  CSinkString& operator=(const CSinkString&) = delete;
};
