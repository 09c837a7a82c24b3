#include "ExecutableDir.h"

#include <windows.h>

std::string TestExecutableDir() {
  char path[MAX_PATH] = {0};
  GetModuleFileNameA(NULL, path, MAX_PATH);
  std::string text = path;
  return text.substr(0, text.rfind('\\') + 1);
}
