// Helper process of the browser tests: discovery happens once per process,
// so every set-up is seen by a probe of its own.
//
//   browser_probe discover [--pause]
//     Prints what discovery found, one "key=value" line each:
//       <record>=<available>|<name>|<description>|<exe path>|<arguments>|<DDE service>
//     for Netscape32, IExplore, Mosaic, Netscape16 and MosaicIni; then
//     Selected=<record or none> and the four queries. With --pause it then
//     prints PAUSED, waits for one byte on its input, and reports again
//     after a second round of queries.
//   browser_probe launch URL
//     Launches the URL; prints Result=<result> and Error=<m_dwError>.
#include <stdio.h>
#include <string.h>
#include <windows.h>

#include "browser/BrowserDiscovery.h"
#include "browser/CBrowserLauncher.h"

namespace {

struct NamedRecord {
  const char* name;
  CBrowserInfo* info;
};

const NamedRecord kRecords[] = {
    {"Netscape32", &g_browserNetscape32}, {"IExplore", &g_browserIExplore},
    {"Mosaic", &g_browserMosaic},         {"Netscape16", &g_browserNetscape16},
    {"MosaicIni", &g_browserMosaicIni},
};

void Report() {
  // The queries run discovery (once) before the records are read.
  int netscapeInstalled = IsNetscapeInstalled();
  int netscapeSelected = IsNetscapeSelected();
  int iexploreInstalled = IsIExploreInstalled();
  int mosaicInstalled = IsMosaicInstalled();
  const char* selected = "none";
  for (const NamedRecord& record : kRecords) {
    CBrowserInfo& info = *record.info;
    printf("%s=%d|%s|%s|%s|%s|%s\n", record.name, info.IsAvailable(), static_cast<LPCSTR>(info.m_strName),
           static_cast<LPCSTR>(info.m_strDescription), static_cast<LPCSTR>(info.m_strExePath),
           static_cast<LPCSTR>(info.m_strArguments), static_cast<LPCSTR>(info.m_strDdeService));
    if (g_pSelectedBrowser == record.info) selected = record.name;
  }
  printf("Selected=%s\n", selected);
  printf("IsNetscapeInstalled=%d\nIsNetscapeSelected=%d\nIsIExploreInstalled=%d\nIsMosaicInstalled=%d\n",
         netscapeInstalled, netscapeSelected, iexploreInstalled, mosaicInstalled);
  fflush(stdout);
}

int Discover(bool pause) {
  Report();
  if (!pause) return 0;
  printf("PAUSED\n");
  fflush(stdout);
  char byte = 0;
  DWORD read = 0;
  ReadFile(GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &read, NULL);
  DiscoverBrowsers();
  Report();
  return 0;
}

int Launch(const char* url) {
  CBrowserLauncher launcher;
  int result = launcher.Launch(url, NULL, 0, 0);
  printf("Result=%d\nError=%lu\n", result, static_cast<unsigned long>(launcher.m_dwError));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && strcmp(argv[1], "discover") == 0)
    return Discover(argc >= 3 && strcmp(argv[2], "--pause") == 0);
  if (argc == 3 && strcmp(argv[1], "launch") == 0) return Launch(argv[2]);
  fprintf(stderr, "usage: browser_probe discover [--pause] | launch URL\n");
  return 2;
}
