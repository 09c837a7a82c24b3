#include "browser/BrowserDiscovery.h"

#include <windows.h>
#include <string.h>

#include "browser/BrowserRegistry.h"

CBrowserInfo g_browserNetscape32;
CBrowserInfo g_browserIExplore;
CBrowserInfo g_browserMosaic;
CBrowserInfo g_browserNetscape16;
CBrowserInfo g_browserMosaicIni;
CBrowserInfo* g_pSelectedBrowser = NULL;
BOOL g_bBrowsersDiscovered = FALSE;

namespace {

const char kNetscapeMainKey[] = "Software\\Netscape\\Netscape Navigator\\Main";

const char kNetscape32Description[] = "Netscape Navigator 32-bit, Netscape Communications Corp.";
const char kNetscape16Description[] = "Netscape Navigator 16-bit, Netscape Communications Corp.";
const char kIExploreDescription[] = "Internet Explorer, Microsoft Corp.";
const char kMosaicDescription[] = "NCSA Mosaic";
const char kMosaicIniDescription[] = "Mosaic (Not in registry), NCSA";

const DWORD kProfileBufferSize = 260;
const DWORD kValueNameBufferSize = 256;
const DWORD kValueDataBufferSize = 260;

// In order of preference when the system's HTML browser is not one of them.
CBrowserInfo* const kPreferenceOrder[] = {&g_browserNetscape32, &g_browserIExplore, &g_browserMosaic,
                                          &g_browserNetscape16, &g_browserMosaicIni};

void Fill(CBrowserInfo& info, LPCSTR lpszName, LPCSTR lpszDescription, const CString& strExePath,
          LPCSTR lpszArguments, LPCSTR lpszDdeService) {
  info.m_strName = lpszName;
  info.m_strDescription = lpszDescription;
  info.m_strExePath = strExePath;
  info.m_strArguments = lpszArguments;
  info.m_strDdeService = lpszDdeService;
  info.SetAvailable();
}

CString CutBeforeLastBackslash(const CString& strPath) {
  int nSlash = strPath.ReverseFind('\\');
  return nSlash < 0 ? strPath : strPath.Left(nSlash);
}

// "dir" + "name.ext" the way the run-time library's path composer joins
// them (a separator only when dir does not end in one), but without a fixed
// size buffer that a long directory from an INI file could overrun.
CString ComposeProgramPath(const CString& strDir, LPCSTR lpszFileName) {
  CString strPath(strDir);
  int nLength = strPath.GetLength();
  if (nLength > 0 && strPath[nLength - 1] != '\\' && strPath[nLength - 1] != '/') strPath += '\\';
  return strPath + lpszFileName;
}

// An INI value (empty when missing); a bare file name is looked up in the
// Windows directory.
CString ReadIniValue(LPCSTR lpszFile, LPCSTR lpszSection, LPCSTR lpszName) {
  char buffer[kProfileBufferSize] = {0};
  GetPrivateProfileStringA(lpszSection, lpszName, "", buffer, kProfileBufferSize, lpszFile);
  return CString(buffer);
}

CString ReadIniValueWithFallback(LPCSTR lpszFile, LPCSTR lpszFallbackFile, LPCSTR lpszSection,
                                 LPCSTR lpszName) {
  CString strValue = ReadIniValue(lpszFile, lpszSection, lpszName);
  if (strValue.IsEmpty()) strValue = ReadIniValue(lpszFallbackFile, lpszSection, lpszName);
  return strValue;
}

void DetectNetscape32() {
  CString strPath;
  if (!FindRegisteredProgram(kAppPathNetscape, strPath)) return;
  CString strVersion;
  bool bBeta = ReadRegString(HKEY_CURRENT_USER, kNetscapeMainKey, "Mozilla", strVersion) == ERROR_SUCCESS &&
               strVersion.Find("2.0b1") >= 0;
  QuoteIfContainsBlank(strPath);
  // The 2.0b1 beta takes neither the switch nor DDE requests.
  Fill(g_browserNetscape32, "Netscape", kNetscape32Description, strPath, bBeta ? "" : " -h ",
       bBeta ? "" : "Netscape");
}

void DetectIExplore() {
  CString strPath;
  if (!FindRegisteredProgram(kAppPathIExplore, strPath)) return;
  QuoteIfContainsBlank(strPath);
  Fill(g_browserIExplore, "IExplore", kIExploreDescription, strPath, " -nohome ", "IExplore");
}

void DetectMosaic() {
  CString strPath;
  if (!FindRegisteredProgram(kAppPathMosaic, strPath)) return;
  QuoteIfContainsBlank(strPath);
  Fill(g_browserMosaic, "Mosaic", kMosaicDescription, strPath, "", "Mosaic");
}

// The 16-bit Navigator keeps its cache below its program directory.
void DetectNetscape16() {
  CString strCacheDir =
      ReadIniValueWithFallback("NETSCAPE.INI", "c:\\netscape\\netscape.ini", "Cache", "Cache Dir");
  if (strCacheDir.IsEmpty()) return;
  CString strPath = ComposeProgramPath(CutBeforeLastBackslash(strCacheDir), "netscape.exe");
  if (!PathExists(strPath)) return;
  Fill(g_browserNetscape16, "Netscape", kNetscape16Description, strPath, " -h ", "Netscape");
}

// Only for a Mosaic that is not registered at all: one whose registration
// can be read but points nowhere is not looked for in its INI file.
void DetectMosaicIni() {
  CString strRegistered;
  if (ReadRegDefault(HKEY_LOCAL_MACHINE, kAppPathMosaic, strRegistered) == ERROR_SUCCESS) return;
  CString strDir;
  CString strCacheDir = ReadIniValueWithFallback("MOSAIC.INI", "c:\\mosaic\\mosaic.ini", "Document Caching",
                                                 "Cache Directory");
  if (!strCacheDir.IsEmpty()) {
    int nLength = strCacheDir.GetLength();
    if (strCacheDir[nLength - 1] == '\\') strCacheDir = strCacheDir.Left(nLength - 1);
    strDir = CutBeforeLastBackslash(strCacheDir);
  } else {
    CString strHistory =
        ReadIniValueWithFallback("MOSAIC.INI", "c:\\mosaic\\mosaic.ini", "Main", "Global History File");
    if (strHistory.IsEmpty()) return;
    strDir = CutBeforeLastBackslash(strHistory);
  }
  CString strPath = ComposeProgramPath(strDir, "mosaic.exe");
  if (!PathExists(strPath)) return;
  Fill(g_browserMosaicIni, "Mosaic", kMosaicIniDescription, strPath, "", "Mosaic");
}

void SelectFirstAvailable() {
  for (CBrowserInfo* pInfo : kPreferenceOrder) {
    if (pInfo->IsAvailable()) {
      g_pSelectedBrowser = pInfo;
      return;
    }
  }
}

// A record that detection missed is filled from the system's HTML browser;
// one that detection found keeps its values.
void SelectByProgram(const CString& strExePath) {
  CString strUpper(strExePath);
  strUpper.MakeUpper();
  if (strUpper.Find("NETSCAPE") >= 0) {
    if (!g_browserNetscape32.IsAvailable())
      Fill(g_browserNetscape32, "Netscape", kNetscape32Description, strExePath, "", "Netscape");
    g_pSelectedBrowser = &g_browserNetscape32;
  } else if (strUpper.Find("IEXPLORE") >= 0 || strUpper.Find("EXPLORER") >= 0) {
    if (!g_browserIExplore.IsAvailable())
      Fill(g_browserIExplore, "IExplore", kIExploreDescription, strExePath, " -nohome ", "IExplore");
    g_pSelectedBrowser = &g_browserIExplore;
  } else if (strUpper.Find("MOSAIC") >= 0) {
    if (!g_browserMosaic.IsAvailable())
      Fill(g_browserMosaic, "Mosaic", kMosaicDescription, strExePath, "", "Mosaic");
    g_pSelectedBrowser = &g_browserMosaic;
  } else {
    SelectFirstAvailable();
  }
}

void SelectDefaultBrowser() {
  CString strClassName;
  CString strExePath;
  if (GetHtmlFileClass(strClassName) && GetShellOpenExecutable(strClassName, strExePath))
    SelectByProgram(strExePath);
  else
    SelectFirstAvailable();
}

// Where an unquoted command's program ends: before the first marker of the
// list that occurs anywhere in it. The list is in order of priority, not of
// position: a "-" inside the path wins over a later "%1".
CString ProgramOfUnquotedCommand(const CString& strCommand) {
  static const char* const kMarkers[] = {"\"%1\"", "\"%s\"", "/", "-", "%1", "%s"};
  CString strProgram(strCommand);
  for (const char* pszMarker : kMarkers) {
    int nAt = strCommand.Find(pszMarker);
    if (nAt >= 0) {
      strProgram = strCommand.Left(nAt);
      break;
    }
  }
  strProgram.TrimLeft();
  strProgram.TrimRight();
  return strProgram;
}

}  // namespace

void DiscoverBrowsers() {
  if (g_bBrowsersDiscovered) return;
  DetectNetscape32();
  DetectIExplore();
  DetectMosaic();
  DetectNetscape16();
  DetectMosaicIni();
  SelectDefaultBrowser();
  g_bBrowsersDiscovered = TRUE;
}

int IsNetscapeInstalled() {
  DiscoverBrowsers();
  return g_browserNetscape32.IsAvailable() || g_browserNetscape16.IsAvailable() ? 1 : 0;
}

int IsNetscapeSelected() {
  DiscoverBrowsers();
  return g_browserNetscape32.IsAvailable() && g_pSelectedBrowser == &g_browserNetscape32 ? 1 : 0;
}

int IsIExploreInstalled() {
  DiscoverBrowsers();
  return g_browserIExplore.IsAvailable() ? 1 : 0;
}

int IsMosaicInstalled() {
  DiscoverBrowsers();
  return g_browserMosaic.IsAvailable() || g_browserMosaicIni.IsAvailable() ? 1 : 0;
}

int IsNetscape32Registered() {
  CString strPath;
  return FindRegisteredProgram(kAppPathNetscape, strPath) ? 1 : 0;
}

BOOL GetHtmlFileClass(CString& strClassName) {
  HKEY hKey = NULL;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".htm", 0, KEY_READ, &hKey) != ERROR_SUCCESS &&
      RegOpenKeyExA(HKEY_CLASSES_ROOT, ".html", 0, KEY_READ, &hKey) != ERROR_SUCCESS)
    return FALSE;
  DWORD cValues = 0;
  CString strClass;
  CString strContentType;
  if (RegQueryInfoKeyA(hKey, NULL, NULL, NULL, NULL, NULL, NULL, &cValues, NULL, NULL, NULL, NULL) ==
      ERROR_SUCCESS) {
    for (DWORD dwIndex = 0; dwIndex < cValues; ++dwIndex) {
      char name[kValueNameBufferSize] = {0};
      // One byte more than the value may fill: data without a terminating
      // zero still ends inside the buffer.
      char data[kValueDataBufferSize + 1] = {0};
      DWORD cchName = kValueNameBufferSize;
      DWORD cbData = kValueDataBufferSize;
      if (RegEnumValueA(hKey, dwIndex, name, &cchName, NULL, NULL, reinterpret_cast<BYTE*>(data), &cbData) !=
          ERROR_SUCCESS)
        break;
      data[cbData < kValueDataBufferSize ? cbData : kValueDataBufferSize] = '\0';
      if (_stricmp(name, "Content Type") == 0)
        strContentType = data;
      else if (name[0] == '\0' && cbData != 0)
        strClass = data;
    }
  }
  RegCloseKey(hKey);
  if (strClass.IsEmpty() || strContentType != "text/html") return FALSE;
  strClassName = strClass;
  return TRUE;
}

BOOL GetShellOpenExecutable(LPCSTR lpszClassName, CString& strExePath) {
  if (lpszClassName == NULL) return FALSE;
  CString strClass(lpszClassName);
  CString strVerb;
  if (ReadRegDefault(HKEY_CLASSES_ROOT, strClass + "\\Shell", strVerb) != ERROR_SUCCESS) strVerb.Empty();
  CString strCommandKey =
      strVerb.IsEmpty() ? strClass + "\\Shell\\open\\command" : strClass + "\\Shell\\" + strVerb + "\\command";
  CString strCommand;
  if (ReadRegDefault(HKEY_CLASSES_ROOT, strCommandKey, strCommand) != ERROR_SUCCESS || strCommand.IsEmpty())
    return FALSE;

  CString strProgram;
  if (strCommand[0] == '"')
    strProgram = strCommand.Mid(1).SpanExcluding("\"");
  else
    strProgram = ProgramOfUnquotedCommand(strCommand);
  if (!PathExists(strProgram)) return FALSE;
  QuoteIfContainsBlank(strProgram);
  strExePath = strProgram;
  return TRUE;
}
