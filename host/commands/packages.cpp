// Commands of the add-on packages: the state of each package, the offer to
// download one, and help through the host's help-checking application.
#include <afxwin.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "HostArguments.h"
#include "HostCommand.h"
#include "config/ProductDirs.h"
#include "packages/PackageChecks.h"
#include "packages/PackageDownload.h"

namespace {

const int kDownloaderWaitMs = 10000;

const char* PassFail(BOOL passed) { return passed ? "installed" : "missing"; }

// Prints one file a package test looks for and whether it passes; a zero
// year takes any date.
bool ReportFile(const CString& strPath, int nYear, int nMonth, int nDay) {
  CFileStatus status;
  bool exists = CFile::GetStatus(strPath, status) && !(status.m_attribute & CFile::directory);
  bool dated = exists && (nYear == 0 || status.m_mtime >= CTime(nYear, nMonth, nDay, 0, 0, 0));
  printf("  %s: ", static_cast<LPCSTR>(strPath));
  if (!exists)
    printf("missing\n");
  else if (nYear == 0)
    printf("ok (any date)\n");
  else
    printf("%s (modified %s, needs %04d-%02d-%02d or later)\n", dated ? "ok" : "too old",
           static_cast<LPCSTR>(status.m_mtime.Format("%Y-%m-%d %H:%M")), nYear, nMonth, nDay);
  return dated;
}

CString SystemDir() {
  char szDir[MAX_PATH] = {0};
  GetSystemDirectoryA(szDir, MAX_PATH);
  CString strDir(szDir);
  if (!strDir.IsEmpty() && strDir[strDir.GetLength() - 1] != '\\') strDir += '\\';
  return strDir;
}

int RunStatus() {
  CString strProductDir, strProgramDir;
  bool bProduct = GetProductDir(strProductDir) != FALSE;
  bool bProgram = GetProgramDir(strProgramDir) != FALSE;

  printf("Help: %s\n", PassFail(IsHelpPackageInstalled()));
  if (bProduct)
    ReportFile(strProductDir + "Help\\Lodestar.hlp", 2000, 5, 4);
  else
    printf("  (no product directory recorded)\n");

  const BOOL bEngineLoads = IsVerityPackageInstalled(TRUE);
  printf("Verity engine: %s (files only: %s)\n", PassFail(bEngineLoads), PassFail(IsVerityPackageInstalled(FALSE)));
  if (bProgram) {
    ReportFile(strProgramDir + "common\\vdk20.lic", 1999, 8, 23);
    ReportFile(strProgramDir + "common\\style\\style.lex", 1999, 12, 9);
  } else {
    printf("  (no program directory recorded)\n");
  }
  ReportFile(SystemDir() + "vdk200.dll", 1999, 7, 12);
  HMODULE hEngine = LoadLibraryA("vdk200.dll");
  printf("  vdk200.dll loads: %s\n", hEngine != NULL ? "yes" : "no");
  if (hEngine != NULL) FreeLibrary(hEngine);

  printf("Verity English: %s\n", PassFail(IsVerityEnglishInstalled()));
  if (bProgram) ReportFile(strProgramDir + "common\\English\\vdk20.syd", 0, 0, 0);
  return kExitOk;
}

// A hidden top-level window that owns the question, as the client's frame
// window would.
class ParentWindow {
 public:
  ParentWindow() {
    m_wnd.Attach(CreateWindowExA(0, "STATIC", "ldhost", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL));
  }
  ~ParentWindow() { m_wnd.DestroyWindow(); }
  CWnd* Get() { return m_wnd.m_hWnd != NULL ? &m_wnd : NULL; }

 private:
  CWnd m_wnd;
};

// The file's bytes; empty when it is missing.
CString ReadFileText(const CString& strPath) {
  CString text;
  ReadWholeFile(strPath, text);
  return text;
}

void PrintText(const CString& text) {
  for (int i = 0; i < text.GetLength(); ++i)
    if (text[i] != '\r') putchar(text[i]);
  if (!text.IsEmpty() && text[text.GetLength() - 1] != '\n') putchar('\n');
}

// The value of a line "Name=value" of a stand-in's record, its escaped
// backslashes made single again (paths hold no line breaks).
CString RecordValue(const CString& record, const char* name) {
  int start = record.Find(CString(name) + "=");
  if (start < 0) return "(none)";
  start += static_cast<int>(strlen(name)) + 1;
  const int end = record.Find("\r\n", start);
  CString value = end < 0 ? record.Mid(start) : record.Mid(start, end - start);
  value.Replace("\\\\", "\\");
  return value;
}

// The downloader stand-in logs each start in ldsdnl.log beside itself; a
// real downloader leaves nothing to show.
void ReportDownloader(const CString& strPackageDir, int nLogBefore) {
  const CString strLog = strPackageDir + "ldsdnl.log";
  for (int waited = 0; waited < kDownloaderWaitMs; waited += 50) {
    CString log = ReadFileText(strLog);
    if (log.GetLength() > nLogBefore && log.Find("[end]", nLogBefore) >= 0) {
      const CString record = log.Mid(nLogBefore);
      printf("downloader started: %s\n", static_cast<LPCSTR>(RecordValue(record, "Program")));
      printf("  its command line: %s\n", static_cast<LPCSTR>(RecordValue(record, "CommandLine")));
      printf("  it found the package file: %s\n",
             record.Find("\r\nPackageFile=") >= 0 ? "yes (its text is in ldsdnl.log)" : "no");
      return;
    }
    Sleep(50);
  }
  printf("downloader: no record in %s\n", static_cast<LPCSTR>(strLog));
}

int RunOffer(const char* what, bool parentWindow) {
  const struct {
    const char* name;
    UINT nPackages;
  } kOffers[] = {{"help", PKG_HELP}, {"verity", PKG_VERITY}, {"english", PKG_VERITY_ENGLISH},
                 {"spell", PKG_SPELL}, {"update", 0}};
  if (what == NULL) return UsageError("packages", "offer expects help, verity, english, spell or update");
  int nOffer = -1;
  for (int i = 0; i < static_cast<int>(sizeof kOffers / sizeof kOffers[0]); ++i)
    if (strcmp(what, kOffers[i].name) == 0) nOffer = i;
  if (nOffer < 0) return UsageError("packages", "offer expects help, verity, english, spell or update");

  CString strPackageDir;
  bool bPackageDir = GetProgramDir(strPackageDir) != FALSE;
  strPackageDir += "Packages\\";
  const CString strPackageFile = strPackageDir + "package1.ini";
  const CString before = bPackageDir ? ReadFileText(strPackageFile) : CString();
  const int nLogBefore = bPackageDir ? ReadFileText(strPackageDir + "ldsdnl.log").GetLength() : 0;

  ParentWindow parent;
  CWnd* pParent = parentWindow ? parent.Get() : NULL;
  if (kOffers[nOffer].nPackages == 0)
    OfferVerityUpdate(pParent);
  else
    OfferPackageDownload(pParent, kOffers[nOffer].nPackages, TRUE);

  const CString after = bPackageDir ? ReadFileText(strPackageFile) : CString();
  if (!bPackageDir || after == before) {
    printf("nothing requested: the package file is unchanged\n");
    return kExitOk;
  }
  printf("package file %s now reads:\n", static_cast<LPCSTR>(strPackageFile));
  PrintText(after);
  ReportDownloader(strPackageDir, nLogBefore);
  return kExitOk;
}

const HostOption kPackagesOptions[] = {
    FlagOption("--parent"),
};

int RunPackages(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("packages", kPackagesOptions, argc, argv)) return kExitUsage;
  const bool offer = args.OperandCount() >= 1 && strcmp(args.Operand(0), "offer") == 0;
  if (args.OperandCount() == 0 && !args.Has("--parent")) return RunStatus();
  if (!offer) return UsageError("packages", "expects no arguments or 'offer PACKAGE [--parent]'");
  if (args.OperandCount() > 2) return UsageError("packages", "offer expects one package");
  return RunOffer(args.OperandCount() == 2 ? args.Operand(1) : NULL, args.Has("--parent"));
}

// The host's main window for help: it prints the help it is asked for
// instead of starting the help engine, which would wait for a person.
class HelpWindow : public CWnd {
 public:
  void WinHelp(DWORD dwData, UINT nCmd) override {
    printf("help shown: %s, command %u, data %lu\n", AfxGetApp()->m_pszHelpFilePath, nCmd,
           static_cast<unsigned long>(dwData));
  }
};

int RunHelp(int argc, char** argv) {
  HostArguments args;
  if (!args.Parse("help", argc, argv)) return kExitUsage;
  if (args.OperandCount() > 1) return UsageError("help", "expects at most one topic number");
  DWORD dwTopic = 0;
  UINT nCmd = HELP_FINDER;
  if (args.OperandCount() == 1) {
    if (!HostArguments::ParseNumber(args.Operand(0), 0, 0xFFFFFFFF, &dwTopic))
      return UsageError("help", "the topic must be " + HostArguments::NumberRange(0, 0xFFFFFFFF));
    nCmd = HELP_CONTEXT;
  }
  CWinApp* pApp = AfxGetApp();
  // The client's help file is the help package's.
  CString strProductDir;
  if (GetProductDir(strProductDir)) {
    free(const_cast<LPSTR>(pApp->m_pszHelpFilePath));
    pApp->m_pszHelpFilePath = _strdup(strProductDir + "Help\\Lodestar.hlp");
  }
  HelpWindow mainWnd;
  mainWnd.Attach(CreateWindowExA(0, "STATIC", "ldhost", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL));
  pApp->m_pMainWnd = &mainWnd;
  const int nBefore = AfxGetHelpCalls(NULL);
  pApp->WinHelp(dwTopic, nCmd);
  const bool bShown = AfxGetHelpCalls(NULL) > nBefore;
  pApp->m_pMainWnd = NULL;
  mainWnd.DestroyWindow();
  if (!bShown) {
    printf("help not shown: the help package is missing\n");
    return kExitFailed;
  }
  return kExitOk;
}

const HostCommand packagesCommand(
    "packages", "show which add-on packages are installed, or offer one for download",
    "usage: ldhost packages\n"
    "       ldhost packages offer help|verity|english|spell|update [--parent]\n\n"
    "Without arguments: runs the library's package tests (help, Verity engine\n"
    "with and without its trial load, Verity English) and lists each file they\n"
    "look at with its date and the earliest date that passes, so a failing\n"
    "test shows which file fails.\n\n"
    "offer: asks, as the client does, whether to download the package (update:\n"
    "the latest Verity package for a saved search). On yes the library writes\n"
    "the requests into Packages\\package1.ini of the program directory and\n"
    "starts Packages\\ldsdnl.exe; the command then prints the package file and\n"
    "what the downloader stand-in recorded. With --parent a window of the\n"
    "host owns the question (caption \"Missing Package(s)\") and its handle is\n"
    "written as HANDLE; without, the question is the application's box.\n"
    "Run unattended with 'ldhost --answer yes|no packages offer ...'.\n",
    RunPackages);

const HostCommand helpCommand(
    "help", "ask for help through the help-checking application class",
    "usage: ldhost help [TOPIC]\n\n"
    "The host's application derives from the library's CExtensionApp. Asks it\n"
    "for help on the topic number, 0 to 4294967295 (without one: the help\n"
    "contents). When the help package is installed, the request reaches the\n"
    "framework and the host prints the help it would show; otherwise the\n"
    "library offers the help package for download, nothing is shown, and the\n"
    "exit code is 1.\n",
    RunHelp);

}  // namespace
