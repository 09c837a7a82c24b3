#include "FileProblem.h"

#include <string.h>

namespace {

bool IsDirectory(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Where the last backslash or slash of path is, or -1.
int LastSlash(const CString& path) {
  const int backslash = path.ReverseFind('\\');
  const int slash = path.ReverseFind('/');
  return backslash > slash ? backslash : slash;
}

// The folder part of path ("" when it names none), as written.
CString FolderOf(const CString& path) {
  const int slash = LastSlash(path);
  if (slash < 0) return path.GetLength() >= 2 && path[1] == ':' ? path.Left(2) : CString();
  return path.Left(slash == 0 || (slash == 2 && path[1] == ':') ? slash + 1 : slash);
}

}  // namespace

CString SystemMessage(DWORD error, const char* subject) {
  char* text = NULL;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 0, NULL);
  CString message = length > 0 && text != NULL ? CString(text, static_cast<int>(length)) : CString();
  if (text != NULL) LocalFree(text);
  int kept = message.GetLength();
  while (kept > 0 && strchr("\r\n .", message[kept - 1]) != NULL) --kept;
  message = message.Left(kept);
  const int insert = message.Find("%1");
  if (subject != NULL && insert >= 0) message = message.Left(insert) + subject + message.Mid(insert + 2);
  if (message.IsEmpty()) message = "system error";
  CString number;
  number.Format(" (error %lu)", static_cast<unsigned long>(error));
  return message + number;
}

CString WhyNotReadable(const char* path) {
  if (IsDirectory(path)) return "it is a directory";
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return SystemMessage(GetLastError());
  CloseHandle(file);
  return CString();
}

CString WhyNotWritable(const char* path) {
  if (IsDirectory(path)) return "it is a directory";
  CString folder = FolderOf(path);
  if (!folder.IsEmpty() && !IsDirectory(folder)) return "the folder " + folder + " does not exist";
  // An existing file is opened as it is; a new one is made and removed
  // again when the handle closes.
  bool exists = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, exists ? OPEN_EXISTING : CREATE_NEW,
                            exists ? FILE_ATTRIBUTE_NORMAL : FILE_FLAG_DELETE_ON_CLOSE, NULL);
  if (file == INVALID_HANDLE_VALUE) return SystemMessage(GetLastError());
  CloseHandle(file);
  return CString();
}

CString ProfileFilePath(const char* name) {
  if (strpbrk(name, "\\/:") != NULL) return FullPath(name);
  char windows[MAX_PATH];
  UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return name;
  CString path = windows;
  if (path[path.GetLength() - 1] != '\\') path += '\\';
  return path + name;
}

CString FullPath(const char* path) {
  char full[MAX_PATH];
  DWORD length = GetFullPathNameA(path, MAX_PATH, full, NULL);
  return length > 0 && length < MAX_PATH ? CString(full) : CString(path);
}
