#include "CheckRunner.h"

#include <stdarg.h>
#include <stdio.h>

int RunChecks(const char* group, const Check* checks, int count) {
  int failed = 0;
  for (int i = 0; i < count; ++i) {
    // Named before it runs, so that a check that hangs is the last one named.
    printf("- %s: %s\n", group, checks[i].name);
    fflush(stdout);
    bool passed = checks[i].run();
    printf("%s %s: %s\n", passed ? "ok" : "FAIL", group, checks[i].name);
    fflush(stdout);
    if (!passed) ++failed;
  }
  return failed;
}

bool Fail(const char* format, ...) {
  va_list args;
  va_start(args, format);
  printf("  ");
  vprintf(format, args);
  printf("\n");
  va_end(args);
  return false;
}

bool Expect(bool cond, const char* what) {
  if (!cond) Fail("%s", what);
  return cond;
}
