// Asks the user, before a search area outside the default package is used,
// whether to fetch the free search area extension package. A modal dialog
// on the library's dialog template 101 whose two texts name the product
// (their "%s" replaced by the product title). DoModal gives IDOK for
// Continue and IDCANCEL for Cancel or the close box.
#pragma once

#include <afxwin.h>

class CExtensionPackageDlg : public CDialog {
 public:
  explicit CExtensionPackageDlg(CWnd* pParent = NULL);
  ~CExtensionPackageDlg() override;

  BOOL OnInitDialog() override;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

  DECLARE_EXT_MESSAGE_MAP()
};
