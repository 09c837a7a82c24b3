// ldhost: a console program that loads LDExCore the way the client does
// (a framework application object, then the library's chain entry) and
// offers the library's services as subcommands.
#include <afxwin.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

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
  // The commands sorted by name (a handful: insertion sort).
  const HostCommand* commands[HostCommand::kMaxCommands];
  int count = 0;
  for (int i = 0; i < HostCommand::Count(); ++i) {
    const HostCommand* command = HostCommand::At(i);
    int at = count++;
    for (; at > 0 && strcmp(commands[at - 1]->Name(), command->Name()) > 0; --at) commands[at] = commands[at - 1];
    commands[at] = command;
  }
  int nameWidth = 0;
  for (int i = 0; i < count; ++i) {
    int width = static_cast<int>(strlen(commands[i]->Name()));
    if (width > nameWidth) nameWidth = width;
  }
  for (int i = 0; i < count; ++i) fprintf(out, "  %-*s  %s\n", nameWidth, commands[i]->Name(), commands[i]->Synopsis());
  fprintf(out, "\n'ldhost COMMAND --help' describes one command. A command's options start with\n"
               "'--' and may come before or after its other arguments; '--' alone ends them.\n"
               "Numbers are decimal, or hexadecimal after 0x.\n"
               "Exit codes: 0 success, 1 the library reported a failure, 2 usage error.\n");
}

int ToolUsageError(const char* message) {
  fprintf(stderr, "ldhost: %s\n", message);
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
    if (argc < 3) return ToolUsageError(CString("--answer needs a button: ") + BoxAnswerer::ButtonNames());
    if ((answerButton = BoxAnswerer::ButtonFromName(argv[2])) == 0)
      return ToolUsageError(CString("--answer expects a button: ") + BoxAnswerer::ButtonNames());
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
  if (argv[1][0] == '-') return ToolUsageError(CString("unknown option '") + argv[1] + "'");
  const HostCommand* command = HostCommand::Find(argv[1]);
  if (!command) return ToolUsageError(CString("unknown command '") + argv[1] + "'");
  if (WantsHelp(argc - 2, argv + 2)) {
    printf("%s", command->Help());
    return kExitOk;
  }
  BoxAnswerer* answerer = answerButton != 0 ? new BoxAnswerer(answerButton) : NULL;
  const int exitCode = command->Run(argc - 2, argv + 2);
  delete answerer;
  return exitCode;
}
