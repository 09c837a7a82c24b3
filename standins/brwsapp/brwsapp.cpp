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
#include <windows.h>

#include <string>

#include "RecordLog.h"
#include "config/ProductKey.h"

namespace {

const char kMissing[] = "\x01missing\x01";

// "DefaultUserDataDir" of the product key followed by "User1\".
bool UserDataDir(std::string& dir) {
  HKEY key = NULL;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  char buffer[MAX_PATH + 1] = {0};
  DWORD size = MAX_PATH;
  DWORD type = REG_NONE;
  LONG result = RegQueryValueExA(key, "DefaultUserDataDir", NULL, &type, reinterpret_cast<BYTE*>(buffer), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS || type != REG_SZ || buffer[0] == '\0') return false;
  dir = buffer;
  if (dir.back() != '\\') dir += '\\';
  dir += "User1\\";
  return true;
}

void AddValue(std::string& record, const std::string& requestPath, const char* name) {
  char value[4096] = {0};
  GetPrivateProfileStringA("Data", name, kMissing, value, sizeof value, requestPath.c_str());
  if (std::string(value) != kMissing) record += std::string(name) + "=" + EscapeValue(value) + "\r\n";
}

}  // namespace

int main() {
  std::string dataDir;
  if (!UserDataDir(dataDir)) return 2;

  char modulePath[MAX_PATH] = {0};
  GetModuleFileNameA(NULL, modulePath, MAX_PATH);
  const std::string commandLine = GetCommandLineA();
  const std::string requestPath = dataDir + commandLine;

  std::string record = "[request]\r\n";
  record += "Program=" + EscapeValue(modulePath) + "\r\n";
  record += "CommandLine=" + EscapeValue(commandLine) + "\r\n";
  std::string text;
  // Only a bare file name in the data directory is a request.
  bool found = !commandLine.empty() && commandLine.find_first_of("\\/:\"") == std::string::npos &&
               ReadWholeFile(requestPath, text);
  record += std::string("Found=") + (found ? "1" : "0") + "\r\n";
  if (found) {
    for (const char* name : {"Url", "PostData", "bFile", "bNew"}) AddValue(record, requestPath, name);
    record += "Text=" + EscapeValue(text) + "\r\n";
    bool removed = DeleteFileA(requestPath.c_str()) != FALSE;
    record += std::string("Removed=") + (removed ? "1" : "0") + "\r\n";
  }
  record += "[end]\r\n";
  AppendToLog(dataDir + "brwsapp.log", record);
  return found ? 0 : 1;
}
