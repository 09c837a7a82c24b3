// Stand-in for the browser launcher program. It is started with the bare
// name of a request file in the user's data directory as its whole command
// line. It reads the request, removes the request file, and appends a record
// of what it was asked to "brwsapp.log" in the same directory:
//
//   [request]
//   Program=<path of this program>
//   CommandLine=<the command line as received>
//   Found=1                      (0: no such request file)
//   Url=...                      (each of the four values only when present)
//   PostData=...
//   bFile=...
//   bNew=...
//   Text=<the request file's whole text>
//   Removed=1
//   [end]
//
// Values are escaped so that each stays on its line: "\\" for a backslash,
// "\r" and "\n" for line breaks. It drives no browser. Exit code 0 when the
// request was taken, 1 when there was none, 2 when the user's data directory
// is not known.
#include <string.h>
#include <windows.h>

#include "RecordLog.h"
#include "config/ProductKey.h"

namespace {

const char kMissing[] = "\x01missing\x01";

// "DefaultUserDataDir" of the product key followed by "User1\".
bool UserDataDir(TextBuffer& dir) {
  HKEY key = NULL;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  char buffer[MAX_PATH + 1] = {0};
  DWORD size = MAX_PATH;
  DWORD type = REG_NONE;
  LONG result = RegQueryValueExA(key, "DefaultUserDataDir", NULL, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || type != REG_SZ || buffer[0] == '\0') return false;
  dir.Append(buffer);
  if (buffer[strlen(buffer) - 1] != '\\') dir.Append("\\");
  dir.Append("User1\\");
  return true;
}

void AddValue(TextBuffer& record, const char* requestPath, const char* name) {
  char value[4096] = {0};
  GetPrivateProfileStringA("Data", name, kMissing, value, sizeof value, requestPath);
  if (strcmp(value, kMissing) != 0) record.Append(name).Append("=").AppendEscaped(value).Append("\r\n");
}

}  // namespace

int main() {
  TextBuffer dataDir;
  if (!UserDataDir(dataDir)) return 2;

  char modulePath[MAX_PATH] = {0};
  GetModuleFileNameA(NULL, modulePath, MAX_PATH);
  const char* commandLine = GetCommandLineA();
  TextBuffer requestPath(dataDir.Text());
  requestPath.Append(commandLine);

  TextBuffer record("[request]\r\n");
  record.Append("Program=").AppendEscaped(modulePath).Append("\r\n");
  record.Append("CommandLine=").AppendEscaped(commandLine).Append("\r\n");
  TextBuffer text;
  // Only a bare file name in the data directory is a request.
  bool found = *commandLine != '\0' && strpbrk(commandLine, "\\/:\"") == NULL &&
               ReadWholeFile(requestPath.Text(), text);
  record.Append("Found=").Append(found ? "1" : "0").Append("\r\n");
  if (found) {
    const char* const names[] = {"Url", "PostData", "bFile", "bNew"};
    for (size_t i = 0; i < sizeof names / sizeof names[0]; ++i) AddValue(record, requestPath.Text(), names[i]);
    record.Append("Text=").AppendEscaped(text.Text(), text.Length()).Append("\r\n");
    bool removed = DeleteFileA(requestPath.Text()) != FALSE;
    record.Append("Removed=").Append(removed ? "1" : "0").Append("\r\n");
  }
  record.Append("[end]\r\n");
  TextBuffer logPath(dataDir.Text());
  logPath.Append("brwsapp.log");
  AppendToLog(logPath.Text(), record);
  return found ? 0 : 1;
}
