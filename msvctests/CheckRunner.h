// A small table-driven check runner for the Windows-ABI host checks, which
// have no C++ standard library and so no GoogleTest: each group of checks
// is a table of named functions; the runner prints "ok NAME" or "FAIL NAME"
// with the failures' details, and counts the failed ones.
#pragma once

struct Check {
  const char* name;
  bool (*run)();
};

// Runs every check of a table, printing one line each; returns the number
// of checks that failed.
int RunChecks(const char* group, const Check* checks, int count);

// Prints a detail of the failing check (printf format); returns false so
// that a check can end with "return Fail(...)".
bool Fail(const char* format, ...);

// Records whether cond holds, printing what when it does not; returns cond.
bool Expect(bool cond, const char* what);

// The stack pointer where this is used: two readings in one function, with
// calls into the library between them, differ when a callee removed more
// or fewer argument bytes than its caller pushed.
inline unsigned StackPointer() {
  unsigned value;
  __asm__ volatile("movl %%esp, %0" : "=r"(value));
  return value;
}

#define CHECK_COUNT(table) static_cast<int>(sizeof(table) / sizeof((table)[0]))
