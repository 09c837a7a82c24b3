// The product title shown to the user. An installation can replace it with
// the file "Branding\branding.ini" in the program directory: section
// "Product", value "TitleShort", else "Title". Without either, the title is
// string resource 57344 (the application title), found through the
// framework's resource chain among the host application's resources. The
// file is read afresh on every call.
#pragma once

#include <afx.h>

// The full path of the branding file; FALSE (strPath unchanged) when the
// program directory is not known.
BOOL GetBrandingIniPath(CString& strPath);

// Copies the title with its terminating zero into pszBuffer; FALSE, leaving
// the buffer untouched, when it does not fit in nBufferSize bytes.
BOOL GetProductTitle(LPSTR pszBuffer, int nBufferSize);

// pszText with every "%s" replaced by the title, whatever its length. No
// other "%" sequence has a meaning.
CString ApplyProductTitle(LPCSTR pszText);
