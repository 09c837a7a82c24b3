// Resource ids of the framework, for resource scripts and code.
#pragma once

#ifdef RC_INVOKED
#  include <winresrc.h>
#else
#  include <windows.h>
#endif

#ifndef IDC_STATIC
#  define IDC_STATIC (-1)
#endif

// The application's title string: AfxWinInit names an application that has
// no name of its own after it.
#define AFX_IDS_APP_TITLE 0xE000
