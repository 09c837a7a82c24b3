// DllMain of a DLL that has none of its own: the linker takes it from this
// library only when the module does not define one.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
