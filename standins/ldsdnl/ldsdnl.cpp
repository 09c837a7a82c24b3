// Stand-in for the package downloader. It is started from the package
// directory, where the package file "package1.ini" holds its requests. It
// downloads nothing; it appends a record of how it was started and of the
// package file as it found it to "ldsdnl.log" beside itself:
//
//   [run]
//   Program=<path of this program>
//   CommandLine=<the command line as received>
//   PackageFile=<the whole text of package1.ini>   (absent when there is none)
//   [end]
//
// Values are escaped so that each stays on its line: "\\" for a backslash,
// "\r" and "\n" for line breaks. Exit code 0, or 1 when there was no package
// file.
#include <windows.h>

#include <string>

#include "RecordLog.h"

int main() {
  char modulePath[MAX_PATH] = {0};
  GetModuleFileNameA(NULL, modulePath, MAX_PATH);
  std::string directory = modulePath;
  directory.erase(directory.find_last_of('\\') + 1);

  std::string record = "[run]\r\n";
  record += "Program=" + EscapeValue(modulePath) + "\r\n";
  record += "CommandLine=" + EscapeValue(GetCommandLineA()) + "\r\n";
  std::string packageFile;
  bool found = ReadWholeFile(directory + "package1.ini", packageFile);
  if (found) record += "PackageFile=" + EscapeValue(packageFile) + "\r\n";
  record += "[end]\r\n";
  AppendToLog(directory + "ldsdnl.log", record);
  return found ? 0 : 1;
}
