#include "html/ByteSearch.h"

#include <stdlib.h>

#if defined(__i386__) && !defined(__SSE2__)
#include <cpuid.h>
#endif

namespace byte_search {

namespace detail {

int g_nForm = -1;

// A racing first use in two threads chooses the same form twice.
Form ChooseForm() {
  // The test switch, read once from the environment of the process.
  const char* pszForm = getenv("LDX_BYTE_SEARCH");
  Form form = ProcessorHasSse2() && !(pszForm && strcmp(pszForm, "word") == 0) ? kSse2 : kWord;
  g_nForm = form;
  return form;
}

}  // namespace detail

bool ProcessorHasSse2() {
#if defined(__SSE2__)
  return true;  // compiled for a processor that has it
#elif defined(__i386__)
  unsigned eax, ebx, ecx, edx;
  return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & bit_SSE2) != 0;
#else
  return false;
#endif
}

void SetForm(Form form) { detail::g_nForm = form == kSse2 && !ProcessorHasSse2() ? kWord : form; }

}  // namespace byte_search
