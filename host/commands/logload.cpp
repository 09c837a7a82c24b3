// Commands of the diagnostic log and the module loader.
#include <afxwin.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FileProblem.h"
#include "HostCommand.h"
#include "frame/CLogFile.h"
#include "frame/CModuleLoader.h"

namespace {

const char kLogFileName[] = "Lodestar.log";

// The whole text file with LF line ends, as the console prints them; false
// when it cannot be read (a directory cannot).
bool ReadTextFile(const char* path, std::string& text) {
  if (!ReadWholeFile(path, text)) return false;
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return true;
}

// True when the log holds, after its last start banner, every entry in
// order as this thread wrote it, and then an end banner. A file that could
// not be emptied or appended to keeps what an earlier run left.
bool EntriesArrived(const std::string& log, int count, char** entries) {
  size_t at = log.rfind(" Log Started : ");
  if (at == std::string::npos) return false;
  char prefix[16];
  snprintf(prefix, sizeof prefix, "[%.8lx]", static_cast<unsigned long>(GetCurrentThreadId()));
  for (int i = 0; i < count; ++i) {
    at = log.find(prefix + std::string(entries[i]) + "\n", at);
    if (at == std::string::npos) return false;
  }
  return log.find(" Log Ended : ", at) != std::string::npos;
}

// "--level N" before the operands: a level from 0 to 65535, or -1 when
// the option is not there. Returns an error text, or empty.
std::string ParseLevelOption(int& argc, char**& argv, long& level) {
  level = -1;
  if (argc < 1 || strcmp(argv[0], "--level") != 0) return std::string();
  if (argc < 2) return "--level needs a value";
  char* end = nullptr;
  level = strtol(argv[1], &end, 0);
  if (*argv[1] == '\0' || *end != '\0' || level < 0 || level > 0xFFFF) return "--level expects 0 to 65535";
  argc -= 2;
  argv += 2;
  return std::string();
}

int RunLog(int argc, char** argv) {
  long level;
  std::string error = ParseLevelOption(argc, argv, level);
  if (!error.empty()) return UsageError("log", error.c_str());
  if (argc < 2) return UsageError("log", "expects a settings file and a section");
  if (*argv[1] == '\0') return UsageError("log", "the section must not be empty");
  // Profile functions look for a file without a directory in the Windows
  // directory; a file named on the command line means the current one.
  bool systemProfile = strcmp(argv[0], "-") == 0;
  std::string settings = systemProfile ? "" : FullPath(argv[0]);
  if (!systemProfile) {
    std::string why = WhyNotReadable(settings.c_str());
    if (!why.empty()) return Failure("log", "cannot read the settings file " + settings + ": " + why);
  }
  const char* where = systemProfile ? "the system profile" : settings.c_str();

  CLogFile log(argv[1], "Main", "Log", kLogFileName);
  log.SetLocation(settings.c_str(), "", kLogFileName);
  if (level >= 0)
    log.StartAtLevel(static_cast<WORD>(level));
  else
    log.Start();
  if (!log.IsEnabled() && level >= 0) return Failure("log", "level 0 writes nothing");
  if (!log.IsEnabled()) {
    fprintf(stderr, "ldhost log: logging is off (\"Log\" is 0 or missing in [%s] of %s)\n", argv[1], where);
    return kExitFailed;
  }
  if (!log.IsFileEnabled()) {
    log.End();
    fprintf(stderr, "ldhost log: level %u has no file output (bit 0 clear); nothing written\n", log.GetLevel());
    return kExitFailed;
  }
  for (int i = 2; i < argc; ++i) log.Write((std::string(argv[i]) + "\n").c_str());
  log.End();

  std::string path = FullPath(log.GetLogPath());
  std::string text;
  if (!ReadTextFile(path.c_str(), text) || !EntriesArrived(text, argc - 2, argv + 2)) {
    std::string why = WhyNotWritable(path.c_str());
    return Failure("log", "the entries did not arrive in " + path + ": " +
                              (why.empty() ? "the file changed while the log wrote to it" : why));
  }
  printf("%s: %d entr%s at level %u\n", path.c_str(), argc - 2, argc - 2 == 1 ? "y" : "ies", log.GetLevel());
  fputs(text.c_str(), stdout);
  return kExitOk;
}

int RunLoad(int argc, char** argv) {
  bool showBox = false;
  std::vector<const char*> arguments;
  for (int i = 0; i < argc; ++i) {
    if (strcmp(argv[i], "--box") == 0) {
      showBox = true;
    } else if (strncmp(argv[i], "--", 2) == 0) {
      return UnknownOption("load", argv[i]);
    } else {
      arguments.push_back(argv[i]);
    }
  }
  if (arguments.empty() || arguments.size() > 2) return UsageError("load", "expects a library path and an optional entry point name");
  if (*arguments[0] == '\0') return UsageError("load", "the library path must not be empty");

  CModuleLoader loader(arguments[0]);
  if (!loader.Load(showBox)) {
    DWORD error = GetLastError();
    return Failure("load", std::string(arguments[0]) + " did not load: " + SystemMessage(error, arguments[0]));
  }
  char loadedFrom[MAX_PATH] = "";
  GetModuleFileNameA(loader.GetModule(), loadedFrom, MAX_PATH);
  printf("loaded %s\n", loadedFrom);
  if (arguments.size() == 2) {
    if (loader.GetProcAddress(arguments[1]) == NULL)
      return Failure("load", std::string(loadedFrom) + " has no entry point " + arguments[1] + ": " +
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
