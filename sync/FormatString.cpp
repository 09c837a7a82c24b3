#include "sync/FormatString.h"

#include <stdarg.h>
#include <stdio.h>

namespace {

const int kGrowBy = 256;
// A format that never fits (an encoding error reports "no room" forever)
// stops here rather than growing without end.
const int kLargestBuffer = 1 << 20;

}  // namespace

void FormatString(CString& rString, LPCSTR lpszFormat, ...) {
  for (int nSize = kGrowBy;; nSize += kGrowBy) {
    LPSTR pBuffer = rString.GetBuffer(nSize);
    va_list args;
    va_start(args, lpszFormat);
    int nWritten = vsnprintf(pBuffer, static_cast<size_t>(nSize), lpszFormat, args);
    va_end(args);
    // Both the C99 formatter (the length needed) and the older one (-1)
    // say so when the text did not fit.
    bool bFits = nWritten >= 0 && nWritten < nSize;
    if (bFits || nSize >= kLargestBuffer) {
      pBuffer[nSize - 1] = '\0';
      break;
    }
  }
  rString.ReleaseBuffer();  // the length from the terminating zero
}
