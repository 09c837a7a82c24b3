#include "CWnd.h"

#include "AfxWinState.h"
#include "afxwin.h"

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

CWnd::CWnd() : m_hWnd(NULL) {}

CWnd::~CWnd() {
  if (m_hWnd != NULL) {
    // An object that goes away takes its window along; a window of another
    // thread cannot be destroyed from here and is only let go.
    ::DestroyWindow(m_hWnd);
    Detach();
  }
}

HWND CWnd::GetSafeHwnd() const {
  // Callers reach this through null pointers on purpose; keep the compiler
  // from assuming that 'this' is never null.
  const CWnd* pThis = this;
  __asm__("" : "+r"(pThis));
  return pThis != NULL ? pThis->m_hWnd : NULL;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
  if (hWnd == NULL) return NULL;
  AfxProcessState& state = AfxGetProcessState();
  AfxLockGlobals lock;
  return state.permanentWindows.Lookup(hWnd);
}

CWnd* CWnd::FromHandle(HWND hWnd) {
  if (hWnd == NULL) return NULL;
  CWnd* pWnd = FromHandlePermanent(hWnd);
  if (pWnd != NULL) return pWnd;

  AfxThreadState* pThreadState = AfxGetThreadState();
  if (pThreadState == NULL) return NULL;
  pWnd = pThreadState->temporaryWindows.Lookup(hWnd);
  if (pWnd == NULL) {
    pWnd = new CWnd;
    if (!pThreadState->temporaryWindows.Add(hWnd, pWnd)) {
      delete pWnd;
      return NULL;
    }
  }
  pWnd->m_hWnd = hWnd;  // also when someone detached or destroyed it meanwhile
  return pWnd;
}

void CWnd::DeleteTempMap() { AfxDeleteTempWindows(); }

BOOL CWnd::Attach(HWND hWndNew) {
  if (hWndNew == NULL || m_hWnd != NULL) return FALSE;
  AfxProcessState& state = AfxGetProcessState();
  AfxLockGlobals lock;
  if (!state.permanentWindows.Add(hWndNew, this)) return FALSE;
  m_hWnd = hWndNew;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  if (hWnd != NULL) {
    AfxProcessState& state = AfxGetProcessState();
    AfxLockGlobals lock;
    state.permanentWindows.Remove(hWnd, this);
  }
  m_hWnd = NULL;
  return hWnd;
}

BOOL CWnd::DestroyWindow() {
  if (m_hWnd == NULL) return FALSE;
  BOOL bResult = ::DestroyWindow(m_hWnd);
  // A window that is gone already is let go as well.
  if (bResult || !::IsWindow(m_hWnd)) Detach();
  return bResult;
}

void CWnd::SetWindowText(LPCTSTR lpszString) { ::SetWindowTextA(m_hWnd, lpszString); }

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
  return ::GetWindowTextA(m_hWnd, lpszStringBuf, nMaxCount);
}

namespace {

// The text of hWnd into rString; empty when the window has none.
void ReadWindowText(HWND hWnd, CString& rString) {
  rString.Empty();
  if (hWnd == NULL) return;
  int nLen = ::GetWindowTextLengthA(hWnd);
  if (nLen <= 0) return;
  ::GetWindowTextA(hWnd, rString.GetBufferSetLength(nLen), nLen + 1);
  rString.ReleaseBuffer();
}

}  // namespace

void CWnd::GetWindowText(CString& rString) const { ReadWindowText(m_hWnd, rString); }

int CWnd::GetWindowTextLength() const { return ::GetWindowTextLengthA(m_hWnd); }

BOOL CWnd::EnableWindow(BOOL bEnable) { return ::EnableWindow(m_hWnd, bEnable); }

BOOL CWnd::ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }

CWnd* CWnd::SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

CWnd* CWnd::GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }

void CWnd::SetDlgItemText(int nID, LPCTSTR lpszString) {
  ::SetDlgItemTextA(m_hWnd, nID, lpszString);
}

int CWnd::GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const {
  return static_cast<int>(::GetDlgItemTextA(m_hWnd, nID, lpStr, nMaxCount));
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
  ReadWindowText(::GetDlgItem(m_hWnd, nID), rString);
  return rString.GetLength();
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageA(m_hWnd, message, wParam, lParam);
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
  if (lpszCaption == NULL) lpszCaption = AfxGetAppName();
  return ::MessageBoxA(GetSafeHwnd(), lpszText, lpszCaption, nType);
}

void CWnd::WinHelp(DWORD dwData, UINT nCmd) {
  CWinApp* pApp = AfxGetApp();
  LPCTSTR lpszHelpFile = pApp != NULL ? pApp->m_pszHelpFilePath : NULL;
  HWND hWndTop = m_hWnd != NULL ? ::GetAncestor(m_hWnd, GA_ROOT) : NULL;
  ::WinHelpA(hWndTop != NULL ? hWndTop : m_hWnd, lpszHelpFile, nCmd, dwData);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx(this, bSaveAndValidate);

  // Controls that the exchange changes notify this window; those
  // notifications are not handlers' business.
  AfxThreadState* pThreadState = AfxGetThreadState();
  HWND hWndOldLockout = pThreadState != NULL ? pThreadState->hLockoutNotifyWindow : NULL;
  if (pThreadState != NULL) pThreadState->hLockoutNotifyWindow = m_hWnd;

  BOOL bOK = FALSE;
  try {
    DoDataExchange(&dx);
    bOK = TRUE;
  } catch (CException* e) {
    e->Delete();
  }
  if (pThreadState != NULL) pThreadState->hLockoutNotifyWindow = hWndOldLockout;
  return bOK;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
  UINT nID = LOWORD(wParam);
  HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
  int nCode = HIWORD(wParam);
  if (hWndCtrl == NULL) {
    nCode = CN_COMMAND;  // menu or accelerator
  } else {
    AfxThreadState* pThreadState = AfxPeekThreadState();
    if (pThreadState != NULL && pThreadState->hLockoutNotifyWindow == m_hWnd) return TRUE;
  }
  if (nID == 0) return FALSE;
  return OnCmdMsg(nID, nCode, NULL, NULL);
}

void CWnd::DoDataExchange(CDataExchange*) {}
