// Per-user directory lookup. The object carries no state that the lookup
// uses; callers construct a temporary one to call it.
#pragma once

#include <afx.h>

class CUserDirs {
 public:
  CUserDirs();
  ~CUserDirs();

  // "DefaultUserDataDir" followed by "User1\" for user 0; every other user
  // index fails. The output is left alone on failure.
  BOOL GetDataDirOfUser(int nUser, CString& strDir);

  CString m_strDataDir;
};
