#include "html/SinkText.h"

#include "html/ByteSearch.h"

namespace {

// From this length on a text is copied whole and then searched for zeros.
const int kLongText = 256;

void ReplaceZeroBytesWithSpaces(char* p, char* pEnd) {
  while (p < pEnd && (p = static_cast<char*>(memchr(p, '\0', static_cast<size_t>(pEnd - p)))) != NULL) *p++ = ' ';
}

// Copies a word at a time from byte i on while none of the bytes is zero;
// returns how far it got.
int CopyWordsWithoutZeros(char* pDest, const char* pSource, int i, int nLength) {
  using byte_search::Word;
  for (; nLength - i >= static_cast<int>(sizeof(Word)); i += sizeof(Word)) {
    Word word = byte_search::LoadWord(pSource + i);
    if (byte_search::FirstZeroBytes(word)) break;
    memcpy(pDest + i, &word, sizeof word);
  }
  return i;
}

#if defined(LDX_HAVE_SSE2_FORM)
// The same sixteen bytes at a time, then a word at a time.
__attribute__((target("sse2"))) int CopySixteensWithoutZeros(char* pDest, const char* pSource, int nLength) {
  int i = 0;
  for (; nLength - i >= 16 && !byte_search::HasZeroInFirst(byte_search::Sse2Form(), pSource + i, 16); i += 16)
    byte_search::Copy16(byte_search::Sse2Form(), pDest + i, pSource + i);
  return CopyWordsWithoutZeros(pDest, pSource, i, nLength);
}
#endif

}  // namespace

void sink_text::CopyAnySinkText(char* pDest, const char* pSource, int nLength) {
  if (nLength >= kLongText) {
    // The runtime's copy and search are the fastest there are for long
    // runs; zero bytes are rare, so the second pass only reads.
    memcpy(pDest, pSource, static_cast<size_t>(nLength));
    ReplaceZeroBytesWithSpaces(pDest, pDest + nLength);
    return;
  }
#if defined(LDX_HAVE_SSE2_FORM)
  int i = byte_search::ActiveForm() == byte_search::kSse2 ? CopySixteensWithoutZeros(pDest, pSource, nLength)
                                                          : CopyWordsWithoutZeros(pDest, pSource, 0, nLength);
#else
  int i = CopyWordsWithoutZeros(pDest, pSource, 0, nLength);
#endif
  for (; i < nLength; ++i) pDest[i] = pSource[i] ? pSource[i] : ' ';
}

LPCSTR MakeSinkText(CTextBuffer* pBuffer) {
  ReplaceZeroBytesWithSpaces(pBuffer->m_pBegin, pBuffer->m_pCursor);
  return pBuffer->Terminate();
}
