#include "FileProblem.h"

#include <string.h>

namespace {

bool IsDirectory(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The folder part of path ("" when it names none), as written.
std::string FolderOf(const std::string& path) {
  size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : "";
  return path.substr(0, slash == 0 || (slash == 2 && path[1] == ':') ? slash + 1 : slash);
}

}  // namespace

std::string SystemMessage(DWORD error, const char* subject) {
  char* text = nullptr;
  DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 0, NULL);
  std::string message = length > 0 && text != nullptr ? std::string(text, length) : "";
  if (text != nullptr) LocalFree(text);
  while (!message.empty() && strchr("\r\n .", message.back()) != nullptr) message.pop_back();
  size_t insert = message.find("%1");
  if (subject != nullptr && insert != std::string::npos) message.replace(insert, 2, subject);
  if (message.empty()) message = "system error";
  return message + " (error " + std::to_string(error) + ")";
}

std::string WhyNotReadable(const char* path) {
  if (IsDirectory(path)) return "it is a directory";
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return SystemMessage(GetLastError());
  CloseHandle(file);
  return std::string();
}

std::string WhyNotWritable(const char* path) {
  if (IsDirectory(path)) return "it is a directory";
  std::string folder = FolderOf(path);
  if (!folder.empty() && !IsDirectory(folder.c_str())) return "the folder " + folder + " does not exist";
  // An existing file is opened as it is; a new one is made and removed
  // again when the handle closes.
  bool exists = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, NULL, exists ? OPEN_EXISTING : CREATE_NEW,
                            exists ? FILE_ATTRIBUTE_NORMAL : FILE_FLAG_DELETE_ON_CLOSE, NULL);
  if (file == INVALID_HANDLE_VALUE) return SystemMessage(GetLastError());
  CloseHandle(file);
  return std::string();
}

std::string ProfileFilePath(const char* name) {
  if (strpbrk(name, "\\/:") != nullptr) return FullPath(name);
  char windows[MAX_PATH];
  UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return name;
  std::string path = windows;
  if (path.back() != '\\') path += '\\';
  return path + name;
}

std::string FullPath(const char* path) {
  char full[MAX_PATH];
  DWORD length = GetFullPathNameA(path, MAX_PATH, full, NULL);
  return length > 0 && length < MAX_PATH ? full : path;
}
