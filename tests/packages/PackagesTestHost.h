// The test executable plays a host application derived from CExtensionApp,
// chained with the library. While the tests run, the product key records a
// scratch install of this process as the product and program directories
// (both values are put back at exit); the library keeps them for the life
// of the process. Started with LDX_PACKAGES_NO_DIRS=1 in its environment, it
// records neither (the tests of a missing directory run that way).
#pragma once

#include <afxwin.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <time.h>

#include <string>
#include <vector>

#include "StandinRecords.h"

extern const char kAppCaption[];  // the application's name: "packages_tests"

namespace PackagesTestHost {

bool WithoutDirectories();

// The scratch install's directories, ending in a backslash.
const std::string& PackageDir();  // ProgramDir() + "Packages\"
std::string PackageFile();        // PackageDir() + "package1.ini"
std::string SystemDir();          // the system directory, ending in a backslash
// This executable's directory, where the downloader stand-in is built.

}  // namespace PackagesTestHost

// The file time of a time_t: the same instant.
FILETIME FileTimeOf(time_t time);

// Local midnight at the start of the day, the way the library reckons it
// (the C runtime's mktime), as a file time.
FILETIME LocalMidnight(int year, int month, int day, int secondsAfter = 0);
// Creates the file (and its directories) with the text and the time as its
// last-modified time.
void PutFile(const std::string& path, const FILETIME& modified, const std::string& text = "x");
bool FileExists(const std::string& path);
void RemoveFile(const std::string& path);  // also when it is read-only

// What the downloader stand-in recorded in "ldsdnl.log" of the package
// directory: one record per run, its values unescaped.
typedef StandinRecord DownloaderRun;
std::vector<DownloaderRun> ReadDownloaderRuns();
// Waits until there are `count` runs (or the time is up) and returns them.
std::vector<DownloaderRun> WaitForDownloaderRuns(size_t count);

// A file that a package test looks for, and the day from whose local
// midnight on its date passes (year 0: any date).
struct PackagedFile {
  const char* what;
  std::string path;
  int year, month, day;
};
PackagedFile HelpFile();
std::vector<PackagedFile> EngineFiles();  // licence, style lexicon, library
PackagedFile EnglishFile();

// Each test starts without any package installed, with a package file
// holding one comment line and no downloader log; the engine library is
// taken out of the system directory again at the end.
class PackagesTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  static void Install(const PackagedFile& file);  // dated on its day
  static void InstallEngine();  // its three files, the library a real one
  static void RemoveAll();
};

// A top-level window of this thread for a parent, attached to a framework
// window object.
class TestWindow {
 public:
  TestWindow();
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  CWnd* Get() { return &m_wnd; }
  HWND Handle() const { return m_wnd.m_hWnd; }

 private:
  CWnd m_wnd;
};

extern const char kInitialPackageFile[];

// The library's download offer and its error when the package directory is
// missing, as the boxes show them.
extern const char kOfferCaption[];         // "Missing Package(s)"
extern const char kOfferQuestionStart[];   // before the list of packages
extern const char kOfferQuestionEnd[];     // after it
extern const char kDirectoryMissing[];

// A value of the package file ("<absent>" when it is not there).
std::string PackageValue(const char* section, const char* key);
