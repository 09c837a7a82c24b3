// Without a product or program directory the tests fail and the offers say
// that the package directory is missing: files at the root of the current
// drive or below the current directory decide nothing and receive nothing.
// The library keeps the directories it found for the life of the process,
// so these tests run in a second process of this executable that records
// none (WithoutDirectories.*), started from NoDirectoriesTest.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>

#include "BoxScript.h"
#include "PackagesTestHost.h"
#include "ScratchDir.h"
#include "packages/PackageChecks.h"
#include "packages/PackageDownload.h"

namespace {

const DWORD kChildTimeoutMs = 120000;

// Files a test puts at a place it does not own: removed again afterwards
// unless they were there before.
class BorrowedFiles {
 public:
  ~BorrowedFiles() {
    for (auto it = m_created.rbegin(); it != m_created.rend(); ++it) {
      RemoveFile(*it);
      RemoveDirectoryA(it->c_str());
    }
  }
  void Put(const std::string& path, const std::string& text) {
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::vector<std::string> missing;
    for (std::filesystem::path dir = parent; !dir.empty() && !FileExists(dir.string()); dir = dir.parent_path())
      missing.push_back(dir.string());
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
      CreateDirectoryA(it->c_str(), NULL);
      m_created.push_back(*it);
    }
    ASSERT_FALSE(FileExists(path)) << path << " is there already";
    PutFile(path, LocalMidnight(2001, 1, 1), text);
    m_created.push_back(path);
  }

 private:
  std::vector<std::string> m_created;  // in the order they were made
};

std::string CurrentDriveRoot() {
  char dir[MAX_PATH] = {0};
  GetCurrentDirectoryA(MAX_PATH, dir);
  return std::string(dir, 3);
}

TEST(WithoutDirectories, TestsFailWhateverLiesAtTheRootOrBelowTheCurrentDirectory) {
  if (!PackagesTestHost::WithoutDirectories()) GTEST_SKIP() << "runs in the second process";
  const std::string root = CurrentDriveRoot();
  ASSERT_EQ(":\\", root.substr(1));
  BorrowedFiles files;
  files.Put(root + "Help\\Lodestar.hlp", "help");
  files.Put("Help\\Lodestar.hlp", "help");
  files.Put("common\\English\\vdk20.syd", "dictionary");
  files.Put("common\\vdk20.lic", "licence");
  files.Put("common\\style\\style.lex", "lexicon");
  BoxScript noBoxes;
  EXPECT_FALSE(IsHelpPackageInstalled());
  EXPECT_FALSE(IsVerityEnglishInstalled());
  EXPECT_FALSE(IsVerityPackageInstalled(FALSE));
}

TEST(WithoutDirectories, OffersSayThePackageDirectoryIsMissingAndWriteNothing) {
  if (!PackagesTestHost::WithoutDirectories()) GTEST_SKIP() << "runs in the second process";
  const std::string packageFiles[] = {CurrentDriveRoot() + "Packages\\package1.ini", "Packages\\package1.ini"};
  const std::string text = "[CUSTOMorFULL]\r\nHelp=A\r\n";
  BorrowedFiles files;
  for (const std::string& packageFile : packageFiles) files.Put(packageFile, text);
  const std::function<void()> offers[] = {
      [] { OfferPackageDownload(NULL, PKG_HELP, FALSE); },
      [] { OfferVerityUpdate(NULL); },
      [] { EXPECT_FALSE(CheckHelpPackage(NULL, FALSE)); },
      [] { EXPECT_FALSE(CheckVerityEnglishPackage(NULL, FALSE)); },
  };
  for (const auto& offer : offers) {
    BoxScript script;
    script.Expect().Caption(kAppCaption).Text(kDirectoryMissing).Buttons({IDOK});
    offer();
  }
  for (const std::string& packageFile : packageFiles) EXPECT_EQ(text, ScratchDir::ReadFile(packageFile));
}

TEST(NoDirectoriesTest, RunInAProcessWithoutProductAndProgramDirectories) {
  if (PackagesTestHost::WithoutDirectories()) GTEST_SKIP();
  char exe[MAX_PATH] = {0};
  GetModuleFileNameA(NULL, exe, MAX_PATH);
  std::string commandLine = "packages_tests.exe --gtest_filter=WithoutDirectories.*";
  ScratchDir current("ldxnodirs");  // on the system drive; its root takes the borrowed files

  ASSERT_TRUE(SetEnvironmentVariableA("LDX_PACKAGES_NO_DIRS", "1"));
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;  // its report shows with this one's
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process;
  BOOL started = CreateProcessA(exe, &commandLine[0], NULL, NULL, TRUE, 0, NULL, current.NoSlash().c_str(),
                                &startup, &process);
  SetEnvironmentVariableA("LDX_PACKAGES_NO_DIRS", NULL);
  ASSERT_TRUE(started) << GetLastError();
  EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process.hProcess, kChildTimeoutMs));
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  EXPECT_EQ(0u, exitCode) << "the second process failed; its output is above";
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace
