#include "packages/CExtensionPackageDlg.h"

#include "frame/resource.h"
#include "template/BrandingText.h"

BEGIN_MESSAGE_MAP(CExtensionPackageDlg, CDialog)
END_MESSAGE_MAP()

CExtensionPackageDlg::CExtensionPackageDlg(CWnd* pParent) : CDialog(IDD_EXTENSION_PACKAGE, pParent) {}

CExtensionPackageDlg::~CExtensionPackageDlg() {}

void CExtensionPackageDlg::DoDataExchange(CDataExchange* pDX) {}

BOOL CExtensionPackageDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  const int textIds[] = {IDC_EXTENSION_TEXT, IDC_EXTENSION_RETURN_TEXT};
  for (int id : textIds) {
    CWnd* pText = GetDlgItem(id);
    if (pText == NULL) continue;
    CString strText;
    pText->GetWindowText(strText);
    pText->SetWindowText(ApplyProductTitle(strText));
  }
  return TRUE;
}
