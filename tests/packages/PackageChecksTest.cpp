// Package tests on real files and their last-modified dates, and the checks
// that offer a download of what is missing.
#include <gtest/gtest.h>
#include <windows.h>

#include <time.h>

#include <functional>
#include <string>

#include "BoxScript.h"
#include "PackagesTestHost.h"
#include "ScratchDir.h"
#include "packages/PackageChecks.h"

namespace {


TEST_F(PackagesTest, EachDatedFilePassesFromLocalMidnightOfItsDay) {
  struct Case {
    PackagedFile file;
    std::function<BOOL()> test;
  };
  std::vector<Case> cases = {{HelpFile(), [] { return IsHelpPackageInstalled(); }}};
  for (const PackagedFile& file : EngineFiles()) cases.push_back({file, [] { return IsVerityPackageInstalled(FALSE); }});

  Install(HelpFile());
  for (const PackagedFile& file : EngineFiles()) Install(file);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.what);
    const int year = c.file.year, month = c.file.month, day = c.file.day;
    PutFile(c.file.path, LocalMidnight(year, month, day, -1));
    EXPECT_FALSE(c.test()) << "one second before midnight";
    PutFile(c.file.path, LocalMidnight(year, month, day));
    EXPECT_TRUE(c.test()) << "at midnight";
    RemoveFile(c.file.path);
    EXPECT_FALSE(c.test()) << "missing";
    PutFile(c.file.path, LocalMidnight(year + 1, 1, 1));
    EXPECT_TRUE(c.test()) << "a later year";
  }
}

// US Eastern time (TZ=EST5EDT): midnight is 04:00 UTC in daylight saving
// time and 05:00 UTC in standard time, whichever season it is today.
bool InUsEasternTime() {
  TIME_ZONE_INFORMATION zone;
  return GetTimeZoneInformation(&zone) != TIME_ZONE_ID_UNKNOWN && zone.Bias == 300 && zone.DaylightBias == -60;
}

FILETIME UtcFileTime(int year, int month, int day, int hour, int secondsAfter) {
  struct tm utc = {};
  utc.tm_year = year - 1900;
  utc.tm_mon = month - 1;
  utc.tm_mday = day;
  utc.tm_hour = hour;
  return FileTimeOf(_mkgmtime(&utc) + secondsAfter);
}

TEST_F(PackagesTest, ThresholdsHoldInBothSeasonsOfDaylightSavingTime) {
  if (!InUsEasternTime()) GTEST_SKIP() << "needs TZ=EST5EDT (ctest runs it so as packages_dst_tests)";
  struct Case {
    PackagedFile file;
    int utcHourOfMidnight;
    std::function<BOOL()> test;
  };
  const std::vector<PackagedFile> engine = EngineFiles();
  auto verity = [] { return IsVerityPackageInstalled(FALSE); };
  const Case cases[] = {
      {HelpFile(), 4, [] { return IsHelpPackageInstalled(); }},
      {engine[0], 4, verity},  // 23 August
      {engine[1], 5, verity},  // 9 December
      {engine[2], 4, verity},  // 12 July
  };
  Install(HelpFile());
  for (const PackagedFile& file : engine) Install(file);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.what);
    const PackagedFile& f = c.file;
    PutFile(f.path, UtcFileTime(f.year, f.month, f.day, c.utcHourOfMidnight, -1));
    EXPECT_FALSE(c.test()) << "one second before local midnight";
    PutFile(f.path, UtcFileTime(f.year, f.month, f.day, c.utcHourOfMidnight, 0));
    EXPECT_TRUE(c.test()) << "at local midnight";
    PutFile(f.path, UtcFileTime(f.year, f.month, f.day, c.utcHourOfMidnight, 1));
    EXPECT_TRUE(c.test()) << "one second after local midnight";
  }
}

TEST_F(PackagesTest, EnglishDictionaryOnlyHasToBeAFile) {
  const std::string path = EnglishFile().path;
  EXPECT_FALSE(IsVerityEnglishInstalled());
  PutFile(path, LocalMidnight(1980, 1, 2));
  EXPECT_TRUE(IsVerityEnglishInstalled());
  RemoveFile(path);
  ASSERT_TRUE(CreateDirectoryA(path.c_str(), NULL));
  EXPECT_FALSE(IsVerityEnglishInstalled()) << "a directory of that name";
  RemoveDirectoryA(path.c_str());
}

TEST_F(PackagesTest, TrialLoadNeedsAnEngineLibraryThatLoadsAndShowsNoBox) {
  BoxScript noBoxes;
  for (const PackagedFile& file : EngineFiles()) Install(file);  // the library is a text file
  EXPECT_TRUE(IsVerityPackageInstalled(FALSE));
  EXPECT_FALSE(IsVerityPackageInstalled(TRUE));

  InstallEngine();
  EXPECT_TRUE(IsVerityPackageInstalled(TRUE));
  EXPECT_EQ(NULL, GetModuleHandleA("vdk200.dll")) << "the trial load is undone";
}

TEST_F(PackagesTest, ChecksPassQuietlyOrOfferWhatIsMissingOnce) {
  struct Case {
    const char* what;
    bool help, engine, english;
    std::function<BOOL()> check;
    const char* offered;  // the package list of the question; NULL: no question
  };
  auto help = [] { return CheckHelpPackage(NULL, FALSE); };
  auto verity = [] { return CheckVerityPackage(NULL, FALSE); };
  auto english = [] { return CheckVerityEnglishPackage(NULL, TRUE); };
  const Case cases[] = {
      {"help installed", true, false, false, help, NULL},
      {"help missing", false, true, true, help, "\tLodestar Help\n"},
      {"engine installed", false, true, false, verity, NULL},
      {"engine missing", true, false, true, verity, "\tLinguistic Analysis\n"},
      {"engine and dictionary installed", false, true, true, english, NULL},
      {"dictionary missing", true, true, false, english, "\tLinguistic Analysis\n"},
      {"engine missing beside the dictionary", false, false, true, english, "\tLinguistic Analysis\n"},
      {"engine and dictionary missing", false, false, false, english, "\tLinguistic Analysis\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RemoveAll();
    if (c.help) Install(HelpFile());
    if (c.engine) InstallEngine();
    if (c.english) Install(EnglishFile());
    {
      BoxScript script;
      if (c.offered != NULL) {
        script.Expect()
            .Caption(kAppCaption)
            .Text(std::string(kOfferQuestionStart) + c.offered + kOfferQuestionEnd)
            .Buttons({IDYES, IDNO})
            .Answer(IDNO);
      }
      EXPECT_EQ(c.offered == NULL, c.check() != FALSE);
    }
    EXPECT_EQ(kInitialPackageFile, ScratchDir::ReadFile(PackagesTestHost::PackageFile()));
  }
  EXPECT_TRUE(ReadDownloaderRuns().empty());
}

TEST_F(PackagesTest, AcceptedEnglishCheckRequestsTheEnginePackageOnce) {
  BoxScript script;
  script.Expect().TextContains("\n\n\tLinguistic Analysis\n\nDo you").Answer(IDYES);
  EXPECT_FALSE(CheckVerityEnglishPackage(NULL, FALSE));
  ASSERT_EQ(1u, WaitForDownloaderRuns(1).size());
  EXPECT_EQ("A", PackageValue("CUSTOMorFULL", "Verity"));
  EXPECT_EQ("<absent>", PackageValue("CUSTOMorFULL", "Spell"));
  EXPECT_EQ("<absent>", PackageValue("CUSTOMorFULL", "Help"));
}

}  // namespace
