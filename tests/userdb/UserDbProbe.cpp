// Helper process of the user database tests: the library keeps the program
// directory once it has read it, so a binding without a program directory
// is seen in a process of its own. Prints, one "key=value" line each, the
// library path, IsAvailable, the result of a forwarding call and the number
// of boxes that opened (each is dismissed).
#include <stdio.h>
#include <windows.h>

#include "BoxScript.h"
#include "userdb/CUserDbLink.h"

int main() {
  BoxScript boxes;
  CUserDbLink link;
  CString path("untouched");
  link.GetLibraryPath(path);
  BOOL available = link.IsAvailable();
  DWORD result = link.GetReportCount(1);
  printf("Path=%s\nPrepared=%s\nAvailable=%d\nResult=%lu\nBoxes=%d\n", static_cast<LPCSTR>(path),
         static_cast<LPCSTR>(link.GetPath()), available, static_cast<unsigned long>(result),
         static_cast<int>(boxes.Captured().size()));
  return 0;
}
