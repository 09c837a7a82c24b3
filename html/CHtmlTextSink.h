// Receives a tokenizer's events as zero-terminated texts from a
// CHtmlTextForwarder; the texts are valid during the call only. Every
// operation does nothing by default. The forwarder delivers comments
// through OnText, so OnComment is never called by it. A zero byte of the
// input reaches a sink as a space.
//
// Host classes derive from it. The slot order of the four operations is part
// of the library's interface, and there is no virtual destructor: a sink is
// destroyed through its own class, never deleted through a CHtmlTextSink
// pointer. An operation must not let an exception out.
#pragma once

#include <afx.h>

#include "html/CNameValuePair.h"

class CHtmlTextSink {
 public:
  CHtmlTextSink();

  virtual BOOL OnStartTag(LPCSTR pszName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue);
  virtual BOOL OnEndTag(LPCSTR pszName, BOOL* pbContinue);
  virtual BOOL OnText(LPCSTR pszText, BOOL* pbContinue);
  virtual BOOL OnComment(LPCSTR pszComment, BOOL* pbContinue);
};
