// Whether the optional add-on packages (linguistic engine, its English
// dictionary, help) are installed, by the files each one leaves and their
// last-modified dates, and the checks that offer a download when one is
// missing. The tests look at the files again on every call.
#pragma once

#include <afxwin.h>

// Package bits, passed between the checks and the download offer. Both
// Verity bits name one package.
enum {
  PKG_VERITY = 1,
  PKG_VERITY_ENGLISH = 2,
  PKG_SPELL = 4,
  PKG_HELP = 8,
};

// Product directory + "Help\Lodestar.hlp", dated 4 May 2000 or later. FALSE
// when the product directory is not known.
BOOL IsHelpPackageInstalled();
// The engine's licence, style lexicon and library, each dated no earlier
// than its release; with bTryLoad the library "vdk200.dll" must also load
// (through the system's search order, without an error box). FALSE when the
// program directory is not known.
BOOL IsVerityPackageInstalled(BOOL bTryLoad);
// Program directory + "common\English\vdk20.syd", of any date. FALSE when
// the program directory is not known.
BOOL IsVerityEnglishInstalled();

// TRUE when the package is installed; otherwise OfferPackageDownload for it
// and FALSE.
BOOL CheckHelpPackage(CWnd* pParent, BOOL bSetFocus);
BOOL CheckVerityPackage(CWnd* pParent, BOOL bSetFocus);
// Runs both the English and the engine test and offers what either lacks
// (the engine package once, whichever failed).
BOOL CheckVerityEnglishPackage(CWnd* pParent, BOOL bSetFocus);
