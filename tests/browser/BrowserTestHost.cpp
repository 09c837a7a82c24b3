#include "BrowserTestHost.h"

#include <afxwin.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <memory>

#include "ExecutableDir.h"
#include "RegistrySandbox.h"
#include "ScratchDir.h"
#include "frame/LibraryEntry.h"

const char kAppCaption[] = "browser_tests";

namespace {

CWinApp theApp(kAppCaption);

std::string g_programDir;
std::unique_ptr<ScratchDir> g_scratch;
std::string g_usersDir;
std::string g_userDataDir;

class BrowserTestEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(AfxWinInit(GetModuleHandleA(NULL), NULL, GetCommandLineA(), SW_SHOW));
    InitExtensionDll();

    g_scratch.reset(new ScratchDir("ldxbrowser"));
    // Open commands are cut at these characters, and paths with a blank are
    // quoted: the tests choose where they appear.
    ASSERT_EQ(std::string::npos, g_scratch->Path().find_first_of(" -/%")) << g_scratch->Path();
    g_usersDir = g_scratch->Path() + "Users\\";
    g_userDataDir = g_usersDir + "User1\\";
    std::filesystem::create_directories(g_userDataDir);

    // The library keeps the program directory for the life of the process
    // once it has read it, so it is recorded before any test runs.
    g_programDir = TestExecutableDir();
    m_sandbox.reset(new RegistrySandbox);
    m_sandbox->SetString(HKEY_LOCAL_MACHINE, kProductKey, "ProgramDir", g_programDir);
    m_sandbox->SetString(HKEY_LOCAL_MACHINE, kProductKey, "DefaultUserDataDir", g_usersDir);
  }
  void TearDown() override {
    m_sandbox.reset();
    g_scratch.reset();
  }

 private:
  std::unique_ptr<RegistrySandbox> m_sandbox;
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new BrowserTestEnvironment);

}  // namespace

namespace BrowserTestHost {

const std::string& ProgramDir() { return g_programDir; }
const std::string& ScratchRoot() { return g_scratch->Path(); }
const std::string& UsersDir() { return g_usersDir; }
const std::string& UserDataDir() { return g_userDataDir; }

}  // namespace BrowserTestHost
