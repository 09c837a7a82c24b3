// An absolute time as the C run-time's time_t (seconds since 1 January 1970
// UTC); the calendar members read it in local time.
#pragma once

#include <time.h>
#include <windows.h>

#include "CString.h"

// <windows.h> maps GetCurrentTime to GetTickCount; here it is CTime's.
#ifdef GetCurrentTime
#  undef GetCurrentTime
#endif

class AFX_API CTime {
 public:
  static CTime GetCurrentTime();

  CTime() : m_time(0) {}
  CTime(time_t time) : m_time(time) {}
  // Local time; nDST < 0 lets the run-time decide about daylight saving.
  // An impossible time gives -1, as mktime does.
  CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);
  // Local time; a year before 1900 gives time 0.
  CTime(const SYSTEMTIME& sysTime, int nDST = -1);
  // UTC file time, kept as the same instant (its local fields follow the
  // offset in force on its date); one before 1970 or beyond what the
  // run-time converts gives time 0. With nDST 0 or 1 its local calendar
  // time, reckoned with today's offset, is read as standard or daylight
  // saving time.
  CTime(const FILETIME& fileTime, int nDST = -1);

  time_t GetTime() const { return m_time; }
  // The broken-down time, copied into ptm when given; NULL for a time that
  // the run-time cannot convert.
  struct tm* GetGmtTm(struct tm* ptm = NULL) const;
  struct tm* GetLocalTm(struct tm* ptm = NULL) const;

  // Local calendar fields; 0 for a time that cannot be converted.
  int GetYear() const;
  int GetMonth() const;      // 1-12
  int GetDay() const;        // 1-31
  int GetHour() const;       // 0-23
  int GetMinute() const;     // 0-59
  int GetSecond() const;     // 0-59
  int GetDayOfWeek() const;  // 1 = Sunday

  // strftime formats of at most 127 characters; empty when the time cannot
  // be converted or the text does not fit.
  CString Format(LPCTSTR pFormat) const;
  CString FormatGmt(LPCTSTR pFormat) const;

  BOOL operator==(CTime time) const { return m_time == time.m_time; }
  BOOL operator!=(CTime time) const { return m_time != time.m_time; }
  BOOL operator<(CTime time) const { return m_time < time.m_time; }
  BOOL operator>(CTime time) const { return m_time > time.m_time; }
  BOOL operator<=(CTime time) const { return m_time <= time.m_time; }
  BOOL operator>=(CTime time) const { return m_time >= time.m_time; }

 private:
  time_t m_time;
};
