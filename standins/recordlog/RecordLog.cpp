#include "RecordLog.h"

#include <windows.h>

namespace {

const DWORD kLogWaitMs = 10000;

}  // namespace

bool ReadWholeFile(const char* path, TextBuffer& text) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return false;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, NULL) && read > 0) text.Append(chunk, static_cast<int>(read));
  CloseHandle(file);
  return true;
}

bool AppendToLog(const char* path, const TextBuffer& record) {
  DWORD waited = 0;
  for (;;) {
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, 0, NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      BOOL ok = WriteFile(file, record.Text(), static_cast<DWORD>(record.Length()), &written, NULL);
      CloseHandle(file);
      return ok && written == static_cast<DWORD>(record.Length());
    }
    if (GetLastError() != ERROR_SHARING_VIOLATION || waited >= kLogWaitMs) return false;
    Sleep(10);
    waited += 10;
  }
}
