// samplehost: the smallest host of LDExCore. It starts the framework and the
// library as a host must, summarises an HTML page through a string sink,
// expands a report template into a file and a one-line summary into a text
// block, and writes a log entry.
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
#include <frame/CLogFile.h>
#include <frame/LibraryEntry.h>
#include <html/CHtmlStringForwarder.h>
#include <html/CHtmlStringSink.h>
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

// The log's settings: section "DI-Lodestar" of the settings file, "Main"
// the directory and "Log" the level.
BOOL WriteLogEntry(const char* pszSettingsPath, const char* pszPage, const CPageSummary& summary) {
  char szSettings[MAX_PATH];
  if (GetFullPathNameA(pszSettingsPath, MAX_PATH, szSettings, NULL) == 0) return FALSE;
  CLogFile log("DI-Lodestar", "Main", "Log", "Lodestar.log");
  log.SetLocation(szSettings, "", "Lodestar.log");
  log.Start();
  if (!log.IsFileEnabled()) {
    fprintf(stderr, "samplehost: logging is off in %s\n", szSettings);
    return FALSE;
  }
  log.WriteFormat("sample host: %s has %d links\n", pszPage, summary.m_nLinks);
  log.End();
  printf("log: %s\n", static_cast<LPCSTR>(log.GetLogPath()));
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
           "file REPORT, prints a one-line summary and writes a log entry as set\n"
           "in section DI-Lodestar of the INI file SETTINGS.\n"
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

  if (!WriteLogEntry(argv[4], argv[1], summary)) return Fail("cannot write the log set in", argv[4]);
  return kExitOk;
}
