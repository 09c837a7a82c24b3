// An operation stopped on purpose, after the user has been told (for
// example a failed dialog data validation).
#pragma once

#include "CException.h"

class AFX_API CUserException : public CException {
  DECLARE_DYNAMIC(CUserException)
 public:
  CUserException();
  ~CUserException() override;
};

// Throws a new CUserException*.
[[noreturn]] AFX_API void AfxThrowUserException();
