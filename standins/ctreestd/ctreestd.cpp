// Stand-in for the database engine library: records every call (ordinal,
// arguments, calling thread) in memory for tests to read.
#include "ctreestd.h"

#include "standins/CallRecorder.h"

namespace {

CallRecorder<CtreeCall, 4096> g_calls;

int Record(int ordinal, int argCount, int a = 0, int b = 0, int c = 0) {
  g_calls.Add([&](CtreeCall& call) {
    call.ordinal = ordinal;
    call.argCount = argCount;
    call.args[0] = a;
    call.args[1] = b;
    call.args[2] = c;
    call.threadId = GetCurrentThreadId();
  });
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

int __cdecl ctStandinCallCount(void) { return g_calls.Count(); }

BOOL __cdecl ctStandinGetCall(int index, CtreeCall* call) { return g_calls.Get(index, call); }

void __cdecl ctStandinReset(void) { g_calls.Reset(); }

}
