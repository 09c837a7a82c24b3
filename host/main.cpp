// ldhost: a console program that loads LDExCore the way the client does
// (a framework application object, then the library's chain entry) and
// offers the library's services as subcommands.
#include <afxwin.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <memory>
#include <string>
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

// The overview of options and commands: to standard output when asked for,
// to standard error after a usage error.
void PrintOverview(FILE* out) {
  fprintf(out, "usage: ldhost [--answer BUTTON] COMMAND [ARGS...]\n\n"
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
  int nameWidth = 0;
  for (const HostCommand* command : commands) nameWidth = std::max(nameWidth, static_cast<int>(strlen(command->Name())));
  for (const HostCommand* command : commands) fprintf(out, "  %-*s  %s\n", nameWidth, command->Name(), command->Synopsis());
  fprintf(out, "\n'ldhost COMMAND --help' describes one command.\n"
               "Exit codes: 0 success, 1 the library reported a failure, 2 usage error.\n");
}

int ToolUsageError(const std::string& message) {
  fprintf(stderr, "ldhost: %s\n", message.c_str());
  fprintf(stderr, "Try 'ldhost --help'.\n");
  return kExitUsage;
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
    if (argc < 3) return ToolUsageError(std::string("--answer needs a button: ") + BoxAnswerer::ButtonNames());
    if ((answerButton = BoxAnswerer::ButtonFromName(argv[2])) == 0)
      return ToolUsageError(std::string("--answer expects a button: ") + BoxAnswerer::ButtonNames());
    argc -= 2;
    argv += 2;
  }

  if (argc < 2) {
    PrintOverview(stderr);
    return kExitUsage;
  }
  if (strcmp(argv[1], "--help") == 0 || strcmp(argv[1], "-h") == 0) {
    PrintOverview(stdout);
    return kExitOk;
  }
  if (argv[1][0] == '-') return ToolUsageError("unknown option '" + std::string(argv[1]) + "'");
  const HostCommand* command = HostCommand::Find(argv[1]);
  if (!command) return ToolUsageError("unknown command '" + std::string(argv[1]) + "'");
  if (WantsHelp(argc - 2, argv + 2)) {
    printf("%s", command->Help());
    return kExitOk;
  }
  std::unique_ptr<BoxAnswerer> answerer;
  if (answerButton != 0) answerer.reset(new BoxAnswerer(answerButton));
  return command->Run(argc - 2, argv + 2);
}
