#include "CFile.h"

#include "UnixFileTime.h"

#include <string.h>

IMPLEMENT_DYNAMIC(CFile, CObject)

namespace {

// The UTC file time of a CTime, the same instant.
void TimeToFileTime(const CTime& time, LPFILETIME pFileTime, LPCTSTR lpszFileName) {
  if (!afx_detail::UnixTimeToFileTime(time.GetTime(), pFileTime)) {
    CFileException::ThrowOsError(ERROR_INVALID_PARAMETER, lpszFileName);
  }
}

[[noreturn]] void ThrowLastError(LPCTSTR lpszFileName) {
  CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), lpszFileName);
}

}  // namespace

BOOL CFile::GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus) {
  rStatus.m_szFullName[0] = '\0';
  if (lpszFileName == NULL) return FALSE;
  DWORD nLen = ::GetFullPathNameA(lpszFileName, MAX_PATH, rStatus.m_szFullName, NULL);
  if (nLen == 0 || nLen >= MAX_PATH) {
    rStatus.m_szFullName[0] = '\0';
    return FALSE;
  }
  // A pattern would describe some other file that matches it.
  if (strpbrk(lpszFileName, "*?") != NULL) return FALSE;

  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(lpszFileName, GetFileExInfoStandard, &data)) return FALSE;

  // The framework's attributes have no "normal" flag.
  rStatus.m_attribute = static_cast<BYTE>(data.dwFileAttributes & ~FILE_ATTRIBUTE_NORMAL);
  rStatus._m_padding = 0;
  rStatus.m_size = static_cast<LONG>(data.nFileSizeLow);
  rStatus.m_ctime = CTime(data.ftCreationTime);
  rStatus.m_atime = CTime(data.ftLastAccessTime);
  rStatus.m_mtime = CTime(data.ftLastWriteTime);
  if (rStatus.m_ctime.GetTime() == 0) rStatus.m_ctime = rStatus.m_mtime;
  if (rStatus.m_atime.GetTime() == 0) rStatus.m_atime = rStatus.m_mtime;
  return TRUE;
}

void CFile::SetStatus(LPCTSTR lpszFileName, const CFileStatus& status) {
  DWORD wAttr = ::GetFileAttributesA(lpszFileName);
  if (wAttr == INVALID_FILE_ATTRIBUTES) ThrowLastError(lpszFileName);

  // A read-only file is made writable first, so that its times can be set.
  if (static_cast<DWORD>(status.m_attribute) != wAttr && (wAttr & readOnly)) {
    if (!::SetFileAttributesA(lpszFileName, status.m_attribute)) ThrowLastError(lpszFileName);
  }

  if (status.m_mtime.GetTime() != 0) {
    FILETIME lastWriteTime;
    FILETIME lastAccessTime;
    FILETIME creationTime;
    LPFILETIME lpLastAccessTime = NULL;
    LPFILETIME lpCreationTime = NULL;
    TimeToFileTime(status.m_mtime, &lastWriteTime, lpszFileName);
    if (status.m_atime.GetTime() != 0) {
      TimeToFileTime(status.m_atime, &lastAccessTime, lpszFileName);
      lpLastAccessTime = &lastAccessTime;
    }
    if (status.m_ctime.GetTime() != 0) {
      TimeToFileTime(status.m_ctime, &creationTime, lpszFileName);
      lpCreationTime = &creationTime;
    }

    // Directories are opened with backup semantics.
    HANDLE hFile = ::CreateFileA(
        lpszFileName, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING,
        (wAttr & FILE_ATTRIBUTE_DIRECTORY) ? FILE_FLAG_BACKUP_SEMANTICS : FILE_ATTRIBUTE_NORMAL,
        NULL);
    if (hFile == INVALID_HANDLE_VALUE) ThrowLastError(lpszFileName);
    BOOL bSet = ::SetFileTime(hFile, lpCreationTime, lpLastAccessTime, &lastWriteTime);
    DWORD dwError = ::GetLastError();
    BOOL bClosed = ::CloseHandle(hFile);
    if (!bSet) CFileException::ThrowOsError(static_cast<LONG>(dwError), lpszFileName);
    if (!bClosed) ThrowLastError(lpszFileName);
  }

  if (static_cast<DWORD>(status.m_attribute) != wAttr && !(wAttr & readOnly)) {
    if (!::SetFileAttributesA(lpszFileName, status.m_attribute)) ThrowLastError(lpszFileName);
  }
}
