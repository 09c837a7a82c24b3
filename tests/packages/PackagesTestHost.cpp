#include "PackagesTestHost.h"

#include <gtest/gtest.h>
#include <time.h>

#include <filesystem>
#include <memory>

#include "ExecutableDir.h"
#include "RegistrySandbox.h"
#include "ScratchDir.h"
#include "frame/LibraryEntry.h"
#include "packages/CExtensionApp.h"

const char kAppCaption[] = "packages_tests";

namespace {

class PackagesTestApp : public CExtensionApp {};
PackagesTestApp theApp;

std::unique_ptr<ScratchDir> g_scratch;
std::string g_productDir;
std::string g_programDir;
std::string g_packageDir;

class PackagesTestEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(AfxWinInit(GetModuleHandleA(NULL), NULL, GetCommandLineA(), SW_SHOW));
    InitExtensionDll();
    m_sandbox.reset(new RegistrySandbox);
    if (PackagesTestHost::WithoutDirectories()) {
      m_sandbox->RemoveValue(HKEY_LOCAL_MACHINE, kProductKey, "ProductDir");
      m_sandbox->RemoveValue(HKEY_LOCAL_MACHINE, kProductKey, "ProgramDir");
      return;
    }
    g_scratch.reset(new ScratchDir("ldxpackages"));
    g_productDir = g_scratch->Path() + "Product\\";
    g_programDir = g_scratch->Path() + "Program\\";
    g_packageDir = g_programDir + "Packages\\";
    std::filesystem::create_directories(g_productDir);
    std::filesystem::create_directories(g_packageDir);
    ASSERT_TRUE(CopyFileA((TestExecutableDir() + "ldsdnl.exe").c_str(),
                          (g_packageDir + "ldsdnl.exe").c_str(), FALSE));
    m_sandbox->SetString(HKEY_LOCAL_MACHINE, kProductKey, "ProductDir", g_productDir);
    m_sandbox->SetString(HKEY_LOCAL_MACHINE, kProductKey, "ProgramDir", g_programDir);
  }
  void TearDown() override {
    m_sandbox.reset();
    g_scratch.reset();
  }

 private:
  std::unique_ptr<RegistrySandbox> m_sandbox;
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new PackagesTestEnvironment);

}  // namespace

namespace PackagesTestHost {

bool WithoutDirectories() {
  char value[8] = {0};
  return GetEnvironmentVariableA("LDX_PACKAGES_NO_DIRS", value, sizeof value) > 0 && value[0] == '1';
}

const std::string& PackageDir() { return g_packageDir; }
std::string PackageFile() { return g_packageDir + "package1.ini"; }

std::string SystemDir() {
  char path[MAX_PATH] = {0};
  GetSystemDirectoryA(path, MAX_PATH);
  std::string dir = path;
  if (dir.back() != '\\') dir += '\\';
  return dir;
}

}  // namespace PackagesTestHost

FILETIME FileTimeOf(time_t time) {
  const unsigned long long kUnixEpochAsFileTime = 116444736000000000ULL;
  unsigned long long ticks = kUnixEpochAsFileTime + static_cast<unsigned long long>(time) * 10000000ULL;
  FILETIME fileTime;
  fileTime.dwLowDateTime = static_cast<DWORD>(ticks);
  fileTime.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return fileTime;
}

FILETIME LocalMidnight(int year, int month, int day, int secondsAfter) {
  struct tm local = {};
  local.tm_year = year - 1900;
  local.tm_mon = month - 1;
  local.tm_mday = day;
  local.tm_isdst = -1;
  return FileTimeOf(mktime(&local) + secondsAfter);
}

void PutFile(const std::string& path, const FILETIME& modified, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  RemoveFile(path);
  ScratchDir::WriteFile(path, text);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
  EXPECT_TRUE(SetFileTime(file, NULL, NULL, &modified)) << path;
  CloseHandle(file);
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveFile(const std::string& path) {
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(path.c_str());
}

std::vector<DownloaderRun> ReadDownloaderRuns() {
  return ReadStandinRecords(PackagesTestHost::PackageDir() + "ldsdnl.log", "[run]");
}

std::vector<DownloaderRun> WaitForDownloaderRuns(size_t count) {
  return WaitForStandinRecords(PackagesTestHost::PackageDir() + "ldsdnl.log", "[run]", count);
}

std::string PackageValue(const char* section, const char* key) {
  char value[2048] = {0};
  GetPrivateProfileStringA(section, key, "<absent>", value, sizeof value, PackagesTestHost::PackageFile().c_str());
  return value;
}

PackagedFile HelpFile() { return {"help file", g_productDir + "Help\\Lodestar.hlp", 2000, 5, 4}; }

std::vector<PackagedFile> EngineFiles() {
  return {
      {"licence", g_programDir + "common\\vdk20.lic", 1999, 8, 23},
      {"style lexicon", g_programDir + "common\\style\\style.lex", 1999, 12, 9},
      {"engine library", PackagesTestHost::SystemDir() + "vdk200.dll", 1999, 7, 12},
  };
}

PackagedFile EnglishFile() { return {"English dictionary", g_programDir + "common\\English\\vdk20.syd", 0, 0, 0}; }

const char kInitialPackageFile[] = "; requests for the package downloader\r\n";
const char kOfferCaption[] = "Missing Package(s)";
const char kOfferQuestionStart[] = "In order to use this feature you must install the following package(s):\n\n";
const char kOfferQuestionEnd[] = "\nDo you wish to download and install the package(s) now?";
const char kDirectoryMissing[] =
    "ERROR:  The package directory is missing.  Unable to download the necessary package for this feature.";

void PackagesTest::SetUp() {
  RemoveAll();
  RemoveFile(PackagesTestHost::PackageFile());
  ScratchDir::WriteFile(PackagesTestHost::PackageFile(), kInitialPackageFile);
  RemoveFile(PackagesTestHost::PackageDir() + "ldsdnl.log");
}

void PackagesTest::TearDown() { RemoveAll(); }

void PackagesTest::Install(const PackagedFile& file) {
  PutFile(file.path, file.year != 0 ? LocalMidnight(file.year, file.month, file.day) : LocalMidnight(1980, 1, 2));
}

void PackagesTest::InstallEngine() {
  for (const PackagedFile& file : EngineFiles()) Install(file);
  // The library must also load: a real one, dated after its day.
  const std::string library = EngineFiles().back().path;
  ASSERT_TRUE(CopyFileA((TestExecutableDir() + "packages-fixtures\\vdk200.dll").c_str(),
                        library.c_str(), FALSE));
}

void PackagesTest::RemoveAll() {
  RemoveFile(HelpFile().path);
  for (const PackagedFile& file : EngineFiles()) RemoveFile(file.path);
  RemoveFile(EnglishFile().path);
}

TestWindow::TestWindow() {
  HWND hWnd = CreateWindowExA(0, "STATIC", "packages parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300, 200,
                              NULL, NULL, GetModuleHandleA(NULL), NULL);
  EXPECT_TRUE(hWnd != NULL);
  m_wnd.Attach(hWnd);
}

TestWindow::~TestWindow() { m_wnd.DestroyWindow(); }
