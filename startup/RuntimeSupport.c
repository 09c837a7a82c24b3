/* What the compiler expects a C runtime's start-up objects to define. */
#include <windows.h>

/* Referenced by every module that uses floating point. */
int _fltused = 0x9875;

/* Called where an exception would leave a noexcept function. */
extern void __cdecl LdxTerminate(void) __asm__("?terminate@@YAXXZ");
void __cdecl __std_terminate(void) { LdxTerminate(); }

/* The virtual table of type_info that the compiler's type descriptors point
   to (for exceptions and RTTI). Nobody destroys a type descriptor, so its
   one slot, the destructor, is never called. */
__attribute__((used)) static void __fastcall LdxTypeInfoDestructor(void* pThis) { (void)pThis; }
__asm__(".section .rdata,\"dr\"\n"
        ".globl \"??_7type_info@@6B@\"\n"
        ".p2align 2\n"
        "\"??_7type_info@@6B@\":\n"
        ".long @LdxTypeInfoDestructor@4\n"
        ".text\n");

/* The thread-local storage directory: the loader gives every thread a copy
   of the .tls sections, bracketed here, and stores its slot in _tls_index. */
ULONG _tls_index = 0;
/* Where the thread's block holds its array of TLS copies (fs:[2Ch]). */
__asm__(".globl __tls_array\n.set __tls_array, 0x2C\n");
#pragma section(".tls", read, write)
#pragma section(".tls$ZZZ", read, write)
__declspec(allocate(".tls")) char _tls_start = 0;
__declspec(allocate(".tls$ZZZ")) char _tls_end = 0;
#pragma section(".CRT$XLA", read)
#pragma section(".CRT$XLZ", read)
__declspec(allocate(".CRT$XLA")) PIMAGE_TLS_CALLBACK __xl_a = 0;
__declspec(allocate(".CRT$XLZ")) PIMAGE_TLS_CALLBACK __xl_z = 0;
const IMAGE_TLS_DIRECTORY _tls_used = {
    (ULONG)(ULONG_PTR)&_tls_start, (ULONG)(ULONG_PTR)&_tls_end, (ULONG)(ULONG_PTR)&_tls_index,
    (ULONG)(ULONG_PTR)(&__xl_a + 1), 0, 0};
