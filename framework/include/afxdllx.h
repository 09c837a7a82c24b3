// What an extension module (a DLL that extends the framework) uses: its
// module record and the resource chain entries.
#pragma once

#include "afxwin.h"
#include "AFX_EXTENSION_MODULE.h"
#include "CDynLinkLibrary.h"
