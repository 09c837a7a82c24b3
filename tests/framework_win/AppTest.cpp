// The application object: its names, its profile in an INI file or in the
// registry, and the message boxes that go through it.
#include <gtest/gtest.h>
#include <string.h>

#include "FrameworkWinTest.h"
#include "TestResources.h"

namespace {

std::string ExePathWithout(const char* suffix) {
  char szPath[MAX_PATH];
  GetModuleFileNameA(NULL, szPath, MAX_PATH);
  std::string path = szPath;
  return path.substr(0, path.size() - strlen(suffix));
}

TEST(App, AfxWinInitNamesTheApplicationAfterItsExecutable) {
  EXPECT_EQ(AfxGetApp(), &theApp);
  EXPECT_EQ(AfxGetThread(), &theApp);
  EXPECT_EQ(AfxGetInstanceHandle(), GetModuleHandleA(NULL));
  EXPECT_EQ(AfxGetResourceHandle(), GetModuleHandleA(NULL));
  EXPECT_EQ(theApp.m_hInstance, GetModuleHandleA(NULL));
  EXPECT_STREQ(theApp.m_pszExeName, "framework_win_tests");
  // The executable has no title string: the name is the executable's.
  EXPECT_STREQ(theApp.m_pszAppName, "framework_win_tests");
  EXPECT_STREQ(AfxGetAppName(), "framework_win_tests");
  EXPECT_STREQ(theApp.m_pszProfileName, "framework_win_tests.INI");
  EXPECT_EQ(std::string(theApp.m_pszHelpFilePath), ExePathWithout(".exe") + ".HLP");
  EXPECT_EQ(theApp.m_pszRegistryKey, nullptr);
}

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_savedProfile = theApp.m_pszProfileName;
  }
  void TearDown() override {
    ReplaceAppString(theApp.m_pszRegistryKey, NULL);
    ReplaceAppString(theApp.m_pszProfileName, m_savedProfile.c_str());
  }
  std::string m_savedProfile;
};

TEST_F(ProfileTest, IniFileHoldsStringsAndNumbers) {
  TempDir dir;
  const std::string ini = dir.Path("app.ini");
  ReplaceAppString(theApp.m_pszProfileName, ini.c_str());

  EXPECT_TRUE(theApp.WriteProfileString("Options", "Name", "value one"));
  EXPECT_TRUE(theApp.WriteProfileInt("Options", "Count", -12));
  const std::string longValue(10000, 'v');
  EXPECT_TRUE(theApp.WriteProfileString("Options", "Long", longValue.c_str()));

  EXPECT_EQ(Text(theApp.GetProfileString("Options", "Name")), "value one");
  EXPECT_EQ(static_cast<int>(theApp.GetProfileInt("Options", "Count", 0)), -12);
  EXPECT_EQ(Text(theApp.GetProfileString("Options", "Long")), longValue);
  EXPECT_EQ(Text(theApp.GetProfileString("Options", "Absent", "fallback")), "fallback");
  EXPECT_EQ(Text(theApp.GetProfileString("Options", "Absent")), "");
  EXPECT_EQ(theApp.GetProfileInt("Options", "Absent", 5), 5u);

  char szRaw[64];
  GetPrivateProfileStringA("Options", "Count", "", szRaw, sizeof(szRaw), ini.c_str());
  EXPECT_STREQ(szRaw, "-12");

  EXPECT_TRUE(theApp.WriteProfileString("Options", "Name", NULL));
  EXPECT_EQ(Text(theApp.GetProfileString("Options", "Name", "gone")), "gone");
}

class RegistryProfileTest : public ProfileTest {
 protected:
  static constexpr const char* kCompany = "LdxFrameworkWinTests";
  void SetUp() override {
    ProfileTest::SetUp();
    RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + kCompany).c_str());
    theApp.SetRegistryKey(kCompany);
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + kCompany).c_str());
    ProfileTest::TearDown();
  }
  std::string SectionKey(const char* section) const {
    return std::string("Software\\") + kCompany + "\\" + theApp.m_pszAppName + "\\" + section;
  }
};

TEST_F(RegistryProfileTest, ValuesLiveBelowCompanyAndApplication) {
  EXPECT_STREQ(theApp.m_pszRegistryKey, kCompany);
  EXPECT_STREQ(theApp.m_pszProfileName, theApp.m_pszAppName);

  EXPECT_TRUE(theApp.WriteProfileString("Settings", "Text", "in the registry"));
  EXPECT_TRUE(theApp.WriteProfileInt("Settings", "Number", 4711));

  HKEY hKey = NULL;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SectionKey("Settings").c_str(), 0, KEY_READ, &hKey),
            ERROR_SUCCESS);
  char szText[64] = "";
  DWORD dwType = 0, dwSize = sizeof(szText);
  EXPECT_EQ(RegQueryValueExA(hKey, "Text", NULL, &dwType, reinterpret_cast<BYTE*>(szText), &dwSize),
            ERROR_SUCCESS);
  EXPECT_EQ(dwType, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(szText, "in the registry");
  DWORD dwNumber = 0;
  dwSize = sizeof(dwNumber);
  EXPECT_EQ(RegQueryValueExA(hKey, "Number", NULL, &dwType, reinterpret_cast<BYTE*>(&dwNumber), &dwSize),
            ERROR_SUCCESS);
  EXPECT_EQ(dwType, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(dwNumber, 4711u);
  RegCloseKey(hKey);

  EXPECT_EQ(Text(theApp.GetProfileString("Settings", "Text")), "in the registry");
  EXPECT_EQ(theApp.GetProfileInt("Settings", "Number", 0), 4711u);
  // A value of the other kind is not this entry's value.
  EXPECT_EQ(theApp.GetProfileInt("Settings", "Text", 3), 3u);
  EXPECT_EQ(Text(theApp.GetProfileString("Settings", "Number", "default")), "default");
  EXPECT_EQ(Text(theApp.GetProfileString("Other", "Text", "default")), "default");
}

TEST_F(RegistryProfileTest, NullValueDeletesEntryAndNullEntryTheSection) {
  theApp.WriteProfileString("Doomed", "A", "1");
  theApp.WriteProfileString("Doomed", "B", "2");
  EXPECT_TRUE(theApp.WriteProfileString("Doomed", "A", NULL));
  EXPECT_EQ(Text(theApp.GetProfileString("Doomed", "A", "none")), "none");
  EXPECT_EQ(Text(theApp.GetProfileString("Doomed", "B")), "2");

  EXPECT_TRUE(theApp.WriteProfileString("Doomed", NULL, NULL));
  HKEY hKey = NULL;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, SectionKey("Doomed").c_str(), 0, KEY_READ, &hKey),
            ERROR_FILE_NOT_FOUND);
}

class MessageBoxTest : public ::testing::Test {
 protected:
  void TearDown() override {
    theApp.m_onMessageBox = nullptr;
    theApp.m_pMainWnd = NULL;
  }
};

TEST_F(MessageBoxTest, AfxMessageBoxGoesThroughDoMessageBox) {
  std::string prompt;
  UINT nType = 0, nHelp = 0;
  theApp.m_onMessageBox = [&](LPCTSTR lpszPrompt, UINT t, UINT h) {
    prompt = lpszPrompt;
    nType = t;
    nHelp = h;
    return IDNO;
  };
  EXPECT_EQ(AfxMessageBox("Really?", MB_YESNO, 17), IDNO);
  EXPECT_EQ(prompt, "Really?");
  EXPECT_EQ(nType, static_cast<UINT>(MB_YESNO));
  EXPECT_EQ(nHelp, 17u);

  EXPECT_EQ(AfxMessageBox(IDS_PROMPT), IDNO);
  EXPECT_EQ(prompt, "Prompt from the string table");
  EXPECT_EQ(nType, static_cast<UINT>(MB_OK));
  EXPECT_EQ(nHelp, static_cast<UINT>(IDS_PROMPT));
}

TEST_F(MessageBoxTest, DefaultBoxIsARealBoxUnderTheApplicationsName) {
  TopLevelWindow mainWnd;
  theApp.m_pMainWnd = &mainWnd;
  BoxCatcher catcher(IDYES);
  EXPECT_EQ(AfxMessageBox("Shall we?", MB_YESNO), IDYES);
  const CaughtBox& box = catcher.Box();
  EXPECT_EQ(box.count, 1);
  EXPECT_EQ(box.caption, "framework_win_tests");
  EXPECT_EQ(box.text, "Shall we?");
  EXPECT_EQ(box.owner, mainWnd.m_hWnd);
  EXPECT_TRUE(box.hasIcon);
}

TEST_F(MessageBoxTest, WindowMessageBoxUsesTheApplicationsNameAsDefaultCaption) {
  TopLevelWindow wnd;
  BoxCatcher catcher(IDOK);
  EXPECT_EQ(wnd.MessageBox("From a window"), IDOK);
  EXPECT_EQ(catcher.Box().caption, "framework_win_tests");
  EXPECT_EQ(catcher.Box().owner, wnd.m_hWnd);
  EXPECT_FALSE(catcher.Box().hasIcon);
  EXPECT_EQ(wnd.MessageBox("Captioned", "Own caption", MB_OKCANCEL), IDOK);
  EXPECT_EQ(catcher.Box().caption, "Own caption");
}

// Help goes to the main window's WinHelp, unchanged, and is counted.
class CHelpWindow : public TopLevelWindow {
 public:
  DWORD m_dwData = 0;
  UINT m_nCmd = 0;
  int m_nCalls = 0;
  void WinHelp(DWORD dwData, UINT nCmd) override {
    m_dwData = dwData;
    m_nCmd = nCmd;
    ++m_nCalls;
  }
};

TEST_F(MessageBoxTest, AppHelpAsksTheMainWindow) {
  CHelpWindow mainWnd;
  theApp.m_pMainWnd = &mainWnd;
  const int before = AfxGetHelpCalls(NULL);
  theApp.WinHelp(0x1234, HELP_CONTEXTPOPUP);
  EXPECT_EQ(mainWnd.m_nCalls, 1);
  AfxHelpCall latest = {};
  EXPECT_EQ(AfxGetHelpCalls(&latest), before + 1);
  EXPECT_EQ(latest.dwData, 0x1234u);
  EXPECT_EQ(latest.nCmd, static_cast<UINT>(HELP_CONTEXTPOPUP));
  EXPECT_EQ(mainWnd.m_dwData, 0x1234u);
  EXPECT_EQ(mainWnd.m_nCmd, static_cast<UINT>(HELP_CONTEXTPOPUP));
  theApp.WinHelp(9);
  EXPECT_EQ(mainWnd.m_nCmd, static_cast<UINT>(HELP_CONTEXT));
}

}  // namespace
