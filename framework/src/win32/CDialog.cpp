#include "CDialog.h"

#include "AfxWinState.h"
#include "afxwin.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_COMMAND(IDOK, &CDialog::OnOK)
  ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

// The dialog procedure of every framework dialog: ties the window to its
// CDialog at WM_INITDIALOG and hands it the messages it handles. Exceptions
// stop here rather than unwinding through the system's dialog manager.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    CDialog* pDlg = reinterpret_cast<CDialog*>(lParam);
    ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
    pDlg->Attach(hWnd);
    try {
      return pDlg->OnInitDialog();
    } catch (CException* e) {
      e->Delete();
      ::EndDialog(hWnd, -1);
      return FALSE;
    }
  }

  CWnd* pWnd = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
  if (pWnd == NULL) return FALSE;
  switch (message) {
    case WM_COMMAND:
      try {
        return pWnd->OnCommand(wParam, lParam);
      } catch (CException* e) {
        e->Delete();
        return TRUE;
      }
    case WM_NCDESTROY:
      ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
      pWnd->Detach();
      return FALSE;
  }
  return FALSE;
}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_nIDHelp(0), m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {
  if (IS_INTRESOURCE(lpszTemplateName)) {
    m_nIDHelp = LOWORD(reinterpret_cast<ULONG_PTR>(lpszTemplateName));
  } else {
    // Keep the name for as long as the dialog object lives.
    m_strTemplateName = lpszTemplateName;
    m_lpszTemplateName = m_strTemplateName;
  }
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate),
      m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)),
      m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {}

int CDialog::DoModal() {
  if (m_hWnd != NULL || m_lpszTemplateName == NULL) return -1;

  HINSTANCE hInst = AfxFindResourceHandle(m_lpszTemplateName, RT_DIALOG);
  HRSRC hResource = ::FindResourceA(hInst, m_lpszTemplateName, RT_DIALOG);
  if (hResource == NULL) return -1;
  HGLOBAL hTemplate = ::LoadResource(hInst, hResource);
  LPCDLGTEMPLATEA lpTemplate =
      hTemplate != NULL ? static_cast<LPCDLGTEMPLATEA>(::LockResource(hTemplate)) : NULL;
  if (lpTemplate == NULL) return -1;

  INT_PTR nResult = ::DialogBoxIndirectParamA(hInst, lpTemplate, AfxGetSafeOwner(m_pParentWnd),
                                              AfxDlgProc, reinterpret_cast<LPARAM>(this));
  Detach();  // in case the window went without WM_NCDESTROY reaching us
  return static_cast<int>(nResult);
}

void CDialog::EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

BOOL CDialog::OnInitDialog() {
  if (!UpdateData(FALSE)) {
    EndDialog(-1);
    return FALSE;
  }
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }
