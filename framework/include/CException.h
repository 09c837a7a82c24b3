// Root of the framework's exceptions. They are thrown as pointers and
// caught as pointers in any module; the catcher releases one with Delete.
#pragma once

#include "CObject.h"

class AFX_API CException : public CObject {
  DECLARE_DYNAMIC(CException)
 public:
  CException();  // auto-deleting
  explicit CException(BOOL bAutoDelete);

  // Deletes the exception when it is auto-deleting (allocated with new).
  void Delete();

  ~CException() override;

  BOOL m_bAutoDelete;
};
