#include "UserDbTestHost.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "ExecutableDir.h"
#include "RegistrySandbox.h"
#include "ScratchDir.h"

namespace UserDbTestHost {

const char kStandin[] = "userdb-standin";
const char kStandinNoBlank[] = "userdb-standin-noblank";

}  // namespace UserDbTestHost

namespace {

std::unique_ptr<ScratchDir> g_programDir;

class UserDbTestEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    g_programDir.reset(new ScratchDir("ldx userdb program "));
    UserDbTestHost::InstallStandin(UserDbTestHost::kStandin);
    m_sandbox.reset(new RegistrySandbox);
    m_sandbox->SetString(HKEY_LOCAL_MACHINE, kProductKey, "ProgramDir", g_programDir->Path());
  }
  void TearDown() override {
    m_sandbox.reset();
    g_programDir.reset();
  }

 private:
  std::unique_ptr<RegistrySandbox> m_sandbox;
};
const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new UserDbTestEnvironment);

}  // namespace

namespace UserDbTestHost {

const std::string& ProgramDir() { return g_programDir->Path(); }

std::string LibraryPath() { return ProgramDir() + "LDUSERDB.DLL"; }

void InstallStandin(const char* buildFolder) {
  std::string target = LibraryPath();
  ASSERT_EQ(nullptr, GetModuleHandleA(target.c_str())) << "the library is still loaded";
  if (buildFolder == NULL) {
    DeleteFileA(target.c_str());
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(target.c_str()));
    return;
  }
  std::string source = TestExecutableDir() + buildFolder + "\\LDUSERDB.DLL";
  ASSERT_TRUE(CopyFileA(source.c_str(), target.c_str(), FALSE)) << source << ": error " << GetLastError();
}

}  // namespace UserDbTestHost
