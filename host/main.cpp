// ldhost: a console program that loads LDExCore the way the client does
// (a framework application object, then the library's chain entry) and
// offers the library's services as subcommands.
#include <afxwin.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "BoxAnswerer.h"
#include "HostCommand.h"
#include "frame/LibraryEntry.h"
#include "packages/CExtensionApp.h"

namespace {

// Derived from the library's help-checking application class, so that the
// help command asks for help the way the client does. Its name stays
// "ldhost" (the caption of its message boxes), not the title string.
class CHostApp : public CExtensionApp {
 public:
  CHostApp() { m_pszAppName = _strdup("ldhost"); }
};

CHostApp theApp;

void PrintOverview() {
  printf("usage: ldhost [--answer BUTTON] COMMAND [ARGS...]\n\n"
         "Runs one service of LDExCore.dll the way the client uses it.\n\n"
         "options:\n"
         "  --answer BUTTON  answer every message box the command shows with BUTTON\n"
         "                   (%s; a box without it is closed)\n"
         "                   and print it as 'box: CAPTION: TEXT', line breaks as ' / '\n\n"
         "commands:\n",
         BoxAnswerer::ButtonNames());
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

  // Options of the tool come before the command.
  int answerButton = 0;
  if (argc >= 2 && strcmp(argv[1], "--answer") == 0) {
    if (argc < 3 || (answerButton = BoxAnswerer::ButtonFromName(argv[2])) == 0) {
      fprintf(stderr, "ldhost: --answer expects a button: %s\n", BoxAnswerer::ButtonNames());
      fprintf(stderr, "Try 'ldhost --help'.\n");
      return kExitUsage;
    }
    argc -= 2;
    argv += 2;
  }

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
  std::unique_ptr<BoxAnswerer> answerer;
  if (answerButton != 0) answerer.reset(new BoxAnswerer(answerButton));
  return command->Run(argc - 2, argv + 2);
}
