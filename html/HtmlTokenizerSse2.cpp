// The tokenizer's chunk loop compiled for processors with SSE2. Parse runs
// it only where the processor has SSE2; the rest of the library keeps to
// the processor it is compiled for. Everything below the target switch is
// a template instance for the SSE2 form or local to this file, so no code
// built for SSE2 can stand in for code shared with other files.
#include <string.h>

#include "html/ByteSearch.h"
#include "html/CHtmlTokenizer.h"
#include "html/HtmlCharRefs.h"

#if defined(LDX_HAVE_SSE2_FORM)

#if !defined(__SSE2__)
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("sse2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("sse2")
#endif
#endif

#include "html/CharRefReading.inl"
#include "html/HtmlTokenizerFastPaths.inl"

template BOOL CHtmlTokenizer::ParseIn<byte_search::Sse2Form>(LPCSTR p, LPCSTR pEnd);
template LPCSTR CHtmlTokenizer::ScanTextIn<byte_search::Sse2Form>(LPCSTR p, LPCSTR pEnd);
template LPCSTR CHtmlTokenizer::ScanCommentIn<byte_search::Sse2Form>(LPCSTR p, LPCSTR pEnd);

#if !defined(__SSE2__)
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
#endif

#endif
