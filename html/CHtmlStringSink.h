// Receives a tokenizer's events as framework strings from a
// CHtmlStringForwarder. Every operation does nothing by default; override
// the ones you need. Set *pbContinue to 0 to stop the tokenizer for the rest
// of the chunk. A zero byte of the input reaches a sink as a space.
//
// A start tag closed by "/>" (<br/>, <img src="x" />) is reported as its
// start tag followed at once by an end tag of the same name: a sink that
// counts or nests tags sees it opened and closed. "<!DOCTYPE html>" is a
// start tag named "DOCTYPE" with no end tag.
//
// A string a sink receives reads the tokenizer's own storage and is valid
// during the call only: copy what you keep (a copy is a string of its
// own), and never change the string itself.
//
// Host classes derive from it. The slot order of the four operations is part
// of the library's interface, and there is no virtual destructor: a sink is
// destroyed through its own class, never deleted through a CHtmlStringSink
// pointer. An operation must not let an exception out.
#pragma once

#include <afx.h>

#include "html/CNameValuePair.h"

class CHtmlStringSink {
 public:
  CHtmlStringSink();

  virtual BOOL OnStartTag(const CString& strName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue);
  virtual BOOL OnEndTag(const CString& strName, BOOL* pbContinue);
  virtual BOOL OnText(const CString& strText, BOOL* pbContinue);
  virtual BOOL OnComment(const CString& strComment, BOOL* pbContinue);
};
