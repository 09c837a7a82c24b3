// The offer to download missing packages. On the user's yes the requests go
// into the package file "package1.ini" of the program directory's
// "Packages\" folder, shared with the package downloader "ldsdnl.exe" there,
// which is then started without waiting for it.
//
// Messages go to the parent's message box when a parent is given (after it
// got the keyboard focus when bSetFocus is set), else to the application's
// message box. Without a program directory, a package file or a way to make
// that file writable, the user is told and nothing is written or started.
#pragma once

#include <afxwin.h>

// Asks whether to download the packages of the mask (PKG_* bits); on yes
// marks them "A" in the package file, turns earlier "A" marks into "B", and
// starts the downloader.
void OfferPackageDownload(CWnd* pParent, UINT nPackages, BOOL bSetFocus);
// Asks whether to fetch the latest Verity package, which a saved search or
// history item needs; on yes requests it as OfferPackageDownload does. The
// focus is never moved.
void OfferVerityUpdate(CWnd* pParent);
