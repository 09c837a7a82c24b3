#include "frame/CLogFile.h"

#include <fcntl.h>
#include <io.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

namespace {

// "%.*s" takes the section name cut to CLogFile::kMaxBannerSection, which is
// what a 256-byte banner holds besides the fixed text, date and time.
const char kStartBanner[] = "\n******************\n%.*s Log Started : %s, %s\n******************\n";
const char kEndBanner[] = "\n******************\n%.*s Log Ended : %s, %s\n******************\n";
const int kBannerSize = 256;

const char kDefaultSection[] = "DI-Lodestar";
const char kDefaultDirKey[] = "Main";
const char kDefaultLevelKey[] = "Log";
const char kDefaultFileName[] = "Lodestar.log";

// The settings' directory value holds at most 259 characters.
const int kDirValueSize = 260;

// "[%.8x]": the thread id as 8 hex digits in brackets.
const int kThreadPrefixLength = 10;

int FormatThreadPrefix(char* buffer) {
  return _snprintf(buffer, kThreadPrefixLength + 1, "[%.8x]", static_cast<unsigned>(GetCurrentThreadId()));
}

}  // namespace

CLogFile::CLogFile(BOOL bStart) {
  InitDefaults();
  m_bAutoStarted = bStart;
  if (bStart) Start();
}

CLogFile::CLogFile(LPCSTR section, LPCSTR dirKey, LPCSTR levelKey, LPCSTR fileName) {
  InitDefaults();
  m_strSection = section;
  m_strDirKey = dirKey;
  m_strLevelKey = levelKey;
  m_strFileName = fileName;
}

CLogFile::CLogFile(LPCSTR fileName, LPCSTR directory) {
  InitDefaults();
  m_strFileName = fileName;
  if (directory != NULL && *directory != '\0') {
    m_strPathPrefix = directory;
    if (m_strPathPrefix[m_strPathPrefix.GetLength() - 1] != '\\') m_strPathPrefix += '\\';
    m_strLogPath = m_strPathPrefix;
  }
}

CLogFile::~CLogFile() {
  if (m_bAutoStarted) End();
}

void CLogFile::InitDefaults() {
  ZeroMemory(&m_cs, sizeof m_cs);
  m_bAutoStarted = FALSE;
  m_wLevel = 0;
  m_bClosed = TRUE;
  m_strSection = kDefaultSection;
  m_strDirKey = kDefaultDirKey;
  m_strLevelKey = kDefaultLevelKey;
  m_strFileName = kDefaultFileName;
}

void CLogFile::SetLocation(LPCSTR iniFile, LPCSTR pathPrefix, LPCSTR fileName) {
  m_strIniFile = iniFile;
  m_strPathPrefix = pathPrefix;
  m_strLogPath = pathPrefix;
  m_strFileName = fileName;
}

void CLogFile::ReadSettings() {
  ComputeLogPath();
  ReadLevel();
}

void CLogFile::ComputeLogPath() {
  if (!m_strPathPrefix.IsEmpty()) {
    m_strLogPath = m_strPathPrefix + m_strFileName;
    return;
  }
  char dir[kDirValueSize];
  if (m_strIniFile.IsEmpty()) {
    GetProfileStringA(m_strSection, m_strDirKey, "", dir, sizeof dir);
  } else {
    GetPrivateProfileStringA(m_strSection, m_strDirKey, "", dir, sizeof dir, m_strIniFile);
  }
  // The separator goes in even when the value already ends in one.
  m_strLogPath = dir[0] != '\0' ? CString(dir) + "\\" + m_strFileName : m_strFileName;
}

void CLogFile::ReadLevel() {
  UINT level = m_strIniFile.IsEmpty()
                   ? GetProfileIntA(m_strSection, m_strLevelKey, 0)
                   : GetPrivateProfileIntA(m_strSection, m_strLevelKey, 0, m_strIniFile);
  m_wLevel = static_cast<WORD>(level & 0xFFFF);
}

void CLogFile::Start() {
  // Starting an open log again ends it first, so its lock, which other
  // threads may hold, is never initialised a second time.
  if (!m_bClosed) End();

  ReadSettings();
  OpenAtCurrentLevel();
}

void CLogFile::StartAtLevel(WORD wLevel) {
  if (!m_bClosed) End();

  ComputeLogPath();
  m_wLevel = wLevel;
  OpenAtCurrentLevel();
}

void CLogFile::OpenAtCurrentLevel() {
  if (!IsEnabled()) return;
  InitializeCriticalSection(&m_cs);
  if (IsFileEnabled()) {
    int file = _creat(m_strLogPath, _S_IREAD | _S_IWRITE);
    if (file != -1) _close(file);
  }
  WriteBanner(kStartBanner);
  m_bClosed = FALSE;
}

void CLogFile::End() {
  if (m_bClosed) return;
  m_bClosed = TRUE;
  DeleteCriticalSection(&m_cs);
  WriteBanner(kEndBanner);
}

void CLogFile::WriteBanner(LPCSTR format) {
  char date[9];
  char time[9];
  _strdate(date);
  _strtime(time);
  char banner[kBannerSize];
  _snprintf(banner, sizeof banner, format, static_cast<int>(kMaxBannerSection),
            static_cast<LPCSTR>(m_strSection), date, time);
  banner[sizeof banner - 1] = '\0';
  WriteRaw(banner);
}

void CLogFile::WriteRaw(LPCSTR text) {
  if (!IsFileEnabled() || text == NULL) return;
  // Text mode: every "\n" reaches the file as CR LF. The file is never
  // created here, so an entry written after it was removed is lost.
  int file = _open(m_strLogPath, _O_WRONLY | _O_TEXT);
  if (file == -1) return;
  if (_lseek(file, 0, SEEK_END) != -1) _write(file, text, static_cast<unsigned>(strlen(text)));
  _close(file);
}

void CLogFile::Write(LPCSTR text) {
  if (m_bClosed) return;
  EnterCriticalSection(&m_cs);
  char prefix[kThreadPrefixLength + 1];
  FormatThreadPrefix(prefix);
  WriteRaw(prefix);
  WriteRaw(text);
  LeaveCriticalSection(&m_cs);
}

void CLogFile::WriteFormat(LPCSTR format, ...) {
  if (m_bClosed || format == NULL) return;
  EnterCriticalSection(&m_cs);
  // Format strings of 2,048 characters or more are dropped.
  if (strlen(format) * 2 < 4096) {
    char entry[kEntryBufferSize];
    int prefixLength = FormatThreadPrefix(entry);
    // The expansion is cut where the buffer ends: _vsnprintf writes at most
    // the count it is given and leaves the terminator to us when it cuts.
    va_list args;
    va_start(args, format);
    _vsnprintf(entry + prefixLength, sizeof entry - prefixLength - 1, format, args);
    va_end(args);
    entry[sizeof entry - 1] = '\0';
    WriteRaw(entry);
  }
  LeaveCriticalSection(&m_cs);
}

void CLogFile::Trace(LPCSTR format, ...) {}

BOOL CLogFile::IsFileEnabled() const { return (m_wLevel & kLevelFile) != 0; }

BOOL CLogFile::IsExtraEnabled() const { return (m_wLevel & kLevelExtra) != 0; }

BOOL CLogFile::IsEnabled() const { return m_wLevel != 0; }
