#include "CTime.h"

#include "UnixFileTime.h"

#include <string.h>

CTime CTime::GetCurrentTime() { return CTime(::time(NULL)); }

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST) {
  struct tm atm;
  memset(&atm, 0, sizeof(atm));
  atm.tm_sec = nSec;
  atm.tm_min = nMin;
  atm.tm_hour = nHour;
  atm.tm_mday = nDay;
  atm.tm_mon = nMonth - 1;
  atm.tm_year = nYear - 1900;
  atm.tm_isdst = nDST;
  m_time = mktime(&atm);
}

CTime::CTime(const SYSTEMTIME& sysTime, int nDST) {
  if (sysTime.wYear < 1900) {
    m_time = 0;
  } else {
    *this = CTime(sysTime.wYear, sysTime.wMonth, sysTime.wDay, sysTime.wHour, sysTime.wMinute,
                  sysTime.wSecond, nDST);
  }
}

CTime::CTime(const FILETIME& fileTime, int nDST) {
  if (nDST >= 0) {
    // The caller says whether daylight saving time applies: the file time's
    // local calendar time is read that way.
    FILETIME localTime;
    SYSTEMTIME sysTime;
    if (!::FileTimeToLocalFileTime(&fileTime, &localTime) || !::FileTimeToSystemTime(&localTime, &sysTime)) {
      m_time = 0;
      return;
    }
    *this = CTime(sysTime, nDST);
    return;
  }
  // Both are counts from a moment in UTC: the instant stays the same, and
  // the local fields later follow the offset in force on its own date, not
  // today's (which is all that FileTimeToLocalFileTime knows).
  time_t time;
  m_time = 0;
  if (afx_detail::FileTimeToUnixTime(fileTime, &time) && localtime(&time) != NULL) m_time = time;
}

struct tm* CTime::GetGmtTm(struct tm* ptm) const {
  struct tm* ptmTemp = gmtime(&m_time);
  if (ptmTemp == NULL) return NULL;
  if (ptm == NULL) return ptmTemp;
  *ptm = *ptmTemp;
  return ptm;
}

struct tm* CTime::GetLocalTm(struct tm* ptm) const {
  struct tm* ptmTemp = localtime(&m_time);
  if (ptmTemp == NULL) return NULL;
  if (ptm == NULL) return ptmTemp;
  *ptm = *ptmTemp;
  return ptm;
}

namespace {

// One field of the local time, or 0 when the time cannot be converted.
template <typename Field>
int LocalField(const CTime& time, Field field) {
  struct tm atm;
  return time.GetLocalTm(&atm) != NULL ? field(atm) : 0;
}

CString FormatTm(const struct tm* ptm, LPCTSTR pFormat) {
  char szBuffer[128];
  if (ptm == NULL || pFormat == NULL || strftime(szBuffer, sizeof(szBuffer), pFormat, ptm) == 0) {
    szBuffer[0] = '\0';
  }
  return szBuffer;
}

}  // namespace

int CTime::GetYear() const {
  return LocalField(*this, [](const struct tm& t) { return t.tm_year + 1900; });
}
int CTime::GetMonth() const {
  return LocalField(*this, [](const struct tm& t) { return t.tm_mon + 1; });
}
int CTime::GetDay() const {
  return LocalField(*this, [](const struct tm& t) { return t.tm_mday; });
}
int CTime::GetHour() const {
  return LocalField(*this, [](const struct tm& t) { return t.tm_hour; });
}
int CTime::GetMinute() const {
  return LocalField(*this, [](const struct tm& t) { return t.tm_min; });
}
int CTime::GetSecond() const {
  return LocalField(*this, [](const struct tm& t) { return t.tm_sec; });
}
int CTime::GetDayOfWeek() const {
  return LocalField(*this, [](const struct tm& t) { return t.tm_wday + 1; });
}

CString CTime::Format(LPCTSTR pFormat) const {
  struct tm atm;
  return FormatTm(GetLocalTm(&atm), pFormat);
}

CString CTime::FormatGmt(LPCTSTR pFormat) const {
  struct tm atm;
  return FormatTm(GetGmtTm(&atm), pFormat);
}
