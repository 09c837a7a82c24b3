// The dialog runs for real on the library's template, answered through the
// test-support library the way a user would.
#include <afxwin.h>
#include <gtest/gtest.h>

#include <string>

#include "TestHost.h"
#include "frame/resource.h"
#include "packages/CExtensionPackageDlg.h"
#include "testsupport/BoxScript.h"

namespace {

const char kCaption[] = "Search Area Extension Package";

std::string FirstText(const std::string& title) {
  return "You have selected a search area which is not part of our default package.  In order to use this, " +
         title + " will need to retrieve a free search area extension package.";
}

std::string SecondText(const std::string& title) {
  return "Select Continue if you want to download the free extension\nSelect Cancel if you want to return to " +
         title;
}

class ExtensionPackageDlgTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TestProgramDir::Use();
    TestProgramDir::WriteBranding("Acme Desk", "Acme Desktop Search");
  }
  void TearDown() override { TestProgramDir::RemoveBranding(); }
};

TEST_F(ExtensionPackageDlgTest, ShowsTheProductTitleInBothTexts) {
  BoxScript script;
  script.Expect().Caption(kCaption).Buttons({IDOK, IDCANCEL}).Answer(IDCANCEL);
  CExtensionPackageDlg dialog(NULL);
  EXPECT_EQ(IDCANCEL, dialog.DoModal());

  ASSERT_EQ(1u, script.Captured().size());
  const CapturedBox box = script.Captured()[0];
  EXPECT_EQ(FirstText("Acme Desk"), box.ControlText(IDC_EXTENSION_TEXT));
  EXPECT_EQ(SecondText("Acme Desk"), box.ControlText(IDC_EXTENSION_RETURN_TEXT));
  EXPECT_EQ("Continue", box.buttons.at(0).text);
  EXPECT_EQ("Cancel", box.buttons.at(1).text);
  EXPECT_EQ(IDOK, box.defaultButton);
}

TEST_F(ExtensionPackageDlgTest, EachWayOfClosingGivesItsResult) {
  struct Case {
    const char* how;
    int expected;
  };
  const Case cases[] = {{"Continue", IDOK}, {"Cancel", IDCANCEL}, {"close box", IDCANCEL}, {"Enter", IDOK}};
  for (const Case& c : cases) {
    BoxScript script;
    BoxExpectation& box = script.Expect().Caption(kCaption);
    const std::string how = c.how;
    if (how == "Continue") box.Answer(IDOK);
    if (how == "Cancel") box.Answer(IDCANCEL);
    if (how == "close box") box.Close();
    CExtensionPackageDlg dialog(NULL);
    EXPECT_EQ(c.expected, dialog.DoModal()) << c.how;
  }
}

TEST_F(ExtensionPackageDlgTest, IsOwnedByTheParentWindow) {
  HWND parent = CreateWindowA("STATIC", "Host window", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL,
                              GetModuleHandleA(NULL), NULL);
  ASSERT_TRUE(parent != NULL);
  CWnd parentWnd;
  ASSERT_TRUE(parentWnd.Attach(parent));
  {
    BoxScript script;
    script.Expect().Caption(kCaption).Answer(IDOK);
    CExtensionPackageDlg dialog(&parentWnd);
    EXPECT_EQ(IDOK, dialog.DoModal());
    ASSERT_EQ(1u, script.Captured().size());
    EXPECT_EQ(parent, script.Captured()[0].owner);
  }
  parentWnd.DestroyWindow();
}

// Texts used to go empty when the title did not fit in 256 bytes.
TEST_F(ExtensionPackageDlgTest, ALongTitleStillAppearsInTheTexts) {
  const std::string longTitle(300, 'T');
  TestProgramDir::WriteBranding(longTitle.c_str(), NULL);
  BoxScript script;
  script.Expect().Caption(kCaption).Close();
  CExtensionPackageDlg dialog(NULL);
  EXPECT_EQ(IDCANCEL, dialog.DoModal());
  ASSERT_EQ(1u, script.Captured().size());
  EXPECT_EQ(FirstText(longTitle), script.Captured()[0].ControlText(IDC_EXTENSION_TEXT));
  EXPECT_EQ(SecondText(longTitle), script.Captured()[0].ControlText(IDC_EXTENSION_RETURN_TEXT));
}

TEST_F(ExtensionPackageDlgTest, DeletingThroughTheFrameworkDialogClassIsSound) {
  CDialog* dialog = new CExtensionPackageDlg(NULL);
  EXPECT_TRUE(dialog->IsKindOf(RUNTIME_CLASS(CDialog)));
  delete dialog;
}

}  // namespace
