#include "html/CHtmlStringForwarder.h"

#include <string.h>

#include "html/SinkText.h"
#include "html/TextBlock.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

#if defined(__GNUC__)
#define LDX_NOINLINE __attribute__((noinline))
#else
#define LDX_NOINLINE
#endif

// A framework string object is nothing but a pointer to its text, with the
// header in front of the text. A buffer's m_pBegin, with the header in its
// block filled in, therefore reads as a CString.
static_assert(sizeof(CString) == sizeof(LPSTR), "a framework string is one pointer");

const CString& AsString(CTextBuffer* pBuffer) { return *reinterpret_cast<const CString*>(&pBuffer->m_pBegin); }

// Whether one of the first nLength (at most 16) bytes of p is zero, when
// 16 bytes may be read there.
inline bool HasZeroInShort(const char* p, int nLength) {
#if defined(__SSE2__)
  __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  unsigned zeros = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())));
  return (zeros & ((1U << nLength) - 1)) != 0;
#else
  return memchr(p, '\0', static_cast<size_t>(nLength)) != NULL;
#endif
}

// Writes the string header in front of a buffer's content and the zero
// byte after it (the block's spare byte makes room for that).
inline const CString& LendAsString(CTextBuffer* pBuffer, int nLength) {
  char* pText = pBuffer->m_pBegin;
  pText[nLength] = '\0';
  CStringData* pHeader = text_block::HeaderOf(pText);
  pHeader->nDataLength = nLength;
  pHeader->nAllocLength = nLength;
  return AsString(pBuffer);
}

const CString g_strEmpty;

// The content of one of the tokenizer's own buffers that is long, holds a
// zero byte or sits in a small block: its zero bytes become spaces, then it
// is lent the same way. A buffer without a block is empty.
LDX_NOINLINE const CString& LendAnyText(CTextBuffer* pBuffer) {
  char* p = pBuffer->m_pBegin;
  if (!p) return g_strEmpty;
  int nLength = pBuffer->GetLength();
  char* pEnd = p + nLength;
  while (p < pEnd && (p = static_cast<char*>(memchr(p, '\0', static_cast<size_t>(pEnd - p)))) != NULL) *p++ = ' ';
  return LendAsString(pBuffer, nLength);
}

// The content of one of the tokenizer's own buffers as a framework string,
// in place. The usual case, a short text, costs a few tests and two stores.
inline const CString& LendText(CTextBuffer* pBuffer) {
  int nLength = pBuffer->GetLength();
  char* pText = pBuffer->m_pBegin;
  // A buffer without a block has no room either.
  if (nLength > 16 || pBuffer->m_pLimit - pText < 16 || HasZeroInShort(pText, nLength)) return LendAnyText(pBuffer);
  return LendAsString(pBuffer, nLength);
}

// A buffer a host passes to a callback itself is copied into a string of
// its own.
template <typename Deliver>
LDX_NOINLINE void DeliverCopy(const CTextBuffer* pBuffer, Deliver deliver) {
  CString own;
  int nLength = pBuffer->GetLength();
  CopySinkText(own.GetBufferSetLength(nLength), pBuffer->m_pBegin, nLength);
  deliver(own);
}

}  // namespace

CHtmlStringForwarder::CHtmlStringForwarder() : m_pSink(NULL) {}

CHtmlStringForwarder::~CHtmlStringForwarder() {}

void CHtmlStringForwarder::Attach(CHtmlStringSink* pSink) {
  if (!pSink) return;
  m_pSink = pSink;
  Init();
}

// Each callback lends the tokenizer's own buffer; the sink's result is
// ignored.
BOOL CHtmlStringForwarder::OnStartTag(CTextBuffer* pName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) {
  CHtmlStringSink* pSink = m_pSink;
  if (!pSink) return TRUE;
  if (pName == &m_tagName)
    pSink->OnStartTag(LendText(pName), ppAttrs, nAttrs, pbContinue);
  else
    DeliverCopy(pName, [=](const CString& strName) { pSink->OnStartTag(strName, ppAttrs, nAttrs, pbContinue); });
  return TRUE;
}

BOOL CHtmlStringForwarder::OnEndTag(CTextBuffer* pName, BOOL* pbContinue) {
  CHtmlStringSink* pSink = m_pSink;
  if (!pSink) return TRUE;
  if (pName == &m_tagName)
    pSink->OnEndTag(LendText(pName), pbContinue);
  else
    DeliverCopy(pName, [=](const CString& strName) { pSink->OnEndTag(strName, pbContinue); });
  return TRUE;
}

BOOL CHtmlStringForwarder::OnText(CTextBuffer* pText, BOOL* pbContinue) {
  CHtmlStringSink* pSink = m_pSink;
  if (!pSink) return TRUE;
  if (pText == &m_text)
    pSink->OnText(LendText(pText), pbContinue);
  else
    DeliverCopy(pText, [=](const CString& strText) { pSink->OnText(strText, pbContinue); });
  return TRUE;
}

BOOL CHtmlStringForwarder::OnComment(CTextBuffer* pComment, BOOL* pbContinue) {
  CHtmlStringSink* pSink = m_pSink;
  if (!pSink) return TRUE;
  if (pComment == &m_comment)
    pSink->OnComment(LendText(pComment), pbContinue);
  else
    DeliverCopy(pComment, [=](const CString& strComment) { pSink->OnComment(strComment, pbContinue); });
  return TRUE;
}
