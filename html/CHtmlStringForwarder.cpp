#include "html/CHtmlStringForwarder.h"

#include "html/SinkText.h"

namespace {

// Texts longer than this do not keep their storage after the call.
const int kMaxKeptLength = 64 * 1024;

// The string each thread reuses for its sink calls, and whether a call is
// using it.
struct KeptString {
  CString str;
  bool bInUse = false;
};

thread_local KeptString t_kept;

#if defined(__GNUC__)
#define LDX_NOINLINE __attribute__((noinline))
#else
#define LDX_NOINLINE
#endif

void CopyBufferToString(const CTextBuffer* pBuffer, CString& str) {
  int nLength = pBuffer->GetLength();
  CopySinkText(str.GetBufferSetLength(nLength), pBuffer->m_pBegin, nLength);
}

// A nested event (a sink that tokenizes another document from inside its
// callback) gets a string of its own. Kept out of line so that the usual
// path below stays small enough to be inlined whole.
template <typename Deliver>
LDX_NOINLINE void DeliverAsOwnString(const CTextBuffer* pBuffer, Deliver deliver) {
  CString own;
  CopyBufferToString(pBuffer, own);
  deliver(own);
}

// Calls deliver with a buffer's content as a framework string. The thread's
// kept string serves event after event, so an event costs no allocation.
// Each use is the only call of its instance, so the compiler puts the whole
// path, copy included, into the callback.
template <typename Deliver>
inline void DeliverAsString(const CTextBuffer* pBuffer, Deliver deliver) {
  KeptString& kept = t_kept;
  if (kept.bInUse) {
    DeliverAsOwnString(pBuffer, deliver);
    return;
  }
  kept.bInUse = true;
  int nLength = pBuffer->GetLength();
  CopySinkText(kept.str.GetBufferSetLength(nLength), pBuffer->m_pBegin, nLength);
  deliver(kept.str);
  if (nLength > kMaxKeptLength) kept.str.Empty();
  kept.bInUse = false;
}

}  // namespace

CHtmlStringForwarder::CHtmlStringForwarder() : m_pSink(NULL) {}

CHtmlStringForwarder::~CHtmlStringForwarder() {}

void CHtmlStringForwarder::Attach(CHtmlStringSink* pSink) {
  if (!pSink) return;
  m_pSink = pSink;
  Init();
}

BOOL CHtmlStringForwarder::OnStartTag(CTextBuffer* pName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) {
  if (!m_pSink) return TRUE;
  DeliverAsString(pName, [&](const CString& strName) { m_pSink->OnStartTag(strName, ppAttrs, nAttrs, pbContinue); });
  return TRUE;
}

BOOL CHtmlStringForwarder::OnEndTag(CTextBuffer* pName, BOOL* pbContinue) {
  if (!m_pSink) return TRUE;
  DeliverAsString(pName, [&](const CString& strName) { m_pSink->OnEndTag(strName, pbContinue); });
  return TRUE;
}

BOOL CHtmlStringForwarder::OnText(CTextBuffer* pText, BOOL* pbContinue) {
  if (!m_pSink) return TRUE;
  DeliverAsString(pText, [&](const CString& strText) { m_pSink->OnText(strText, pbContinue); });
  return TRUE;
}

BOOL CHtmlStringForwarder::OnComment(CTextBuffer* pComment, BOOL* pbContinue) {
  if (!m_pSink) return TRUE;
  DeliverAsString(pComment, [&](const CString& strComment) { m_pSink->OnComment(strComment, pbContinue); });
  return TRUE;
}
