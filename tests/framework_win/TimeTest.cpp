// CTime between its forms: time_t, calendar fields, FILETIME, SYSTEMTIME
// and text.
#include <gtest/gtest.h>
#include <time.h>

#include "FrameworkWinTest.h"

namespace {

FILETIME FileTimeOf(time_t t) {
  ULONGLONG ticks = (static_cast<ULONGLONG>(t) + 11644473600ULL) * 10000000ULL;
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(ticks);
  ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return ft;
}

TEST(Time, CalendarFieldsRoundTrip) {
  const struct {
    int y, mo, d, h, mi, s, dayOfWeek;
  } cases[] = {
      {2000, 5, 4, 0, 0, 0, 5},     // a Thursday
      {1999, 12, 31, 23, 59, 59, 6},
      {2024, 2, 29, 12, 30, 15, 5},
  };
  for (const auto& c : cases) {
    CTime t(c.y, c.mo, c.d, c.h, c.mi, c.s);
    EXPECT_EQ(t.GetYear(), c.y);
    EXPECT_EQ(t.GetMonth(), c.mo);
    EXPECT_EQ(t.GetDay(), c.d);
    EXPECT_EQ(t.GetHour(), c.h);
    EXPECT_EQ(t.GetMinute(), c.mi);
    EXPECT_EQ(t.GetSecond(), c.s);
    EXPECT_EQ(t.GetDayOfWeek(), c.dayOfWeek);
    EXPECT_EQ(CTime(t.GetTime()), t);
  }
}

TEST(Time, FileTimeIsUtcAndSystemTimeIsLocal) {
  const time_t t = 957398400;  // 2000-05-04 00:00:00 UTC
  EXPECT_EQ(CTime(FileTimeOf(t)).GetTime(), t);

  CTime local(2000, 5, 4, 13, 14, 15);
  SYSTEMTIME st = {};
  st.wYear = 2000;
  st.wMonth = 5;
  st.wDay = 4;
  st.wHour = 13;
  st.wMinute = 14;
  st.wSecond = 15;
  st.wMilliseconds = 999;
  EXPECT_EQ(CTime(st), local);

  st.wYear = 1601;  // before the run-time's calendar
  EXPECT_EQ(CTime(st).GetTime(), 0);
  FILETIME zero = {0, 0};
  EXPECT_EQ(CTime(zero).GetTime(), 0);
}

TEST(Time, FileTimeTakesTheOffsetInForceOnItsDate) {
  TIME_ZONE_INFORMATION zone;
  if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_UNKNOWN) {
    GTEST_SKIP() << "needs a time zone with daylight saving time (ctest runs it so as framework_win_dst_tests)";
  }
  // One instant in each season, and the moments either side of a local
  // midnight: the instant is kept, and its local fields are those of its
  // own date whatever the season today.
  const time_t instants[] = {957398400, 957398399, 976320000, 976319999, 931737600, 935366400};
  for (time_t t : instants) {
    SCOPED_TRACE(t);
    CTime converted(FileTimeOf(t));
    EXPECT_EQ(converted.GetTime(), t);
    struct tm local = *localtime(&t);
    EXPECT_EQ(converted.GetHour(), local.tm_hour);
    EXPECT_EQ(converted.GetDay(), local.tm_mday);
  }
}

TEST(Time, FormatsLocalAndUtcText) {
  CTime t(2000, 5, 4, 7, 8, 9);
  EXPECT_EQ(Text(t.Format("%Y-%m-%d %H:%M:%S")), "2000-05-04 07:08:09");
  EXPECT_EQ(Text(CTime(957398400).FormatGmt("%d.%m.%Y %H:%M")), "04.05.2000 00:00");
  EXPECT_EQ(Text(t.Format(std::string(200, 'x').c_str())), "");  // does not fit
}

TEST(Time, ComparesAndReadsTheClock) {
  CTime earlier(1000), later(2000);
  EXPECT_TRUE(earlier < later && later > earlier && earlier <= earlier && later >= earlier);
  EXPECT_TRUE(earlier != later && earlier == CTime(1000));
  time_t now = time(NULL);
  time_t current = CTime::GetCurrentTime().GetTime();
  EXPECT_LE(now, current);
  EXPECT_LE(current - now, 2);
}

TEST(Time, UnconvertibleTimesReadAsZero) {
  CTime invalid(static_cast<time_t>(-1));
  EXPECT_EQ(invalid.GetYear(), 0);
  EXPECT_EQ(invalid.GetLocalTm(), nullptr);
  EXPECT_EQ(Text(invalid.Format("%Y")), "");
}

}  // namespace
