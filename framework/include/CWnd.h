// A framework window: a C++ object attached to a Win32 window handle.
// Objects attached with Attach (or by a running dialog) are permanent;
// FromHandle wraps any other handle in a temporary object that the
// framework owns and frees at the thread's next idle time, at the thread's
// end, or by DeleteTempMap.
#pragma once

#include <windows.h>

#include "CCmdTarget.h"
#include "CString.h"

class CDataExchange;

class AFX_API CWnd : public CCmdTarget {
  DECLARE_DYNCREATE(CWnd)
 public:
  HWND m_hWnd;

  operator HWND() const { return m_hWnd; }
  // m_hWnd, or NULL when called through a null pointer
  // (AfxGetMainWnd()->GetSafeHwnd() is a common idiom).
  HWND GetSafeHwnd() const;

  CWnd();

  static CWnd* FromHandle(HWND hWnd);
  static CWnd* FromHandlePermanent(HWND hWnd);
  // Frees this thread's temporary window objects.
  static void DeleteTempMap();

  // Attach fails for a null handle, when this object already has a window
  // or when another object is already attached to hWndNew.
  BOOL Attach(HWND hWndNew);
  HWND Detach();

  // Destroys the window and detaches it from this object.
  virtual BOOL DestroyWindow();

  void SetWindowText(LPCTSTR lpszString);
  int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
  void GetWindowText(CString& rString) const;
  int GetWindowTextLength() const;

  BOOL EnableWindow(BOOL bEnable = TRUE);
  BOOL ShowWindow(int nCmdShow);
  CWnd* SetFocus();  // returns the window that had the focus (may be temporary)
  CWnd* GetParent() const;

  CWnd* GetDlgItem(int nID) const;
  void SetDlgItemText(int nID, LPCTSTR lpszString);
  int GetDlgItemText(int nID, LPTSTR lpStr, int nMaxCount) const;
  int GetDlgItemText(int nID, CString& rString) const;

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

  // A message box owned by this window; a null caption shows the
  // application's name.
  int MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption = NULL, UINT nType = MB_OK);

  // Starts the help engine on the application's help file for this
  // window's top-level window.
  virtual void WinHelp(DWORD dwData, UINT nCmd = HELP_CONTEXT);

  // Runs DoDataExchange: from the controls into the members when
  // bSaveAndValidate, the other way otherwise. FALSE when the exchange
  // failed (a control is missing or a validation failed).
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

 protected:
  // Routes WM_COMMAND through the message maps (OnCmdMsg).
  virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
  virtual void DoDataExchange(CDataExchange* pDX);

 public:
  // Destroys a window that is still attached.
  virtual ~CWnd();

  friend INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM);

  DECLARE_MESSAGE_MAP()
};
