// ldhost: a console program that loads LDExCore the way the client does
// (a framework application object, then the library's chain entry) and
// offers the library's services as subcommands.
#include <afxwin.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "HostCommand.h"
#include "frame/LibraryEntry.h"

namespace {

class CHostApp : public CWinApp {
 public:
  CHostApp() : CWinApp("ldhost") {}
};

CHostApp theApp;

void PrintOverview() {
  printf("usage: ldhost COMMAND [ARGS...]\n\n"
         "Runs one service of LDExCore.dll the way the client uses it.\n\n"
         "commands:\n");
  std::vector<const HostCommand*> commands = HostCommand::All();
  std::sort(commands.begin(), commands.end(), [](const HostCommand* a, const HostCommand* b) {
    return strcmp(a->Name(), b->Name()) < 0;
  });
  for (const HostCommand* command : commands) printf("  %-12s %s\n", command->Name(), command->Synopsis());
  printf("\n'ldhost COMMAND --help' describes one command.\n"
         "Exit codes: 0 success, 1 the library reported a failure, 2 usage error.\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (!AfxWinInit(GetModuleHandleA(NULL), NULL, GetCommandLineA(), SW_SHOW)) {
    fprintf(stderr, "ldhost: framework initialisation failed\n");
    return kExitFailed;
  }
  InitExtensionDll();

  if (argc < 2 || strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0) {
    PrintOverview();
    return argc < 2 ? kExitUsage : kExitOk;
  }
  const HostCommand* command = HostCommand::Find(argv[1]);
  if (!command) {
    fprintf(stderr, "ldhost: unknown command '%s'\n", argv[1]);
    fprintf(stderr, "Try 'ldhost --help'.\n");
    return kExitUsage;
  }
  if (WantsHelp(argc - 2, argv + 2)) {
    printf("%s", command->Help());
    return kExitOk;
  }
  return command->Run(argc - 2, argv + 2);
}
