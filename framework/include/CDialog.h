// A modal dialog box made from a dialog template resource, found through the
// resource chain (the application first, then every chained library).
#pragma once

#include <windows.h>

#include "CString.h"
#include "CWnd.h"

class AFX_API CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)
 public:
  CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
  CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);

  // Runs the dialog and returns the value given to EndDialog; -1 when the
  // template is not found, the dialog cannot be created, or this object
  // already runs one.
  virtual int DoModal();

  void EndDialog(int nResult);

  // WM_INITDIALOG: UpdateData(FALSE); TRUE lets the dialog manager set the
  // focus. When the exchange fails the dialog ends with -1.
  virtual BOOL OnInitDialog();

 protected:
  // IDOK: UpdateData(TRUE), then EndDialog(IDOK); stays open when the
  // exchange fails.
  virtual void OnOK();
  // IDCANCEL (also the close box): EndDialog(IDCANCEL).
  virtual void OnCancel();

 public:
  virtual ~CDialog();

 protected:
  UINT m_nIDHelp;              // the template id for numbered templates
  LPCTSTR m_lpszTemplateName;  // name or MAKEINTRESOURCE(id)
  CWnd* m_pParentWnd;          // owner; NULL: the main or active window

 private:
  CString m_strTemplateName;  // copy of a named template's name

  DECLARE_MESSAGE_MAP()
};
