// Dialog data exchange: moves values between a window's controls and the
// members of its C++ object, in the direction m_bSaveAndValidate says.
#pragma once

#include <windows.h>

#include "CString.h"
#include "afxver.h"

class CWnd;

class AFX_API CDataExchange {
 public:
  BOOL m_bSaveAndValidate;  // TRUE: controls -> members
  CWnd* m_pDlgWnd;          // the window whose controls are exchanged

  // The control's handle; a missing control fails the exchange (Fail).
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);
  // Ends the exchange with a CUserException; when saving, first gives the
  // focus back to the control that was being read.
  [[noreturn]] void Fail();

  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);
  HWND m_hWndLastControl;
  BOOL m_bEditLastControl;
};

AFX_API void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
