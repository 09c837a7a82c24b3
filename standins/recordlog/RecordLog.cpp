#include "RecordLog.h"

#include <windows.h>

namespace {

const DWORD kLogWaitMs = 10000;

}  // namespace

std::string EscapeValue(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\')
      escaped += "\\\\";
    else if (c == '\r')
      escaped += "\\r";
    else if (c == '\n')
      escaped += "\\n";
    else
      escaped += c;
  }
  return escaped;
}

bool ReadWholeFile(const std::string& path, std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return false;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, NULL) && read > 0) text.append(chunk, read);
  CloseHandle(file);
  return true;
}

bool AppendToLog(const std::string& path, const std::string& record) {
  DWORD waited = 0;
  for (;;) {
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, 0, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      BOOL ok = WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, NULL);
      CloseHandle(file);
      return ok && written == record.size();
    }
    if (GetLastError() != ERROR_SHARING_VIOLATION || waited >= kLogWaitMs) return false;
    Sleep(10);
    waited += 10;
  }
}
