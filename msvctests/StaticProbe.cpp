// A DLL of the Windows-ABI flavour, built with the same start-up code as
// afx.dll and LDExCore.dll, whose one static object tells the host when it
// is built and when it is destroyed.
#include <windows.h>

namespace {

LONG* g_pDestroyedFlag = NULL;

class CProbe {
 public:
  CProbe() : m_nMagic(0x5EED) {}
  ~CProbe() {
    if (g_pDestroyedFlag != NULL) *g_pDestroyedFlag = 1;
  }
  int m_nMagic;
};

CProbe g_probe;

}  // namespace

// 0x5EED once the static constructor has run.
extern "C" __declspec(dllexport) int ProbeMagic() { return g_probe.m_nMagic; }

// The flag that the static destructor sets to 1 when the DLL is unloaded.
extern "C" __declspec(dllexport) void ProbeSetDestroyedFlag(LONG* pFlag) { g_pDestroyedFlag = pFlag; }
