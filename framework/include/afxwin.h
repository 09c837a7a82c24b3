// The Windows part of the framework: application and thread objects,
// windows and dialogs, message maps, the resource chain of extension
// modules, message boxes, file status and time.
#pragma once

#include <windows.h>

#include "afx.h"
#include "AFX_EXTENSION_MODULE.h"
#include "CCmdTarget.h"
#include "CDataExchange.h"
#include "CDialog.h"
#include "CDynLinkLibrary.h"
#include "CException.h"
#include "CFile.h"
#include "CFileException.h"
#include "CFileStatus.h"
#include "CTime.h"
#include "CUserException.h"
#include "CWinApp.h"
#include "CWinThread.h"
#include "CWnd.h"
