// The resource chain: the application's resources first, then every chained
// extension module, for strings and for other resources.
#include <gtest/gtest.h>

#include "FrameworkWinTest.h"
#include "TestResources.h"

BOOL LoadWithoutWindowsHeader(CString& rString, UINT nID);

namespace {

CString Load(UINT nID) {
  CString s;
  s.LoadString(nID);
  return s;
}

TEST(ResourceChain, StringsComeFromTheApplicationFirstThenTheChain) {
  ChainedFixture fixture;
  ASSERT_NE(fixture.Module(), nullptr);

  const struct {
    UINT nID;
    const char* text;
  } cases[] = {
      {IDS_EXE_ONLY, "from the executable"},
      {IDS_IN_BOTH, "the executable's own"},
      // The executable has this string's block, but not the string.
      {IDS_FIXTURE_ONLY, "from the fixture"},
      {IDS_FIXTURE_LONG, FIXTURE_LONG_TEXT},
  };
  for (const auto& c : cases) {
    CString s;
    EXPECT_TRUE(s.LoadString(c.nID)) << c.nID;
    EXPECT_EQ(Text(s), c.text) << c.nID;
  }

  CString missing("old");
  EXPECT_FALSE(missing.LoadString(IDS_NOWHERE));
  EXPECT_TRUE(missing.IsEmpty());
}

TEST(ResourceChain, LoadStringFindsNothingOnceTheModuleIsUnloaded) {
  {
    ChainedFixture fixture(false);
    EXPECT_TRUE(Load(IDS_FIXTURE_ONLY).IsEmpty()) << "found before it was chained";
    fixture.Chain();
    fixture.Chain();  // two entries for one module: both leave with it
    EXPECT_EQ(Text(Load(IDS_FIXTURE_ONLY)), "from the fixture");
  }
  EXPECT_TRUE(Load(IDS_FIXTURE_ONLY).IsEmpty());
}

TEST(ResourceChain, AfxLoadStringFillsTheCallersBuffer) {
  ChainedFixture fixture;
  char buf[10];
  EXPECT_EQ(AfxLoadString(IDS_FIXTURE_LONG, buf, sizeof(buf)), 9);
  EXPECT_STREQ(buf, "000-001-0");
  EXPECT_EQ(AfxLoadString(IDS_NOWHERE, buf, sizeof(buf)), 0);
  EXPECT_STREQ(buf, "");
}

TEST(ResourceChain, PlainNamedLoadStringSearchesTheSameChain) {
  ChainedFixture fixture;
  CString s;
  EXPECT_TRUE(LoadWithoutWindowsHeader(s, IDS_FIXTURE_ONLY));
  EXPECT_EQ(Text(s), "from the fixture");
}

TEST(ResourceChain, TheResourceHandleDecidesWhatTheApplicationHas) {
  ChainedFixture fixture;
  HINSTANCE hExe = AfxGetResourceHandle();
  AfxSetResourceHandle(fixture.Module());
  EXPECT_EQ(Text(Load(IDS_IN_BOTH)), "the fixture's copy");
  AfxSetResourceHandle(hExe);
  EXPECT_EQ(Text(Load(IDS_IN_BOTH)), "the executable's own");
}

TEST(ResourceChain, FindResourceHandleNamesTheModuleThatHasIt) {
  ChainedFixture fixture;
  EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEA(IDD_NAME_DIALOG), RT_DIALOG), fixture.Module());
  EXPECT_EQ(AfxFindResourceHandle("NAMEDDIALOG", RT_DIALOG), GetModuleHandleA(NULL));
  // Nobody has it: the application's handle, where a later lookup fails.
  EXPECT_EQ(AfxFindResourceHandle(MAKEINTRESOURCEA(IDD_NOWHERE), RT_DIALOG), AfxGetResourceHandle());
}

TEST(ResourceChain, RefusedExtensionModuleFailsItsLoad) {
  AfxSetRefuseExtensionModules(TRUE);
  SetLastError(0);
  HMODULE hRefused = LoadLibraryA(ChainedFixture::kFileName);
  DWORD dwError = GetLastError();
  AfxSetRefuseExtensionModules(FALSE);
  EXPECT_EQ(hRefused, nullptr);
  EXPECT_EQ(dwError, static_cast<DWORD>(ERROR_DLL_INIT_FAILED));
  if (hRefused) FreeLibrary(hRefused);

  ChainedFixture accepted;
  EXPECT_NE(accepted.Module(), nullptr);
}

TEST(ResourceChain, ApplicationTitleStringNamesAnUnnamedApplication) {
  const std::string exeName = theApp.m_pszExeName;
  auto renameFromResources = [] {
    ReplaceAppString(theApp.m_pszAppName, NULL);
    AfxWinInit(GetModuleHandleA(NULL), NULL, GetCommandLineA(), SW_HIDE);
    return std::string(theApp.m_pszAppName);
  };
  {
    ChainedFixture fixture;
    EXPECT_EQ(renameFromResources(), "Chain Fixture Title");
  }
  EXPECT_EQ(renameFromResources(), exeName);
}

}  // namespace
