#include "frame/CLogFile.h"

#include <fcntl.h>
#include <io.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
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

// The bytes a text takes in a text-mode file, where every "\n" is CR LF.
size_t TextModeLength(LPCSTR text) {
  size_t nLength = 0;
  for (; *text != '\0'; ++text) nLength += *text == '\n' ? 2 : 1;
  return nLength;
}

char* CopyInTextMode(char* out, LPCSTR text) {
  for (; *text != '\0'; ++text) {
    if (*text == '\n') *out++ = '\r';
    *out++ = *text;
  }
  return out;
}

// A byte far beyond the end of any log: every append holds a lock on it, so
// appends of all processes take turns (Wine finds the end and writes there
// in two steps, even for a handle that may only append), while the file's
// content stays free for anyone to read or write.
const DWORD kTurnLockOffsetHigh = 0x7FFFFFFF;

// Writes the bytes at the end of an existing file in one write, at the end
// the file has at that moment, even while other processes append to it.
void AppendToExistingFile(LPCSTR path, const char* bytes, DWORD count) {
  HANDLE file = CreateFileA(path, FILE_READ_DATA | FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) return;
  OVERLAPPED turn;
  ZeroMemory(&turn, sizeof turn);
  turn.OffsetHigh = kTurnLockOffsetHigh;
  BOOL bLocked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn);
  DWORD written = 0;
  WriteFile(file, bytes, count, &written, NULL);
  if (bLocked) UnlockFileEx(file, 0, 1, 0, &turn);
  CloseHandle(file);
}

// Most entries fit here; a longer one is put together on the heap.
const size_t kStackEntrySize = 2 * CLogFile::kEntryBufferSize;

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

// Prefix (may be NULL) and text go to the file in text mode as one write: a
// reader, or a writer in another process, never finds one without the other.
void CLogFile::AppendWhole(LPCSTR prefix, LPCSTR text) {
  if (prefix == NULL) prefix = "";
  size_t nLength = TextModeLength(prefix) + TextModeLength(text);
  if (nLength == 0) return;
  char stackEntry[kStackEntrySize];
  char* entry = nLength <= sizeof stackEntry ? stackEntry : static_cast<char*>(malloc(nLength));
  if (entry == NULL) return;
  CopyInTextMode(CopyInTextMode(entry, prefix), text);
  AppendToExistingFile(m_strLogPath, entry, static_cast<DWORD>(nLength));
  if (entry != stackEntry) free(entry);
}

void CLogFile::WriteRaw(LPCSTR text) {
  if (!IsFileEnabled() || text == NULL) return;
  // The file is never created here, so an entry written after it was
  // removed is lost.
  AppendWhole(NULL, text);
}

void CLogFile::Write(LPCSTR text) {
  if (m_bClosed) return;
  EnterCriticalSection(&m_cs);
  if (IsFileEnabled() && text != NULL) {
    char prefix[kThreadPrefixLength + 1];
    FormatThreadPrefix(prefix);
    AppendWhole(prefix, text);
  }
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
