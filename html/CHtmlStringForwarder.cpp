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

// Whether one of the first nLength (at most 16) bytes of p is zero; every
// block has 16 bytes to read there.
inline bool HasZeroInShort(const char* p, int nLength) {
#if defined(__SSE2__)
  __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  unsigned zeros = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_setzero_si128())));
  return (zeros & ((1U << nLength) - 1)) != 0;
#elif defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
  // Two words of eight bytes. A byte is flagged when it is zero or lies
  // above a zero byte of its word, so the flags of the first nLength bytes
  // tell exactly whether one of them is zero.
  const unsigned long long kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
  unsigned long long low, high;
  memcpy(&low, p, 8);
  memcpy(&high, p + 8, 8);
  unsigned long long lowZeros = (low - kOnes) & ~low & kHighs;
  unsigned long long highZeros = (high - kOnes) & ~high & kHighs;
  if (nLength < 8) return (lowZeros & ((1ULL << (8 * nLength)) - 1)) != 0;
  if (lowZeros) return true;
  return nLength > 8 && (highZeros & (~0ULL >> (8 * (16 - nLength)))) != 0;
#else
  return memchr(p, '\0', static_cast<size_t>(nLength)) != NULL;
#endif
}

// Writes the length into the string header in front of a buffer's content
// and the zero byte after it (the block's spare byte makes room for that).
inline const CString& LendAsString(CTextBuffer* pBuffer, int nLength) {
  char* pText = pBuffer->m_pBegin;
  pText[nLength] = '\0';
  text_block::HeaderOf(pText)->nDataLength = nLength;
  return AsString(pBuffer);
}

const CString g_strEmpty;

// A content that is long or holds a zero byte: made a sink text in place
// (zero bytes become spaces), then lent the same way. A buffer without a
// block is empty.
const CString& LendAnyText(CTextBuffer* pBuffer) {
  if (!pBuffer->m_pBegin) return g_strEmpty;
  MakeSinkText(pBuffer);
  text_block::HeaderOf(pBuffer->m_pBegin)->nDataLength = pBuffer->GetLength();
  return AsString(pBuffer);
}

// Whether a buffer's content is short and free of zero bytes: the usual
// case, lent with two stores.
inline bool IsShortPlainText(CTextBuffer* pBuffer) {
  int nLength = pBuffer->GetLength();
  char* pText = pBuffer->m_pBegin;
  return pText && nLength <= 16 && !HasZeroInShort(pText, nLength);
}

// The callbacks for every other content, out of line so that the usual
// path stays a few tests and a jump to the sink.
LDX_NOINLINE BOOL StartTagWithAnyName(CHtmlStringSink* pSink, CTextBuffer* pName, CNameValuePair** ppAttrs,
                                      int nAttrs, BOOL* pbContinue) {
  return pSink->OnStartTag(LendAnyText(pName), ppAttrs, nAttrs, pbContinue);
}

LDX_NOINLINE BOOL EndTagWithAnyName(CHtmlStringSink* pSink, CTextBuffer* pName, BOOL* pbContinue) {
  return pSink->OnEndTag(LendAnyText(pName), pbContinue);
}

LDX_NOINLINE BOOL AnyText(CHtmlStringSink* pSink, CTextBuffer* pText, BOOL* pbContinue) {
  return pSink->OnText(LendAnyText(pText), pbContinue);
}

LDX_NOINLINE BOOL AnyComment(CHtmlStringSink* pSink, CTextBuffer* pComment, BOOL* pbContinue) {
  return pSink->OnComment(LendAnyText(pComment), pbContinue);
}

}  // namespace

CHtmlStringForwarder::CHtmlStringForwarder() : m_pSink(NULL) {}

CHtmlStringForwarder::~CHtmlStringForwarder() {}

void CHtmlStringForwarder::Attach(CHtmlStringSink* pSink) {
  if (!pSink) return;
  m_pSink = pSink;
  Init();
}

// Each callback lends the buffer it is given and passes the sink's result
// on (the tokenizer ignores it).
BOOL CHtmlStringForwarder::OnStartTag(CTextBuffer* pName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) {
  CHtmlStringSink* pSink = m_pSink;
  if (!pSink) return TRUE;
  if (!IsShortPlainText(pName)) return StartTagWithAnyName(pSink, pName, ppAttrs, nAttrs, pbContinue);
  return pSink->OnStartTag(LendAsString(pName, pName->GetLength()), ppAttrs, nAttrs, pbContinue);
}

BOOL CHtmlStringForwarder::OnEndTag(CTextBuffer* pName, BOOL* pbContinue) {
  CHtmlStringSink* pSink = m_pSink;
  if (!pSink) return TRUE;
  if (!IsShortPlainText(pName)) return EndTagWithAnyName(pSink, pName, pbContinue);
  return pSink->OnEndTag(LendAsString(pName, pName->GetLength()), pbContinue);
}

BOOL CHtmlStringForwarder::OnText(CTextBuffer* pText, BOOL* pbContinue) {
  CHtmlStringSink* pSink = m_pSink;
  if (!pSink) return TRUE;
  if (!IsShortPlainText(pText)) return AnyText(pSink, pText, pbContinue);
  return pSink->OnText(LendAsString(pText, pText->GetLength()), pbContinue);
}

BOOL CHtmlStringForwarder::OnComment(CTextBuffer* pComment, BOOL* pbContinue) {
  CHtmlStringSink* pSink = m_pSink;
  if (!pSink) return TRUE;
  if (!IsShortPlainText(pComment)) return AnyComment(pSink, pComment, pbContinue);
  return pSink->OnComment(LendAsString(pComment, pComment->GetLength()), pbContinue);
}
