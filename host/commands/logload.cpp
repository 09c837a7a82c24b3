// Commands of the diagnostic log and the module loader.
#include <afxwin.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "FileProblem.h"
#include "HostArguments.h"
#include "HostCommand.h"
#include "frame/CLogFile.h"
#include "frame/CModuleLoader.h"

namespace {

const char kLogFileName[] = "Lodestar.log";

// The whole text file with LF line ends, as the console prints them; false
// when it cannot be read (a directory cannot).
bool ReadTextFile(const char* path, CString& text) {
  if (!ReadWholeFile(path, text)) return false;
  text.Replace("\r", "");
  return true;
}

// Where the last occurrence of part in text starts, or -1.
int FindLast(const CString& text, const char* part) {
  int last = -1;
  for (int at = text.Find(part); at >= 0; at = text.Find(part, at + 1)) last = at;
  return last;
}

// True when the log holds, after its last start banner, every entry in
// order as this thread wrote it, and then an end banner. A file that could
// not be emptied or appended to keeps what an earlier run left.
bool EntriesArrived(const CString& log, int count, const char* const* entries) {
  int at = FindLast(log, " Log Started : ");
  if (at < 0) return false;
  char prefix[16];
  snprintf(prefix, sizeof prefix, "[%.8lx]", static_cast<unsigned long>(GetCurrentThreadId()));
  for (int i = 0; i < count; ++i) {
    at = log.Find(prefix + CString(entries[i]) + "\n", at);
    if (at < 0) return false;
  }
  return log.Find(" Log Ended : ", at) >= 0;
}

const HostOption kLogOptions[] = {
    NumberOption("--level", 0, 0xFFFF),
};

int RunLog(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("log", kLogOptions, argc, argv)) return kExitUsage;
  const long level = args.Has("--level") ? static_cast<long>(args.Number("--level", 0)) : -1;
  if (args.OperandCount() < 2) return UsageError("log", "expects a settings file and a section");
  const char* settingsFile = args.Operand(0);
  const char* section = args.Operand(1);
  if (*section == '\0') return UsageError("log", "the section must not be empty");
  const int entryCount = args.OperandCount() - 2;
  const char* const* entries = args.Operands() + 2;
  // Profile functions look for a file without a directory in the Windows
  // directory; a file named on the command line means the current one.
  bool systemProfile = strcmp(settingsFile, "-") == 0;
  CString settings = systemProfile ? CString() : FullPath(settingsFile);
  if (!systemProfile) {
    CString why = WhyNotReadable(settings);
    if (!why.IsEmpty()) return Failure("log", "cannot read the settings file " + settings + ": " + why);
  }
  const char* where = systemProfile ? "the system profile" : static_cast<LPCSTR>(settings);

  CLogFile log(section, "Main", "Log", kLogFileName);
  log.SetLocation(settings, "", kLogFileName);
  if (level >= 0)
    log.StartAtLevel(static_cast<WORD>(level));
  else
    log.Start();
  if (!log.IsEnabled() && level >= 0) return Failure("log", "level 0 writes nothing");
  if (!log.IsEnabled()) {
    fprintf(stderr, "ldhost log: logging is off (\"Log\" is 0 or missing in [%s] of %s)\n", section, where);
    return kExitFailed;
  }
  if (!log.IsFileEnabled()) {
    log.End();
    fprintf(stderr, "ldhost log: level %u has no file output (bit 0 clear); nothing written\n", log.GetLevel());
    return kExitFailed;
  }
  for (int i = 0; i < entryCount; ++i) log.Write(CString(entries[i]) + "\n");
  log.End();

  CString path = FullPath(log.GetLogPath());
  CString text;
  if (!ReadTextFile(path, text) || !EntriesArrived(text, entryCount, entries)) {
    CString why = WhyNotWritable(path);
    return Failure("log", "the entries did not arrive in " + path + ": " +
                              (why.IsEmpty() ? CString("the file changed while the log wrote to it") : why));
  }
  printf("%s: %d entr%s at level %u\n", static_cast<LPCSTR>(path), entryCount, entryCount == 1 ? "y" : "ies",
         log.GetLevel());
  fputs(text, stdout);
  return kExitOk;
}

const HostOption kLoadOptions[] = {
    FlagOption("--box"),
};

int RunLoad(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("load", kLoadOptions, argc, argv)) return kExitUsage;
  const bool showBox = args.Has("--box");
  const int argumentCount = args.OperandCount();
  if (argumentCount == 0 || argumentCount > 2)
    return UsageError("load", "expects a library path and an optional entry point name");
  const char* const arguments[2] = {args.Operand(0), argumentCount == 2 ? args.Operand(1) : NULL};
  if (*arguments[0] == '\0') return UsageError("load", "the library path must not be empty");

  CModuleLoader loader(arguments[0]);
  if (!loader.Load(showBox)) {
    DWORD error = GetLastError();
    return Failure("load", CString(arguments[0]) + " did not load: " + SystemMessage(error, arguments[0]));
  }
  char loadedFrom[MAX_PATH] = "";
  GetModuleFileNameA(loader.GetModule(), loadedFrom, MAX_PATH);
  printf("loaded %s\n", loadedFrom);
  if (argumentCount == 2) {
    if (loader.GetProcAddress(arguments[1]) == NULL)
      return Failure("load", CString(loadedFrom) + " has no entry point " + arguments[1] + ": " +
                                 SystemMessage(GetLastError()));
    printf("entry point %s found\n", arguments[1]);
  }
  return kExitOk;
}

const HostCommand logCommand(
    "log", "write entries to the diagnostic log",
    "usage: ldhost log [--level N] SETTINGS SECTION [TEXT...]\n\n"
    "Starts the diagnostic log with its settings in section SECTION of the\n"
    "profile file SETTINGS (\"-\" for the system profile, win.ini): \"Main\" names\n"
    "the directory of Lodestar.log (empty: the current directory), \"Log\" the\n"
    "level (bit 0 writes the file); --level N gives the level in its place.\n"
    "The log is emptied and gets its start banner; each TEXT becomes one\n"
    "entry, tagged with the thread id and ended with a line end; then the end\n"
    "banner. Prints the log's path and the file.\n"
    "Exit code 1 when the level writes no file or the entries did not reach it (the\n"
    "path is a directory, or the file is held open by another program).\n",
    RunLog);

const HostCommand loadCommand(
    "load", "load a library and look an entry point up",
    "usage: ldhost load [--box] PATH [ENTRY]\n\n"
    "Loads the library at PATH the way the client loads its libraries: a PATH\n"
    "with a directory is loaded with that directory as the current one, so\n"
    "libraries beside it are found. Prints the file that was loaded and, with\n"
    "ENTRY, whether it has that named entry point. With --box a failed load\n"
    "also shows the library's error box (needs a display; press OK).\n"
    "Exit code 1 when the library does not load or has no such entry point.\n",
    RunLoad);

}  // namespace
