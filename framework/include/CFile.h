// File status queries and changes by path.
#pragma once

#include <windows.h>

#include "CFileException.h"
#include "CFileStatus.h"
#include "CObject.h"

class AFX_API CFile : public CObject {
  DECLARE_DYNAMIC(CFile)
 public:
  enum Attribute {
    normal = 0x00,
    readOnly = 0x01,
    hidden = 0x02,
    system = 0x04,
    volume = 0x08,
    directory = 0x10,
    archive = 0x20
  };

  // TRUE with the status of the file or directory; FALSE when it does not
  // exist, the name holds wildcards, or the path is too long. m_szFullName
  // is set whenever the path can be made absolute.
  static BOOL GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus);
  // Sets the attributes and, when m_mtime is not 0, the times that are not
  // 0. Throws CFileException* on failure.
  static void SetStatus(LPCTSTR lpszFileName, const CFileStatus& status);
};
