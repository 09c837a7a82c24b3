// URL launch: the request file the launcher stand-in finds, the command line
// it is started with, and the launches that must not happen. The program
// directory of this process is the tests' own directory, where brwsapp.exe
// is built; launches that need another program directory run in a probe.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <regex>
#include <string>

#include "BoxScript.h"
#include "BrowserTestHost.h"
#include "FileTerritory.h"
#include "ScratchDir.h"
#include "LauncherLog.h"
#include "ProbeRunner.h"
#include "RegistrySandbox.h"
#include "browser/CBrowserLauncher.h"

namespace {

const std::string& DataDir() { return BrowserTestHost::UserDataDir(); }

std::string Value(const LauncherRecord& record, const char* name) {
  auto it = record.find(name);
  return it == record.end() ? "<absent>" : it->second;
}

TEST(LauncherTest, EachFormWritesItsRequestAndStartsTheLauncherWithTheBareFileName) {
  struct Form {
    const char* what;
    std::function<int(CBrowserLauncher&)> launch;
    const char* url;       // as the launcher reads it back
    const char* postData;  // NULL: absent
    const char* bFile;
    const char* bNew;
    const char* text;  // the request file as written
  };
  const Form forms[] = {
      {"OpenUrl", [](CBrowserLauncher& l) { return l.OpenUrl("http://example.com/find?q=a b", NULL); },
       "http://example.com/find?q=a b", NULL, "0", "0",
       "[Data]\r\nUrl=http://example.com/find?q=a b\r\nbFile=0\r\nbNew=0\r\n"},
      {"OpenUrl with an ignored first argument",
       [](CBrowserLauncher& l) { return l.OpenUrl(12345, "http://example.com/form", "q=1&r=2"); },
       "http://example.com/form", "q=1&r=2", "0", "0",
       "[Data]\r\nUrl=http://example.com/form\r\nPostData=q=1&r=2\r\nbFile=0\r\nbNew=0\r\n"},
      {"OpenLocalFile", [](CBrowserLauncher& l) { return l.OpenLocalFile("C:\\Docs\\report 1.htm"); },
       "C:\\Docs\\report 1.htm", NULL, "1", "0", "[Data]\r\nUrl=C:\\Docs\\report 1.htm\r\nbFile=1\r\nbNew=0\r\n"},
      {"OpenUrlInNewWindow with empty post data",
       [](CBrowserLauncher& l) { return l.OpenUrlInNewWindow("http://example.com/", ""); }, "http://example.com/", "",
       "0", "1", "[Data]\r\nUrl=http://example.com/\r\nPostData=\r\nbFile=0\r\nbNew=1\r\n"},
      {"OpenLocalFileInNewWindow", [](CBrowserLauncher& l) { return l.OpenLocalFileInNewWindow("C:\\Docs\\a.htm"); },
       "C:\\Docs\\a.htm", NULL, "1", "1", "[Data]\r\nUrl=C:\\Docs\\a.htm\r\nbFile=1\r\nbNew=1\r\n"},
      // Values in matching quotes, or with blanks at an end, get one more
      // pair of quotes so that they read back as given.
      {"quoted url, post data with blanks at its ends",
       [](CBrowserLauncher& l) { return l.Launch("\"http://example.com/q\"", " a=1 ", 1, 0); },
       "\"http://example.com/q\"", " a=1 ", "0", "1",
       "[Data]\r\nUrl=\"\"http://example.com/q\"\"\r\nPostData=\" a=1 \"\r\nbFile=0\r\nbNew=1\r\n"},
      {"flags as unsigned decimal text", [](CBrowserLauncher& l) { return l.Launch("x", NULL, -1, 2); }, "x", NULL,
       "2", "4294967295", "[Data]\r\nUrl=x\r\nbFile=2\r\nbNew=4294967295\r\n"},
  };
  const std::regex requestName("msg[0-9A-F]{1,4}\\.tmp", std::regex::icase);
  for (const Form& form : forms) {
    SCOPED_TRACE(form.what);
    size_t before = ReadLauncherLog(DataDir()).size();
    CBrowserLauncher launcher;
    launcher.m_dwError = 99;
    EXPECT_EQ(0, form.launch(launcher));
    EXPECT_EQ(0u, launcher.m_dwError);
    std::vector<LauncherRecord> records = WaitForLauncherRecords(DataDir(), before + 1);
    ASSERT_EQ(before + 1, records.size()) << "the launcher did not report";
    const LauncherRecord& record = records.back();
    EXPECT_EQ(0, _stricmp((BrowserTestHost::ProgramDir() + "brwsapp.exe").c_str(), Value(record, "Program").c_str()))
        << Value(record, "Program");
    EXPECT_TRUE(std::regex_match(Value(record, "CommandLine"), requestName)) << Value(record, "CommandLine");
    EXPECT_EQ("1", Value(record, "Found"));
    EXPECT_EQ(form.url, Value(record, "Url"));
    EXPECT_EQ(form.postData != NULL ? form.postData : "<absent>", Value(record, "PostData"));
    EXPECT_EQ(form.bFile, Value(record, "bFile"));
    EXPECT_EQ(form.bNew, Value(record, "bNew"));
    EXPECT_EQ(form.text, Value(record, "Text"));
    EXPECT_EQ("1", Value(record, "Removed"));
  }
  EXPECT_TRUE(RequestFiles(DataDir()).empty());
}

// The request file keeps values of at most 32,766 characters.
const size_t kLongestValue = 32766;

TEST(LauncherTest, LineBreaksOverlongValuesAndANullUrlAreRefusedBeforeAnythingIsWritten) {
  const std::string tooLong(kLongestValue + 1, 'u');
  const std::string farTooLong = "http://example.com/?q=" + std::string(40000 - 22, 'q');
  const struct {
    const char* url;
    const char* postData;
  } cases[] = {
      {"http://example.com/\r\nbNew=1", NULL},
      {"http://example.com/\n", NULL},
      {"http://example.com/\r", "q=1"},
      {"http://example.com/", "q=1\r\n[Data]\r\nUrl=http://elsewhere/"},
      {"http://example.com/", "\n"},
      {NULL, "q=1"},
      {tooLong.c_str(), NULL},
      {farTooLong.c_str(), "q=1"},
      {"http://example.com/", tooLong.c_str()},
  };
  size_t before = ReadLauncherLog(DataDir()).size();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url != NULL ? std::string(c.url).substr(0, 40) : "(null url)");
    CBrowserLauncher launcher;
    EXPECT_EQ(1, launcher.OpenUrlInNewWindow(c.url, c.postData));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), launcher.m_dwError);
    EXPECT_TRUE(RequestFiles(DataDir()).empty());
  }
  EXPECT_EQ(before, ReadLauncherLog(DataDir()).size());
}

TEST(LauncherTest, LongestUrlTheRequestFileKeepsArrivesWhole) {
  const std::string url = "http://example.com/?q=" + std::string(kLongestValue - 22, 'q');
  size_t before = ReadLauncherLog(DataDir()).size();
  CBrowserLauncher launcher;
  EXPECT_EQ(0, launcher.OpenUrl(url.c_str(), NULL));
  std::vector<LauncherRecord> records = WaitForLauncherRecords(DataDir(), before + 1);
  ASSERT_EQ(before + 1, records.size()) << "the launcher did not report";
  EXPECT_EQ("[Data]\r\nUrl=" + url + "\r\nbFile=0\r\nbNew=0\r\n", Value(records.back(), "Text"));
}

TEST(LauncherTest, WithoutAUserDataDirectoryNothingIsWrittenAndTheErrorIsZero) {
  RegistrySandbox sandbox;
  sandbox.RemoveValue(HKEY_LOCAL_MACHINE, kProductKey, "DefaultUserDataDir");
  CBrowserLauncher launcher;
  launcher.m_dwError = 99;
  EXPECT_EQ(1, launcher.OpenUrl("http://example.com/", NULL));
  EXPECT_EQ(0u, launcher.m_dwError);
  EXPECT_TRUE(RequestFiles(DataDir()).empty());

  BoxScript script;
  script.Expect()
      .Caption(kAppCaption)
      .Text("An error occurred in opening Url [http://example.com/] in the browser.\n\n"
            "0 --> The operating system is out of memory or resources.\n")
      .Buttons({IDOK});
  launcher.ReportLaunchError("http://example.com/", 1);
}

TEST(LauncherTest, RequestFileThatCannotBeCreatedFailsWithTheSystemError) {
  RegistrySandbox sandbox;
  const std::string missingUsers = BrowserTestHost::ScratchRoot() + "NoSuchUsers\\";
  sandbox.SetString(HKEY_LOCAL_MACHINE, kProductKey, "DefaultUserDataDir", missingUsers);
  char path[MAX_PATH];
  ASSERT_EQ(0u, GetTempFileNameA((missingUsers + "User1\\").c_str(), "msg", 0, path));
  const DWORD expected = GetLastError();
  ASSERT_NE(0u, expected);

  size_t before = ReadLauncherLog(DataDir()).size();
  CBrowserLauncher launcher;
  EXPECT_EQ(1, launcher.OpenUrl("http://example.com/", "q=1"));
  EXPECT_EQ(expected, launcher.m_dwError);
  EXPECT_FALSE(FileExists(missingUsers));
  EXPECT_EQ(before, ReadLauncherLog(DataDir()).size());
}

// The library keeps the program directory it has read for the life of the
// process, so these launches run in a probe of their own.
TEST(LauncherTest, WithoutAProgramDirectoryNothingIsWritten) {
  RegistrySandbox sandbox;
  sandbox.RemoveValue(HKEY_LOCAL_MACHINE, kProductKey, "ProgramDir");
  std::vector<ProbeReport> reports = RunProbe("launch http://example.com/");
  ASSERT_EQ(1u, reports.size());
  EXPECT_EQ("1", reports[0]["Result"]);
  EXPECT_EQ("0", reports[0]["Error"]);
  EXPECT_TRUE(RequestFiles(DataDir()).empty());
}

TEST(LauncherTest, MissingLauncherFailsWithTheSystemErrorAndRemovesItsRequest) {
  FileTerritory files;
  const std::string programDir = BrowserTestHost::ScratchRoot() + "EmptyProgram";
  files.MakeDir(programDir);
  RegistrySandbox sandbox;
  sandbox.SetString(HKEY_LOCAL_MACHINE, kProductKey, "ProgramDir", programDir + "\\");
  std::vector<ProbeReport> reports = RunProbe("launch http://example.com/left");
  ASSERT_EQ(1u, reports.size());
  EXPECT_EQ("1", reports[0]["Result"]);
  EXPECT_EQ(std::to_string(ERROR_FILE_NOT_FOUND), reports[0]["Error"]);
  std::vector<std::string> left = RequestFiles(DataDir());
  EXPECT_TRUE(left.empty()) << "request left behind: " << left[0];
  for (const std::string& name : left) DeleteFileA((DataDir() + name).c_str());
}

}  // namespace
