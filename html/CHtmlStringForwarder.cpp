#include "html/CHtmlStringForwarder.h"

#include "html/SinkText.h"

CHtmlStringForwarder::CHtmlStringForwarder() : m_pSink(NULL) {}

CHtmlStringForwarder::~CHtmlStringForwarder() {}

void CHtmlStringForwarder::Attach(CHtmlStringSink* pSink) {
  if (!pSink) return;
  m_pSink = pSink;
  Init();
}

BOOL CHtmlStringForwarder::OnStartTag(CTextBuffer* pName, CNameValuePair** ppAttrs, int nAttrs, BOOL* pbContinue) {
  if (!m_pSink) return TRUE;
  CSinkString name(pName);
  m_pSink->OnStartTag(name.Get(), ppAttrs, nAttrs, pbContinue);
  return TRUE;
}

BOOL CHtmlStringForwarder::OnEndTag(CTextBuffer* pName, BOOL* pbContinue) {
  if (!m_pSink) return TRUE;
  CSinkString name(pName);
  m_pSink->OnEndTag(name.Get(), pbContinue);
  return TRUE;
}

BOOL CHtmlStringForwarder::OnText(CTextBuffer* pText, BOOL* pbContinue) {
  if (!m_pSink) return TRUE;
  CSinkString text(pText);
  m_pSink->OnText(text.Get(), pbContinue);
  return TRUE;
}

BOOL CHtmlStringForwarder::OnComment(CTextBuffer* pComment, BOOL* pbContinue) {
  if (!m_pSink) return TRUE;
  CSinkString comment(pComment);
  m_pSink->OnComment(comment.Get(), pbContinue);
  return TRUE;
}
