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
#include <string.h>
#include <windows.h>

#include "RecordLog.h"

int main() {
  char modulePath[MAX_PATH] = {0};
  GetModuleFileNameA(NULL, modulePath, MAX_PATH);
  const char* lastBackslash = strrchr(modulePath, '\\');
  TextBuffer directory;
  directory.Append(modulePath, lastBackslash != NULL ? static_cast<int>(lastBackslash - modulePath) + 1 : 0);

  TextBuffer record("[run]\r\n");
  record.Append("Program=").AppendEscaped(modulePath).Append("\r\n");
  record.Append("CommandLine=").AppendEscaped(GetCommandLineA()).Append("\r\n");
  TextBuffer packagePath(directory.Text());
  packagePath.Append("package1.ini");
  TextBuffer packageFile;
  bool found = ReadWholeFile(packagePath.Text(), packageFile);
  if (found) record.Append("PackageFile=").AppendEscaped(packageFile.Text(), packageFile.Length()).Append("\r\n");
  record.Append("[end]\r\n");
  TextBuffer logPath(directory.Text());
  logPath.Append("ldsdnl.log");
  AppendToLog(logPath.Text(), record);
  return found ? 0 : 1;
}
