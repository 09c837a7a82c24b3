#include "config/CUserDirs.h"

#include "config/CRegSettingsStore.h"
#include "config/TextRules.h"

CUserDirs::CUserDirs() {}

CUserDirs::~CUserDirs() {}

BOOL CUserDirs::GetDataDirOfUser(int nUser, CString& strDir) {
  if (nUser != 0) return FALSE;
  CString strBase;
  CRegSettingsStore machineStore(FALSE);
  // An empty value names no directory (it would put the user's files at the
  // root of the current drive).
  if (!machineStore.GetString("\\", "DefaultUserDataDir", strBase, FALSE) || strBase.IsEmpty()) return FALSE;
  strDir = WithTrailingBackslash(strBase) + "User1\\";
  return TRUE;
}
