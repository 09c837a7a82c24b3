// The download offers: the question, the package file as the downloader
// stand-in finds it, and the failures that write nothing.
#include <gtest/gtest.h>
#include <stdio.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "BoxScript.h"
#include "PackagesTestHost.h"
#include "ScratchDir.h"
#include "packages/PackageChecks.h"
#include "packages/PackageDownload.h"

namespace {

const char kDownloaderFailed[] =
    "ERROR:  Unable to install package(s).  The Smart Downloader (ldsdnl.exe) failed to run.  ";

std::string HandleText(HWND hWnd) {
  char text[32];
  sprintf(text, "%lX", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(hWnd)));
  return text;
}

std::string PackageFileText() { return ScratchDir::ReadFile(PackagesTestHost::PackageFile()); }

void WritePackageFile(const std::string& text) { ScratchDir::WriteFile(PackagesTestHost::PackageFile(), text); }

TEST_F(PackagesTest, QuestionNamesEachRequestedPackageOnceAndNoWritesNothing) {
  const struct {
    UINT packages;
    const char* packageFile;
    const char* list;
  } cases[] = {
      {PKG_VERITY, "", "\tLinguistic Analysis\n"},
      {PKG_VERITY | PKG_VERITY_ENGLISH, "", "\tLinguistic Analysis\n"},
      {PKG_HELP | PKG_SPELL | PKG_VERITY_ENGLISH, "", "\tLinguistic Analysis\n\tSpell Checker\n\tLodestar Help\n"},
      {PKG_HELP | PKG_SPELL, "[Spell]\r\nPackage=Speller 2\r\n[Help]\r\nPackage=Help Files\r\n",
       "\tSpeller 2\n\tHelp Files\n"},
  };
  TestWindow parent;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    WritePackageFile(c.packageFile);
    BoxScript script;
    script.Expect()
        .Caption(kOfferCaption)
        .Text(std::string(kOfferQuestionStart) + c.list + kOfferQuestionEnd)
        .Buttons({IDYES, IDNO})
        .Answer(IDNO);
    OfferPackageDownload(parent.Get(), c.packages, TRUE);
    ASSERT_EQ(1u, script.Captured().size());
    EXPECT_EQ(parent.Handle(), script.Captured()[0].owner);
    EXPECT_EQ(c.packageFile, PackageFileText());
  }
  EXPECT_TRUE(ReadDownloaderRuns().empty());
}

TEST_F(PackagesTest, YesMarksThisRequestADemotesEarlierOnesAndStartsTheDownloader) {
  const char kEarlier[] =
      "[CUSTOMorFULL]\r\nSpell=a\r\nHelp=A\r\nOther=x\r\nVerity=B\r\nPlain=AA\r\n"
      "[Help]\r\nPackage=Help Files\r\n";
  TestWindow parent;
  const struct {
    const char* what;
    CWnd* parent;
    const char* caption;
    std::string handle;
  } cases[] = {
      {"with a parent", parent.Get(), kOfferCaption, HandleText(parent.Handle())},
      {"without a parent", NULL, kAppCaption, "<absent>"},
  };
  size_t runs = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WritePackageFile(kEarlier);
    {
      BoxScript script;
      script.Expect().Caption(c.caption).TextContains("\tLinguistic Analysis\n\n").Answer(IDYES);
      OfferPackageDownload(c.parent, PKG_VERITY_ENGLISH, FALSE);
    }
    std::vector<DownloaderRun> found = WaitForDownloaderRuns(++runs);
    ASSERT_EQ(runs, found.size());
    const struct {
      const char *section, *key;
      std::string value;
    } values[] = {
        {"PACKAGE2", "IsPackage2", "No"}, {"CUSTOMorFULL", "Verity", "A"},  {"CUSTOMorFULL", "Spell", "B"},
        {"CUSTOMorFULL", "Help", "B"},    {"CUSTOMorFULL", "Other", "x"},   {"CUSTOMorFULL", "Plain", "AA"},
        {"CUSTOMorFULL", "Install", "Yes"}, {"CUSTOMorFULL", "HANDLE", c.handle}, {"Help", "Package", "Help Files"},
    };
    for (const auto& v : values) EXPECT_EQ(v.value, PackageValue(v.section, v.key)) << v.section << "/" << v.key;

    DownloaderRun& run = found.back();
    const std::string program = PackagesTestHost::PackageDir() + "ldsdnl.exe";
    EXPECT_EQ(0, _stricmp(program.c_str(), run["Program"].c_str())) << run["Program"];
    EXPECT_EQ(PackageFileText(), run["PackageFile"]) << "the downloader found the requests written";
  }
}

TEST_F(PackagesTest, DownloaderGetsNoCommandLineArguments) {
  BoxScript script;
  script.Expect().Answer(IDYES);
  OfferPackageDownload(NULL, PKG_HELP, FALSE);
  std::vector<DownloaderRun> runs = WaitForDownloaderRuns(1);
  ASSERT_EQ(1u, runs.size());
  // Started without a command line, a program sees its own path as one.
  std::string commandLine = runs[0]["CommandLine"];
  if (commandLine.size() >= 2 && commandLine.front() == '"') commandLine = commandLine.substr(1, commandLine.size() - 2);
  while (!commandLine.empty() && commandLine.back() == ' ') commandLine.pop_back();
  EXPECT_EQ(0, _stricmp(runs[0]["Program"].c_str(), commandLine.c_str())) << runs[0]["CommandLine"];
}

TEST_F(PackagesTest, KeyNamesBeyondTheFirstBufferAreAllDemoted) {
  std::string text = "[CUSTOMorFULL]\r\n";
  size_t namesLength = 0;
  for (int i = 0; namesLength <= 3 * 4096; ++i) {
    std::string name = "EarlierRequest" + std::string(50, 'n') + std::to_string(i);
    namesLength += name.size() + 1;
    text += name + "=A\r\n";
  }
  text += "LastOfAll=a\r\n";
  WritePackageFile(text);
  BoxScript script;
  script.Expect().Answer(IDYES);
  OfferPackageDownload(NULL, PKG_SPELL, FALSE);
  ASSERT_EQ(1u, WaitForDownloaderRuns(1).size());
  EXPECT_EQ("B", PackageValue("CUSTOMorFULL", ("EarlierRequest" + std::string(50, 'n') + "0").c_str()));
  EXPECT_EQ("B", PackageValue("CUSTOMorFULL", "LastOfAll"));
  EXPECT_EQ("A", PackageValue("CUSTOMorFULL", "Spell"));
  EXPECT_EQ(std::string::npos, PackageFileText().find("=A\r\nLastOfAll")) << "every earlier mark is demoted";
}

// A key list that still fills a buffer of 1 MiB is not read on: the request
// fails as a whole rather than growing the buffer for ever. (Long names, and
// values that need no rewriting, keep the test quick.)
TEST_F(PackagesTest, KeyNameListBeyondTheLimitWritesNothingAndStartsNothing) {
  std::string text = "[CUSTOMorFULL]\r\n";
  const std::string stem(4000, 'k');
  for (int i = 0; text.size() < 1100 * 1024; ++i) text += stem + std::to_string(i) + "=x\r\n";
  WritePackageFile(text);
  BoxScript script;
  script.Expect().Caption(kOfferCaption).Answer(IDYES);
  script.Expect().Caption(kAppCaption).Text(kDownloaderFailed).Buttons({IDOK});
  TestWindow parent;
  OfferPackageDownload(parent.Get(), PKG_HELP, FALSE);
  EXPECT_EQ(text, PackageFileText());
  Sleep(200);
  EXPECT_TRUE(ReadDownloaderRuns().empty());
}

TEST_F(PackagesTest, ReadOnlyPackageFileIsMadeWritableFirst) {
  ASSERT_TRUE(SetFileAttributesA(PackagesTestHost::PackageFile().c_str(), FILE_ATTRIBUTE_READONLY));
  BoxScript script;
  script.Expect().Answer(IDYES);
  OfferPackageDownload(NULL, PKG_HELP, FALSE);
  EXPECT_EQ(0u, GetFileAttributesA(PackagesTestHost::PackageFile().c_str()) & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ("A", PackageValue("CUSTOMorFULL", "Help"));
  EXPECT_EQ(1u, WaitForDownloaderRuns(1).size());
}

TEST_F(PackagesTest, MissingPackageFileIsReportedAndNothingIsWritten) {
  const std::string packageFile = PackagesTestHost::PackageFile();
  for (bool directory : {false, true}) {
    SCOPED_TRACE(directory ? "a directory of that name" : "no file");
    RemoveFile(packageFile);
    if (directory) {
      ASSERT_TRUE(CreateDirectoryA(packageFile.c_str(), NULL));
    }
    TestWindow parent;
    BoxScript script;
    script.Expect().Caption(kAppCaption).Text(kDirectoryMissing).Buttons({IDOK});
    script.Expect().Caption(kAppCaption).Text(kDirectoryMissing).Buttons({IDOK});
    script.Expect().Caption(kAppCaption).Text(kDirectoryMissing).Buttons({IDOK});
    OfferPackageDownload(NULL, PKG_HELP, FALSE);
    OfferPackageDownload(parent.Get(), PKG_SPELL, TRUE);
    OfferVerityUpdate(parent.Get());
    ASSERT_EQ(3u, script.Captured().size());
    EXPECT_EQ(parent.Handle(), script.Captured()[1].owner);
    EXPECT_EQ(parent.Handle(), script.Captured()[2].owner);
    EXPECT_EQ(directory, FileExists(packageFile)) << "a package file was made";
    EXPECT_TRUE(ReadDownloaderRuns().empty());
    if (directory) RemoveDirectoryA(packageFile.c_str());
  }
}

TEST_F(PackagesTest, DownloaderThatCannotStartIsReportedInTheApplicationsBoxAndTheRequestsStay) {
  const std::string downloader = PackagesTestHost::PackageDir() + "ldsdnl.exe";
  const std::string aside = PackagesTestHost::PackageDir() + "ldsdnl.exe.aside";
  ASSERT_TRUE(MoveFileA(downloader.c_str(), aside.c_str()));
  TestWindow parent;
  {
    BoxScript script;
    script.Expect().Caption(kOfferCaption).Answer(IDYES);
    script.Expect().Caption(kAppCaption).Text(kDownloaderFailed).Buttons({IDOK});
    OfferPackageDownload(parent.Get(), PKG_HELP, FALSE);
  }
  MoveFileA(aside.c_str(), downloader.c_str());
  EXPECT_EQ("A", PackageValue("CUSTOMorFULL", "Help"));
  EXPECT_EQ("Yes", PackageValue("CUSTOMorFULL", "Install"));
  EXPECT_EQ(HandleText(parent.Handle()), PackageValue("CUSTOMorFULL", "HANDLE"));
}

TEST_F(PackagesTest, VerityUpdateAsksByTheEnginePackagesNameAndRequestsItAlone) {
  WritePackageFile("[Verity]\r\nPackage=Engine 2.5\r\n[CUSTOMorFULL]\r\nHelp=A\r\n");
  const std::string question =
      "The Saved Search or Query History item you are trying to open requires the latest Engine 2.5 package.  "
      "Do you wish to download and install the package now?";
  TestWindow parent;
  {
    BoxScript script;
    script.Expect().Caption(kOfferCaption).Text(question).Buttons({IDYES, IDNO}).Answer(IDNO);
    script.Expect().Caption(kAppCaption).Text(question).Buttons({IDYES, IDNO}).Answer(IDYES);
    OfferVerityUpdate(parent.Get());
    EXPECT_EQ("<absent>", PackageValue("CUSTOMorFULL", "Verity"));
    OfferVerityUpdate(NULL);
  }
  ASSERT_EQ(1u, WaitForDownloaderRuns(1).size());
  EXPECT_EQ("A", PackageValue("CUSTOMorFULL", "Verity"));
  EXPECT_EQ("B", PackageValue("CUSTOMorFULL", "Help"));
  EXPECT_EQ("<absent>", PackageValue("CUSTOMorFULL", "HANDLE"));
}

// The parent's messages in order: whether it got the focus before the
// question's box disabled it.
std::vector<std::string> g_parentEvents;

LRESULT CALLBACK RecordingWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETFOCUS) g_parentEvents.push_back("focus");
  if (message == WM_ENABLE && !wParam) g_parentEvents.push_back("disabled");
  return DefWindowProcA(hWnd, message, wParam, lParam);
}

TEST_F(PackagesTest, ParentGetsTheFocusBeforeTheQuestionOnlyWhenAsked) {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = RecordingWindowProc;
  windowClass.hInstance = GetModuleHandleA(NULL);
  windowClass.lpszClassName = "LdxFocusRecorder";
  RegisterClassA(&windowClass);
  CWnd parent;
  parent.Attach(CreateWindowExA(0, "LdxFocusRecorder", "parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                NULL, NULL, GetModuleHandleA(NULL), NULL));
  TestWindow other;
  const struct {
    const char* what;
    std::function<void()> offer;
    const char* first;
  } cases[] = {
      {"offer with the focus flag", [&] { OfferPackageDownload(&parent, PKG_HELP, TRUE); }, "focus"},
      {"offer without it", [&] { OfferPackageDownload(&parent, PKG_HELP, FALSE); }, "disabled"},
      {"update question", [&] { OfferVerityUpdate(&parent); }, "disabled"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetFocus(other.Handle());
    ASSERT_EQ(other.Handle(), GetFocus());
    g_parentEvents.clear();
    BoxScript script;
    script.Expect().Caption(kOfferCaption).Answer(IDNO);
    c.offer();
    ASSERT_FALSE(g_parentEvents.empty());
    EXPECT_EQ(c.first, g_parentEvents[0]);
  }
  parent.DestroyWindow();
}

}  // namespace
