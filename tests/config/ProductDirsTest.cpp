#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "RegistrySandbox.h"
#include "config/CUserDirs.h"
#include "config/ProductDirs.h"

namespace {

class ProductDirsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_sandbox.TrackKey(HKEY_LOCAL_MACHINE, kProductKey);
    for (const char* name : {"ProductDir", "ProgramDir", "DefaultUserDataDir"}) SetProductValue(name, NULL);
  }
  void SetProductValue(const char* name, const char* value) {
    m_sandbox.SetStringOrRemove(HKEY_LOCAL_MACHINE, kProductKey, name, value);
  }
  RegistrySandbox m_sandbox;
};

// The caches live as long as the process, so this is the one test of the
// process that calls the three cached getters.
TEST_F(ProductDirsTest, CachedGettersRetryUntilTheyFindAValueThenKeepIt) {
  typedef BOOL (*Getter)(CString&);
  const Getter getters[] = {GetProductDir, GetProgramDir, GetUserDataDir};
  for (Getter getter : getters) {
    CString dir("untouched");
    EXPECT_FALSE(getter(dir));
    EXPECT_STREQ("untouched", dir);
  }
  // An empty value names no directory.
  SetProductValue("ProductDir", "");
  CString dir("untouched");
  EXPECT_FALSE(GetProductDir(dir));
  EXPECT_STREQ("untouched", dir);

  SetProductValue("ProductDir", "C:\\Prod");
  SetProductValue("ProgramDir", "C:\\Prod\\Program\\");
  SetProductValue("DefaultUserDataDir", "C:\\Users Data");
  const char* expected[] = {"C:\\Prod\\", "C:\\Prod\\Program\\", "C:\\Users Data\\User1\\"};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(getters[i](dir));
    EXPECT_STREQ(expected[i], dir);
  }

  SetProductValue("ProductDir", "C:\\Elsewhere");
  SetProductValue("ProgramDir", NULL);
  SetProductValue("DefaultUserDataDir", NULL);
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(getters[i](dir));
    EXPECT_STREQ(expected[i], dir);
  }
}

TEST_F(ProductDirsTest, DataDirectoryOfAUser) {
  struct Case {
    const char* defaultUserDataDir;  // NULL: not set
    int user;
    BOOL result;
    const char* dir;
  };
  const Case cases[] = {
      {"C:\\Data", 0, TRUE, "C:\\Data\\User1\\"},
      {"C:\\Data\\", 0, TRUE, "C:\\Data\\User1\\"},
      {"\\\\server\\share", 0, TRUE, "\\\\server\\share\\User1\\"},
      {"C:\\Data", 1, FALSE, "untouched"},
      {"C:\\Data", -1, FALSE, "untouched"},
      {NULL, 0, FALSE, "untouched"},
      {"", 0, FALSE, "untouched"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.defaultUserDataDir ? c.defaultUserDataDir : "(not set)") + " user " +
                 std::to_string(c.user));
    SetProductValue("DefaultUserDataDir", c.defaultUserDataDir);
    CString viaFunction("untouched"), viaObject("untouched");
    EXPECT_EQ(c.result, GetDataDirOfUser(c.user, viaFunction));
    EXPECT_EQ(c.result, CUserDirs().GetDataDirOfUser(c.user, viaObject));
    EXPECT_STREQ(c.dir, viaFunction);
    EXPECT_STREQ(c.dir, viaObject);
  }
}

TEST(PlatformTest, WineReportsTheNtFamily) { EXPECT_EQ(kOsPlatformWindowsNT, GetOsPlatform()); }

TEST(PlatformTest, WindowsProfileDirectory) {
  const char kLogon[] = "Network\\Logon";
  const char kReconciliation[] = "Software\\Microsoft\\Windows\\CurrentVersion\\ProfileReconciliation";
  char windowsDir[MAX_PATH];
  ASSERT_GT(GetWindowsDirectoryA(windowsDir, MAX_PATH), 0u);
  struct Case {
    int userProfiles;             // -1: value not set
    const char* profileDirectory;  // NULL: not set
    const char* expected;
  };
  const Case cases[] = {
      {-1, "C:\\Profiles\\Ann", windowsDir},
      {0, "C:\\Profiles\\Ann", windowsDir},  // profiles off: the user's key is not read
      {1, "C:\\Profiles\\Ann", "C:\\Profiles\\Ann"},
      {1, NULL, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.userProfiles);
    RegistrySandbox sandbox;
    sandbox.TrackKey(HKEY_LOCAL_MACHINE, kLogon);
    sandbox.TrackKey(HKEY_CURRENT_USER, kReconciliation);
    if (c.userProfiles < 0)
      sandbox.RemoveValue(HKEY_LOCAL_MACHINE, kLogon, "UserProfiles");
    else
      sandbox.SetDword(HKEY_LOCAL_MACHINE, kLogon, "UserProfiles", static_cast<DWORD>(c.userProfiles));
    if (c.profileDirectory == NULL)
      sandbox.RemoveValue(HKEY_CURRENT_USER, kReconciliation, "ProfileDirectory");
    else
      sandbox.SetString(HKEY_CURRENT_USER, kReconciliation, "ProfileDirectory", c.profileDirectory);
    CString dir("untouched");
    GetWindowsProfileDir(dir);
    EXPECT_STREQ(c.expected, dir);
  }
}

}  // namespace
