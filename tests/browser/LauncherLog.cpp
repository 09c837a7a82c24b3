#include "LauncherLog.h"

#include <windows.h>

std::vector<LauncherRecord> ReadLauncherLog(const std::string& dataDir) {
  return ReadStandinRecords(dataDir + "brwsapp.log", "[request]");
}

std::vector<LauncherRecord> WaitForLauncherRecords(const std::string& dataDir, size_t count) {
  return WaitForStandinRecords(dataDir + "brwsapp.log", "[request]", count);
}

std::vector<std::string> RequestFiles(const std::string& dataDir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((dataDir + "msg*.tmp").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.push_back(found.cFileName);
  while (FindNextFileA(find, &found));
  FindClose(find);
  return names;
}
