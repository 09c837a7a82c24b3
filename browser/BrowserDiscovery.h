// Which browsers are installed and which one the system uses for HTML
// files, found once per process.
//
// Discovery runs on the first query (or DiscoverBrowsers) and is never
// repeated in the process: later installs and removals are not seen. It takes
// no lock; make the first query from one thread before other threads query.
#pragma once

#include <afx.h>

#include "browser/CBrowserInfo.h"

// The five kinds of installation, filled by discovery and kept for the life
// of the process.
extern AFX_EXT_DATA CBrowserInfo g_browserNetscape32;  // Netscape Navigator 32-bit (App Paths)
extern AFX_EXT_DATA CBrowserInfo g_browserIExplore;    // Internet Explorer (App Paths)
extern AFX_EXT_DATA CBrowserInfo g_browserMosaic;      // NCSA Mosaic (App Paths)
extern AFX_EXT_DATA CBrowserInfo g_browserNetscape16;  // Netscape Navigator 16-bit (NETSCAPE.INI)
extern AFX_EXT_DATA CBrowserInfo g_browserMosaicIni;   // NCSA Mosaic known only from MOSAIC.INI
// The browser that opens HTML files, else the first one found; null when
// there is none.
extern AFX_EXT_DATA CBrowserInfo* g_pSelectedBrowser;
extern AFX_EXT_DATA BOOL g_bBrowsersDiscovered;

void DiscoverBrowsers();

int IsNetscapeInstalled();  // 32-bit or 16-bit
int IsNetscapeSelected();   // the 32-bit record is the selected one
int IsIExploreInstalled();
int IsMosaicInstalled();  // registered or known from its INI file
// Reads App Paths afresh on every call, without discovery: the registered
// Netscape.exe names an existing file.
int IsNetscape32Registered();

// The class of HTML files: the unnamed value of ".htm" (else ".html") when
// that key's "Content Type" is exactly "text/html".
BOOL GetHtmlFileClass(CString& strClassName);
// The program of a class's default shell verb (else "open"), taken from the
// command's text; found only when that file exists, and then quoted when it
// holds a blank. strExePath is assigned only when found.
BOOL GetShellOpenExecutable(LPCSTR lpszClassName, CString& strExePath);
