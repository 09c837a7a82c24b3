// Commands of the browser integration: installed and default browsers,
// browser profile locations, and opening a URL through brwsapp.exe.
#include <afxwin.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "HostArguments.h"
#include "HostCommand.h"
#include "browser/BrowserDiscovery.h"
#include "browser/BrowserProfiles.h"
#include "browser/CBrowserLauncher.h"
#include "config/CUserDirs.h"
#include "config/ProductDirs.h"

namespace {

struct NamedRecord {
  const char* title;
  CBrowserInfo* info;
};

const NamedRecord kRecords[] = {
    {"Netscape 32-bit", &g_browserNetscape32},
    {"Internet Explorer", &g_browserIExplore},
    {"Mosaic (registered)", &g_browserMosaic},
    {"Netscape 16-bit", &g_browserNetscape16},
    {"Mosaic (INI file only)", &g_browserMosaicIni},
};

const char* YesNo(int value) { return value ? "yes" : "no"; }

const char* OrNone(const CString& text) { return text.IsEmpty() ? "(none)" : static_cast<LPCSTR>(text); }

int RunBrowsers(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("browsers", argc, argv)) return kExitUsage;
  if (args.OperandCount() > 0) return UsageError("browsers", "takes no arguments");
  // The queries run discovery once; the records are read afterwards.
  int netscapeInstalled = IsNetscapeInstalled();
  int netscapeSelected = IsNetscapeSelected();
  int iexploreInstalled = IsIExploreInstalled();
  int mosaicInstalled = IsMosaicInstalled();
  const char* selected = "(none: no browser found)";
  for (size_t i = 0; i < sizeof kRecords / sizeof kRecords[0]; ++i) {
    const NamedRecord& record = kRecords[i];
    CBrowserInfo& info = *record.info;
    if (!info.IsAvailable()) {
      printf("%s: not found\n", record.title);
      continue;
    }
    printf("%s: available\n", record.title);
    printf("  name:        %s\n", static_cast<LPCSTR>(info.m_strName));
    printf("  description: %s\n", static_cast<LPCSTR>(info.m_strDescription));
    printf("  program:     %s\n", static_cast<LPCSTR>(info.m_strExePath));
    printf("  arguments:   \"%s\"\n", static_cast<LPCSTR>(info.m_strArguments));
    printf("  DDE service: %s\n", OrNone(info.m_strDdeService));
    if (g_pSelectedBrowser == record.info) selected = record.title;
  }
  printf("selected: %s\n", selected);
  printf("Netscape installed: %s\n", YesNo(netscapeInstalled));
  printf("Netscape selected: %s\n", YesNo(netscapeSelected));
  printf("Internet Explorer installed: %s\n", YesNo(iexploreInstalled));
  printf("Mosaic installed: %s\n", YesNo(mosaicInstalled));
  printf("Netscape 32-bit registered: %s\n", YesNo(IsNetscape32Registered()));
  return kExitOk;
}

int RunProfiles(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("profiles", argc, argv)) return kExitUsage;
  if (args.OperandCount() > 0) return UsageError("profiles", "takes no arguments");
  CString path;
  GetNetscapeBookmarkFile(path);
  printf("Netscape bookmark file: %s\n", OrNone(path));
  GetNetscapePrefsFile(path);
  printf("Netscape preferences file: %s\n", OrNone(path));
  CStringArray users;
  if (GetNetscapeUsers(users)) {
    printf("Netscape profiles: %d\n", users.GetSize());
    for (int i = 0; i < users.GetSize(); ++i) printf("  %s\n", static_cast<LPCSTR>(users[i]));
  } else {
    printf("Netscape profiles: none could be listed\n");
  }
  CString sole;
  if (!GetSoleNetscapeUser(sole))
    printf("sole Netscape profile: none (several profiles: the user chooses)\n");
  else
    printf("sole Netscape profile: %s\n", OrNone(sole));
  GetIExploreFavoritesDir(path);
  printf("Internet Explorer favorites: %s\n", OrNone(path));
  return kExitOk;
}

const HostOption kOpenOptions[] = {
    TextOption("--post"),
    NumberOption("--wait", 0, 3600, "seconds"),
    FlagOption("--new-window"),
    FlagOption("--file"),
};

// Names of the request files now in the user's data directory, as the
// keys of names.
void RequestFiles(const CString& dataDir, CMapStringToString& names) {
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA(dataDir + "msg*.tmp", &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do names.SetAt(found.cFileName, "");
  while (FindNextFileA(find, &found));
  FindClose(find);
}

// Waits until brwsapp.exe has taken the request file that the launch made.
int WaitForLauncher(const CString& dataDir, const CMapStringToString& before, int seconds) {
  CMapStringToString now;
  RequestFiles(dataDir, now);
  CString request, name, unused;
  for (POSITION position = now.GetStartPosition(); position != NULL;) {
    now.GetNextAssoc(position, name, unused);
    if (!before.Lookup(name, unused)) request = name;
  }
  if (request.IsEmpty()) {
    printf("brwsapp.exe took the request\n");
    return kExitOk;
  }
  CString path = dataDir + request;
  for (int waited = 0; GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; waited += 50) {
    if (waited >= seconds * 1000) {
      fprintf(stderr, "ldhost open: the request file %s is still there after %d s\n", static_cast<LPCSTR>(request),
              seconds);
      return kExitFailed;
    }
    Sleep(50);
  }
  printf("brwsapp.exe took the request file %s\n", static_cast<LPCSTR>(request));
  return kExitOk;
}

int RunOpen(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("open", kOpenOptions, argc, argv)) return kExitUsage;
  if (args.OperandCount() > 1) return UsageError("open", "expects one URL");
  if (args.OperandCount() == 0) return UsageError("open", "expects a URL (or a file path with --file)");
  const char* url = args.Operand(0);
  const char* postData = args.Value("--post");
  const bool newWindow = args.Has("--new-window");
  const bool file = args.Has("--file");
  const int waitSeconds = args.Has("--wait") ? static_cast<int>(args.Number("--wait", 0)) : -1;
  if (file && postData != NULL) return UsageError("open", "--post does not go with --file");

  CString dataDir;
  CMapStringToString before;
  bool haveDataDir = CUserDirs().GetDataDirOfUser(0, dataDir) != FALSE;
  if (haveDataDir) RequestFiles(dataDir, before);

  CBrowserLauncher launcher;
  int result;
  if (file)
    result = newWindow ? launcher.OpenLocalFileInNewWindow(url) : launcher.OpenLocalFile(url);
  else
    result = newWindow ? launcher.OpenUrlInNewWindow(url, postData) : launcher.OpenUrl(url, postData);
  if (result != 0) {
    printf("launch result: %d (system error %lu)\n", result, static_cast<unsigned long>(launcher.m_dwError));
    launcher.ReportLaunchError(url, result);
    return kExitFailed;
  }
  CString programDir;
  GetProgramDir(programDir);
  printf("launch result: 0 (started %sbrwsapp.exe)\n", static_cast<LPCSTR>(programDir));
  if (waitSeconds < 0 || !haveDataDir) return kExitOk;
  return WaitForLauncher(dataDir, before, waitSeconds);
}

const HostCommand browsersCommand(
    "browsers", "list the installed browsers and the selected one",
    "usage: ldhost browsers\n\n"
    "Runs browser discovery as the client does (once per process): App Paths\n"
    "entries of Netscape.exe, IEXPLORE.EXE and mosaic.exe, NETSCAPE.INI and\n"
    "MOSAIC.INI, and the open command of the class of .htm files. Prints each\n"
    "of the five records (name, description, program, arguments, DDE service),\n"
    "the selected browser and the answers of the browser queries, including\n"
    "whether a 32-bit Netscape is registered right now.\n",
    RunBrowsers);

const HostCommand profilesCommand(
    "profiles", "show the browsers' bookmark, preferences and favorites locations",
    "usage: ldhost profiles\n\n"
    "Prints the Netscape bookmark file and preferences file of the profile\n"
    "chosen in \"NetscapeUser\" of [Browser Options] in the user's ldglobal.ini\n"
    "(else Netscape's current profile), the Netscape profiles, the sole\n"
    "profile when there is at most one, and the Internet Explorer favorites\n"
    "folder. \"(none)\" marks what was not found.\n",
    RunProfiles);

const HostCommand openCommand(
    "open", "open a URL or a local file in the browser through brwsapp.exe",
    "usage: ldhost open URL [--post DATA] [--new-window] [--wait SECONDS]\n"
    "       ldhost open PATH --file [--new-window] [--wait SECONDS]\n\n"
    "Writes a request file (msgXXXX.tmp) into the user's data directory and\n"
    "starts brwsapp.exe from the program directory with the file's name as\n"
    "its command line, without waiting for it. Prints the launch result. On a\n"
    "failure it shows the error box as the client does, and exits with 1.\n\n"
    "  --post DATA     POST data for the URL\n"
    "  --new-window    ask for a new browser window\n"
    "  --file          the argument is the path of a local file\n"
    "  --wait SECONDS  then wait until brwsapp.exe has taken the request file\n"
    "                  away (exit code 1 when it is still there)\n\n"
    "A URL or POST data with a line break is refused (system error 87).\n",
    RunOpen);

}  // namespace
