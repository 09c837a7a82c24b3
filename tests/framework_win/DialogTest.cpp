// Modal dialogs from templates found through the resource chain, with data
// exchange and commands routed through the message maps. Every dialog is
// answered by a message posted from OnInitDialog; a watchdog timer ends a
// dialog that nobody answers.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "FrameworkWinTest.h"
#include "TestResources.h"

namespace {

const int kWatchdogResult = -2;

void CALLBACK EndForgottenDialog(HWND hWnd, UINT, UINT_PTR, DWORD) { EndDialog(hWnd, kWatchdogResult); }

class CNameDialog : public CDialog {
 public:
  using Script = std::function<void(CNameDialog&)>;
  explicit CNameDialog(Script script, LPCTSTR lpszTemplate = MAKEINTRESOURCEA(IDD_NAME_DIALOG),
                       CWnd* pParentWnd = NULL)
      : CDialog(lpszTemplate, pParentWnd), m_script(script) {}

  CString m_strName = "initial";
  int m_nControlId = IDC_NAME;
  std::string m_textAtInit;
  HWND m_hWndAtInit = NULL;
  bool m_bCancelCalled = false;

  BOOL OnInitDialog() override {
    BOOL bFocus = CDialog::OnInitDialog();
    SetTimer(m_hWnd, 1, 10000, EndForgottenDialog);
    CString text;
    GetDlgItemText(IDC_NAME, text);
    m_textAtInit = Text(text);
    m_hWndAtInit = m_hWnd;
    m_script(*this);
    return bFocus;
  }

  void Post(UINT message, WPARAM wParam, LPARAM lParam = 0) { PostMessage(message, wParam, lParam); }

 protected:
  void DoDataExchange(CDataExchange* pDX) override { DDX_Text(pDX, m_nControlId, m_strName); }
  void OnCancel() override {
    m_bCancelCalled = true;
    CDialog::OnCancel();
  }
  afx_msg void OnApply() { EndDialog(77); }

 private:
  Script m_script;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNameDialog, CDialog)
  ON_BN_CLICKED(IDC_APPLY, &CNameDialog::OnApply)
END_MESSAGE_MAP()

TEST(Dialog, TemplateFromTheChainRunsAndExchangesData) {
  CNameDialog unchained([](CNameDialog&) {});
  EXPECT_EQ(unchained.DoModal(), -1) << "the template is only in the fixture library";

  ChainedFixture fixture;
  CNameDialog dlg([](CNameDialog& d) {
    EXPECT_EQ(CWnd::FromHandlePermanent(d.m_hWnd), &d);
    d.SetDlgItemText(IDC_NAME, "typed");
    d.Post(WM_COMMAND, IDOK);
  });
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_EQ(dlg.m_textAtInit, "initial");  // members went into the controls
  EXPECT_EQ(Text(dlg.m_strName), "typed");  // and OK brought them back
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_FALSE(IsWindow(dlg.m_hWndAtInit));
  EXPECT_EQ(CWnd::FromHandlePermanent(dlg.m_hWndAtInit), nullptr);
}

TEST(Dialog, CloseBoxAndCancelEndThroughOnCancel) {
  ChainedFixture fixture;
  const struct {
    const char* name;
    UINT message;
    WPARAM wParam;
  } cases[] = {
      {"close box", WM_SYSCOMMAND, SC_CLOSE},
      {"Cancel", WM_COMMAND, IDCANCEL},
  };
  for (const auto& c : cases) {
    CNameDialog dlg([&](CNameDialog& d) {
      d.SetDlgItemText(IDC_NAME, "discarded");
      d.Post(c.message, c.wParam);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL) << c.name;
    EXPECT_TRUE(dlg.m_bCancelCalled) << c.name;
    EXPECT_EQ(Text(dlg.m_strName), "initial") << c.name;
  }
}

TEST(Dialog, ButtonClickReachesTheDerivedClassesMap) {
  ChainedFixture fixture;
  CNameDialog dlg([](CNameDialog& d) {
    d.Post(WM_COMMAND, MAKEWPARAM(IDC_APPLY, BN_CLICKED),
           reinterpret_cast<LPARAM>(d.GetDlgItem(IDC_APPLY)->m_hWnd));
  });
  EXPECT_EQ(dlg.DoModal(), 77);
}

TEST(Dialog, FailedExchangeEndsTheDialogWithMinusOne) {
  ChainedFixture fixture;
  CNameDialog dlg([](CNameDialog& d) { d.Post(WM_COMMAND, IDOK); });
  dlg.m_nControlId = 999;  // no such control
  EXPECT_EQ(dlg.DoModal(), -1);
}

TEST(Dialog, OkStaysOpenWhileTheExchangeFails) {
  ChainedFixture fixture;
  CNameDialog dlg([](CNameDialog& d) {
    d.m_nControlId = 999;  // reading back fails from now on
    d.Post(WM_COMMAND, IDOK);
    d.Post(WM_COMMAND, IDCANCEL);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST(Dialog, NamedTemplateKeepsItsNameAndMissingOnesFail) {
  std::string name = "NAMEDDIALOG";
  CNameDialog named([](CNameDialog& d) { d.Post(WM_COMMAND, IDOK); }, name.c_str());
  name.assign("overwritten");
  named.m_nControlId = IDOK;  // the template has no edit control
  EXPECT_EQ(named.DoModal(), IDOK);

  CNameDialog missing([](CNameDialog& d) { d.Post(WM_COMMAND, IDOK); },
                      MAKEINTRESOURCEA(IDD_NOWHERE));
  EXPECT_EQ(missing.DoModal(), -1);
}

TEST(Dialog, OwnerIsTheGivenParentOrTheMainWindow) {
  ChainedFixture fixture;
  TopLevelWindow parent;
  TopLevelWindow mainWnd;
  CWnd* pOldMain = theApp.m_pMainWnd;
  theApp.m_pMainWnd = &mainWnd;

  HWND hOwner = NULL;
  auto readOwner = [&](CNameDialog& d) {
    hOwner = GetWindow(d.m_hWnd, GW_OWNER);
    d.Post(WM_COMMAND, IDOK);
  };
  CNameDialog parented(readOwner, MAKEINTRESOURCEA(IDD_NAME_DIALOG), &parent);
  EXPECT_EQ(parented.DoModal(), IDOK);
  EXPECT_EQ(hOwner, parent.m_hWnd);

  CNameDialog unparented(readOwner);
  EXPECT_EQ(unparented.DoModal(), IDOK);
  EXPECT_EQ(hOwner, mainWnd.m_hWnd);
  theApp.m_pMainWnd = pOldMain;
}

}  // namespace
