// A name with its value: one attribute of a tag, or one entry of a named
// value list. Both strings are empty after construction.
#pragma once

#include <afx.h>

class CNameValuePair {
 public:
  CNameValuePair();
  ~CNameValuePair();

  CString m_strName;
  CString m_strValue;
};
