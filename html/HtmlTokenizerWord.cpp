// The tokenizer's chunk loop for processors without SSE2: searches a word
// at a time.
#include <string.h>

#include "html/ByteSearch.h"
#include "html/CHtmlTokenizer.h"
#include "html/HtmlCharRefs.h"

#include "html/CharRefReading.inl"
#include "html/HtmlTokenizerFastPaths.inl"

template BOOL CHtmlTokenizer::ParseIn<byte_search::WordForm>(LPCSTR p, LPCSTR pEnd);
template LPCSTR CHtmlTokenizer::ScanTextIn<byte_search::WordForm>(LPCSTR p, LPCSTR pEnd);
template LPCSTR CHtmlTokenizer::ScanCommentIn<byte_search::WordForm>(LPCSTR p, LPCSTR pEnd);
