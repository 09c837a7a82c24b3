// The diagnostic log: a text file whose directory and level come from a
// settings section, opened with a start banner, filled with entries that begin
// with the writing thread's id, and closed with an end banner. Every append
// opens the file, writes at its end and closes it again, so the file is
// complete on disk after each entry.
//
// Settings (section "DI-Lodestar" of the system profile, win.ini, unless the
// constructor or SetLocation name others): "Main" the directory of the file
// (empty: the current directory), "Log" the level, 0 when missing. A log
// whose level is 0 writes nothing; StartAtLevel gives the level from code.
//
// Threads: start the log before other threads write to it. Write and
// WriteFormat may then be called from any number of threads at once; each
// entry arrives whole. End (or the destruction of an auto-started log) must
// wait until every writer has stopped: it deletes the lock they take.
//
// Processes: each entry is one write at the end of the file as it is at
// that moment, so several processes may log to one file without losing or
// mixing entries (each one's Start empties the file, though).
#pragma once

#include <windows.h>

#include <afx.h>

class CLogFile {
 public:
  // All defaults; starts the log at once when bStart is non-zero, and then
  // the destructor ends it.
  explicit CLogFile(BOOL bStart);
  // Section, directory key, level key and file name of the settings; the
  // settings come from the system profile until SetLocation names a file.
  CLogFile(LPCSTR section, LPCSTR dirKey, LPCSTR levelKey, LPCSTR fileName);
  // Default settings, the given file name; a non-empty directory becomes the
  // path prefix (a backslash is added when it has none at its end).
  CLogFile(LPCSTR fileName, LPCSTR directory);
  ~CLogFile();

  // Profile file of the settings (empty: the system profile), a prefix that
  // the file name is appended to as it is (a directory must end in a
  // backslash; empty: the directory comes from the settings), the file name.
  void SetLocation(LPCSTR iniFile, LPCSTR pathPrefix, LPCSTR fileName);
  // Computes the file's path and reads the level.
  void ReadSettings();
  // Opens the log at the level of the settings: empties the file (when bit 0
  // of the level is set) and writes the start banner. Level 0 leaves the log
  // closed and touches no file.
  void Start();
  // Like Start, with the level given here in place of the settings' value;
  // the file's directory still comes from the prefix or the settings.
  void StartAtLevel(WORD wLevel);
  // Writes the end banner and closes the log; later entries are dropped.
  void End();

  // Appends text as it is: no prefix, no lock.
  void WriteRaw(LPCSTR text);
  // One entry: "[thread id]" followed by the text. Callers end texts in "\n".
  void Write(LPCSTR text);
  void WriteFormat(LPCSTR format, ...);
  // Takes WriteFormat's arguments and writes nothing.
  void Trace(LPCSTR format, ...);

  BOOL IsFileEnabled() const;
  BOOL IsExtraEnabled() const;
  BOOL IsEnabled() const;

  const CString& GetLogPath() const { return m_strLogPath; }
  WORD GetLevel() const { return m_wLevel; }

  // Size of the buffer one WriteFormat entry is built in, terminating zero
  // included; a longer expansion is cut to fit.
  enum { kEntryBufferSize = 4100 };
  // Longest section name that the banners print; a longer one is cut.
  enum { kMaxBannerSection = 182 };

 private:
  enum { kLevelFile = 1, kLevelExtra = 2 };

  void InitDefaults();
  // ReadSettings' two halves: the file's path, and the level.
  void ComputeLogPath();
  void ReadLevel();
  // Start's work after the level is known.
  void OpenAtCurrentLevel();
  // format: a banner's printf format, taking the section, date and time.
  void WriteBanner(LPCSTR format);
  // Appends prefix (NULL: none) and text to the file as one write.
  void AppendWhole(LPCSTR prefix, LPCSTR text);

  CRITICAL_SECTION m_cs;
  BOOL m_bAutoStarted;
  WORD m_wLevel;
  BOOL m_bClosed;
  CString m_strIniFile;
  CString m_strSection;
  CString m_strDirKey;
  CString m_strLevelKey;
  CString m_strFileName;
  CString m_strLogPath;
  // The prefix given at construction or by SetLocation. ReadSettings builds
  // the path from it each time, so calling it again never repeats the file
  // name.
  CString m_strPathPrefix;

  CLogFile(const CLogFile&);
  CLogFile& operator=(const CLogFile&);
};
