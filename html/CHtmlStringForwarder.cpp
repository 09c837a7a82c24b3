#include "html/CHtmlStringForwarder.h"

#include <string.h>

#include "html/SinkText.h"
#include "html/TextBlock.h"

#include "html/ByteSearch.h"

namespace {

#if defined(__GNUC__) || defined(__clang__)
#define LDX_NOINLINE __attribute__((noinline))
#else
#define LDX_NOINLINE
#endif

// A framework string object is nothing but a pointer to its text, with the
// header in front of the text. A buffer's m_pBegin, with the header in its
// block filled in, therefore reads as a CString.
static_assert(sizeof(CString) == sizeof(LPSTR), "a framework string is one pointer");

const CString& AsString(CTextBuffer* pBuffer) { return *reinterpret_cast<const CString*>(&pBuffer->m_pBegin); }

#if defined(LDX_HAVE_SSE2_FORM)
// Inline where the whole library is built for SSE2, a call elsewhere.
__attribute__((target("sse2"))) inline bool HasZeroInShortSse2(const char* p, int nLength) {
  return byte_search::HasZeroInFirst(byte_search::Sse2Form(), p, nLength);
}
#endif

// Whether one of the first nLength (at most 16) bytes of p is zero; every
// block has 16 bytes to read there.
inline bool HasZeroInShort(const char* p, int nLength) {
#if defined(LDX_HAVE_SSE2_FORM)
  if (byte_search::ActiveForm() == byte_search::kSse2) return HasZeroInShortSse2(p, nLength);
#endif
  return byte_search::HasZeroInFirst(byte_search::WordForm(), p, nLength);
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
