// Conversions between a file time (100-nanosecond ticks since 1601, UTC)
// and a time_t (seconds since 1970, UTC). Both count from a moment in UTC,
// so the instant is kept whatever the offset from UTC on its date, unlike a
// trip through FileTimeToLocalFileTime, which only knows today's offset.
#pragma once

#include <windows.h>

#include <time.h>

namespace afx_detail {

const ULONGLONG kFileTimeTicksPerSecond = 10000000ULL;
const ULONGLONG kUnixEpochAsFileTime = 116444736000000000ULL;  // 1 January 1970 UTC

// FALSE for a file time before 1970.
inline BOOL FileTimeToUnixTime(const FILETIME& fileTime, time_t* pTime) {
  ULONGLONG ticks = (static_cast<ULONGLONG>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
  if (ticks < kUnixEpochAsFileTime) return FALSE;
  *pTime = static_cast<time_t>((ticks - kUnixEpochAsFileTime) / kFileTimeTicksPerSecond);
  return TRUE;
}

// FALSE for a time before 1970.
inline BOOL UnixTimeToFileTime(time_t time, FILETIME* pFileTime) {
  if (time < 0) return FALSE;
  ULONGLONG ticks = kUnixEpochAsFileTime + static_cast<ULONGLONG>(time) * kFileTimeTicksPerSecond;
  pFileTime->dwLowDateTime = static_cast<DWORD>(ticks);
  pFileTime->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return TRUE;
}

}  // namespace afx_detail
