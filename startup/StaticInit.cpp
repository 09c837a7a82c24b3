#include "StaticInit.h"

// Not <stdlib.h>: its atexit is msvcrt.dll's, the one below the module's.
#include <malloc.h>

typedef void(__cdecl* LdxInitFunction)(void);

extern "C" void __cdecl _initterm(LdxInitFunction* pBegin, LdxInitFunction* pEnd);

// The compiler puts a pointer to each static constructor into .CRT$XCU; the
// linker sorts the .CRT$ sections by their suffix, so these two bracket them.
#pragma section(".CRT$XCA", read)
#pragma section(".CRT$XCZ", read)
__declspec(allocate(".CRT$XCA")) LdxInitFunction g_ldxConstructorsBegin[] = {0};
__declspec(allocate(".CRT$XCZ")) LdxInitFunction g_ldxConstructorsEnd[] = {0};

namespace {

LdxInitFunction* g_pExitList = NULL;
int g_nExitCount = 0;
int g_nExitCapacity = 0;

}  // namespace

void LdxRunStaticConstructors() { _initterm(g_ldxConstructorsBegin, g_ldxConstructorsEnd); }

// The compiler registers the destructor of every static object here, after
// its constructor ran. The list is the module's own: a DLL's objects are
// destroyed when it is unloaded, not when the process ends.
extern "C" int __cdecl atexit(LdxInitFunction pFunction) {
  if (g_nExitCount == g_nExitCapacity) {
    int nCapacity = g_nExitCapacity == 0 ? 32 : g_nExitCapacity * 2;
    void* pList = realloc(g_pExitList, nCapacity * sizeof(LdxInitFunction));
    if (pList == NULL) return -1;
    g_pExitList = static_cast<LdxInitFunction*>(pList);
    g_nExitCapacity = nCapacity;
  }
  g_pExitList[g_nExitCount++] = pFunction;
  return 0;
}

void LdxRunExitList() {
  while (g_nExitCount > 0) g_pExitList[--g_nExitCount]();
  free(g_pExitList);
  g_pExitList = NULL;
  g_nExitCapacity = 0;
}
