// Stand-in for the database engine library: records every call (ordinal,
// arguments, calling thread) in memory for tests to read.
#include "ctreestd.h"

namespace {

const int kMaxCalls = 4096;

CRITICAL_SECTION g_lock;
CtreeCall g_calls[kMaxCalls];
int g_count = 0;

int Record(int ordinal, int argCount, int a = 0, int b = 0, int c = 0) {
  EnterCriticalSection(&g_lock);
  if (g_count < kMaxCalls) {
    CtreeCall& call = g_calls[g_count++];
    call.ordinal = ordinal;
    call.argCount = argCount;
    call.args[0] = a;
    call.args[1] = b;
    call.args[2] = c;
    call.threadId = GetCurrentThreadId();
  }
  LeaveCriticalSection(&g_lock);
  return 0;
}

}  // namespace

extern "C" {

int __cdecl ctEngineOrdinal15(void) { return Record(15, 0); }
int __cdecl ctEngineOrdinal50(int a, int b, int c) { return Record(50, 3, a, b, c); }
int __cdecl ctEngineOrdinal68(void) { return Record(68, 0); }
int __cdecl ctEngineOrdinal119(int a, int b, int c) { return Record(119, 3, a, b, c); }
int __cdecl ctEngineOrdinal292(void) { return Record(292, 0); }
int __cdecl ctEngineOrdinal293(void) { return Record(293, 0); }

int __cdecl ctStandinCallCount(void) {
  EnterCriticalSection(&g_lock);
  int count = g_count;
  LeaveCriticalSection(&g_lock);
  return count;
}

BOOL __cdecl ctStandinGetCall(int index, CtreeCall* call) {
  EnterCriticalSection(&g_lock);
  BOOL found = index >= 0 && index < g_count;
  if (found) *call = g_calls[index];
  LeaveCriticalSection(&g_lock);
  return found;
}

void __cdecl ctStandinReset(void) {
  EnterCriticalSection(&g_lock);
  g_count = 0;
  LeaveCriticalSection(&g_lock);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) InitializeCriticalSection(&g_lock);
  if (reason == DLL_PROCESS_DETACH) DeleteCriticalSection(&g_lock);
  return TRUE;
}

}
