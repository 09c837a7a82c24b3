// What CFile::GetStatus reports about a file or directory.
#pragma once

#include <windows.h>

#include "CTime.h"

struct CFileStatus {
  CTime m_ctime;          // creation time
  CTime m_mtime;          // last modification time
  CTime m_atime;          // last access time
  LONG m_size;            // size in bytes (low 32 bits)
  BYTE m_attribute;       // CFile::Attribute flags
  BYTE _m_padding;
  TCHAR m_szFullName[MAX_PATH];  // absolute path
};
