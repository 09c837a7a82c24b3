// Calls of every function that LDExCore.dll exports, through the import
// library, grouped by subsystem. Each group runs its functions the way a
// host would, with arguments that keep the machine as it was (a test
// registry key and INI file, the proxy settings written back as they were
// read, launches refused for their argument); the subsystems' behaviour is
// tested in depth by the other suites, so only what shows a call arriving
// wrongly is checked here. Virtual members are called by qualified name, so
// that the call goes through the import library and not the table. The
// message boxes that some calls show are closed.
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <sys/stat.h>
#include <string.h>

#include "afxwin.h"
#include "browser/BrowserDiscovery.h"
#include "browser/BrowserProfiles.h"
#include "browser/BrowserRegistry.h"
#include "browser/CBrowserInfo.h"
#include "browser/CBrowserLauncher.h"
#include "config/CIniSettingsStore.h"
#include "config/CRegSettingsStore.h"
#include "config/CRegistryKey.h"
#include "config/CUserDirs.h"
#include "config/ProductDirs.h"
#include "config/Scramble.h"
#include "frame/CLogFile.h"
#include "frame/CModuleLoader.h"
#include "html/CHtmlMirrorWriter.h"
#include "html/CHtmlStringForwarder.h"
#include "html/CHtmlStringSink.h"
#include "html/CHtmlTextForwarder.h"
#include "html/CHtmlTextSink.h"
#include "html/CHtmlTokenizer.h"
#include "html/CNameValuePair.h"
#include "html/NormalizeText.h"
#include "inet/CProxySettings.h"
#include "msvctests/BoxCloser.h"
#include "msvctests/CheckRunner.h"
#include "msvctests/SavedRegistryValue.h"
#include "msvctests/Groups.h"
#include "packages/CExtensionApp.h"
#include "packages/CExtensionPackageDlg.h"
#include "packages/PackageChecks.h"
#include "packages/PackageDownload.h"
#include "sync/CCritSec.h"
#include "sync/CProcCritSec.h"
#include "sync/CProcCritSecGuard.h"
#include "sync/CProcCritSecHost.h"
#include "sync/CVolatileStore.h"
#include "sync/TThread.h"
#include "template/BrandingText.h"
#include "template/CNamedValueList.h"
#include "template/CTemplateExpander.h"
#include "standins/lduserdb/lduserdb.h"
#include "userdb/CUserDbLink.h"

namespace {

const char kTestKey[] = "Software\\LDExCore ABI checks";

// A scratch folder below the temporary folder, with a trailing backslash.
CString ScratchDir() {
  char szTemp[MAX_PATH];
  GetTempPathA(MAX_PATH, szTemp);
  CString strDir = CString(szTemp) + "ldxabi\\";
  CreateDirectoryA(strDir, NULL);
  return strDir;
}

bool CallsFrame() {
  CString strDir = ScratchDir();
  CModuleLoader loader;
  CModuleLoader kernel("kernel32.dll");
  kernel.Init();
  kernel.SetPath("kernel32.dll");
  bool bLoaded = kernel.Load(FALSE) && kernel.GetProcAddress("GetTickCount") != NULL;
  loader.SetPath((strDir + "missing.dll").GetBuffer(0));
  bool bMissing = !loader.Load(FALSE);

  CString strIni = strDir + "log.ini";
  WritePrivateProfileStringA("Log", "Level", "1", strIni);
  CLogFile idle(FALSE);
  CLogFile named("Log", "Dir", "Level", "abi.log");
  CLogFile log("abi.log", strDir);
  log.SetLocation(strIni, strDir, "abi.log");
  log.ReadSettings();
  log.Start();
  log.StartAtLevel(1);
  log.WriteRaw("raw\r\n");
  log.Write("line");
  log.WriteFormat("%s %d", "formatted", 42);
  log.Trace("%s", "traced");
  BOOL bStates = log.IsFileEnabled() + log.IsExtraEnabled() + log.IsEnabled() >= 0;
  log.End();
  return Expect(bLoaded, "a module loads and finds its function") && Expect(bMissing, "a missing one does not") &&
         bStates;
}

// A tokenizer of the host's whose internal steps are driven one by one.
class CStepTokenizer : public CHtmlTokenizer {
 public:
  int m_nEvents = 0;
  BOOL OnStartTag(CTextBuffer*, CNameValuePair**, int, BOOL*) override { return ++m_nEvents; }
  BOOL OnEndTag(CTextBuffer*, BOOL*) override { return ++m_nEvents; }
  BOOL OnText(CTextBuffer*, BOOL*) override { return ++m_nEvents; }
  BOOL OnComment(CTextBuffer*, BOOL*) override { return ++m_nEvents; }
};

bool CallsTokenizerSteps() {
  CStepTokenizer tokenizer;
  tokenizer.Init();
  tokenizer.SetDecodeCharRefs(TRUE);
  tokenizer.SetKeepLineBreaks(tokenizer.GetKeepLineBreaks());
  bool bSpace = tokenizer.IsSpaceChar(' ') && !tokenizer.IsSpaceChar('x');
  bool bDecoded = CHtmlTokenizer::DecodeCharRef("amp") == '&';
  const char kText[] = "  x";
  // One blank is skipped per step; a step on anything else stays.
  bool bSkipped = tokenizer.SkipSpace(kText) == kText + 1 && tokenizer.SkipSpaceBeforeValue(kText + 2) == kText + 2;
  tokenizer.ScanTagName("p a=1>");
  tokenizer.ScanAttrName("a=1>");
  tokenizer.ScanAfterAttrName("=1>");
  tokenizer.ScanAttrValue("1>");
  tokenizer.CommitAttribute();
  tokenizer.EmitStartTag();
  tokenizer.ResetAttribute();
  tokenizer.ClearAttributes();
  tokenizer.ResetTag();
  tokenizer.ScanEndTagName("p>");
  tokenizer.EmitEndTag();
  const char kRun[] = "text<";
  tokenizer.ScanText(kRun, kRun + 4);
  tokenizer.FlushText(kRun, kRun + 4);
  tokenizer.ScanCharRef("amp;");
  tokenizer.ScanBang("-- c -->");
  tokenizer.ScanBangDash("- c -->");
  const char kComment[] = " c -->";
  tokenizer.ScanComment(kComment, kComment + 6);
  tokenizer.ScanCommentDash("-->");
  tokenizer.ScanCommentDashes(">");
  tokenizer.EmitComment();
  tokenizer.FreeAttributes();
  tokenizer.Parse(CString("<b>bold</b>"));
  tokenizer.Finish();
  return Expect(bSpace && bDecoded && bSkipped, "the steps' results") &&
         Expect(tokenizer.m_nEvents > 0, "events arrived");
}

class CCountingStringSink : public CHtmlStringSink {
 public:
  int m_nCalls = 0;
  BOOL OnStartTag(const CString&, CNameValuePair**, int, BOOL*) override { return ++m_nCalls; }
  BOOL OnEndTag(const CString&, BOOL*) override { return ++m_nCalls; }
  BOOL OnText(const CString&, BOOL*) override { return ++m_nCalls; }
  BOOL OnComment(const CString&, BOOL*) override { return ++m_nCalls; }
};

class CCountingTextSink : public CHtmlTextSink {
 public:
  int m_nCalls = 0;
  BOOL OnStartTag(LPCSTR, CNameValuePair**, int, BOOL*) override { return ++m_nCalls; }
  BOOL OnEndTag(LPCSTR, BOOL*) override { return ++m_nCalls; }
  BOOL OnText(LPCSTR, BOOL*) override { return ++m_nCalls; }
  BOOL OnComment(LPCSTR, BOOL*) override { return ++m_nCalls; }
};

bool CallsForwardersAndMirror() {
  CCountingStringSink stringSink;
  CCountingTextSink textSink;
  CHtmlStringForwarder stringForwarder;
  CHtmlTextForwarder textForwarder;
  stringForwarder.Attach(&stringSink);
  textForwarder.Attach(&textSink);
  BOOL bContinue = 1;
  CNameValuePair pair;
  CNameValuePair* pairs[] = {&pair};
  stringForwarder.CHtmlStringForwarder::OnStartTag(&stringForwarder.m_tagName, pairs, 0, &bContinue);
  stringForwarder.CHtmlStringForwarder::OnEndTag(&stringForwarder.m_tagName, &bContinue);
  stringForwarder.CHtmlStringForwarder::OnText(&stringForwarder.m_text, &bContinue);
  stringForwarder.CHtmlStringForwarder::OnComment(&stringForwarder.m_comment, &bContinue);
  textForwarder.CHtmlTextForwarder::OnStartTag(&textForwarder.m_tagName, pairs, 0, &bContinue);
  textForwarder.CHtmlTextForwarder::OnEndTag(&textForwarder.m_tagName, &bContinue);
  textForwarder.CHtmlTextForwarder::OnText(&textForwarder.m_text, &bContinue);
  textForwarder.CHtmlTextForwarder::OnComment(&textForwarder.m_comment, &bContinue);

  CString strDir = ScratchDir();
  CString strIn = strDir + "mirror-in.htm", strOut = strDir + "mirror-out.htm";
  HANDLE hFile = CreateFileA(strIn, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
  DWORD nWritten;
  WriteFile(hFile, "<p>x</p>", 8, &nWritten, NULL);
  CloseHandle(hFile);
  CHtmlMirrorWriter mirror(strIn, strOut);
  BOOL bRan = mirror.Run();
  CString strName("i");
  mirror.CHtmlMirrorWriter::OnStartTag(strName, pairs, 0, &bContinue);
  mirror.CHtmlMirrorWriter::OnEndTag(strName, &bContinue);
  mirror.CHtmlMirrorWriter::OnText(strName, &bContinue);
  mirror.CHtmlMirrorWriter::OnComment(strName, &bContinue);

  CString strText("a &amp; b");
  BOOL bNormalized = NormalizeText(strText);
  return Expect(stringSink.m_nCalls == 4 && textSink.m_nCalls == 4, "each forwarding member reached its sink") &&
         Expect(bRan != FALSE, "the mirror writer ran") && Expect(bNormalized && strText == "a & b", "normalized");
}

bool CallsTemplate() {
  CNamedValueList vars;
  vars.SetValue("NAME", "World");
  vars.SetNumber("COUNT", 3);
  CString strValue;
  bool bList = vars.Contains("COUNT") && vars.Lookup("COUNT", strValue) && strValue == "3" &&
               vars.GetFirst() != NULL && vars.GetNext(vars.GetFirst()) != NULL;

  const char kTemplate[] = "${NAME}$<!--^^ifdef COUNT^^-->n<!--^^endif^^-->";
  char szOut[256] = {0};
  CTemplateExpander expander;
  expander.InitForString(kTemplate, szOut, &vars, NULL);
  CString strName;
  expander.ReadVariableName(2, strName);
  expander.ReadConditionName(18, strName);
  expander.LookupVariable("NAME", strValue);
  bool bDefined = expander.IsDefined("COUNT") && !expander.IsDefined("NONE");
  expander.SkipToEndif(0);
  expander.ExpandVariable(0);
  expander.ExpandMarker(8);
  expander.PutChar('a');
  expander.PutText("b");
  expander.WriteChar('c');
  expander.WriteText("d");
  expander.WriteBytes("e", 1);
  expander.WrapLines();
  char szExpanded[256] = {0};
  expander.InitForString(kTemplate, szExpanded, &vars, NULL);
  BOOL bExpanded = expander.Expand();

  CString strFile = ScratchDir() + "expanded.txt";
  // A file of the C runtime, which the host and the library share.
  int hFile = _open(strFile, _O_CREAT | _O_TRUNC | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
  expander.InitForFile(kTemplate, hFile, &vars, NULL);
  BOOL bToFile = expander.ExpandToFile(kTemplate, hFile, &vars, NULL, 0);
  _close(hFile);
  char szFromFile[16] = {0};
  int hRead = _open(strFile, _O_RDONLY | _O_BINARY);
  _read(hRead, szFromFile, sizeof(szFromFile) - 1);
  _close(hRead);
  vars.RemoveAll();

  CString strIni, strApplied;
  char szTitle[64];
  GetBrandingIniPath(strIni);
  GetProductTitle(szTitle, sizeof(szTitle));
  strApplied = ApplyProductTitle("no title here");
  return Expect(bList, "the list's members") && Expect(bDefined, "IsDefined") &&
         Expect(bExpanded && strcmp(szExpanded, "Worldn") == 0, "the driven expansion") &&
         Expect(bToFile && strcmp(szFromFile, "Worldn") == 0, "the expansion to a file") &&
         Expect(vars.GetFirst() == NULL, "emptied") &&
         Expect(strApplied == "no title here", "a text without a title marker");
}

bool CallsRegistryKey() {
  CRegistryKey unset;
  unset.Init();
  unset.SetRoot(HKEY_CURRENT_USER);
  CRegistryKey onHive(HKEY_CURRENT_USER);
  CRegistryKey key(HKEY_CURRENT_USER, kTestKey, TRUE, TRUE);
  bool bCreated = key.Create("Sub") == ERROR_SUCCESS;
  key.Close();
  bool bOpened = key.Open("\\Sub") == ERROR_SUCCESS && key.Open("\\Sub", KEY_READ | KEY_WRITE) == ERROR_SUCCESS;
  key.ChangeKey("\\");
  DWORD dwValue = 5, dwType = 0, cbData = sizeof(dwValue);
  key.SetValue("n", REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue), sizeof(dwValue));
  dwValue = 0;
  key.QueryValue("n", &dwType, reinterpret_cast<BYTE*>(&dwValue), &cbData);
  char szName[64];
  DWORD cchName = sizeof(szName), cbValue = sizeof(dwValue);
  key.EnumKey(0, szName, &cchName);
  cchName = sizeof(szName);
  key.EnumValue(0, szName, &cchName, &dwType, reinterpret_cast<BYTE*>(&dwValue), &cbValue);
  DWORD nSubKeys = 0, nValues = 0;
  key.QueryInfo(NULL, NULL, &nSubKeys, NULL, NULL, &nValues, NULL, NULL, NULL, NULL);
  key.DeleteValue("n");
  key.DeleteKey("Sub");
  return Expect(bCreated && bOpened, "created and opened") && Expect(dwValue == 5, "the value read back") &&
         Expect(nSubKeys == 1 && nValues == 1, "the key's counts");
}

// Whether a key of the current user exists.
bool UserKeyExists(LPCSTR lpszKey) {
  HKEY hKey;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, lpszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS) return false;
  RegCloseKey(hKey);
  return true;
}

// Removes the product key that a store on it created, and its parents when
// they are left empty.
void RemoveCreatedProductKey() {
  const char* const kKeys[] = {"Software\\Corvane\\Lodestar\\CurrentVersion", "Software\\Corvane\\Lodestar",
                               "Software\\Corvane"};
  for (LPCSTR lpszKey : kKeys) RegDeleteKeyA(HKEY_CURRENT_USER, lpszKey);
}

// Every member of one store class, called by qualified name so that the
// class's own export is imported; true when what was written reads back.
template <class Store>
bool CallsStoreMembers(Store& store, LPCSTR lpszSection, const char* lpszKind) {
  BYTE data[4] = {1, 2, 3, 4};
  DWORD cbData = sizeof(data);
  DWORD dwValue = 0;
  CString strValue;
  store.Store::SetBinary(lpszSection, "b", data, &cbData);
  store.Store::GetBinary(lpszSection, "b", data, &cbData);
  store.Store::SetInt(lpszSection, "i", 7, TRUE);
  store.Store::GetInt(lpszSection, "i", &dwValue, TRUE);
  store.Store::SetString(lpszSection, "s", "text", FALSE);
  store.Store::GetString(lpszSection, "s", strValue, FALSE);
  store.Store::DeleteValue(lpszSection, "s");
  store.Store::DeleteSection(lpszSection);
  if (dwValue == 7 && strValue == "text") return true;
  return Fail("%s store: read back %lu and [%s]", lpszKind, dwValue, static_cast<LPCSTR>(strValue));
}

bool CallsSettingsStores() {
  bool bHadProductKey = UserKeyExists("Software\\Corvane\\Lodestar\\CurrentVersion");
  { CRegSettingsStore productStore(TRUE); }
  if (!bHadProductKey) RemoveCreatedProductKey();
  CRegSettingsStore store(TRUE, kTestKey);
  CIniSettingsStore iniStore((ScratchDir() + "abi.ini").GetBuffer(0), FALSE, 0);
  // Both run, so that every member of both classes is reached.
  bool bRegPassed = CallsStoreMembers(store, "\\S", "registry");
  bool bPassed = CallsStoreMembers(iniStore, "S", "INI") && bRegPassed;
  CString strScrambled, strPlain;
  bool bScramble = ScrambleText("secret", strScrambled) && UnscrambleText(strScrambled, strPlain) &&
                   strPlain == "secret";
  CString strDir;
  GetProductDir(strDir);
  GetProgramDir(strDir);
  GetUserDataDir(strDir);
  GetDataDirOfUser(0, strDir);
  CUserDirs userDirs;
  userDirs.GetDataDirOfUser(0, strDir);
  GetWindowsProfileDir(strDir);
  int nPlatform = GetOsPlatform();
  RegDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
  return bPassed && Expect(bScramble, "a text scrambled and back") && Expect(nPlatform >= 0, "a platform");
}

bool CallsSync() {
  TThread thread(THREAD_PRIORITY_NORMAL, NULL);
  bool bCreated = thread.Create() == 1 && thread.GetStatus() == TThread::Created;
  thread.Resume();
  thread.Suspend();
  thread.Resume();
  thread.End(10000);
  bool bBase = thread.TThread::Run() == 0xFFFFFFFF && TThread::ThreadProc(NULL) == 0;
  // Asked of an object whose thread was never told to stop, it returns
  // (asked of an ended one, it would end the calling thread).
  TThread unstarted(THREAD_PRIORITY_NORMAL, NULL);
  unstarted.ExitIfStopRequested(0);
  TThread::Trace("%s\n", "trace");

  CCritSec critSec;
  bool bCritSec = critSec.Enter() && critSec.Leave();
  CProcCritSecHost host;
  host.Init();
  CProcCritSec procCritSec;
  bool bProc = procCritSec.Init() && procCritSec.Enter() && procCritSec.Leave();
  {
    CProcCritSecGuard guard(&procCritSec, "CallsSync");
    bProc = guard.Enter() && guard.Leave() && bProc;
  }
  RemoveHostProperty();

  CVolatileStore volatileStore("LDExCoreAbiChecks");
  CString strValue;
  bool bVolatile = volatileStore.Register() && volatileStore.Set("v") && volatileStore.Get(strValue) &&
                   strValue == "v";
  volatileStore.Unregister();
  return Expect(bCreated, "a thread created suspended") && Expect(bBase, "the base Run and ThreadProc") &&
         Expect(bCritSec, "the critical section") && Expect(bProc, "the process-wide critical section") &&
         Expect(bVolatile, "the shared value");
}

bool CallsBrowser() {
  CBrowserInfo info;
  bool bInfo = !info.IsAvailable();
  info.SetAvailable();
  bInfo = bInfo && info.IsAvailable();
  DiscoverBrowsers();
  int nFound = IsIExploreInstalled() + IsMosaicInstalled() + IsNetscape32Registered() + IsNetscapeInstalled() +
               IsNetscapeSelected();
  CString strPath, strUser, strValue, strClass;
  CStringArray users, names;
  GetNetscapeUsers(users);
  GetSoleNetscapeUser(strUser);
  GetIExploreFavoritesDir(strPath);
  GetNetscapeBookmarkFile(strPath);
  GetNetscapePrefsFile(strPath);
  ReadRegString(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", strValue);
  ReadRegDefault(HKEY_CLASSES_ROOT, ".htm", strValue);
  EnumRegSubkeys(HKEY_LOCAL_MACHINE, "Software", names);
  GetHtmlFileClass(strClass);
  GetShellOpenExecutable(strClass, strPath);
  CString strQuoted("a b");
  QuoteIfContainsBlank(strQuoted);

  // A URL with a line break is refused before any browser is started.
  CBrowserLauncher launcher;
  const char kRefused[] = "http://example.invalid/\nx";
  int nResults = launcher.Launch(kRefused, NULL, 0, 0) + launcher.OpenUrl(kRefused, NULL) +
                 launcher.OpenUrl(0, kRefused, NULL) + launcher.OpenLocalFile(kRefused) +
                 launcher.OpenUrlInNewWindow(kRefused, NULL) + launcher.OpenLocalFileInNewWindow(kRefused);
  {
    BoxCloser closer;
    launcher.ReportLaunchError("http://example.invalid/", 1);
  }
  return Expect(bInfo, "the record's flag") && Expect(nFound >= 0, "discovery") &&
         Expect(strQuoted == "\"a b\"", "a path with a blank quoted") &&
         Expect(nResults == 6 && launcher.m_dwError == ERROR_INVALID_PARAMETER, "every launch refused");
}

const char kInternetSettings[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
const char kConnections[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";

// Reads the proxy settings, sets the loaded server again and switches the
// proxy as it was; a fresh object then loads the same. The user's values
// are saved first and put back byte for byte afterwards.
bool CallsProxySettings() {
  CString strProfile = CProxySettings::GetModemProfile();
  BOOL bModem = CProxySettings::IsModemEnabled();
  SavedRegistryValue saved[3] = {SavedRegistryValue(HKEY_CURRENT_USER, kInternetSettings, "ProxyEnable"),
                                 SavedRegistryValue(HKEY_CURRENT_USER, kInternetSettings, "ProxyServer"),
                                 SavedRegistryValue(HKEY_CURRENT_USER, kConnections, strProfile)};
  const int nSaved = strProfile.IsEmpty() ? 2 : 3;
  for (int i = 0; i < nSaved; ++i) saved[i].Save();

  CProxySettings proxy;
  proxy.UsesConnectionSettings();
  CString strKey = proxy.GetSettingsKeyPath();
  BOOL bEnabled = proxy.ReadProxyEnabled();
  CString strServer;
  proxy.ReadProxyServer(strServer);
  proxy.Load();
  CString strHost = proxy.GetHost(), strPort = proxy.GetPort();
  bool bSame = proxy.IsEnabled() == bEnabled || strHost.IsEmpty();
  bool bReloaded = true;
  if (!strHost.IsEmpty()) {
    proxy.SetProxyServer(strPort.IsEmpty() ? strHost : strHost + ":" + strPort);
    CProxySettings reloaded;
    reloaded.Load();
    bReloaded = reloaded.IsEnabled() && reloaded.GetHost() == strHost && reloaded.GetPort() == strPort;
  }
  if (bEnabled) {
    proxy.SetProxyEnabled(TRUE);
  } else {
    proxy.Disable();
    proxy.SetProxyEnabled(FALSE);
  }
  bool bSwitched = proxy.ReadProxyEnabled() == bEnabled;

  bool bRestored = true;
  for (int i = 0; i < nSaved; ++i) {
    SavedRegistryValue now = saved[i];
    bRestored = saved[i].Restore() && bRestored;
    now.Save();
    bRestored = now.Equals(saved[i]) && bRestored;
  }
  return Expect(!strKey.IsEmpty(), "a settings key") && Expect(bSame, "loaded as read") &&
         Expect(bReloaded, "the server set again loads the same") && Expect(bSwitched, "switched as it was") &&
         Expect(bRestored, "the user's values put back") &&
         Expect(bModem == FALSE || bModem == TRUE || !strProfile.IsEmpty(), "the modem state");
}

// The user database binding forwards each call to the library's entry
// point of the same name, with the arguments as given, in the C calling
// convention. The stand-in library records each call and returns 1000 plus
// the entry's number; DWORD arguments are 11, 12, ... in order, a record
// call passes the record and 12.
struct UserDbCase {
  const char* entryPoint;  // without "LDUserDB_"
  int argCount;
  bool bRecord;
  DWORD (*call)(CUserDbLink& link, void* pRecord);
};

#define LDX_DB_CALL(expr) [](CUserDbLink& link, void* pRecord) -> DWORD { return (void)pRecord, link.expr; }
const UserDbCase kUserDbCases[] = {
    {"AddFavoriteSearch", 2, true, LDX_DB_CALL(AddFavoriteSearch(pRecord, 12, TRUE))},
    {"AddSearchHistory", 2, true, LDX_DB_CALL(AddSearchHistory(pRecord, 12, TRUE))},
    {"AddWorkInProgress", 2, true, LDX_DB_CALL(AddWorkInProgress(pRecord, 12, TRUE))},
    {"StoreReport", 2, true, LDX_DB_CALL(StoreReport(pRecord, 12, FALSE))},
    {"AddRptFolder", 4, false, LDX_DB_CALL(AddRptFolder(11, 12, 13, 14))},
    {"DeleteFavSearch", 2, false, LDX_DB_CALL(DeleteFavSearch(11, 12))},
    {"DeleteReports", 3, false, LDX_DB_CALL(DeleteReports(11, 12, 13))},
    {"DeleteRptFolder", 2, false, LDX_DB_CALL(DeleteRptFolder(11, 12))},
    {"DeleteSearchHistory", 2, false, LDX_DB_CALL(DeleteSearchHistory(11, 12))},
    {"DeleteTrash", 2, false, LDX_DB_CALL(DeleteTrash(11, 12))},
    {"DeleteWIP", 2, false, LDX_DB_CALL(DeleteWIP(11, 12))},
    {"DisplayMonReports", 3, false, LDX_DB_CALL(DisplayMonReports(11, 12, 13))},
    {"EmptyHistory", 1, false, LDX_DB_CALL(EmptyHistory(11))},
    {"FixFolderTotals", 4, false, LDX_DB_CALL(FixFolderTotals(11, 12, 13, 14))},
    {"GetFavSearch", 3, false, LDX_DB_CALL(GetFavSearch(11, 12, 13))},
    {"GetFavSearchItems", 2, false, LDX_DB_CALL(GetFavSearchItems(11, 12))},
    {"GetFavoriteCount", 1, false, LDX_DB_CALL(GetFavoriteCount(11))},
    {"GetHistSearchItems", 2, false, LDX_DB_CALL(GetHistSearchItems(11, 12))},
    {"GetMonItemStats", 5, false, LDX_DB_CALL(GetMonItemStats(11, 12, 13, 14, 15))},
    {"GetMonItemStatsAll", 4, false, LDX_DB_CALL(GetMonItemStatsAll(11, 12, 13, 14))},
    {"GetReportCount", 1, false, LDX_DB_CALL(GetReportCount(11))},
    {"GetReportFldrs", 2, false, LDX_DB_CALL(GetReportFldrs(11, 12))},
    {"GetReportList", 3, false, LDX_DB_CALL(GetReportList(11, 12, 13))},
    {"GetReportStats ", 4, false, LDX_DB_CALL(GetReportStats(11, 12, 13, 14))},
    {"GetReports", 3, false, LDX_DB_CALL(GetReports(11, 12, 13))},
    {"GetSearchHistory", 3, false, LDX_DB_CALL(GetSearchHistory(11, 12, 13))},
    {"GetWIP", 3, false, LDX_DB_CALL(GetWIP(11, 12, 13))},
    {"GetWIPCount", 1, false, LDX_DB_CALL(GetWIPCount(11))},
    {"GetWIPItems", 2, false, LDX_DB_CALL(GetWIPItems(11, 12))},
    {"MarkReport", 3, false, LDX_DB_CALL(MarkReport(11, 12, 13))},
    {"MarkReports", 3, false, LDX_DB_CALL(MarkReports(11, 12, 13))},
    {"MoveReports", 4, false, LDX_DB_CALL(MoveReports(11, 12, 13, 14))},
    {"MoveRptFolder", 3, false, LDX_DB_CALL(MoveRptFolder(11, 12, 13))},
    {"ReleaseFavSearchItems", 1, false, LDX_DB_CALL(ReleaseFavSearchItems(11))},
    {"ReleaseHistSearchItems", 1, false, LDX_DB_CALL(ReleaseHistSearchItems(11))},
    {"ReleaseReports", 1, false, LDX_DB_CALL(ReleaseReports(11))},
    {"ReleaseRptFldrs", 1, false, LDX_DB_CALL(ReleaseRptFldrs(11))},
    {"ReleaseWIPItems", 1, false, LDX_DB_CALL(ReleaseWIPItems(11))},
    {"RemoveDeadWIPs", 1, false, LDX_DB_CALL(RemoveDeadWIPs(11))},
    {"RenameFavoriteSearch", 2, false, LDX_DB_CALL(RenameFavoriteSearch(11, 12))},
    {"RenameRptFolder", 3, false, LDX_DB_CALL(RenameRptFolder(11, 12, 13))},
    {"RenameWIPSearch", 2, false, LDX_DB_CALL(RenameWIPSearch(11, 12))},
    {"SelectFolder", 4, false, LDX_DB_CALL(SelectFolder(11, 12, 13, 14))},
    {"UpdateSearchHistory", 1, false, LDX_DB_CALL(UpdateSearchHistory(11))},
    {"ViewItemReports", 2, false, LDX_DB_CALL(ViewItemReports(11, 12))},
};
#undef LDX_DB_CALL

// Checks the stand-in's record of the last call against a case.
bool CallArrived(const UserDbCase& c, const UserDbCall& call, DWORD dwResult, void* pRecord) {
  bool bName = strcmp(call.entryPoint + strlen("LDUserDB_"), c.entryPoint) == 0;
  bool bArgs = call.argCount == c.argCount;
  for (int i = 0; i < c.argCount && bArgs; ++i) {
    ULONG_PTR expected = c.bRecord && i == 0 ? reinterpret_cast<ULONG_PTR>(pRecord) : 11 + i;
    bArgs = call.args[i] == expected;
  }
  if (bName && bArgs && dwResult == call.result) return true;
  return Fail("%s: arrived as %s with %d argument(s) (%lu, %lu, ...), returned %lu of %lu", c.entryPoint,
              call.entryPoint, call.argCount, static_cast<DWORD>(call.args[0]), static_cast<DWORD>(call.args[1]),
              dwResult, call.result);
}

bool CallsUserDatabase() {
  // Without its library the binding tells the user (the box is closed) and
  // every call returns 0.
  CUserDbLink missing;
  missing.Reset();
  missing.Prepare();
  missing.SetPath("ldxabi-no-such-folder\\LDUSERDB.DLL");
  DWORD dwMissing;
  {
    BoxCloser closer;
    dwMissing = missing.GetWIPCount(11);
  }

  char szPath[MAX_PATH];
  GetModuleFileNameA(NULL, szPath, MAX_PATH);
  *(strrchr(szPath, '\\') + 1) = 0;
  CString strStandin = CString(szPath) + "userdb-standin\\LDUSERDB.DLL";
  CUserDbLink link;
  CString strDefaultPath;
  link.GetLibraryPath(strDefaultPath);
  link.Prepare();
  link.SetPath(strStandin);
  if (!link.IsAvailable()) return Fail("the stand-in %s did not load", static_cast<LPCSTR>(strStandin));
  HMODULE hStandin = GetModuleHandleA(strStandin);
  UserDbGetCallFn pGetCall = reinterpret_cast<UserDbGetCallFn>(GetProcAddress(hStandin, LDUSERDB_GET_CALL));
  UserDbCallCountFn pCount = reinterpret_cast<UserDbCallCountFn>(GetProcAddress(hStandin, LDUSERDB_CALL_COUNT));
  if (pGetCall == NULL || pCount == NULL) return Fail("the stand-in keeps no record");
  bool bPassed = Expect(dwMissing == 0, "a call without the library returns 0");
  UserDbRecord record;
  memset(&record, 0, sizeof(record));
  for (const UserDbCase& c : kUserDbCases) {
    int nBefore = pCount();
    unsigned nStack = StackPointer();
    DWORD dwResult = c.call(link, &record);
    if (StackPointer() != nStack) bPassed = Fail("%s: the stack pointer moved", c.entryPoint);
    UserDbCall call;
    if (pCount() != nBefore + 1 || !pGetCall(nBefore, &call)) {
      bPassed = Fail("%s: no call arrived", c.entryPoint);
      continue;
    }
    bPassed = CallArrived(c, call, dwResult, &record) && bPassed;
  }
  return bPassed;
}

// A dialog and an application class of the host's, which reach their
// bases' message maps as a host's message map macros would.
class CMapDlg : public CExtensionPackageDlg {
 public:
  const AFX_MSGMAP* BaseMap() { return CExtensionPackageDlg::_GetBaseMessageMap(); }
  const AFX_MSGMAP* OwnMap() const { return CExtensionPackageDlg::GetMessageMap(); }
  void Exchange() { CExtensionPackageDlg::DoDataExchange(NULL); }
};

bool CallsPackages() {
  BoxCloser closer;
  int nInstalled = IsHelpPackageInstalled() + IsVerityPackageInstalled(FALSE) + IsVerityEnglishInstalled();
  CheckHelpPackage(NULL, FALSE);
  CheckVerityPackage(NULL, FALSE);
  CheckVerityEnglishPackage(NULL, FALSE);
  OfferPackageDownload(NULL, 0, FALSE);
  OfferVerityUpdate(NULL);
  CMapDlg dialog;
  dialog.Exchange();
  bool bMaps = dialog.OwnMap() != NULL && dialog.BaseMap() != NULL && dialog.OwnMap() != dialog.BaseMap();
  const AFX_MSGMAP* pAppMap = AppBaseMessageMap();
  return Expect(nInstalled >= 0, "the package checks") && Expect(bMaps, "the dialog's maps") &&
         Expect(pAppMap != NULL, "the application's base map");
}

const Check kChecks[] = {
    {"library entry, log file and module loader", CallsFrame},
    {"the tokenizer's steps", CallsTokenizerSteps},
    {"forwarders, mirror writer and text normalising", CallsForwardersAndMirror},
    {"template expander, value lists and branding", CallsTemplate},
    {"registry key", CallsRegistryKey},
    {"settings stores, scrambling and directories", CallsSettingsStores},
    {"worker thread, critical sections and shared values", CallsSync},
    {"browser records, profiles and launcher", CallsBrowser},
    {"proxy settings", CallsProxySettings},
    {"user database binding", CallsUserDatabase},
    {"packages, dialog and application class", CallsPackages},
};

}  // namespace

int RunExportCalls() { return RunChecks("calls", kChecks, CHECK_COUNT(kChecks)); }
