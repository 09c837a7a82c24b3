// The test executable's application derives from CExtensionApp: its help
// request reaches the framework only while the help package is installed.
#include <gtest/gtest.h>
#include <windows.h>

#include "BoxScript.h"
#include "PackagesTestHost.h"
#include "packages/CExtensionApp.h"

namespace {

// The main window records the help it is asked for instead of starting the
// help engine.
class HelpRecordingWindow : public CWnd {
 public:
  int m_nCalls = 0;
  void WinHelp(DWORD, UINT) override { ++m_nCalls; }
};

class ExtensionAppTest : public PackagesTest {
 protected:
  void SetUp() override {
    PackagesTest::SetUp();
    m_pApp = dynamic_cast<CExtensionApp*>(AfxGetApp());
    ASSERT_TRUE(m_pApp != nullptr);
    m_mainWnd.Attach(CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL,
                                     GetModuleHandleA(NULL), NULL));
    m_pApp->m_pMainWnd = &m_mainWnd;
  }
  void TearDown() override {
    m_pApp->m_pMainWnd = NULL;
    m_mainWnd.DestroyWindow();
    PackagesTest::TearDown();
  }

  CExtensionApp* m_pApp = nullptr;
  HelpRecordingWindow m_mainWnd;
};

TEST_F(ExtensionAppTest, HelpPassesBothArgumentsThroughWhenTheHelpPackageIsInstalled) {
  Install(HelpFile());
  const int before = AfxGetHelpCalls(NULL);
  BoxScript noBoxes;
  m_pApp->WinHelp(0x12345678, HELP_CONTEXTPOPUP);
  AfxHelpCall latest = {};
  EXPECT_EQ(before + 1, AfxGetHelpCalls(&latest));
  EXPECT_EQ(0x12345678u, latest.dwData);
  EXPECT_EQ(static_cast<UINT>(HELP_CONTEXTPOPUP), latest.nCmd);
  EXPECT_EQ(1, m_mainWnd.m_nCalls);
}

TEST_F(ExtensionAppTest, HelpIsBlockedWhileTheHelpPackageIsMissing) {
  const int before = AfxGetHelpCalls(NULL);
  {
    BoxScript script;
    script.Expect().Caption(kOfferCaption).TextContains("\tLodestar Help\n").Answer(IDNO);
    script.Expect().Caption(kOfferCaption).TextContains("\tLodestar Help\n").Answer(IDYES);
    m_pApp->WinHelp(7, HELP_CONTEXT);
    m_pApp->WinHelp(7, HELP_CONTEXT);
    ASSERT_EQ(2u, script.Captured().size());
    EXPECT_EQ(m_mainWnd.m_hWnd, script.Captured()[0].owner) << "the main window owns the question";
  }
  EXPECT_EQ(before, AfxGetHelpCalls(NULL));
  EXPECT_EQ(0, m_mainWnd.m_nCalls);
  ASSERT_EQ(1u, WaitForDownloaderRuns(1).size()) << "the second answer started the downloader";
  EXPECT_EQ("A", PackageValue("CUSTOMorFULL", "Help"));
}

}  // namespace
