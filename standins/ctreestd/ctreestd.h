// The six entry points of the database engine library that LDExCore calls,
// bound by ordinal only (the module-definition file gives no names), and the
// stand-in's record of the calls it received.
#pragma once

#include <windows.h>

extern "C" {

// Engine entry points: C calling convention, results ignored by the caller.
int __cdecl ctEngineOrdinal15(void);
int __cdecl ctEngineOrdinal50(int a, int b, int c);
int __cdecl ctEngineOrdinal68(void);
int __cdecl ctEngineOrdinal119(int a, int b, int c);
int __cdecl ctEngineOrdinal292(void);
int __cdecl ctEngineOrdinal293(void);

// One recorded call.
struct CtreeCall {
  int ordinal;
  int argCount;
  int args[3];
  DWORD threadId;
};

// Record access for tests, exported by ordinal only as well.
typedef int(__cdecl* CtreeCallCountFn)(void);
typedef BOOL(__cdecl* CtreeGetCallFn)(int index, CtreeCall* call);
typedef void(__cdecl* CtreeResetFn)(void);
enum { kCtreeCallCountOrdinal = 1001, kCtreeGetCallOrdinal = 1002, kCtreeResetOrdinal = 1003 };

}
