// Window objects: permanent and temporary wrappers of window handles, the
// window text helpers, and command routing through message maps.
#include <gtest/gtest.h>

#include <vector>

#include "FrameworkWinTest.h"

namespace {

const int kEditId = 5;

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_hEdit = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 50, 20, m_top.m_hWnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), NULL, NULL);
    ASSERT_NE(m_hEdit, nullptr);
  }
  TopLevelWindow m_top;
  HWND m_hEdit = NULL;
};

TEST_F(WindowTest, HandlesMapToPermanentOrTemporaryObjects) {
  EXPECT_EQ(CWnd::FromHandle(m_top.m_hWnd), &m_top);
  EXPECT_EQ(CWnd::FromHandlePermanent(m_top.m_hWnd), &m_top);

  CWnd* pEdit = CWnd::FromHandle(m_hEdit);
  ASSERT_NE(pEdit, nullptr);
  EXPECT_EQ(pEdit->m_hWnd, m_hEdit);
  EXPECT_EQ(CWnd::FromHandle(m_hEdit), pEdit) << "one wrapper per handle and thread";
  EXPECT_EQ(CWnd::FromHandlePermanent(m_hEdit), nullptr);
  EXPECT_EQ(pEdit->GetParent(), &m_top);
  EXPECT_EQ(m_top.GetDlgItem(kEditId), pEdit);
  EXPECT_EQ(m_top.GetDlgItem(99), nullptr);
  EXPECT_EQ(CWnd::FromHandle(NULL), nullptr);

  CWnd::DeleteTempMap();
  EXPECT_TRUE(IsWindow(m_hEdit)) << "freeing a wrapper leaves its window";

  CWnd edit;
  EXPECT_TRUE(edit.Attach(m_hEdit));
  EXPECT_EQ(CWnd::FromHandle(m_hEdit), &edit);
  CWnd second;
  EXPECT_FALSE(second.Attach(m_hEdit)) << "a window has one permanent object";
  EXPECT_FALSE(second.Attach(NULL));
  EXPECT_EQ(edit.Detach(), m_hEdit);
  EXPECT_EQ(edit.m_hWnd, nullptr);
  EXPECT_EQ(CWnd::FromHandlePermanent(m_hEdit), nullptr);
}

TEST_F(WindowTest, AttachedObjectTakesItsWindowAlong) {
  HWND hWnd;
  {
    TopLevelWindow doomed;
    hWnd = doomed.m_hWnd;
    ASSERT_TRUE(IsWindow(hWnd));
  }
  EXPECT_FALSE(IsWindow(hWnd));
  EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), nullptr);

  TopLevelWindow destroyed;
  hWnd = destroyed.m_hWnd;
  EXPECT_TRUE(destroyed.DestroyWindow());
  EXPECT_EQ(destroyed.m_hWnd, nullptr);
  EXPECT_FALSE(IsWindow(hWnd));
  EXPECT_FALSE(destroyed.DestroyWindow());
}

TEST_F(WindowTest, TextHelpersReadAndWriteWindowTexts) {
  m_top.SetDlgItemText(kEditId, "item text");
  CString text;
  EXPECT_EQ(m_top.GetDlgItemText(kEditId, text), 9);
  EXPECT_EQ(Text(text), "item text");
  char buf[5];
  EXPECT_EQ(m_top.GetDlgItemText(kEditId, buf, sizeof(buf)), 4);
  EXPECT_STREQ(buf, "item");

  text = "stale";
  EXPECT_EQ(m_top.GetDlgItemText(99, text), 0);
  EXPECT_TRUE(text.IsEmpty());

  m_top.SetWindowText("window title");
  m_top.GetWindowText(text);
  EXPECT_EQ(Text(text), "window title");
  EXPECT_EQ(m_top.GetWindowTextLength(), 12);
  m_top.SetWindowText("");
  m_top.GetWindowText(text);
  EXPECT_TRUE(text.IsEmpty());
}

TEST_F(WindowTest, StateAndMessagesPassThrough) {
  CWnd* pEdit = m_top.GetDlgItem(kEditId);
  EXPECT_FALSE(pEdit->EnableWindow(FALSE));  // it was enabled
  EXPECT_FALSE(IsWindowEnabled(m_hEdit));
  EXPECT_TRUE(pEdit->EnableWindow(TRUE));
  EXPECT_FALSE(m_top.ShowWindow(SW_SHOWNA));  // it was hidden
  EXPECT_TRUE(IsWindowVisible(m_top.m_hWnd));
  EXPECT_EQ(pEdit->SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("sent")), TRUE);
  EXPECT_TRUE(pEdit->PostMessage(WM_NULL));

  CWnd* pNull = NULL;
  EXPECT_EQ(pNull->GetSafeHwnd(), nullptr);
  EXPECT_EQ(m_top.GetSafeHwnd(), m_top.m_hWnd);
  EXPECT_EQ(static_cast<HWND>(m_top), m_top.m_hWnd);
}

// Command routing without windows: the most derived map first, then the
// base class's.
class CBaseTarget : public CCmdTarget {
 public:
  std::vector<const char*> m_calls;
  afx_msg void OnOpen() { m_calls.push_back("base open"); }
  afx_msg void OnSave() { m_calls.push_back("base save"); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CBaseTarget, CCmdTarget)
  ON_COMMAND(100, &CBaseTarget::OnOpen)
  ON_COMMAND(101, &CBaseTarget::OnSave)
END_MESSAGE_MAP()

class CDerivedTarget : public CBaseTarget {
 public:
  afx_msg void OnSaveHere() { m_calls.push_back("derived save"); }
  afx_msg void OnClicked() { m_calls.push_back("derived clicked"); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
  ON_COMMAND(101, &CDerivedTarget::OnSaveHere)
  ON_CONTROL(EN_CHANGE, 102, &CDerivedTarget::OnClicked)
END_MESSAGE_MAP()

TEST(MessageMap, CommandsRouteToTheMostDerivedHandler) {
  CDerivedTarget target;
  EXPECT_TRUE(target.OnCmdMsg(100, CN_COMMAND, NULL, NULL));
  EXPECT_TRUE(target.OnCmdMsg(101, CN_COMMAND, NULL, NULL));
  EXPECT_TRUE(target.OnCmdMsg(102, EN_CHANGE, NULL, NULL));
  EXPECT_FALSE(target.OnCmdMsg(102, CN_COMMAND, NULL, NULL)) << "other notification code";
  EXPECT_FALSE(target.OnCmdMsg(103, CN_COMMAND, NULL, NULL));
  EXPECT_EQ(target.m_calls, (std::vector<const char*>{"base open", "derived save", "derived clicked"}));

  AFX_CMDHANDLERINFO info = {};
  EXPECT_TRUE(target.OnCmdMsg(100, CN_COMMAND, NULL, &info));
  EXPECT_EQ(info.pTarget, &target);
  EXPECT_EQ(target.m_calls.size(), 3u) << "asking for the handler does not call it";
}

}  // namespace
