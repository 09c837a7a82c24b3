// samplehost: the smallest host of LDExCore. It starts the framework and the
// library as a host must, finds the product's user data directory (a test
// install made by "ldhost test-install DIR" on a developer's machine),
// summarises an HTML page through a string sink, expands a report template
// into a file and a one-line summary into a text block, and on a worker
// thread writes a log entry and counts its runs in the user's settings.
//
//   samplehost PAGE TEMPLATE REPORT SETTINGS
#include <afxwin.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include <new>

#include <LDExCoreVersion.h>
#include <config/CIniSettingsStore.h>
#include <config/ProductDirs.h>
#include <frame/CLogFile.h>
#include <frame/LibraryEntry.h>
#include <html/CHtmlStringForwarder.h>
#include <html/CHtmlStringSink.h>
#include <sync/TThread.h>
#include <template/CNamedValueList.h>
#include <template/CTemplateExpander.h>

// The package's version, checked when the host is compiled.
#if LDEXCORE_VERSION < LDEXCORE_MAKE_VERSION(3, 0, 0)
#  error "samplehost needs LDExCore 3.0.0 or later"
#endif

namespace {

enum { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

// The framework's application object: one per host, constructed before main.
CWinApp theApp("samplehost");

// A sink overrides only the events it wants. Sinks are called from inside
// the tokenizer: they must not let an exception out.
class CPageSummary : public CHtmlStringSink {
 public:
  CPageSummary() : m_nTags(0), m_nLinks(0), m_bInTitle(FALSE) {}

  BOOL OnStartTag(const CString& strName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) override {
    ++m_nTags;
    if (strName.CompareNoCase("title") == 0) m_bInTitle = TRUE;
    if (strName.CompareNoCase("a") == 0) {
      for (int i = 0; i < nAttrs; ++i)
        if (ppAttrs[i]->m_strName.CompareNoCase("href") == 0) ++m_nLinks;
    }
    return TRUE;
  }
  BOOL OnEndTag(const CString& strName, BOOL* pbContinue) override {
    if (strName.CompareNoCase("title") == 0) m_bInTitle = FALSE;
    return TRUE;
  }
  BOOL OnText(const CString& strText, BOOL* pbContinue) override {
    if (m_bInTitle) m_strTitle += strText;
    return TRUE;
  }

  CString m_strTitle;
  int m_nTags;
  int m_nLinks;

 private:
  BOOL m_bInTitle;
};

// Feeds the file to the tokenizer in chunks, as a host reading a download
// would; any chunking gives the same events.
BOOL SummarisePage(const char* pszPath, CPageSummary& summary) {
  FILE* file = fopen(pszPath, "rb");
  if (file == NULL) return FALSE;
  CHtmlStringForwarder forwarder;
  forwarder.Attach(&summary);
  char chunk[64];
  size_t nRead;
  while ((nRead = fread(chunk, 1, sizeof chunk, file)) > 0) forwarder.Parse(chunk, static_cast<int>(nRead));
  forwarder.Finish();
  fclose(file);
  return TRUE;
}

BOOL ReadTextFile(const char* pszPath, CString& strText) {
  FILE* file = fopen(pszPath, "rb");
  if (file == NULL) return FALSE;
  char block[4096];
  size_t nRead;
  while ((nRead = fread(block, 1, sizeof block, file)) > 0) strText += CString(block, static_cast<int>(nRead));
  fclose(file);
  return TRUE;
}

// The expander writes CR LF itself, so the file is opened in binary mode.
BOOL WriteReport(const char* pszTemplatePath, const char* pszReportPath, CNamedValueList& vars) {
  CString strTemplate;
  if (!ReadTextFile(pszTemplatePath, strTemplate)) return FALSE;
  int hFile = _open(pszReportPath, _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (hFile == -1) return FALSE;
  CTemplateExpander expander;
  BOOL bOk = expander.ExpandToFile(strTemplate, hFile, &vars, NULL, 0);
  return _close(hFile) == 0 && bOk;
}

// The text block belongs to the caller, who frees it with the framework's
// operator delete (or AfxFreeMemory).
BOOL PrintSummary(CNamedValueList& vars) {
  LPSTR pszSummary = NULL;
  CTemplateExpander expander;
  if (!expander.ExpandToString("${Title}$: ${Links}$ links", &pszSummary, &vars, NULL)) return FALSE;
  printf("summary: %s\n", pszSummary);
  ::operator delete(pszSummary);
  return TRUE;
}

// The product's directories come from the product key that the client's
// installation writes; without one (a developer's machine), the per-user
// settings, the launcher and the package checks all fail. Asked once from
// the main thread before any other thread uses them: the answers are cached
// without a lock.
BOOL FindUserDataDir(CString& strDir) {
  if (!GetUserDataDir(strDir)) return FALSE;
  DWORD dwAttributes = GetFileAttributesA(strDir);
  return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The work of the worker thread: one log entry, and the count of runs kept
// in the user's settings ("samplehost.ini" in the user data directory).
class CRunRecorder : public TThread {
 public:
  CRunRecorder(CLogFile& log, const char* pszPage, int nLinks)
      : TThread(THREAD_PRIORITY_NORMAL, NULL), m_dwRuns(0), m_log(log), m_pszPage(pszPage), m_nLinks(nLinks) {}

  UINT Run() override {
    m_log.WriteFormat("sample host: %s has %d links\n", m_pszPage, m_nLinks);
    CIniSettingsStore settings("samplehost.ini", TRUE, 0);
    DWORD dwRuns = 0;
    settings.GetIntDefault("Sample", "Runs", &dwRuns, 0, FALSE);
    if (!settings.SetInt("Sample", "Runs", dwRuns + 1, FALSE)) return kExitFailed;
    m_dwRuns = dwRuns + 1;
    return kExitOk;
  }

  DWORD m_dwRuns;  // read once the thread is gone

 private:
  CLogFile& m_log;
  const char* m_pszPage;
  int m_nLinks;
};

// Ends a worker for good: TRUE when its thread is gone and the object may be
// deleted. End returns TRUE when it stopped the thread in time, and FALSE
// both when the time ran out and when there was nothing to stop (the thread
// had already finished, as a short job often has, or never ran): the status
// tells the two apart. Deleting a worker still inside Run would terminate
// its thread.
BOOL EndWorker(TThread& worker, DWORD dwTimeoutMs) {
  if (worker.End(dwTimeoutMs)) return TRUE;
  int nStatus = worker.GetStatus();
  return nStatus != TThread::Running && nStatus != TThread::Suspended;
}

// The log's settings: section "DI-Lodestar" of the settings file, "Main"
// the directory and "Log" the level. Started before the worker writes to
// it, ended after the worker is gone.
BOOL RecordRun(const char* pszSettingsPath, const char* pszPage, const CPageSummary& summary) {
  char szSettings[MAX_PATH];
  if (GetFullPathNameA(pszSettingsPath, MAX_PATH, szSettings, NULL) == 0) return FALSE;
  CLogFile log("DI-Lodestar", "Main", "Log", "Lodestar.log");
  log.SetLocation(szSettings, "", "Lodestar.log");
  log.Start();
  if (!log.IsFileEnabled()) {
    fprintf(stderr, "samplehost: logging is off in %s\n", szSettings);
    return FALSE;
  }
  CRunRecorder* pRecorder = new CRunRecorder(log, pszPage, summary.m_nLinks);
  pRecorder->Start();
  // A thread still inside Run keeps its object, and the log it writes to:
  // End is asked again until the thread is gone.
  while (!EndWorker(*pRecorder, 10000)) fprintf(stderr, "samplehost: waiting for the worker to end\n");
  DWORD dwExitCode = kExitFailed;
  if (!pRecorder->GetExitCode(&dwExitCode)) dwExitCode = kExitFailed;  // it never ran
  DWORD dwRuns = pRecorder->m_dwRuns;
  delete pRecorder;
  log.End();
  if (dwExitCode != kExitOk) {
    fprintf(stderr, "samplehost: cannot count the run in the user's settings\n");
    return FALSE;
  }
  printf("log: %s\nruns: %lu\n", static_cast<LPCSTR>(log.GetLogPath()), static_cast<unsigned long>(dwRuns));
  return TRUE;
}

int Fail(const char* pszWhat, const char* pszPath) {
  fprintf(stderr, "samplehost: %s %s\n", pszWhat, pszPath);
  return kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && strcmp(argv[1], "--help") == 0) {
    printf("usage: samplehost PAGE TEMPLATE REPORT SETTINGS\n\n"
           "Counts the tags and links of the HTML file PAGE, expands TEMPLATE with\n"
           "the variables Title, Links (when there are links) and Tags into the\n"
           "file REPORT, prints a one-line summary, writes a log entry as set in\n"
           "section DI-Lodestar of the INI file SETTINGS and counts its runs in the\n"
           "user's settings. Needs the product's directories: on a machine without\n"
           "the client, make a test install with \"ldhost test-install DIR\".\n"
           "Exit codes: 0 success, 1 a step failed, 2 usage error.\n"
           "Built against LDExCore %s.\n",
           LDEXCORE_VERSION_STRING);
    return kExitOk;
  }
  if (argc != 5) {
    fprintf(stderr, "usage: samplehost PAGE TEMPLATE REPORT SETTINGS (--help for more)\n");
    return kExitUsage;
  }

  // Start-up: the framework first, then the library's chain entry, before
  // any other call into the library.
  if (!AfxWinInit(GetModuleHandleA(NULL), NULL, GetCommandLineA(), SW_SHOW)) {
    fprintf(stderr, "samplehost: framework initialisation failed\n");
    return kExitFailed;
  }
  InitExtensionDll();

  CString strUserData;
  if (!FindUserDataDir(strUserData)) {
    fprintf(stderr, "samplehost: no user data directory: the product key names none, or it does not exist;\n"
                    "samplehost: make a test install with \"ldhost test-install DIR\" (see the host guide)\n");
    return kExitFailed;
  }
  printf("user data: %s\n", static_cast<LPCSTR>(strUserData));

  CPageSummary summary;
  if (!SummarisePage(argv[1], summary)) return Fail("cannot read", argv[1]);
  printf("title: %s\ntags: %d\nlinks: %d\n", static_cast<LPCSTR>(summary.m_strTitle), summary.m_nTags,
         summary.m_nLinks);

  CNamedValueList vars;
  vars.SetValue("Title", summary.m_strTitle);
  vars.SetNumber("Tags", summary.m_nTags);
  if (summary.m_nLinks > 0) vars.SetNumber("Links", summary.m_nLinks);
  if (!WriteReport(argv[2], argv[3], vars)) return Fail("cannot write the report", argv[3]);
  printf("report: %s\n", argv[3]);
  if (!PrintSummary(vars)) return Fail("cannot expand the summary of", argv[1]);

  if (!RecordRun(argv[4], argv[1], summary)) return Fail("cannot record the run as set in", argv[4]);
  return kExitOk;
}
