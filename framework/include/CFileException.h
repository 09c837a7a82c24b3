// A failed file operation: the cause in portable terms, the system's error
// code and the file's name.
#pragma once

#include "CException.h"
#include "CString.h"

class AFX_API CFileException : public CException {
  DECLARE_DYNAMIC(CFileException)
 public:
  enum {
    none,
    generic,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };

  CFileException(int cause = CFileException::none, LONG lOsError = -1,
                 LPCTSTR lpszFileName = NULL);
  ~CFileException() override;

  int m_cause;
  LONG m_lOsError;
  CString m_strFileName;

  // Cause for a system error code (GetLastError); generic when unknown.
  static int OsErrorToException(LONG lOsError);
  [[noreturn]] static void ThrowOsError(LONG lOsError, LPCTSTR lpszFileName = NULL);
};

// Throws a new CFileException*.
[[noreturn]] AFX_API void AfxThrowFileException(int cause, LONG lOsError = -1,
                                                LPCTSTR lpszFileName = NULL);
