// Entry point of a console program of the Windows-ABI flavour: the command
// line from msvcrt.dll, the static objects built before main and destroyed
// after it returns.
#include <stdlib.h>

#include "StaticInit.h"

struct LdxStartupInfo {
  int newmode;
};

extern "C" void __cdecl __getmainargs(int* pArgc, char*** pArgv, char*** pEnv, int nWildcard,
                                      LdxStartupInfo* pInfo);
extern "C" void __cdecl __set_app_type(int nType);

int main(int argc, char** argv);

extern "C" void mainCRTStartup() {
  __set_app_type(1);  // console
  int argc = 0;
  char** argv = NULL;
  char** env = NULL;
  LdxStartupInfo info = {0};
  __getmainargs(&argc, &argv, &env, 0, &info);
  LdxRunStaticConstructors();
  int nResult = main(argc, argv);
  LdxRunExitList();
  exit(nResult);
}
